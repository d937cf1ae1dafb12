#include "BannerView.h"
#include "HomeBannerAndHotSearchView.h"
#include "HomeHotSearchItemDelegate.h"
#include "HomeItemView.h"
#include "HomeView.h"
#include "VideoItemView.h"

#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QtTest>

namespace {
// JSON written with single quotes, for readable literals.
QString json(const char* text) {
    return QString::fromUtf8(text).replace('\'', '"');
}

QVariantList cards(int n, const QString& prefix) {
    QVariantList list;
    for (int i = 0; i < n; ++i)
        list << QVariantMap{{"id", QString::number(i)},
                            {"title", prefix + QString::number(i)},
                            {"subtitle_num", "6"},
                            {"is_vip", "0"}};
    return list;
}

QString keywords(int n) {
    QStringList entries;
    for (int i = 1; i <= n; ++i)
        entries << QStringLiteral("{\"keyword\":\"k%1\"}").arg(i);
    return QStringLiteral("{\"video\":[%1]}").arg(entries.join(','));
}
} // namespace

// The home page's widgets: cards, sections, carousel and hot searches.
class HomeViewsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QDir::setCurrent(QDir::tempPath()); }

    void cardTextsAndBadges_data() {
        QTest::addColumn<QVariantMap>("item");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("badge");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("desc");
        QTest::newRow("free clip") << QVariantMap{{"module", "course"},
                                                  {"is_vip", "0"},
                                                  {"title", "T"},
                                                  {"duration", 3725}}
                                   << false << "免费试听"
                                   << "01:02:05"
                                   << "T";
        QTest::newRow("vip clip") << QVariantMap{{"module", "blue_course"},
                                                 {"is_vip", "1"},
                                                 {"title", "B"}}
                                  << true << "VIP视频"
                                  << "00:00:00"
                                  << "B";
        QTest::newRow("free album") << QVariantMap{{"module", "album"},
                                                   {"is_vip", "0"},
                                                   {"album_title", "A"},
                                                   {"course_num", 4}}
                                    << true << "专辑"
                                    << "4个视频"
                                    << "A";
        QTest::newRow("vip album") << QVariantMap{{"module", "album"},
                                                  {"is_vip", "1"},
                                                  {"album_title", "A"},
                                                  {"course_num", 2}}
                                   << true << "VIP专辑"
                                   << "2个视频"
                                   << "A";
        QTest::newRow("svip album")
            << QVariantMap{{"module", "album"}, {"is_vip", "2"}} << true << "SVIP专辑"
            << "个视频"
            << "";
        QTest::newRow("limit free vip")
            << QVariantMap{{"module", "limit_free"}, {"is_vip", "1"}, {"album_title", "L"}} << true
            << "限时免费"
            << "00:00:00"
            << "L";
        QTest::newRow("unknown kind")
            << QVariantMap{{"module", "other"}, {"is_vip", "0"}} << false << "Label"
            << "00:00:00"
            << "";
        QTest::newRow("a day wraps")
            << QVariantMap{{"module", "course"}, {"duration", 86400 + 61}} << false << "Label"
            << "00:01:01"
            << "";
    }
    void cardTextsAndBadges() {
        QFETCH(QVariantMap, item);
        QFETCH(bool, shown);
        QFETCH(QString, badge);
        QFETCH(QString, time);
        QFETCH(QString, desc);
        VideoItemView card;
        card.setData(item);
        QCOMPARE(card.badgeShown(), shown);
        QCOMPARE(card.badgeText(), badge);
        QCOMPARE(card.timeText(), time);
        QCOMPARE(card.descText(), desc);
        QCOMPARE(card.data().value("type").toString(), QString("video"));
    }

    void cardCountAndClick() {
        VideoItemView card;
        card.setData(QVariantMap{{"module", "course"}, {"id", "5"}});
        QCOMPARE(card.countText(), QString("句"));
        QSignalSpy click(&card, &VideoItemView::ClickVideoItem);
        QTest::mouseClick(&card, Qt::LeftButton);
        QCOMPARE(click.count(), 1);
        QCOMPARE(click.at(0).at(0).toMap().value("id").toString(), QString("5"));
    }

    void sectionTakesTheListOfItsModule() {
        HomeItemView section;
        section.setData(QVariantMap{{"module", "blue_course"},
                                    {"id", "2"},
                                    {"title", "精选"},
                                    {"blue_course", cards(3, "b")},
                                    {"course", cards(5, "c")}});
        QCOMPARE(section.cardCount(), 3);
        QCOMPARE(section.title(), QString("精选 >"));
        section.setData(QVariantMap{{"module", "mystery"}, {"mystery", cards(2, "m")}});
        QCOMPARE(section.cardCount(), 0);
        QSignalSpy refresh(&section, &HomeItemView::ClickRefresh);
        section.setData(QVariantMap{{"module", "album"}, {"id", "9"}, {"album", cards(1, "a")}});
        section.findChild<QPushButton*>("btnRefresh")->click();
        QCOMPARE(refresh.at(0), (QList<QVariant>{"album", "9"}));
    }

    void refreshReplacesTheMatchingSection() {
        HomeView home;
        home.onListDataChanged(
            QVariantList{QVariantMap{{"module", "course"}, {"id", "1"}, {"course", cards(2, "a")}},
                         QVariantMap{{"module", "course"}, {"id", "2"}, {"course", cards(2, "b")}},
                         QVariantMap{{"module", "album"}, {"id", "3"}, {"album", cards(2, "c")}}});
        QCOMPARE(home.sections().size(), 3);
        home.onListItemDataChanged(
            QVariantMap{{"module", "course"}, {"id", "2"}, {"course", cards(5, "n")}});
        QCOMPARE(home.sections().at(1)->cardCount(), 5);
        // Without an id the first section of the module is the one.
        home.onListItemDataChanged(
            QVariantMap{{"module", "course"}, {"id", ""}, {"course", cards(4, "n")}});
        QCOMPARE(home.sections().at(0)->cardCount(), 4);
        QCOMPARE(home.sections().at(1)->cardCount(), 5);
        home.onListItemDataChanged(
            QVariantMap{{"module", "album"}, {"id", "99"}, {"album", cards(7, "x")}});
        QCOMPARE(home.sections().at(2)->cardCount(), 2);
        // A new section list replaces all sections but keeps the banner row.
        home.onListDataChanged(QVariantList{QVariantMap{{"module", "album"}, {"id", "3"}}});
        QCOMPARE(home.sections().size(), 1);
        QVERIFY(home.bannerRow());
    }

    void delegateGeometry() {
        HomeHotSearchItemDelegate delegate;
        QCOMPARE(delegate.sizeHint({}, {}), QSize(170, 0));
        delegate.onSizeChanged(QSize(300, 180));
        QCOMPARE(delegate.sizeHint({}, {}), QSize(170, 30));
        QCOMPARE(delegate.badgeRect(1, 170), QRect(10, 10, 20, 20));
        QCOMPARE(delegate.textRect(5, 170), QRect(40, 151, 130, 20));
        QCOMPARE(delegate.badgeRect(6, 170), QRect(170, 10, 20, 20));
        QCOMPARE(delegate.textRect(10, 170), QRect(200, 151, 130, 20));
        delegate.onShowNormal(false);
        QCOMPARE(delegate.badgeRect(2, 170), QRect(10, 80, 20, 20));
        QCOMPARE(delegate.badgeRect(7, 170), QRect(280, 80, 20, 20));
        QCOMPARE(delegate.textRect(7, 170), QRect(310, 81, 150, 20));
        QCOMPARE(HomeHotSearchItemDelegate::badgeColor(1), QColor("#FF554C"));
        QCOMPARE(HomeHotSearchItemDelegate::badgeColor(2), QColor("#FF7F2C"));
        QCOMPARE(HomeHotSearchItemDelegate::badgeColor(3), QColor("#FFBC49"));
        QCOMPARE(HomeHotSearchItemDelegate::badgeColor(4), QColor("#B1C6C6"));
    }

    void hotSearchesKeepTheFirstTen() {
        HomeBannerAndHotSearchView row;
        row.setHotSearchData(keywords(12));
        QCOMPARE(row.keywordModel()->rowCount(), 10);
        QCOMPARE(row.keywordModel()->index(9, 0).data(Qt::DisplayRole).toInt(), 10);
        QCOMPARE(row.keywordModel()->index(9, 0).data(Qt::DecorationRole).toString(),
                 QString("k10"));
        HomeBannerAndHotSearchView few;
        few.setHotSearchData(keywords(3));
        QCOMPARE(few.keywordModel()->rowCount(), 3);
        few.setHotSearchData("not json");
        QCOMPARE(few.keywordModel()->rowCount(), 3);
    }

    // Each keyword is painted at a place of its own, not in the row the list
    // lays out there: a click searches the keyword painted under it.
    void clickSearchesThePaintedKeyword() {
        HomeView home;
        home.resize(1400, 700);
        HomeBannerAndHotSearchView* row = home.bannerRow();
        row->setHotSearchData(keywords(10));
        home.show();
        QVERIFY(QTest::qWaitForWindowExposed(&home));
        auto* list = row->findChild<QListView*>("listView");
        QSignalSpy search(row, &HomeBannerAndHotSearchView::ClickHotSearch);
        for (bool maximised : {false, true}) {
            if (maximised)
                home.onShowMax();
            QCoreApplication::processEvents();
            const int w = list->visualRect(row->keywordModel()->index(0, 0)).width();
            for (int rank = 1; rank <= 10; ++rank) {
                const QRect text = row->delegate()->textRect(rank, w);
                QVERIFY2(list->viewport()->rect().contains(text.center()),
                         qPrintable(QString("rank %1 is painted outside the list").arg(rank)));
                search.clear();
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, text.center());
                QCOMPARE(search.count(), 1);
                QCOMPARE(search.at(0).at(0).toString(), QString("k%1").arg(rank));
                // The badge is part of the keyword too.
                search.clear();
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                  row->delegate()->badgeRect(rank, w).center());
                QCOMPARE(search.at(0).at(0).toString(), QString("k%1").arg(rank));
            }
        }
        // Between the two columns nothing is painted and nothing is searched.
        search.clear();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(200, 300));
        QCOMPARE(search.count(), 0);
    }

    void carouselOrder() {
        HomeBannerAndHotSearchView row;
        row.setBannerData(json("[{'type':'course','pic':'http://127.0.0.1:9/p1.jpg','tyid':'1'},"
                               "{'type':'album','pic':'http://127.0.0.1:9/p2.jpg','tyid':'2'},"
                               "{'type':'advert','pic':'http://127.0.0.1:9/p3.jpg','tyid':'3'}]"));
        auto idOf = [](BannerView* b) { return b->data().value("id").toString(); };
        // First step: banner 1 slides out while banner 2 slides in.
        QCOMPARE(idOf(row.outgoingBanner()), QString("1"));
        QCOMPARE(idOf(row.incomingBanner()), QString("2"));
        QStringList incoming;
        for (int i = 0; i < 4; ++i) {
            row.carouselStep();
            incoming << idOf(row.incomingBanner());
            QVERIFY(row.outgoingBanner() != row.incomingBanner());
        }
        QCOMPARE(incoming, (QStringList{"3", "1", "2", "3"}));
        QVERIFY(row.bannerList().size() == 3);
    }

    void oneBannerSlidesItselfInAndOut() {
        HomeBannerAndHotSearchView row;
        row.setBannerData(
            json("[{'type':'course','pic':'http://127.0.0.1:9/only.jpg','tyid':'1'}]"));
        row.carouselStep();
        QCOMPARE(row.outgoingBanner()->data().value("id").toString(), QString("1"));
        QCOMPARE(row.incomingBanner()->data().value("id").toString(), QString("1"));
        HomeBannerAndHotSearchView none;
        none.setBannerData("[]");
        QVERIFY(!none.incomingBanner());
    }

    void bannerClicksByType() {
        BannerView banner;
        QSignalSpy click(&banner, &BannerView::ClickBanner);
        banner.setData(QVariantMap{{"type", "album"}, {"id", "4"}, {"img", "/nothing.png"}});
        QTest::mouseClick(&banner, Qt::LeftButton);
        banner.setData(QVariantMap{{"type", "poster"}, {"id", "5"}});
        QTest::mouseClick(&banner, Qt::LeftButton);
        QCOMPARE(click.count(), 1);
        QCOMPARE(click.at(0).at(0).toMap().value("id").toString(), QString("4"));
    }

    void maximiseAndRestoreTheRow() {
        HomeView home;
        HomeBannerAndHotSearchView* row = home.bannerRow();
        const QSize normal = row->size();
        home.onShowMax();
        QCOMPARE(row->height(), int(normal.height() * 1.7));
        QVERIFY(!row->delegate()->isNormal());
        home.onShowNormal();
        QCOMPARE(row->size(), QSize(940, 230));
        QVERIFY(row->delegate()->isNormal());
    }
};

QTEST_MAIN(HomeViewsTest)
#include "HomeViewsTest.moc"
