#include "EventIds.h"
#include "EventLog.h"
#include "ListFilter.h"
#include "ListModel.h"
#include "ListViewModel.h"
#include "TestSession.h"
#include "Toast.h"

#include <QSignalSpy>
#include <QtTest>
#include <memory>

// The list page's data side: modes, results and the clicks that become
// requests.
class ListDataTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<ListViewModel> vm;
    std::unique_ptr<ListModel> model;
    std::unique_ptr<EventLog> log;

    void build(const QString& mode) {
        vm = std::make_unique<ListViewModel>();
        model = std::make_unique<ListModel>();
        vm->setModel(model.get());
        model->setViewModel(vm.get());
        log = std::make_unique<EventLog>();
        vm->setMode(mode);
    }

private slots:
    void init() { testSession()->reset(); }
    void cleanup() {
        log.reset();
        vm.reset();
        model.reset();
    }

    void modeIsAnnouncedOnce() {
        build("LIST_VIDEO");
        QSignalSpy status(vm.get(), &ListViewModel::ListStatusChanged);
        vm->setMode("LIST_VIDEO");
        QCOMPARE(status.count(), 1);
    }

    void tabsAskByMode_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QList<int>>("sent");
        QTest::newRow("favourites")
            << "LIST_FAVORITE"
            << QList<int>{Event::REQ_MY_COURSE_FAVORITES, Event::REQ_MY_ALBUM_FAVORITES};
        QTest::newRow("search") << "LIST_SEARCH"
                                << QList<int>{Event::SEARCH_VIDEOS, Event::SEARCH_ALBUMS};
        QTest::newRow("more") << "LIST_MORE" << QList<int>{};
        QTest::newRow("nature") << "LIST_VIDEO" << QList<int>{};
    }
    void tabsAskByMode() {
        QFETCH(QString, mode);
        QFETCH(QList<int>, sent);
        build(mode);
        vm->onClickVideo();
        vm->onClickAlbum();
        QCOMPARE(log->ids(), sent);
        if (mode == "LIST_FAVORITE")
            QCOMPARE(log->lastMap(Event::REQ_MY_COURSE_FAVORITES), (QVariantMap{{"cid", "0"}}));
    }

    void favouriteNeedsLogin() {
        build("LIST_ALBUM");
        vm->onUpdateAlbumDetail(QVariantMap{{"album_id", "42"}});
        log->clear();
        vm->onClickFavorite();
        QCOMPARE(log->ids(), QList<int>{Event::SHOW_LOGIN});
        testSession()->fillFromLogin({{"uid", "1"}});
        vm->onClickFavorite();
        QCOMPARE(log->lastMap(Event::REQ_ADD_FAVORITE), (QVariantMap{{"cid", "0"}, {"aid", "42"}}));
        log->dispatchEvent(Event::RES_ADD_FAVORITE_OK, AnyValue::of(QVariant()));
        QCOMPARE(Toast::lastText(), QString("收藏成功!"));
        log->dispatchEvent(Event::RES_ADD_FAVORITE_FAIL, AnyValue::of(QString("已收藏")));
        QCOMPARE(Toast::lastText(), QString("已收藏"));
    }

    void albumDetailsThenItsClips() {
        build("LIST_ALBUM");
        log->dispatchEvent(Event::OPEN_ALBUM,
                           AnyValue::of(QVariant(QVariantMap{{"id", "8"}, {"module", "album"}})));
        QCOMPARE(log->lastMap(Event::REQ_ALBUM_DETAIL), (QVariantMap{{"albumID", "8"}}));
        QSignalSpy album(vm.get(), &ListViewModel::AlbumDataChanged);
        const QVariantMap details{{"album_id", "8"}, {"album_title", "T"}};
        log->dispatchEvent(Event::RES_ALBUM_DETAIL_OK, AnyValue::of(QVariant(details)));
        log->dispatchEvent(Event::RES_ALBUM_DETAIL_OK, AnyValue::of(QVariant(details)));
        QCOMPARE(album.count(), 2); // announced again even when equal
        QCOMPARE(log->lastMap(Event::REQ_ALBUM_COURSES), (QVariantMap{{"albumID", "8"}}));
        QSignalSpy clips(vm.get(), &ListViewModel::ListVideoDataChanged);
        log->dispatchEvent(Event::RES_ALBUM_COURSES_OK,
                           AnyValue::of(QVariant(QVariantList{QVariantMap{{"id", "1"}}})));
        QCOMPARE(clips.count(), 1);
    }

    // An album page never shows the whole catalogue: a sort before its clips
    // arrived asks for the album again, one after shows the album's clips.
    void albumSortStaysInTheAlbum() {
        build("LIST_ALBUM");
        log->dispatchEvent(Event::OPEN_ALBUM, AnyValue::of(QVariant(QVariantMap{{"id", "8"}})));
        log->clear();
        const QVariantMap hot{{"sort", "hot"}};
        vm->onClickRefresh(hot);
        QCOMPARE(log->ids(), QList<int>{Event::REQ_ALBUM_DETAIL});
        QCOMPARE(log->lastMap(Event::REQ_ALBUM_DETAIL), (QVariantMap{{"albumID", "8"}}));
        log->dispatchEvent(Event::RES_ALBUM_DETAIL_OK,
                           AnyValue::of(QVariant(QVariantMap{{"album_id", "8"}})));
        QSignalSpy clips(vm.get(), &ListViewModel::ListVideoDataChanged);
        log->dispatchEvent(
            Event::RES_ALBUM_COURSES_OK,
            AnyValue::of(QVariant(QVariantList{QVariantMap{{"id", "1"}, {"hot", 1}},
                                               QVariantMap{{"id", "2"}, {"hot", 9}}})));
        QCOMPARE(clips.last().at(0).toList().first().toMap().value("id").toString(), QString("2"));
        log->clear();
        vm->onClickRefresh(QVariantMap{{"sort", "all"}});
        QVERIFY(!log->ids().contains(Event::REQ_COURSE_LIST));
        QCOMPARE(clips.last().at(0).toList().first().toMap().value("id").toString(), QString("1"));
    }

    void resultsLandInTheirProperty() {
        build("LIST_SEARCH");
        const QVariantList one{QVariantMap{{"id", "1"}}};
        QSignalSpy clips(vm.get(), &ListViewModel::ListVideoDataChanged);
        QSignalSpy albums(vm.get(), &ListViewModel::ListAlbumDataChanged);
        QSignalSpy vip(vm.get(), &ListViewModel::ListAlbumVIPChanged);
        // A search answer and a category list answer take the same road.
        log->dispatchEvent(Event::RES_COURSE_LIST_OK, AnyValue::of(QVariant(one)));
        log->dispatchEvent(Event::RES_COURSE_LIST_OK,
                           AnyValue::of(QVariant(QVariantMap{{"course_list", one}})));
        log->dispatchEvent(Event::RES_MY_COURSE_FAVORITES_OK, AnyValue::of(QVariant(one)));
        log->dispatchEvent(Event::RES_SEARCH_ALBUMS_OK, AnyValue::of(QVariant(one)));
        log->dispatchEvent(Event::RES_MY_ALBUM_FAVORITES_OK, AnyValue::of(QVariant(one)));
        log->dispatchEvent(Event::RES_ALBUM_LIST_OK, AnyValue::of(QVariant(one)));
        log->dispatchEvent(Event::RES_COURSE_LIST_FAIL, AnyValue::of(QString("no")));
        QCOMPARE(clips.count(), 3);
        QCOMPARE(clips.at(1).at(0).toList(), one);
        QCOMPARE(albums.count(), 2);
        QCOMPARE(vip.count(), 1);
        log->dispatchEvent(Event::KEYWORD_CHANGED, AnyValue::of(QVariant("cat")));
        QCOMPARE(vm->keyword(), QString("cat"));
    }

    void filtersKeepThePagesNature() {
        build("LIST_VIDEO");
        log->dispatchEvent(
            Event::REQ_COURSE_LIST,
            AnyValue::of(QVariant(QVariantMap{{"natureID", "7"}, {"categoryID", "0"}})));
        const QVariantMap filters{{"sort", "hot"},  {"difficulty", "all"}, {"pronunciation", "all"},
                                  {"speed", "all"}, {"role", "all"},       {"subtitle", "6,9"}};
        vm->onClickRefresh(filters);
        QVariantMap expected = filters;
        expected.insert("natureID", "7");
        expected.insert("categoryID", "0");
        QCOMPARE(log->lastMap(Event::REQ_COURSE_LIST), expected);
        vm->onClickRefresh(filters); // the scope stays that of the first list
        QCOMPARE(log->lastMap(Event::REQ_COURSE_LIST), expected);
        log->clear();
        vm->onLoadMore();
        QCOMPARE(log->ids(), QList<int>{Event::RELOAD_LEFT_LIST});
    }

    // Lists the service does not sort (the VIP zone, an album's clips) are
    // sorted and filtered by the page with the keys of a clip-list request.
    void pageFiltersWhatTheServiceDoesNot_data() {
        QTest::addColumn<QVariantMap>("filters");
        QTest::addColumn<QStringList>("ids");
        const QVariantMap all{{"sort", "all"},  {"difficulty", "all"}, {"pronunciation", "all"},
                              {"speed", "all"}, {"role", "all"},       {"subtitle", "all"}};
        auto with = [all](const char* key, const char* value) {
            QVariantMap m = all;
            m.insert(key, value);
            return m;
        };
        QTest::newRow("everything") << all << QStringList{"1", "2", "3", "4"};
        QTest::newRow("hot first") << with("sort", "hot") << QStringList{"3", "1", "4", "2"};
        QTest::newRow("newest first") << with("sort", "new") << QStringList{"2", "4", "1", "3"};
        QTest::newRow("entry level holds 0.5") << with("difficulty", "0") << QStringList{"1"};
        QTest::newRow("level 2 up to 3") << with("difficulty", "2") << QStringList{"3"};
        QTest::newRow("3 to 5 sentences") << with("subtitle", "3,5") << QStringList{"1", "2"};
        QTest::newRow("10 and more") << with("subtitle", "10") << QStringList{"3"};
        QTest::newRow("exactly 2") << with("subtitle", "2") << QStringList{"4"};
        // An album carries no role: it does not match a role.
        QTest::newRow("role") << with("role", "2") << QStringList{"2"};
    }
    void pageFiltersWhatTheServiceDoesNot() {
        QFETCH(QVariantMap, filters);
        QFETCH(QStringList, ids);
        const QVariantList entries{QVariantMap{{"id", "1"},
                                               {"difficulty", "0.5"},
                                               {"subtitle_num", 3},
                                               {"hot", 20},
                                               {"create_time", "2024-01-02 10:00"},
                                               {"role", "1"}},
                                   QVariantMap{{"id", "2"},
                                               {"difficulty", "1"},
                                               {"subtitle_num", 5},
                                               {"hot", 5},
                                               {"create_time", "2024-03-01 09:00"},
                                               {"role", "2"}},
                                   QVariantMap{{"id", "3"},
                                               {"difficulty", "2.5"},
                                               {"subtitle_num", 12},
                                               {"hot", 90},
                                               {"create_time", "2023-12-31 23:59"},
                                               {"role", "1"}},
                                   QVariantMap{{"id", "4"},
                                               {"difficulty", "x"},
                                               {"subtitle_num", 2},
                                               {"hot", 20},
                                               {"create_time", "2024-02-15 08:00"}}};
        QStringList shown;
        for (const QVariant& entry : ListFilter::apply(entries, filters))
            shown << entry.toMap().value("id").toString();
        QCOMPARE(shown, ids);
    }

    void itemClickOpensTheItem() {
        build("LIST_MORE");
        vm->onClickVideoItem(QVariantMap{{"id", "3"}, {"module", "album"}});
        QCOMPARE(log->lastMap(Event::OPEN_HOME_ITEM).value("id").toString(), QString("3"));
    }
};

QTEST_MAIN(ListDataTest)
#include "ListDataTest.moc"
