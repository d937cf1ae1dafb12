#include "ChildProcess.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// Child programs are found in the working directory first and report once,
// whatever way they end.
class ChildProcessTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_oldDir;

    void writeProgram(const QString& name, const QByteArray& script) {
        QFile file(m_dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n" + script);
        file.close();
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
    }

    // Runs and returns (ok, error, output lines).
    std::tuple<bool, QString, QList<QByteArray>> run(const QString& name,
                                                     const QStringList& args = {}) {
        QObject owner;
        ChildProcess* child = ChildProcess::start(name, args, &owner);
        QList<QByteArray> lines;
        connect(child, &ChildProcess::outputLine, [&](const QByteArray& l) { lines << l; });
        QSignalSpy done(child, &ChildProcess::done);
        if (!done.wait(10000))
            return {false, QStringLiteral("no report"), lines};
        QTest::qWait(50);
        if (done.count() != 1)
            return {false, QStringLiteral("reported %1 times").arg(done.count()), lines};
        return {done.at(0).at(0).toBool(), done.at(0).at(1).toString(), lines};
    }

private slots:
    void initTestCase() {
        m_oldDir = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
    }
    void cleanupTestCase() { QDir::setCurrent(m_oldDir); }

    void foundInWorkingDirectoryElseOnThePath() {
        QCOMPARE(ChildProcess::programPath("sh"), QString("sh"));
        writeProgram("sh", "echo mine\n");
        QCOMPARE(ChildProcess::programPath("sh"), m_dir.filePath("sh"));
        QFile::remove(m_dir.filePath("sh"));
    }

    void outputComesLineByLine() {
        writeProgram("talk", "printf 'a\\r\\nb\\n'; printf 'c'\n");
        auto [ok, error, lines] = run("talk");
        QVERIFY2(ok, qPrintable(error));
        QCOMPARE(lines, (QList<QByteArray>{"a", "b", "c"}));
    }

    void failuresSayWhy() {
        writeProgram("fails", "echo first >&2; echo 'disk full' >&2; exit 3\n");
        auto [ok, error, lines] = run("fails");
        QVERIFY(!ok);
        QCOMPARE(error, QString("fails exited with code 3: disk full"));

        std::tie(ok, error, lines) = run("no-such-program-here");
        QVERIFY(!ok);
        QVERIFY2(error.startsWith("no-such-program-here could not be started"), qPrintable(error));

        writeProgram("crashes", "kill -SEGV $$\n");
        std::tie(ok, error, lines) = run("crashes");
        QVERIFY(!ok);
        QCOMPARE(error, QString("crashes crashed"));
    }

    void killReportsTheReasonOnce() {
        writeProgram("hangs", "sleep 30\n");
        QObject owner;
        ChildProcess* child = ChildProcess::start("hangs", {}, &owner);
        QSignalSpy done(child, &ChildProcess::done);
        QTimer::singleShot(100, child, [child] { child->kill("stalled"); });
        QVERIFY(done.wait(5000));
        QCOMPARE(done.at(0).at(1).toString(), QString("stalled"));
        QTest::qWait(50);
        QCOMPARE(done.count(), 1);
    }

    void ownerDeathEndsTheProgramSilently() {
        writeProgram("hangs2", "echo $$ > hangs2.pid; exec sleep 30\n");
        auto* owner = new QObject;
        ChildProcess* child = ChildProcess::start("hangs2", {}, owner);
        QSignalSpy done(child, &ChildProcess::done);
        QTRY_VERIFY(QFile::exists("hangs2.pid") && QFileInfo("hangs2.pid").size() > 0);
        QFile pidFile("hangs2.pid");
        QVERIFY(pidFile.open(QIODevice::ReadOnly));
        const QByteArray pid = pidFile.readAll().trimmed();
        delete owner;
        QCOMPARE(done.count(), 0);
        // Killed and reaped with its owner: the pid is gone.
        QVERIFY(!QFile::exists("/proc/" + pid));
    }
};

QTEST_GUILESS_MAIN(ChildProcessTest)
#include "ChildProcessTest.moc"
