#include "MainViewModel.h"

#include "EventIds.h"
#include "MainModel.h"

namespace {
const QString kHomePage = QStringLiteral("HomePage");
const QString kFavoritePage = QStringLiteral("FavoritePage");
const QString kMorePage = QStringLiteral("MorePage");
const QString kSearchPage = QStringLiteral("SearchPage");
const QString kLeftPage = QStringLiteral("LeftPage");
const QString kAlbumPage = QStringLiteral("AlbumDetailPage");
const QString kVideoDetailPage = QStringLiteral("VideoDetailPage");
const QString kVipAlbumCategory = QStringLiteral("vip_album");

AnyValue mapValue(const QVariantMap& map) {
    return AnyValue::of(QVariant(map));
}
} // namespace

void MainViewModel::start() {
    setRightPage(kHomePage);
}

void MainViewModel::setKeyword(const QString& keyword) {
    if (m_keyword == keyword)
        return;
    m_keyword = keyword;
    emit KeywordChanged(keyword);
}

void MainViewModel::setLeftList(const QVariant& list) {
    if (m_leftList == list)
        return;
    m_leftList = list;
    emit LeftListChanged(list);
}

void MainViewModel::setUserInfo(const QVariant& info) {
    if (m_userInfo == info)
        return;
    m_userInfo = info;
    emit UserInfoChanged(info);
}

void MainViewModel::setRightPage(const QString& page) {
    if (m_rightPage == page)
        return;
    m_rightPage = page;
    // A new page starts without a list to continue.
    m_listRequest = 0;
    m_listQuery.clear();
    emit RightPageChanged(page);
}

void MainViewModel::setPeiyinStatus(bool on) {
    if (m_peiyinStatus == on)
        return;
    m_peiyinStatus = on;
    emit PeiYinStatusChanged(on);
}

void MainViewModel::rebuildPage(const QString& page) {
    m_rightPage.clear();
    setRightPage(page);
}

void MainViewModel::onShowMax() {
    dispatchEvent(Event::WINDOW_MAXIMIZED, AnyValue());
}

void MainViewModel::onShowNormal() {
    dispatchEvent(Event::WINDOW_RESTORED, AnyValue());
}

void MainViewModel::onClickSearch(const QString& keyword) {
    dispatchEvent(Event::SEARCH_KEYWORD, AnyValue::of(keyword));
}

void MainViewModel::onClickSpace() {
    dispatchEvent(Event::KEY_SPACE, AnyValue::of(QVariant()));
}

void MainViewModel::onClickLeftList(int row) {
    m_model->reloadMissingNatures();
    m_favoritePending = false;
    m_lastRow = row;
    if (row == RowHome) {
        setRightPage(kHomePage);
    } else if (row == RowFavorite) {
        if (m_model->isLoggedIn())
            setRightPage(kFavoritePage);
        else
            dispatchEvent(Event::SHOW_LOGIN, AnyValue());
        m_favoritePending = true;
    } else if (row == RowVip) {
        setRightPage(kMorePage);
        requestRowList(row);
    } else if (row >= FixedRows) {
        setRightPage(QString());
        setRightPage(kLeftPage);
        requestRowList(row);
    }
}

void MainViewModel::requestRowList(int row) {
    if (row == RowVip) {
        dispatchEvent(Event::REQ_ALBUM_LIST,
                      mapValue({{QStringLiteral("categoryID"), kVipAlbumCategory}}));
        return;
    }
    const QVariantList natures = m_leftList.toList();
    const int index = row - FixedRows;
    if (row < FixedRows || index >= natures.size())
        return;
    const QVariantMap nature = natures.at(index).toMap();
    dispatchEvent(Event::REQ_COURSE_LIST,
                  mapValue({{QStringLiteral("natureID"), nature.value(QStringLiteral("nature_id"))},
                            {QStringLiteral("categoryID"), QStringLiteral("0")}}));
}

void MainViewModel::onClickLogin() {
    if (!m_model->isLoggedIn())
        dispatchEvent(Event::SHOW_LOGIN, AnyValue());
}

void MainViewModel::onClickLogout() {
    m_model->logout();
}

