#include "RecordListWidget.h"

#include <QDebug>
#include <QWheelEvent>

RecordListWidget::RecordListWidget(QWidget* parent) : QListWidget(parent) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
}

void RecordListWidget::wheelEvent(QWheelEvent* event) {
    int row = currentRow();
    qDebug() << "row1: " << row;
    if (event->angleDelta().y() <= 0) {
        if (row + 1 < count())
            ++row;
        else
            row = count() - 1;
    } else {
        row = row > 0 ? row - 1 : 0;
    }
    if (row >= 0)
        setCurrentRow(row);
    qDebug() << "row2: " << currentRow();
    event->accept();
}
