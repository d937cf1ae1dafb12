#include "MainView.h"

#include <QVBoxLayout>

MainView::MainView(QWidget* parent) : Widget(parent)
{
    setObjectName(QStringLiteral("MainView"));
    setWindowTitle(QStringLiteral("英语Lintavo"));
    setFrameLess(true);
    setMoveable(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_right = new QWidget(this);
    m_right->setObjectName(QStringLiteral("right"));
    m_right->setMinimumSize(1130, 680);
    m_right->setStyleSheet(QStringLiteral("QWidget#right{background:#F6F6F6;border-radius:5px;}"));
    layout->addWidget(m_right);
}

void MainView::setRightPage(QWidget* page)
{
    if (!page)
        return;
    if (!m_right->layout()) {
        auto* layout = new QVBoxLayout(m_right);
        layout->setContentsMargins(0, 0, 0, 0);
    }
    page->setParent(m_right);
    m_right->layout()->addWidget(page);
}
