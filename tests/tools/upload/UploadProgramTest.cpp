// The upload program against the reference service: what it stores, what it
// prints, how it ends, and that the service publishes only what it stored.
#include "EventIds.h"
#include "EventLog.h"
#include "Facade.h"
#include "HttpHandler.h"
#include "UserDao.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

namespace {
constexpr int kServiceMs = 30000;

struct Exit {
    int code = -1;
    QList<QByteArray> output;
    QList<QByteArray> errors;
};
} // namespace

class UploadProgramTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void storesTheFileAndSaysHowFar();
    void failureStoresAndPublishesNothing_data();
    void failureStoresAndPublishesNothing();

private:
    Exit runUpload(const QStringList& arguments, const QString& origin = QString());
    QString storedPath(const QString& key) const;
    // The service's answer to publishing `key` for clip 1: true when it took it.
    bool publish(const QString& key);
    QVariantList ranking();

    UserDao* m_user = nullptr;
    std::unique_ptr<EventLog> m_events;
    QString m_file;
    QByteArray m_bytes;
};

void UploadProgramTest::initTestCase() {
    QVERIFY(!qEnvironmentVariableIsEmpty("LINTAVO_API_ORIGIN"));
    m_user = new UserDao(this);
    m_user->reset();
    Facade::instance()->registDao(m_user);
    HttpHandler::instance();
    m_events = std::make_unique<EventLog>();
    m_events->dispatchEvent(
        Event::REQ_LOGIN_PASSWORD,
        AnyValue::of(QMap<QString, QString>{{"ID", "13800000001"}, {"PW", "lintavo01"}}));
    QTRY_VERIFY_WITH_TIMEOUT(m_user->hasLogin, kServiceMs);
    QVERIFY(!m_user->tokenUpload.isEmpty());

    // A real dub of a few hundred kilobytes: several progress steps of 64 KiB.
    m_file = QDir::current().filePath("dub.aac");
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", "sine=f=330:d=20", "-c:a",
                            "aac", "-b:a", "160k", m_file});
    QVERIFY(ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0);
    QFile file(m_file);
    QVERIFY(file.open(QIODevice::ReadOnly));
    m_bytes = file.readAll();
    QVERIFY(m_bytes.size() > 4 * 65536);
}

Exit UploadProgramTest::runUpload(const QStringList& arguments, const QString& origin) {
    QProcess upload;
    if (!origin.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LINTAVO_API_ORIGIN", origin);
        upload.setProcessEnvironment(environment);
    }
    upload.start(qEnvironmentVariable("LINTAVO_BIN_DIR") + "/upload", arguments);
    Exit result;
    if (!upload.waitForFinished(kServiceMs) || upload.exitStatus() != QProcess::NormalExit)
        return result;
    result.code = upload.exitCode();
    result.output = upload.readAllStandardOutput().split('\n');
    result.errors = upload.readAllStandardError().split('\n');
    result.output.removeAll(QByteArray());
    result.errors.removeAll(QByteArray());
    return result;
}

QString UploadProgramTest::storedPath(const QString& key) const {
    return qEnvironmentVariable("LINTAVO_TEST_WORK") + "/server-data/uploads/" + m_user->userID +
           "/" + key;
}

bool UploadProgramTest::publish(const QString& key) {
    m_events->clear();
    m_events->dispatchEvent(
        Event::REQ_PUBLISH_SHOW,
        AnyValue::of<QVariant>(QVariantMap{{"userID", m_user->userID},
                                           {"token", m_user->token},
                                           {"albumID", "0"},
                                           {"courseID", "1"},
                                           {"audio", QString("{\"key\":\"%1\"}").arg(key)},
                                           {"duration", 60},
                                           {"score", "80,81,82,83,0"}}));
    const auto answered = [this] {
        return m_events->count(Event::RES_PUBLISH_SHOW_OK) +
               m_events->count(Event::RES_PUBLISH_SHOW_FAIL);
    };
    if (!QTest::qWaitFor([&] { return answered() > 0; }, kServiceMs))
        return false;
    return m_events->count(Event::RES_PUBLISH_SHOW_OK) == 1;
}

