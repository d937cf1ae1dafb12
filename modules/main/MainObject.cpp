#include "MainObject.h"

#include "EventIds.h"
#include "MainModel.h"
#include "MainView.h"
#include "MainViewModel.h"

MainObject::MainObject()
{
    m_parts.view = new MainView;
    m_parts.viewModel = new MainViewModel;
    m_parts.model = new MainModel;
    m_parts.viewModel->setModel(m_parts.model);
    m_parts.model->setViewModel(m_parts.viewModel);
    connect(m_parts.viewModel, &MainViewModel::RightPageChanged, this,
            &MainObject::onRightPageChanged);
    m_parts.viewModel->start();
    m_parts.model->start();
}

MainObject::~MainObject() { delete m_page.data(); }

void MainObject::show(bool visible) { m_parts.view->setVisible(visible); }

void MainObject::onEvent(int id, const AnyValue&)
{
    if (id == Event::SHOW_TEACHING)
        m_parts.view->hide();
    else if (id == Event::TEACHING_CLOSED)
        m_parts.view->show();
}

void MainObject::onRightPageChanged(const QString& page)
{
    if (m_page) {
        m_page->deleteLater();
        m_page = nullptr;
    }
    m_page = createPage(page);
    if (m_page)
        m_parts.view->setRightPage(m_page->view());
}

ChildObject* MainObject::createPage(const QString&)
{
    // Pages are added as their modules are built.
    return nullptr;
}
