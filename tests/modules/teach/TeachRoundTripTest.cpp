// Teaching mode the way a learner uses it, against the reference service:
// the video page's button opens the lesson full screen where the page was,
// clicked words open word cards from the dictionary, and closing brings the
// main window and the page's player back.
#include "AppFonts.h"
#include "EnText.h"
#include "EventIds.h"
#include "EventLog.h"
#include "HttpHandler.h"
#include "MainObject.h"
#include "MainView.h"
#include "OperateHandler.h"
#include "PlayerView.h"
#include "TeachView.h"
#include "TestSession.h"
#include "Toast.h"
#include "VideoObject.h"
#include "VideoView.h"
#include "WindowTestHelpers.h"
#include "WordView.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMediaPlayer>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {
constexpr int ServiceMs = 30000;

} // namespace

class TeachRoundTripTest : public QObject {
    Q_OBJECT
    EventLog m_log;
    std::unique_ptr<MainObject> m_main;

    PlayerView* pagePlayer() const {
        auto* page = qobject_cast<VideoObject*>(m_main->page());
        return page ? page->videoView()->player() : nullptr;
    }
    // Clicks the word of the subtitle line that starts at character `at`.
    static void clickWord(PlayerView* player, const QString& line, int at) {
        auto* en = child<EnText>(player, "en");
        en->setPlainText(line);
        QTextCursor cursor(en->document());
        cursor.setPosition(at + 1);
        const QPoint point = en->cursorRect(cursor).center();
        QTest::mouseClick(en->viewport(), Qt::LeftButton, {}, point);
    }
    static void save(QWidget* window, const QString& name) {
        QTest::qWait(500);
        const QString dir = qEnvironmentVariable("LINTAVO_BIN_DIR") + "/../test-artifacts/teach";
        QDir().mkpath(dir);
        window->grab().save(dir + '/' + name + ".png");
    }

private slots:
    void initTestCase() {
        AppFonts::install();
        testSession();
        HttpHandler::instance();
        OperateHandler::instance();
        QVERIFY(passwordLogin(m_log, testSession(), "learner01", "lintavo01"));
        m_main = std::make_unique<MainObject>();
        m_main->show(true);
    }
    void cleanupTestCase() { m_main.reset(); }

    void lessonFromTheVideoPage() {
        m_log.dispatchEvent(Event::OPEN_HOME_ITEM,
                            AnyValue::of(QVariant(QVariantMap{{"module", "course"}, {"id", "2"}})));
        QTRY_VERIFY_WITH_TIMEOUT(pagePlayer() && pagePlayer()->sentenceCount() > 0 &&
                                     pagePlayer()->position() > 1500,
                                 ServiceMs);
        QTest::mouseClick(child<QPushButton>(m_main->page()->view(), "btnTeach"), Qt::LeftButton);
        const qint64 pagePosition = m_log.lastMap(Event::SHOW_TEACHING).value("pos").toLongLong();
        QVERIFY(pagePosition > 1500);

        const QList<TeachView*> lessons = visibleWindows<TeachView>();
        QCOMPARE(lessons.size(), 1);
        TeachView* lesson = lessons.first();
        QVERIFY(lesson->isFullScreen());
        QVERIFY(!m_main->view()->isVisible());
        QCOMPARE(pagePlayer()->playState(), int(PlayerView::Stopped));
        PlayerView* player = lesson->player();
        QCOMPARE(player->size(), lesson->size());
        QCOMPARE(player->videoUrl(), pagePlayer()->videoUrl());
        QCOMPARE(player->sentences(), pagePlayer()->sentences());
        QCOMPARE(child<QLabel>(player, "desc")->text(),
                 child<QLabel>(m_main->page()->view(), "title")->text());
        // The lesson goes on where the page was: it never plays through the start.
        QList<qint64> positions;
        connect(player->videoPlayer(), &QMediaPlayer::positionChanged, this,
                [&](qint64 p) { positions << p; });
        QTRY_VERIFY_WITH_TIMEOUT(player->position() > pagePosition, ServiceMs);
        for (qint64 p : positions)
            QVERIFY2(p < 500 || p > pagePosition - 500, qPrintable(QString::number(p)));

        // The restore button toggles between full screen and a window.
        QTest::mouseClick(child<QPushButton>(player, "btnRestore"), Qt::LeftButton);
        QTRY_VERIFY(!lesson->isFullScreen());
        QTest::mouseClick(child<QPushButton>(player, "btnRestore"), Qt::LeftButton);
        QTRY_VERIFY(lesson->isFullScreen());

        // Two words, two cards; a word the dictionary lacks is said.
        clickWord(player, "Hello, world!", 0);
        QCOMPARE(player->playState(), int(PlayerView::Paused));
        QTRY_COMPARE_WITH_TIMEOUT(visibleWindows<WordView>().size(), 1, ServiceMs);
        clickWord(player, "Hello, world!", 7);
        QTRY_COMPARE_WITH_TIMEOUT(visibleWindows<WordView>().size(), 2, ServiceMs);
        QStringList words;
        for (WordView* card : visibleWindows<WordView>()) {
            words << child<QLabel>(card, "word")->text();
            QVERIFY(child<QLabel>(card, "labelEn")->text().size() > 2); // "/ipa/"
        }
        words.sort();
        QCOMPARE(words, (QStringList{"Hello", "world"}));
        save(lesson, "lesson");
        clickWord(player, "zzqxv", 0);
        QTRY_VERIFY_WITH_TIMEOUT(Toast::lastText().contains("没有找到"), ServiceMs);
        QCOMPARE(visibleWindows<WordView>().size(), 2);

        QTest::mouseClick(child<QPushButton>(player, "btnClose"), Qt::LeftButton);
        QCOMPARE(m_log.count(Event::TEACHING_CLOSED), 1);
        QVERIFY(m_main->view()->isVisible());
        QCOMPARE(pagePlayer()->playState(), int(PlayerView::Playing));
        QTRY_VERIFY(visibleWindows<TeachView>().isEmpty() && visibleWindows<WordView>().isEmpty());
    }

    void noClipNoLessonAndTheMainWindowStays() {
        m_log.dispatchEvent(Event::SHOW_TEACHING, AnyValue::of(QVariant(QVariantMap{{"pos", 5}})));
        QVERIFY(visibleWindows<TeachView>().isEmpty());
        QTRY_VERIFY(m_main->view()->isVisible());
        QCOMPARE(m_log.count(Event::TEACHING_CLOSED), 2);
        QVERIFY(Toast::lastText().contains("教学模式"));
    }
};

QTEST_MAIN(TeachRoundTripTest)
#include "TeachRoundTripTest.moc"
