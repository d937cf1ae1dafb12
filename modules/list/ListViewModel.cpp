#include "ListViewModel.h"

#include "EventIds.h"
#include "ListFilter.h"
#include "ListModel.h"

namespace {
const QString kFavorite = QStringLiteral("LIST_FAVORITE");
const QString kSearch = QStringLiteral("LIST_SEARCH");
const QString kNatureID = QStringLiteral("natureID");
const QString kCategoryID = QStringLiteral("categoryID");
} // namespace

void ListViewModel::assign(QVariant& field, const QVariant& value,
                           void (ListViewModel::*changed)(const QVariant&)) {
    if (field == value)
        return;
    field = value;
    emit(this->*changed)(value);
}

void ListViewModel::setMode(const QString& mode) {
    m_listStatus.clear();
    setListStatus(mode);
}

void ListViewModel::setListVideoData(const QVariant& data) {
    assign(m_listVideoData, data, &ListViewModel::ListVideoDataChanged);
}

void ListViewModel::setListAlbumData(const QVariant& data) {
    assign(m_listAlbumData, data, &ListViewModel::ListAlbumDataChanged);
}

void ListViewModel::setListAlbumVIP(const QVariant& data) {
    assign(m_listAlbumVIP, data, &ListViewModel::ListAlbumVIPChanged);
}

void ListViewModel::setAlbumData(const QVariant& data) {
    assign(m_albumData, data, &ListViewModel::AlbumDataChanged);
}

void ListViewModel::setListStatus(const QString& status) {
    if (m_listStatus == status)
        return;
    m_listStatus = status;
    emit ListStatusChanged(status);
}

void ListViewModel::setKeyword(const QString& keyword) {
    if (m_keyword == keyword)
        return;
    m_keyword = keyword;
    emit KeywordChanged(keyword);
}

void ListViewModel::onClickVideo() {
    if (m_listStatus == kFavorite)
        dispatchEvent(Event::REQ_MY_COURSE_FAVORITES,
                      AnyValue::of(QVariantMap{{QStringLiteral("cid"), QStringLiteral("0")}}));
    else if (m_listStatus == kSearch)
        dispatchEvent(Event::SEARCH_VIDEOS, AnyValue());
}

void ListViewModel::onClickAlbum() {
    if (m_listStatus == kFavorite)
        dispatchEvent(Event::REQ_MY_ALBUM_FAVORITES, AnyValue::of(QVariantMap()));
    else if (m_listStatus == kSearch)
        dispatchEvent(Event::SEARCH_ALBUMS, AnyValue());
}

void ListViewModel::onClickFavorite() {
    if (m_model->isLoggedIn())
        m_model->addFavorite(m_albumData.toMap().value(QStringLiteral("album_id")));
    else
        dispatchEvent(Event::SHOW_LOGIN, AnyValue());
}

void ListViewModel::onClickVideoItem(const QVariant& item) {
    dispatchEvent(Event::OPEN_HOME_ITEM, AnyValue::of(item));
}

void ListViewModel::onClickRefresh(const QVariant& filters) {
    if (sortsItself()) {
        m_filters = filters.toMap();
        // The filters wait for a list that has not arrived, which is asked
        // for again: its request may have failed.
        if (m_keptArrived)
            showKept();
        else
            dispatchEvent(m_sourceRequest, AnyValue::of(QVariant(m_sourceQuery)));
        return;
    }
    // Sorting and filtering stay within the page's nature or category.
    QVariantMap query = filters.toMap();
    for (auto it = m_scope.constBegin(); it != m_scope.constEnd(); ++it)
        query.insert(it.key(), it.value());
    dispatchEvent(Event::REQ_COURSE_LIST, AnyValue::of(QVariant(query)));
}

void ListViewModel::onLoadMore() {
    dispatchEvent(Event::RELOAD_LEFT_LIST, AnyValue());
}

void ListViewModel::onUpdateListVideo(const QVariant& data) {
    m_listVideoData = QVariant();
    setListVideoData(data);
}

void ListViewModel::onUpdateAlbumVideos(const QVariant& data) {
    onUpdateListVideo(m_source == Source::AlbumClips ? QVariant(keepEntries(data)) : data);
}

void ListViewModel::onUpdateListAlbum(const QVariant& data) {
    m_listAlbumData = QVariant();
    setListAlbumData(data);
}

void ListViewModel::onUpdateListAlbumVIP(const QVariant& data) {
    m_listAlbumVIP = QVariant();
    setListAlbumVIP(m_source == Source::AlbumList ? QVariant(keepEntries(data)) : data);
}

void ListViewModel::onUpdateLoadFailed(const QString& message) {
    emit LoadFailed(message);
}

bool ListViewModel::sortsItself() const {
    return m_source == Source::AlbumList || m_source == Source::AlbumClips;
}

QVariantList ListViewModel::keepEntries(const QVariant& data) {
    m_kept += data.toList();
    m_keptArrived = true;
    return ListFilter::apply(m_kept, m_filters);
}

void ListViewModel::showKept() {
    const QVariant shown = ListFilter::apply(m_kept, m_filters);
    if (m_source == Source::AlbumList) {
        m_listAlbumVIP = QVariant();
        setListAlbumVIP(shown);
    } else {
        m_listVideoData = QVariant();
        setListVideoData(shown);
    }
}

void ListViewModel::onUpdateAlbumDetail(const QVariant& data) {
    m_albumData = QVariant();
    setAlbumData(data);
    const QVariant albumID = data.toMap().value(QStringLiteral("album_id"));
    dispatchEvent(Event::REQ_ALBUM_COURSES,
                  AnyValue::of(QVariant(QVariantMap{{QStringLiteral("albumID"), albumID}})));
}

void ListViewModel::rememberScope(const QVariantMap& query) {
    if (!m_scope.isEmpty())
        return;
    for (const QString& key : {kNatureID, kCategoryID})
        if (query.contains(key))
            m_scope.insert(key, query.value(key));
}

void ListViewModel::rememberSource(int id, const QVariantMap& query) {
    const Source source = id == Event::REQ_COURSE_LIST  ? Source::ClipList
                          : id == Event::REQ_ALBUM_LIST ? Source::AlbumList
                                                        : Source::AlbumClips;
    if (m_source == Source::Unknown) {
        m_source = source;
        m_sourceRequest = id;
        m_sourceQuery = query;
    }
    if (source == Source::ClipList)
        rememberScope(query);
    // A first page starts the kept list again; later pages add to it.
    if (source == m_source && query.value(QStringLiteral("start")).toInt() == 0) {
        m_kept.clear();
        m_keptArrived = false;
    }
}

void ListViewModel::onEvent(int id, const AnyValue& value) {
    switch (id) {
    case Event::KEYWORD_CHANGED:
        setKeyword(value.as<QVariant>().toString());
        break;
    case Event::OPEN_ALBUM: {
        const QVariant albumID = value.as<QVariant>().toMap().value(QStringLiteral("id"));
        // The album's clips follow its details: a sort before they arrived
        // asks for the details again.
        m_source = Source::AlbumClips;
        m_sourceRequest = Event::REQ_ALBUM_DETAIL;
        m_sourceQuery = QVariantMap{{QStringLiteral("albumID"), albumID}};
        dispatchEvent(Event::REQ_ALBUM_DETAIL, AnyValue::of(QVariant(m_sourceQuery)));
        break;
    }
    case Event::REQ_COURSE_LIST:
    case Event::REQ_ALBUM_LIST:
    case Event::REQ_ALBUM_COURSES:
        rememberSource(id, value.as<QVariant>().toMap());
        break;
    default:
        break;
    }
}
