#include "VideoViewModel.h"

#include "EventIds.h"
#include "VideoModel.h"

VideoViewModel::VideoViewModel(QObject* parent) : Mediator(parent) {}

void VideoViewModel::assign(QVariant& field, const QVariant& value, Notify notify) {
    if (field == value && field.isValid() == value.isValid())
        return;
    field = value;
    emit(this->*notify)(value);
}

void VideoViewModel::rewrite(const char* property, QVariant& field, const QVariant& value) {
    field = QVariant();
    setProperty(property, value);
}

bool VideoViewModel::requireLogin() {
    if (m_model && m_model->isLoggedIn())
        return true;
    dispatchEvent(Event::SHOW_LOGIN, AnyValue());
    return false;
}

void VideoViewModel::onClickFavorite() {
    if (requireLogin())
        m_model->addFavorite();
}

void VideoViewModel::onClickUnFavorite() {
    if (m_model)
        m_model->removeFavorite();
}

void VideoViewModel::onClickRecord() {
    if (!requireLogin())
        return;
    setIsRecording(true);
    dispatchEvent(Event::DUBBING_STATE, AnyValue::of<QVariant>(m_isRecording));
}

void VideoViewModel::onClickTask() {
    if (requireLogin())
        m_model->requestClassGroups();
}

void VideoViewModel::onClickTeach(const QVariant& content) {
    if (requireLogin())
        dispatchEvent(Event::SHOW_TEACHING, AnyValue::of<QVariant>(content));
}

QString VideoViewModel::groupList(const QVariant& ids) {
    QString text;
    for (const QVariant& id : ids.toList())
        text += id.toString() + QLatin1Char(',');
    return text;
}

void VideoViewModel::onClickAssignTask(const QVariant& data) {
    if (m_model)
        m_model->assignTask(groupList(data));
}

void VideoViewModel::onClickVideoRank(const QVariant& entry) {
    const QVariantMap e = entry.toMap();
    rewrite("status", m_status, QStringLiteral("VIDEO_OTHER"));
    dispatchEvent(Event::REQ_SHOW_DETAIL,
                  AnyValue::of<QVariant>(QVariantMap{{"uid", e.value("uid").toString()},
                                                     {"showID", e.value("id").toString()}}));
}

void VideoViewModel::onClickSVIP() {
    if (requireLogin())
        dispatchEvent(Event::SHOW_VIP_PURCHASE, AnyValue());
}

void VideoViewModel::onClickPublish(const QVariant& data) {
    if (m_model)
        m_model->publish(data.toMap());
}

void VideoViewModel::onClickReturn() {
    dispatchEvent(Event::NAV_BACK, AnyValue());
}

void VideoViewModel::onIsFavoritedSuccess(const QVariant& data) {
    emit IsFavorited(data.toMap().value("is_collect").toBool());
}

void VideoViewModel::onNavBack() {
    if (m_isRecording.toBool()) {
        setIsRecording(false);
        dispatchEvent(Event::DUBBING_STATE, AnyValue::of<QVariant>(m_isRecording));
        return;
    }
    dispatchEvent(Event::LEAVE_VIDEO_PAGE, AnyValue::of<QVariant>(m_isRecording));
}

void VideoViewModel::onEvent(int id, const AnyValue&) {
    if (id == Event::NAV_BACK)
        onNavBack();
    else if (id == Event::KEY_SPACE)
        emit ClickSpace();
}

void VideoViewModel::onQueryWord(const QString& word) {
    if (m_model && !word.isEmpty())
        m_model->lookUpWord(word);
}
