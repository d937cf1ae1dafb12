// The client's side of an upload: the program's progress lines become the
// progress window's title and bar, and an upload counts only when the
// program exited with 0. Stand-in programs (shell scripts named "upload" in
// the working directory, where the client looks first) play the program.
#include "PYProgress.h"
#include "UpdateThread.h"

#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QtTest>

namespace {
constexpr int kWaitMs = 30000;
constexpr int kStallMs = 3000;

void writeProgram(const QByteArray& body) {
    QFile file(QStringLiteral("upload"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("#!/bin/sh\n" + body);
    file.close();
    file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}
} // namespace

class UploadRunTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QFile::remove(QStringLiteral("upload")); }
    void progressLinesDriveTheWindow();
    void finishedUploadReachesTheEnd();
    void failedUploadIsReported();
    void uploadIsGivenUpOnlyWithoutProgress_data();
    void uploadIsGivenUpOnlyWithoutProgress();

private:
    struct Run {
        QList<QPair<qint64, qint64>> progress;
        bool ok = false;
        QString error;
    };
    Run upload();
};

UploadRunTest::Run UploadRunTest::upload() {
    Run result;
    UpdateThread thread({"-token", "t", "-local", "/tmp/x.aac", "-key", "x.aac"});
    thread.setStallLimit(kStallMs);
    connect(&thread, &UpdateThread::uploadProgress, this,
            [&](qint64 current, qint64 total) { result.progress << qMakePair(current, total); });
    QSignalSpy finished(&thread, &UpdateThread::finished);
    thread.start();
    if (!finished.wait(kWaitMs) && finished.isEmpty())
        return result;
    result.ok = finished.first().at(0).toBool();
    result.error = finished.first().at(1).toString();
    return result;
}

void UploadRunTest::progressLinesDriveTheWindow() {
    qint64 current = 0;
    qint64 total = 0;
    QVERIFY(UpdateThread::parseProgress(R"({"total":200,"current":50})", current, total));
    QCOMPARE(current, 50);
    QCOMPARE(total, 200);
    QVERIFY(!UpdateThread::parseProgress("uploading...", current, total));
    QVERIFY(!UpdateThread::parseProgress(R"({"total":"200","current":50})", current, total));
    QVERIFY(!UpdateThread::parseProgress(R"([200,50])", current, total));

    PYProgress window;
    auto* title = window.findChild<QLabel*>("title");
    auto* bar = window.findChild<QProgressBar*>("progressBar");
    QCOMPARE(title->text(), QStringLiteral("配音合成中: 0%"));
    window.onProgress(50, 200);
    QCOMPARE(title->text(), QStringLiteral("配音合成中: 25%"));
    QCOMPARE(bar->maximum(), 200);
    QCOMPARE(bar->value(), 50);
    window.onProgress(0, 0); // a line that said nothing
    QCOMPARE(title->text(), QStringLiteral("配音合成中: 25%"));
    // Files beyond the bar's int range still show their share.
    window.onProgress(3'000'000'000LL, 6'000'000'000LL);
    QCOMPARE(title->text(), QStringLiteral("配音合成中: 50%"));
    QCOMPARE(bar->value() * 2, bar->maximum());
}

void UploadRunTest::finishedUploadReachesTheEnd() {
    writeProgram("echo '{\"total\":200,\"current\":0}'\n"
                 "echo 'not a progress line'\n"
                 "echo '{\"total\":200,\"current\":50}'\n"
                 "printf '{\"total\":200,\"current\":200}'\n" // no line break at the end
                 "exit 0\n");
    const Run run = upload();
    QVERIFY2(run.ok, qPrintable(run.error));
    QCOMPARE(run.progress.value(0), qMakePair(qint64(0), qint64(200)));
    QCOMPARE(run.progress.value(1), qMakePair(qint64(50), qint64(200)));
    QCOMPARE(run.progress.last(), qMakePair(qint64(200), qint64(200)));
}

void UploadRunTest::failedUploadIsReported() {
    writeProgram("echo '{\"total\":200,\"current\":200}'\n"
                 "echo 'upload: storage refused the file (HTTP 400): bad token' >&2\n"
                 "exit 5\n");
    const Run run = upload();
    QVERIFY(!run.ok);
    QVERIFY2(run.error.contains("code 5") && run.error.contains("bad token"),
             qPrintable(run.error));
    // Its last line said 100%, but the upload did not succeed: no final report.
    QCOMPARE(run.progress.size(), 1);
}

void UploadRunTest::uploadIsGivenUpOnlyWithoutProgress_data() {
    QTest::addColumn<QByteArray>("program");
    QTest::addColumn<bool>("ok");
    // Moving bytes for longer than the stall limit: kept.
    QTest::newRow("slow but moving")
        << QByteArray("i=0; while [ $i -lt 25 ]; do i=$((i+1));"
                      " echo \"{\\\"total\\\":25,\\\"current\\\":$i}\"; sleep 0.25; done\n")
        << true;
    QTest::newRow("silent") << QByteArray("echo '{\"total\":25,\"current\":1}'\nexec sleep 60\n")
                            << false;
    // The same count over and over is no progress.
    QTest::newRow("stuck")
        << QByteArray("while true; do echo '{\"total\":25,\"current\":3}'; sleep 0.25; done\n")
        << false;
}

void UploadRunTest::uploadIsGivenUpOnlyWithoutProgress() {
    QFETCH(QByteArray, program);
    QFETCH(bool, ok);
    writeProgram(program);
    const Run run = upload();
    QCOMPARE(run.ok, ok);
    if (!ok)
        QVERIFY2(run.error.contains("no progress"), qPrintable(run.error));
}

QTEST_MAIN(UploadRunTest)
#include "UploadRunTest.moc"
