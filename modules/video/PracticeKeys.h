#pragma once

#include <QObject>
#include <functional>

class QWidget;

// The record page's keys: R record or stop, O the original sentence, T the
// learner's take, C both one after the other, Up and Down the previous and
// next sentence, Enter the preview. They act only while `active` says so
// and the page's window is active, and never while a text field has the
// focus. (Space, play and pause, is the main window's key.)
class PracticeKeys : public QObject {
    Q_OBJECT
public:
    enum Key { Record, Original, Take, Compare, Previous, Next, Preview };
    Q_ENUM(Key)

    PracticeKeys(QWidget* page, std::function<bool()> active);
    ~PracticeKeys() override;

    // The key's letter for tooltips, e.g. "R".
    static QString name(Key key);

signals:
    void pressed(PracticeKeys::Key key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_page;
    std::function<bool()> m_active;
};
