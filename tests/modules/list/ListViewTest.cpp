#include "ListView.h"
#include "ListWidget.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QtTest>

namespace {
QVariantList entries(int from, int to) {
    QVariantList list;
    for (int i = from; i < to; ++i)
        list << QVariantMap{{"id", QString::number(i)}, {"title", "t"}, {"is_vip", "0"}};
    return list;
}
} // namespace

// The list page view: modes, filter map, empty pages and loading more.
class ListViewTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QDir::setCurrent(QDir::tempPath()); }

    void filterMapFollowsTheCheckedButtons() {
        ListView view;
        view.onListStatusChanged("LIST_VIDEO");
        QSignalSpy refresh(&view, &ListView::ClickRefresh);
        view.findChild<QPushButton*>("btnHot")->click();
        view.findChild<QPushButton*>("btnCount3")->click();
        QCOMPARE(refresh.count(), 2);
        QCOMPARE(refresh.last().at(0).toMap(), (QVariantMap{{"sort", "hot"},
                                                            {"difficulty", "all"},
                                                            {"pronunciation", "all"},
                                                            {"speed", "all"},
                                                            {"role", "all"},
                                                            {"subtitle", "6,9"}}));
        view.findChild<QPushButton*>("btnLevel1")->click();
        view.findChild<QPushButton*>("btnRole4")->click();
        view.findChild<QPushButton*>("btnSpeed5")->click();
        view.findChild<QPushButton*>("btnLanguage2")->click();
        view.findChild<QPushButton*>("btnNew")->click();
        QCOMPARE(view.filters(), (QVariantMap{{"sort", "new"},
                                              {"difficulty", "0"},
                                              {"pronunciation", "2"},
                                              {"speed", "5"},
                                              {"role", "4"},
                                              {"subtitle", "6,9"}}));
        // One choice per row: the row's "全部" gives "all" again.
        view.findChild<QPushButton*>("btnAllLevel")->click();
        QCOMPARE(view.filters().value("difficulty").toString(), QString("all"));
    }

    void modesRemoveTheirParts() {
        ListView more;
        more.onListStatusChanged("LIST_MORE");
        QVERIFY(!more.findChild<QPushButton*>("btnVideo"));
        QVERIFY(more.findChild<QWidget*>("screen"));
        ListView search;
        search.onListStatusChanged("LIST_SEARCH");
        QVERIFY(!search.findChild<QWidget*>("screen"));
        QVERIFY(!search.findChild<QWidget*>("option"));
        QVERIFY(search.findChild<QPushButton*>("btnAlbum"));
        ListView favourites;
        QSignalSpy video(&favourites, &ListView::ClickVideo);
        favourites.onListStatusChanged("LIST_FAVORITE");
        QCOMPARE(video.count(), 1); // the favourite clips are asked for at once
        QCOMPARE(favourites.findChild<QPushButton*>("btnVideo")->text(), QString("配音视频"));
    }

    void emptyListsSayThereIsNothing() {
        ListView view;
        view.onListStatusChanged("LIST_SEARCH");
        QCOMPARE(view.emptyText(), QString("正在加载中..."));
        view.onListVideoDataChanged(QVariantList());
        QCOMPARE(view.emptyText(), QString("暂时没有内容噢..."));
        QVERIFY(!view.showsCards());
        QVERIFY(view.findChild<QWidget*>("iconNull")->isHidden());
    }

    void cardsAreAddedAsClips() {
        ListView view;
        view.onListStatusChanged("LIST_VIDEO");
        view.onListVideoDataChanged(entries(0, 3));
        QVERIFY(view.showsCards());
        QCOMPARE(view.cardCount(), 3);
        QCOMPARE(view.cards().at(0).toMap().value("module").toString(), QString("course"));
    }

    void loadMoreOnceUntilNewCardsArrive() {
        ListView view;
        view.resize(1045, 700);
        view.onListStatusChanged("LIST_VIDEO");
        view.show();
        view.onListVideoDataChanged(entries(0, 40));
        auto* grid = view.findChild<ListWidget*>("listWidget");
        QSignalSpy more(&view, &ListView::LoadMore);
        QScrollBar* bar = grid->verticalScrollBar();
        QTRY_VERIFY(bar->maximum() > 0);
        bar->setValue(bar->maximum());
        bar->setValue(0);
        bar->setValue(bar->maximum());
        QCOMPARE(more.count(), 1);
        // The same page again adds nothing: the list has ended, no more asks.
        view.onListVideoDataChanged(entries(0, 40));
        QCOMPARE(view.cardCount(), 40);
        QVERIFY(grid->isLoading());
        // A real next page continues the grid and allows the next ask.
        view.onListVideoDataChanged(entries(40, 60));
        QCOMPARE(view.cardCount(), 60);
        QVERIFY(!grid->isLoading());
        // An empty next page keeps the cards.
        QTRY_VERIFY(bar->maximum() > 0);
        bar->setValue(bar->maximum());
        view.onListVideoDataChanged(QVariantList());
        QVERIFY(view.showsCards());
        QCOMPARE(more.count(), 2);
    }

    void albumPagesOfTheVipZoneContinue() {
        ListView view;
        view.onListStatusChanged("LIST_MORE");
        view.onListAlbumVIPChanged(entries(0, 3));
        QCOMPARE(view.cardCount(), 3);
        QCOMPARE(view.cards().at(0).toMap().value("module").toString(), QString("album"));
        view.onListAlbumVIPChanged(entries(5, 6)); // not loading more: replaces
        QCOMPARE(view.cardCount(), 1);
    }

    void albumResultsNeedTheAlbumTab() {
        ListView view;
        view.onListStatusChanged("LIST_SEARCH");
        view.onListAlbumDataChanged(entries(0, 2));
        QCOMPARE(view.cardCount(), 0);
        view.findChild<QPushButton*>("btnAlbum")->click();
        view.onListAlbumDataChanged(entries(0, 2));
        QCOMPARE(view.cardCount(), 2);
    }

    void albumHeader() {
        ListView view;
        view.onListStatusChanged("LIST_ALBUM");
        view.onAlbumDataChanged(
            QVariantMap{{"album_title", "Friends"}, {"difficulty", "3"}, {"description", "D"}});
        QCOMPARE(view.findChild<QLabel*>("level")->text(), QString("PreA3"));
        QCOMPARE(view.findChild<QLabel*>("title")->text(), QString("Friends"));
        QVERIFY(view.findChild<QWidget*>("start")->styleSheet().contains(":/images/level3.png"));
        QVERIFY(QFile::exists(":/images/level3.png"));
        QVERIFY(!view.findChild<QWidget*>("album")->isHidden());
        view.onListVideoDataChanged(entries(0, 2));
        view.onListVideoDataChanged(entries(0, 1)); // an album's clips replace the grid
        QCOMPARE(view.cardCount(), 1);
    }

    // The header fits pages narrower than the form: the description box
    // keeps its right edge and rounded corners inside the page.
    void albumHeaderFitsThePage() {
        ListView view;
        view.resize(860, 700);
        view.onListStatusChanged("LIST_ALBUM");
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        auto* overview = view.findChild<QWidget*>("overview");
        const QRect box(overview->mapTo(&view, QPoint(0, 0)), overview->size());
        QVERIFY2(box.right() < view.width() - 5, qPrintable(QString::number(box.right())));
        QVERIFY(box.width() > 200);
    }

    // The fold-out arrow keeps its own look when checked; the checked look of
    // the sort buttons is not for it.
    void foldOutArrowIsNoGreenSquare() {
        ListView view;
        view.resize(1045, 700);
        view.onListStatusChanged("LIST_VIDEO");
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        auto* more = view.findChild<QPushButton*>("btnMore");
        more->click();
        QVERIFY(more->isChecked());
        QVERIFY(!view.findChild<QWidget*>("option")->isHidden());
        const QImage shown = more->grab().toImage();
        int green = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                green += shown.pixelColor(x, y) == QColor(42, 207, 111) ? 1 : 0;
        QVERIFY2(green < shown.width() * shown.height() / 4, qPrintable(QString::number(green)));
    }
};

QTEST_MAIN(ListViewTest)
#include "ListViewTest.moc"
