#pragma once

#include <QListWidget>

// The list of sentence rows: one wheel step moves the current row by one.
class RecordListWidget : public QListWidget {
    Q_OBJECT
public:
    explicit RecordListWidget(QWidget* parent = nullptr);

protected:
    void wheelEvent(QWheelEvent* event) override;
};