QVariantList UploadProgramTest::ranking() {
    m_events->clear();
    m_events->dispatchEvent(Event::REQ_COURSE_RANK,
                            AnyValue::of<QVariant>(QVariantMap{{"id", "1"}}));
    if (!QTest::qWaitFor([this] { return m_events->count(Event::RES_COURSE_RANK_OK) > 0; },
                         kServiceMs))
        return {};
    for (const EventLog::Entry& entry : m_events->entries())
        if (entry.id == Event::RES_COURSE_RANK_OK)
            return entry.value.as<QVariant>().toList();
    return {};
}

void UploadProgramTest::storesTheFileAndSaysHowFar() {
    const QString key = "2026-12-07-14-05-09-product.aac";
    const Exit run = runUpload({"-token", m_user->tokenUpload, "-local", m_file, "-key", key});
    QCOMPARE(run.code, 0);
    QVERIFY(run.errors.isEmpty());

    // One line at least every 64 KiB, counting up to the whole file.
    qint64 last = -1;
    for (const QByteArray& line : run.output) {
        const QJsonObject progress = QJsonDocument::fromJson(line).object();
        QCOMPARE(progress.value("total").toDouble(), double(m_bytes.size()));
        const qint64 current = qint64(progress.value("current").toDouble(-1));
        QVERIFY2(current >= last && current - last <= 65536, line.constData());
        last = current;
    }
    QCOMPARE(last, qint64(m_bytes.size()));
    QVERIFY(run.output.size() >= m_bytes.size() / 65536);

    QFile stored(storedPath(key));
    QVERIFY(stored.open(QIODevice::ReadOnly));
    QCOMPARE(stored.readAll(), m_bytes);

    // Stored, it can be published, and the clip's ranking lists it.
    QVERIFY(publish(key));
    bool listed = false;
    for (const QVariant& entry : ranking())
        listed |= entry.toMap().value("uid").toString() == m_user->userID &&
                  entry.toMap().value("audio").toString().endsWith("/" + key);
    QVERIFY(listed);
}

void UploadProgramTest::failureStoresAndPublishesNothing_data() {
    QTest::addColumn<QString>("token");
    QTest::addColumn<QString>("local");
    QTest::addColumn<QString>("origin");
    QTest::addColumn<int>("code");
    const QString file = QDir::current().filePath("dub.aac");
    QTest::newRow("wrong token") << "0123456789abcdef" << file << QString() << 5;
    QTest::newRow("missing file") << QString() << QDir::current().filePath("none.aac") << QString()
                                  << 3;
    // Nothing listens on port 1.
    QTest::newRow("service down") << QString() << file << "http://127.0.0.1:1" << 4;
    QTest::newRow("no token") << "-" << file << QString() << 2;
}

void UploadProgramTest::failureStoresAndPublishesNothing() {
    QFETCH(QString, token);
    QFETCH(QString, local);
    QFETCH(QString, origin);
    QFETCH(int, code);
    const QString key = QString("fail-%1.aac").arg(code);
    QStringList arguments{
        "-token", token.isEmpty() ? m_user->tokenUpload : token, "-local", local, "-key", key};
    if (token == "-")
        arguments = arguments.mid(2);
    const Exit run = runUpload(arguments, origin);
    qInfo() << run.errors;
    QCOMPARE(run.code, code);
    // One line that says why.
    QCOMPARE(run.errors.size(), 1);
    QVERIFY(run.errors.first().startsWith("upload: "));
    QVERIFY(!QFile::exists(storedPath(key)));
    QVERIFY(!publish(key));
}

QTEST_MAIN(UploadProgramTest)
#include "UploadProgramTest.moc"
