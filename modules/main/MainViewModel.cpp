#include "MainViewModel.h"

void MainViewModel::setRightPage(const QString& page)
{
    if (m_rightPage == page)
        return;
    m_rightPage = page;
    emit RightPageChanged(page);
}

void MainViewModel::start() { setRightPage(QStringLiteral("HomePage")); }
