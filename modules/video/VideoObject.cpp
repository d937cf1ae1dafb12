#include "VideoObject.h"

#include "EventIds.h"
#include "PlayerView.h"
#include "VideoModel.h"
#include "VideoView.h"
#include "VideoViewModel.h"

VideoObject::VideoObject(QObject* mainObject) : ChildObject(mainObject) {
    m_parts.view = new VideoView;
    m_parts.viewModel = new VideoViewModel;
    m_parts.model = new VideoModel;
    m_parts.viewModel->setModel(m_parts.model);
    m_parts.model->setViewModel(m_parts.viewModel);
    connectViewSignals();
    connectViewModelSignals();
    // Membership is read once: a login while the page is open changes it
    // only when the page is built again.
    m_parts.view->setMember(m_parts.model->isMember());
}

VideoObject::~VideoObject() = default;

void VideoObject::connectViewSignals() {
    VideoView* v = m_parts.view;
    VideoViewModel* vm = m_parts.viewModel;
    connect(v, &VideoView::ClickVideoRank, vm, &VideoViewModel::onClickVideoRank);
    connect(v, &VideoView::ClickFavorite, vm, &VideoViewModel::onClickFavorite);
    connect(v, &VideoView::ClickUnFavorite, vm, &VideoViewModel::onClickUnFavorite);
    connect(v, &VideoView::ClickRecord, vm, &VideoViewModel::onClickRecord);
    connect(v, &VideoView::ClickTask, vm, &VideoViewModel::onClickTask);
    connect(v, &VideoView::ClickTeach, vm, &VideoViewModel::onClickTeach);
    connect(v, &VideoView::ClickAssignTask, vm, &VideoViewModel::onClickAssignTask);
    connect(v, &VideoView::ClickSVIP, vm, &VideoViewModel::onClickSVIP);
    connect(v, &VideoView::ClickPublish, vm, &VideoViewModel::onClickPublish);
    connect(v, &VideoView::ClickReturn, vm, &VideoViewModel::onClickReturn);
    connect(v, &VideoView::QueryWord, vm, &VideoViewModel::onQueryWord);
}

void VideoObject::connectViewModelSignals() {
    VideoView* v = m_parts.view;
    VideoViewModel* vm = m_parts.viewModel;
    connect(vm, &VideoViewModel::StatusChanged, v, &VideoView::onStatusChanged);
    connect(vm, &VideoViewModel::TitleChanged, v, &VideoView::onTitleChanged);
    connect(vm, &VideoViewModel::LevelChanged, v, &VideoView::onLevelChanged);
    connect(vm, &VideoViewModel::OverviewChanged, v, &VideoView::onOverviewChanged);
    connect(vm, &VideoViewModel::UrlChanged, v, &VideoView::onUrlChanged);
    connect(vm, &VideoViewModel::SrtChanged, v, &VideoView::onSrtChanged);
    connect(vm, &VideoViewModel::VideoDetailChanged, v, &VideoView::onVideoDetailChanged);
    connect(vm, &VideoViewModel::SVIPChanged, v, &VideoView::onSVIPChanged);
    connect(vm, &VideoViewModel::RankChanged, v, &VideoView::onRankChanged);
    connect(vm, &VideoViewModel::UserInfoChanged, v, &VideoView::onUserInfoChanged);
    connect(vm, &VideoViewModel::ClassInfoChanged, v, &VideoView::onClassInfoChanged);
    connect(vm, &VideoViewModel::IsRecordingChanged, v, &VideoView::onIsRecordingChanged);
    connect(vm, &VideoViewModel::PublicSuccess, v, &VideoView::onPublicSuccess);
    connect(vm, &VideoViewModel::PublicFail, v, &VideoView::onPublicFail);
    connect(vm, &VideoViewModel::IsFavorited, v, &VideoView::onIsFavorited);
    connect(vm, &VideoViewModel::ClickSpace, v, &VideoView::onClickSpace);
    connect(vm, &VideoViewModel::QueryWordSuccess, v, &VideoView::onQueryWordSuccess);
}

void VideoObject::show(bool visible) {
    m_parts.view->setVisible(visible);
}

QWidget* VideoObject::view() {
    return m_parts.view;
}

QObject* VideoObject::viewModel() {
    return m_parts.viewModel;
}

QObject* VideoObject::model() {
    return m_parts.model;
}

void VideoObject::onEvent(int id, const AnyValue&) {
    if (id == Event::SHOW_TEACHING)
        m_parts.view->player()->stop();
    else if (id == Event::TEACHING_CLOSED)
        m_parts.view->player()->play();
}
