#include "ListWidget.h"

#include <QDebug>
#include <QScrollBar>

ListWidget::ListWidget(QWidget* parent) : QListWidget(parent) {
    verticalScrollBar()->setSingleStep(30);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &ListWidget::onScrolled);
}

void ListWidget::onScrolled(int value) {
    qDebug() << "loading:" << m_loading;
    if (m_loading || value != verticalScrollBar()->maximum() || count() == 0)
        return;
    m_loading = true;
    emit LoadMore();
    qDebug() << "Loading more.";
}

void ListWidget::loadingFinished() {
    m_loading = false;
    qDebug() << "Loading finished.";
}
