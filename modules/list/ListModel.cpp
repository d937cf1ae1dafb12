#include "ListModel.h"

#include "EventIds.h"
#include "HttpHandler.h"
#include "ListViewModel.h"
#include "Toast.h"

namespace {
constexpr int kToastMs = 3000;
}

ListModel::ListModel(QObject* parent) : Mediator(parent) {
    onViewInvalidated();
}

void ListModel::addFavorite(const QVariant& albumID) {
    dispatchEvent(Event::REQ_ADD_FAVORITE,
                  AnyValue::of(QVariant(QVariantMap{{QStringLiteral("cid"), QStringLiteral("0")},
                                                    {QStringLiteral("aid"), albumID}})));
}

QVariant ListModel::entries(const QVariant& data) {
    if (data.type() != QVariant::Map)
        return data;
    const QVariantMap map = data.toMap();
    for (const char* key : {"course_list", "album_list", "list", "lists"})
        if (map.contains(QLatin1String(key)))
            return map.value(QLatin1String(key));
    return QVariantList();
}

bool ListModel::isListRequest(int id) {
    switch (id) {
    case Event::REQ_COURSE_LIST:
    case Event::REQ_SEARCH_COURSES:
    case Event::REQ_SEARCH_ALBUMS:
    case Event::REQ_ALBUM_LIST:
    case Event::REQ_ALBUM_COURSES:
    case Event::REQ_MY_COURSE_FAVORITES:
    case Event::REQ_MY_ALBUM_FAVORITES:
        return true;
    default:
        return false;
    }
}

bool ListModel::isListAnswer(int id) {
    switch (id) {
    case Event::RES_COURSE_LIST_OK:
    case Event::RES_COURSE_LIST_FAIL:
    case Event::RES_SEARCH_COURSES_FAIL:
    case Event::RES_SEARCH_ALBUMS_OK:
    case Event::RES_SEARCH_ALBUMS_FAIL:
    case Event::RES_ALBUM_LIST_OK:
    case Event::RES_ALBUM_LIST_FAIL:
    case Event::RES_ALBUM_COURSES_OK:
    case Event::RES_ALBUM_COURSES_FAIL:
    case Event::RES_MY_COURSE_FAVORITES_OK:
    case Event::RES_MY_COURSE_FAVORITES_FAIL:
    case Event::RES_MY_ALBUM_FAVORITES_OK:
    case Event::RES_MY_ALBUM_FAVORITES_FAIL:
        return true;
    default:
        return false;
    }
}

bool ListModel::answersLatestRequest() const {
    // Results that do not come from the transport are taken as they come.
    const quint64 answering = HttpHandler::answeringRequest();
    return answering == 0 || answering == m_latestRequest;
}

void ListModel::onEvent(int id, const AnyValue& value) {
    if (isListRequest(id)) {
        // The web service client, built before every page, has sent it.
        m_latestRequest = HttpHandler::lastRequest();
        return;
    }
    if (isListAnswer(id) && !answersLatestRequest())
        return;
    onAnswer(id, value);
}

void ListModel::onAnswer(int id, const AnyValue& value) {
    switch (id) {
    case Event::RES_COURSE_LIST_OK:
    case Event::RES_MY_COURSE_FAVORITES_OK:
        m_viewModel->onUpdateListVideo(entries(value.as<QVariant>()));
        break;
    case Event::RES_ALBUM_COURSES_OK:
        m_viewModel->onUpdateAlbumVideos(entries(value.as<QVariant>()));
        break;
    case Event::RES_SEARCH_ALBUMS_OK:
    case Event::RES_MY_ALBUM_FAVORITES_OK:
        m_viewModel->onUpdateListAlbum(entries(value.as<QVariant>()));
        break;
    case Event::RES_ALBUM_LIST_OK:
        m_viewModel->onUpdateListAlbumVIP(entries(value.as<QVariant>()));
        break;
    case Event::RES_ALBUM_DETAIL_OK:
        m_viewModel->onUpdateAlbumDetail(value.as<QVariant>());
        break;
    case Event::RES_ADD_FAVORITE_OK:
        Toast::info(QStringLiteral("收藏成功!"), kToastMs);
        break;
    case Event::RES_ADD_FAVORITE_FAIL:
        Toast::info(value.as<QString>(), kToastMs);
        break;
    case Event::RES_COURSE_LIST_FAIL:
    case Event::RES_SEARCH_COURSES_FAIL:
    case Event::RES_SEARCH_ALBUMS_FAIL:
    case Event::RES_ALBUM_LIST_FAIL:
    case Event::RES_ALBUM_DETAIL_FAIL:
    case Event::RES_ALBUM_COURSES_FAIL:
    case Event::RES_MY_COURSE_FAVORITES_FAIL:
    case Event::RES_MY_ALBUM_FAVORITES_FAIL:
        m_viewModel->onUpdateLoadFailed(value.as<QString>());
        break;
    default:
        break;
    }
}
