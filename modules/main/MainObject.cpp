#include "MainObject.h"

#include "EventIds.h"
#include "Facade.h"
#include "HomeObject.h"
#include "ListObject.h"
#include "ListViewModel.h"
#include "MainModel.h"
#include "MainView.h"
#include "MainViewModel.h"
#include "VideoObject.h"
#include "VideoViewModel.h"

MainObject::MainObject() {
    m_parts.view = new MainView;
    m_parts.viewModel = new MainViewModel;
    m_parts.model = new MainModel;
    m_parts.viewModel->setModel(m_parts.model);
    m_parts.model->setViewModel(m_parts.viewModel);
    connectView();
    connectViewModel();
    m_parts.viewModel->start();
    m_parts.model->start();
}

MainObject::~MainObject() {
    // Pages, the current one and those still waiting for their deferred
    // deletion, go before the window that holds their views.
    qDeleteAll(findChildren<ChildObject*>(QString(), Qt::FindDirectChildrenOnly));
}

void MainObject::connectView() {
    MainView* v = m_parts.view;
    MainViewModel* vm = m_parts.viewModel;
    connect(v, &MainView::ClickPrev, vm, &MainViewModel::onClickPrev);
    connect(v, &MainView::ClickNext, vm, &MainViewModel::onClickNext);
    connect(v, &MainView::ClickSearch, vm, &MainViewModel::onClickSearch);
    connect(v, &MainView::ClickLogin, vm, &MainViewModel::onClickLogin);
    connect(v, &MainView::ClickLogout, vm, &MainViewModel::onClickLogout);
    connect(v, &MainView::ClickLeftList, vm, &MainViewModel::onClickLeftList);
    connect(v, &MainView::ClickSpace, vm, &MainViewModel::onClickSpace);
    connect(v, &MainView::ShowMax, vm, &MainViewModel::onShowMax);
    connect(v, &MainView::ShowNormal, vm, &MainViewModel::onShowNormal);
}

void MainObject::connectViewModel() {
    MainView* v = m_parts.view;
    MainViewModel* vm = m_parts.viewModel;
    connect(vm, &MainViewModel::KeywordChanged, v, &MainView::onKeywordChanged);
    connect(vm, &MainViewModel::LeftListChanged, v, &MainView::onLeftListChanged);
    connect(vm, &MainViewModel::UserInfoChanged, v, &MainView::onUserInfoChanged);
    connect(vm, &MainViewModel::PeiYinStatusChanged, v, &MainView::onPeiYinStatusChanged);
    connect(vm, &MainViewModel::RightPageChanged, this, &MainObject::onRightPageChanged);
}

void MainObject::show(bool visible) {
    m_parts.view->setVisible(visible);
}

void MainObject::onEvent(int id, const AnyValue&) {
    if (id == Event::SHOW_TEACHING)
        m_parts.view->hide();
    else if (id == Event::TEACHING_CLOSED)
        m_parts.view->show();
}

void MainObject::onRightPageChanged(const QString& page) {
    if (m_page) {
        m_page->show(false);
        // The replaced page lives on until its deferred deletion; it must not
        // answer the events meant for its successor (an album opened from an
        // album list would otherwise be requested twice).
        for (QObject* part :
             {static_cast<QObject*>(m_page.data()), static_cast<QObject*>(m_page->view()),
              m_page->viewModel(), m_page->model()})
            Facade::instance()->detachTree(part);
        m_page->deleteLater();
        m_page = nullptr;
    }
    m_page = createPage(page);
    if (m_page)
        m_parts.view->setRightPage(m_page->view());
}

ChildObject* MainObject::createPage(const QString& page) {
    if (page == QLatin1String("HomePage"))
        return new HomeObject(this);
    static const QHash<QString, QString> listModes{
        {QStringLiteral("FavoritePage"), QStringLiteral("LIST_FAVORITE")},
        {QStringLiteral("MorePage"), QStringLiteral("LIST_MORE")},
        {QStringLiteral("SearchPage"), QStringLiteral("LIST_SEARCH")},
        {QStringLiteral("LeftPage"), QStringLiteral("LIST_VIDEO")},
        {QStringLiteral("ListPage"), QStringLiteral("LIST_VIDEO")},
        {QStringLiteral("AlbumDetailPage"), QStringLiteral("LIST_ALBUM")}};
    const auto mode = listModes.constFind(page);
    if (mode != listModes.constEnd()) {
        auto* list = new ListObject(this);
        list->listViewModel()->setMode(*mode);
        return list;
    }
    static const QHash<QString, QString> videoStatuses{
        {QStringLiteral("VideoDetailPage"), QStringLiteral("VIDEO_DETAIL")},
        {QStringLiteral("VideoOtherPage"), QStringLiteral("VIDEO_OTHER")},
        {QStringLiteral("VideoRecordPage"), QStringLiteral("VIDEO_RECORD")}};
    const auto status = videoStatuses.constFind(page);
    if (status != videoStatuses.constEnd()) {
        auto* video = new VideoObject(this);
        video->videoViewModel()->setStatus(*status);
        return video;
    }
    return nullptr;
}
