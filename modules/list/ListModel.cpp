#include "ListModel.h"

#include "EventIds.h"
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

void ListModel::onEvent(int id, const AnyValue& value) {
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
    default:
        break;
    }
}
