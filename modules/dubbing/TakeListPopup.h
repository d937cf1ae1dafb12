#pragma once

#include <QFrame>

class QVBoxLayout;
class VideoRecordViewItem;

// The takes of one sentence row, dropped down from its "录音记录" button:
// every take with its number, time and score (members see the numbers), a
// button to hear it and one to use it in the dub. The take in the dub is
// marked.
class TakeListPopup : public QFrame {
    Q_OBJECT
public:
    explicit TakeListPopup(VideoRecordViewItem* row);

    // Fills the list anew and shows it under `anchor`.
    void popUp(QWidget* anchor);
    void refresh();

private:
    QWidget* entry(int number);

    VideoRecordViewItem* m_row;
    QWidget* m_entries = nullptr;
    QVBoxLayout* m_list = nullptr;
};
