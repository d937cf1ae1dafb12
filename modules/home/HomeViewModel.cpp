#include "HomeViewModel.h"

#include "EventIds.h"

void HomeViewModel::start() {
    dispatchEvent(Event::REQ_HOME_BANNER, AnyValue());
    dispatchEvent(Event::REQ_HOT_SEARCH, AnyValue());
    dispatchEvent(Event::REQ_HOME_INDEX, AnyValue());
}

void HomeViewModel::assign(QVariant& field, const QVariant& value,
                           void (HomeViewModel::*changed)(const QVariant&)) {
    if (field == value)
        return;
    field = value;
    emit(this->*changed)(value);
}

void HomeViewModel::setBannerData(const QVariant& data) {
    assign(m_bannerData, data, &HomeViewModel::BannerDataChanged);
}

void HomeViewModel::setHotData(const QVariant& data) {
    assign(m_hotData, data, &HomeViewModel::HotDataChanged);
}

void HomeViewModel::setListData(const QVariant& data) {
    assign(m_listData, data, &HomeViewModel::ListDataChanged);
}

void HomeViewModel::onClickHotSearch(const QString& keyword) {
    dispatchEvent(Event::SEARCH_KEYWORD, AnyValue::of(keyword));
}

void HomeViewModel::onClickBanner(const QVariant& banner) {
    QVariantMap item = banner.toMap();
    item.insert(QStringLiteral("module"), item.value(QStringLiteral("type")));
    dispatchEvent(Event::OPEN_HOME_ITEM, AnyValue::of(QVariant(item)));
}

void HomeViewModel::onClickListItemMore(const QVariant& section) {
    const QVariantMap s = section.toMap();
    dispatchEvent(Event::OPEN_MORE_PAGE, AnyValue());
    const QVariantMap query{{QStringLiteral("natureID"), QStringLiteral("0")},
                            {QStringLiteral("categoryID"), s.value(QStringLiteral("id"))}};
    const QString module = s.value(QStringLiteral("module")).toString();
    if (module == QLatin1String("course"))
        dispatchEvent(Event::REQ_COURSE_LIST, AnyValue::of(QVariant(query)));
    else if (module == QLatin1String("album"))
        dispatchEvent(Event::REQ_ALBUM_LIST, AnyValue::of(QVariant(query)));
}

void HomeViewModel::onClickListItemRefresh(const QString& module, const QString& id) {
    dispatchEvent(Event::REQ_HOME_REFRESH,
                  AnyValue::of(QVariantMap{{QStringLiteral("module"), module},
                                           {QStringLiteral("id"), id},
                                           {QStringLiteral("num"), QStringLiteral("10")}}));
}

void HomeViewModel::onClickVideoItem(const QVariant& item) {
    dispatchEvent(Event::OPEN_HOME_ITEM, AnyValue::of(item));
}

void HomeViewModel::onClickReload() {
    start();
}

void HomeViewModel::onUpdateLoadFailed(const QString& message) {
    emit LoadFailed(message);
}

void HomeViewModel::onUpdateBanner(const QVariant& data) {
    setBannerData(data);
}

void HomeViewModel::onUpdateHotSearch(const QVariant& data) {
    setHotData(data);
}

void HomeViewModel::onUpdateList(const QVariant& data) {
    setListData(data);
}

void HomeViewModel::onUpdateListItem(const QVariant& section) {
    emit ListItemDataChanged(section);
}

void HomeViewModel::onEvent(int id, const AnyValue&) {
    if (id == Event::WINDOW_MAXIMIZED)
        emit ShowMax();
    else if (id == Event::WINDOW_RESTORED)
        emit ShowNormal();
}