void MainViewModel::onClickPrev() {
    dispatchEvent(Event::NAV_BACK, AnyValue());
}

void MainViewModel::onClickNext() {
    dispatchEvent(Event::NAV_FORWARD, AnyValue());
}

void MainViewModel::onClickHotSearch(const QVariant& keyword) {
    search(keyword.toString());
}

void MainViewModel::onClickSearchVideo() {
    dispatchEvent(Event::REQ_SEARCH_COURSES,
                  AnyValue::of(QVariantMap{{QStringLiteral("keyword"), m_keyword}}));
}

void MainViewModel::onClickSearchAlbum() {
    dispatchEvent(Event::REQ_SEARCH_ALBUMS,
                  AnyValue::of(QVariantMap{{QStringLiteral("keyword"), m_keyword}}));
}

void MainViewModel::onUpdateLeftList(const QVariant& list) {
    m_leftList = QVariant();
    setLeftList(list);
}

void MainViewModel::onUpdateUserInfo(const QVariant& info) {
    m_userInfo = QVariant();
    setUserInfo(info);
    if (m_favoritePending)
        setRightPage(kFavoritePage);
}

void MainViewModel::search(const QString& keyword) {
    rebuildPage(kSearchPage);
    m_keyword.clear();
    setKeyword(keyword);
    dispatchEvent(Event::KEYWORD_CHANGED, AnyValue::of(QVariant(keyword)));
    dispatchEvent(Event::REQ_SEARCH_COURSES,
                  AnyValue::of(QVariantMap{{QStringLiteral("keyword"), keyword}}));
}

void MainViewModel::openItem(const QVariantMap& item) {
    m_rightPage.clear();
    // Clips of the "blue" sections are clips too; only albums open the album page.
    const QString module = item.value(QStringLiteral("module")).toString();
    if (module == QLatin1String("course") || module == QLatin1String("blue_course")) {
        setRightPage(kVideoDetailPage);
        if (item.value(QStringLiteral("video")).toString().contains(QLatin1String("http")))
            dispatchEvent(Event::OPEN_VIDEO, mapValue(item));
        else
            dispatchEvent(Event::REQ_COURSE_DETAIL, mapValue({{QStringLiteral("courseID"),
                                                               item.value(QStringLiteral("id"))}}));
        return;
    }
    setRightPage(kAlbumPage);
    dispatchEvent(Event::OPEN_ALBUM, mapValue(item));
}

void MainViewModel::rememberListQuery(int id, const QVariantMap& query) {
    // Our own follow-up pages carry a `start`; only a first page starts a list.
    const int start = query.value(QStringLiteral("start")).toInt();
    if (start != 0)
        return;
    m_listRequest = id;
    m_listQuery = query;
    m_nextStart = PageSize;
}

void MainViewModel::requestNextListPage() {
    if (m_listRequest == 0)
        return;
    QVariantMap query = m_listQuery;
    query.insert(QStringLiteral("start"), QString::number(m_nextStart));
    m_nextStart += PageSize;
    dispatchEvent(m_listRequest, mapValue(query));
}

void MainViewModel::onEvent(int id, const AnyValue& value) {
    switch (id) {
    case Event::SEARCH_KEYWORD:
        search(value.as<QString>());
        break;
    case Event::SEARCH_VIDEOS:
        onClickSearchVideo();
        break;
    case Event::SEARCH_ALBUMS:
        onClickSearchAlbum();
        break;
    case Event::OPEN_HOME_ITEM:
        openItem(value.as<QVariant>().toMap());
        break;
    case Event::OPEN_MORE_PAGE:
        setRightPage(kMorePage);
        break;
    case Event::DUBBING_STATE:
        setPeiyinStatus(value.as<QVariant>().toBool());
        break;
    case Event::LEAVE_VIDEO_PAGE:
        onClickLeftList(m_lastRow);
        break;
    case Event::RELOAD_LEFT_LIST:
        requestNextListPage();
        break;
    case Event::REQ_COURSE_LIST:
    case Event::REQ_ALBUM_LIST:
        rememberListQuery(id, value.as<QVariant>().toMap());
        break;
    default:
        break;
    }
}
