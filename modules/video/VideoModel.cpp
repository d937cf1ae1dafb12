#include "VideoModel.h"

#include "EventIds.h"
#include "Toast.h"
#include "VideoViewModel.h"

namespace {
constexpr int ToastMs = 3000;

QVariant variantOf(const AnyValue& value) {
    return value.holds<QVariant>() ? value.as<QVariant>() : QVariant();
}

QString messageOf(const AnyValue& value) {
    return value.holds<QString>() ? value.as<QString>() : QString();
}
} // namespace

VideoModel::VideoModel(QObject* parent) : Mediator(parent) {
    onViewInvalidated();
}

void VideoModel::send(int id, const QVariantMap& payload) {
    dispatchEvent(id, AnyValue::of<QVariant>(payload));
}

QVariantMap VideoModel::session() const {
    return {{"userID", userDao ? userDao->userID : QString()},
            {"token", userDao ? userDao->token : QString()}};
}

QString VideoModel::courseId() const {
    return m_clip.value("course_id").toString();
}

void VideoModel::openClip(const QVariantMap& clip) {
    m_clip = clip;
    m_clip.insert("uploadToken", userDao ? userDao->tokenUpload : QString());
    if (m_viewModel) {
        m_viewModel->onUpdateSrt(clip.value("subtitle_en"));
        m_viewModel->onUpdateTitle(clip.value("title"));
        m_viewModel->onUpdateLevel(clip.value("difficulty"));
        m_viewModel->onUpdateOverview(clip.value("course_title").toString() + QLatin1Char(' ') +
                                      clip.value("sub_title").toString());
        m_viewModel->onUpdateUrl(clip.value("video"));
        m_viewModel->onUpdateVideoDetail(m_clip);
        const QString vip = userDao ? userDao->isVIP : QString();
        // Member-only clips are covered for everybody who is not a member.
        if (clip.value("is_vip").toInt() > 0 && (vip.isEmpty() || vip == QLatin1String("0")))
            m_viewModel->onUpdateSVIP(clip.value("is_vip"));
    }
    send(Event::REQ_COURSE_RANK, {{"id", courseId()}});
    QVariantMap check = session();
    check.insert("courseID", courseId());
    check.insert("albumID", "0");
    send(Event::REQ_CHECK_FAVORITE, check);
}

void VideoModel::addFavorite() {
    QVariantMap payload = session();
    payload.insert("cid", courseId());
    payload.insert("aid", "0");
    send(Event::REQ_ADD_FAVORITE, payload);
}

void VideoModel::removeFavorite() {
    QVariantMap payload = session();
    payload.insert("courseID", courseId());
    payload.insert("albumID", "0");
    send(Event::REQ_REMOVE_FAVORITE, payload);
}

void VideoModel::requestClassGroups() {
    send(Event::REQ_CLASS_GROUPS, {{"type", "1"}});
}

void VideoModel::assignTask(const QString& groupList) {
    send(Event::REQ_ASSIGN_TASK, {{"cID", courseId()}, {"gID", groupList}});
}

QVariantMap VideoModel::publishRequest(const QVariantMap& product) const {
    QVariantMap payload = session();
    payload.insert("albumID", m_clip.value("album_id").toString());
    payload.insert("courseID", courseId());
    payload.insert("audio",
                   QStringLiteral("{\"key\":\"%1\"}").arg(product.value("aacName").toString()));
    payload.insert("duration", 60);
    QStringList score;
    for (const char* key : {"overall", "accuracy", "fluency", "integrity"})
        score << QString::number(product.value(key).toInt());
    score << QStringLiteral("0");
    payload.insert("score", score.join(QLatin1Char(',')));
    return payload;
}

void VideoModel::publish(const QVariantMap& product) {
    send(Event::REQ_PUBLISH_SHOW, publishRequest(product));
}

void VideoModel::lookUpWord(const QString& word) {
    ++m_pendingLookups;
    send(Event::REQ_WORD_LOOKUP, {{"word", word}});
}

void VideoModel::onEvent(int id, const AnyValue& value) {
    if ((id == Event::RES_WORD_LOOKUP_OK || id == Event::RES_WORD_LOOKUP_FAIL) &&
        m_pendingLookups > 0) {
        --m_pendingLookups;
        if (id == Event::RES_WORD_LOOKUP_FAIL)
            Toast::info(QStringLiteral("查词失败: ") + messageOf(value), ToastMs);
        else if (m_viewModel)
            m_viewModel->onQueryWordSuccess(variantOf(value));
        return;
    }
    if (id == Event::OPEN_VIDEO)
        openClip(value.as<QVariant>().toMap());
    else
        handleResult(id, value);
}

void VideoModel::handleResult(int id, const AnyValue& value) {
    if (!m_viewModel)
        return;
    switch (id) {
    case Event::RES_COURSE_RANK_OK:
        m_viewModel->onUpdateRank(variantOf(value));
        break;
    case Event::RES_SHOW_DETAIL_OK:
        m_viewModel->onUpdateUserInfo(variantOf(value));
        break;
    case Event::RES_CHECK_FAVORITE_OK:
        m_viewModel->onIsFavoritedSuccess(variantOf(value));
        break;
    case Event::RES_CLASS_GROUPS_OK:
        m_viewModel->onUpdateClassInfo(variantOf(value));
        break;
    case Event::RES_PUBLISH_SHOW_OK:
        m_viewModel->onPublicSuccess();
        // The success page lists the ranking with the new dub in it.
        send(Event::REQ_COURSE_RANK, {{"id", courseId()}});
        break;
    case Event::RES_PUBLISH_SHOW_FAIL:
        Toast::info(QStringLiteral("发布失败: ") + messageOf(value), ToastMs);
        m_viewModel->onPublicFail();
        break;
    case Event::RES_ADD_FAVORITE_OK:
        Toast::info(QStringLiteral("添加收藏成功!"), ToastMs);
        break;
    case Event::RES_REMOVE_FAVORITE_OK:
        Toast::info(QStringLiteral("取消收藏成功!"), ToastMs);
        break;
    case Event::RES_ASSIGN_TASK_OK:
        Toast::info(QStringLiteral("布置作业成功!"), ToastMs);
        break;
    case Event::RES_ASSIGN_TASK_FAIL:
        Toast::info(QStringLiteral("布置作业失败!"), ToastMs);
        break;
    default:
        break;
    }
}
