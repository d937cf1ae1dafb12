#include "HomeObject.h"

#include "HomeModel.h"
#include "HomeView.h"
#include "HomeViewModel.h"

HomeObject::HomeObject(QObject* mainObject) : ChildObject(mainObject) {
    m_parts.view = new HomeView;
    m_parts.viewModel = new HomeViewModel;
    m_parts.model = new HomeModel;
    m_parts.viewModel->setModel(m_parts.model);
    m_parts.model->setViewModel(m_parts.viewModel);
    connectParts();
    m_parts.viewModel->start();
}

HomeObject::~HomeObject() = default;

void HomeObject::connectParts() {
    HomeView* v = m_parts.view;
    HomeViewModel* vm = m_parts.viewModel;
    connect(v, &HomeView::ClickHotSearch, vm, &HomeViewModel::onClickHotSearch);
    connect(v, &HomeView::ClickBanner, vm, &HomeViewModel::onClickBanner);
    connect(v, &HomeView::ClickListItemMore, vm, &HomeViewModel::onClickListItemMore);
    connect(v, &HomeView::ClickListItemRefresh, vm, &HomeViewModel::onClickListItemRefresh);
    connect(v, &HomeView::ClickVideoItem, vm, &HomeViewModel::onClickVideoItem);
    connect(vm, &HomeViewModel::BannerDataChanged, v, &HomeView::onBannerDataChanged);
    connect(vm, &HomeViewModel::HotDataChanged, v, &HomeView::onHotDataChanged);
    connect(vm, &HomeViewModel::ListDataChanged, v, &HomeView::onListDataChanged);
    connect(vm, &HomeViewModel::ListItemDataChanged, v, &HomeView::onListItemDataChanged);
    connect(vm, &HomeViewModel::ShowMax, v, &HomeView::onShowMax);
    connect(vm, &HomeViewModel::ShowNormal, v, &HomeView::onShowNormal);
    connect(v, &HomeView::ClickReload, vm, &HomeViewModel::onClickReload);
    connect(vm, &HomeViewModel::LoadFailed, v, &HomeView::onLoadFailed);
}

void HomeObject::show(bool visible) {
    m_parts.view->setVisible(visible);
}
QWidget* HomeObject::view() {
    return m_parts.view;
}
QObject* HomeObject::viewModel() {
    return m_parts.viewModel;
}
QObject* HomeObject::model() {
    return m_parts.model;
}
