#include "ListObject.h"

#include "ListModel.h"
#include "ListView.h"
#include "ListViewModel.h"

ListObject::ListObject(QObject* mainObject) : ChildObject(mainObject) {
    m_parts.view = new ListView;
    m_parts.viewModel = new ListViewModel;
    m_parts.model = new ListModel;
    m_parts.viewModel->setModel(m_parts.model);
    m_parts.model->setViewModel(m_parts.viewModel);
    connectParts();
}

ListObject::~ListObject() = default;

void ListObject::connectParts() {
    ListView* v = m_parts.view;
    ListViewModel* vm = m_parts.viewModel;
    connect(v, &ListView::ClickVideo, vm, &ListViewModel::onClickVideo);
    connect(v, &ListView::ClickAlbum, vm, &ListViewModel::onClickAlbum);
    connect(v, &ListView::ClickFavorite, vm, &ListViewModel::onClickFavorite);
    connect(v, &ListView::ClickVideoItem, vm, &ListViewModel::onClickVideoItem);
    connect(v, &ListView::ClickRefresh, vm, &ListViewModel::onClickRefresh);
    connect(v, &ListView::LoadMore, vm, &ListViewModel::onLoadMore);
    connect(vm, &ListViewModel::ListStatusChanged, v, &ListView::onListStatusChanged);
    connect(vm, &ListViewModel::ListVideoDataChanged, v, &ListView::onListVideoDataChanged);
    connect(vm, &ListViewModel::ListAlbumDataChanged, v, &ListView::onListAlbumDataChanged);
    connect(vm, &ListViewModel::KeywordChanged, v, &ListView::onKeywordChanged);
    connect(vm, &ListViewModel::AlbumDataChanged, v, &ListView::onAlbumDataChanged);
    connect(vm, &ListViewModel::ListAlbumVIPChanged, v, &ListView::onListAlbumVIPChanged);
    connect(vm, &ListViewModel::LoadFailed, v, &ListView::onLoadFailed);
}

void ListObject::show(bool visible) {
    m_parts.view->setVisible(visible);
}
QWidget* ListObject::view() {
    return m_parts.view;
}
QObject* ListObject::viewModel() {
    return m_parts.viewModel;
}
QObject* ListObject::model() {
    return m_parts.model;
}
