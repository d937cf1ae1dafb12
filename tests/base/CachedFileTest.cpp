#include "CachedFile.h"
#include "HttpPeer.h"

#include <QDir>
#include <QTcpSocket>
#include <QtTest>

namespace {
QByteArray read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void write(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
}

// A copy left by an earlier run, with the validator the service gave then.
void leaveCopy(const QString& url, const QByteArray& data, const QByteArray& etag) {
    write(CachedFile::localPath(url), data);
    write(CachedFile::localPath(url) + ".meta", "ETag: " + etag + "\n");
}

// Serves one file whose content and ETag the test changes; honours If-None-Match.
struct VersionedFile {
    QByteArray data = "one";
    QByteArray etag = "\"v1\"";
    int delayMs = 0;

    void serve(HttpPeer& peer) {
        peer.setResponder([this](QTcpSocket* s, const HttpPeer::Request& r) {
            const bool same = r.headers.value("if-none-match") == etag;
            const QByteArray body = same ? QByteArray() : data;
            const int status = same ? 304 : 200;
            QTimer::singleShot(delayMs, s, [s, status, body, this] {
                HttpPeer::answer(s, status, body, "ETag: " + etag + "\r\n");
            });
        });
    }
};
} // namespace

class CachedFileTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QDir::setCurrent(m_dir->path());
    }

    void namesAreKeyedByTheWholeAddress() {
        const QString srt = CachedFile::localPath("http://a/media/clip1.srt");
        QCOMPARE(QFileInfo(srt).path(), QDir::currentPath() + "/cache");
        QVERIFY(srt.endsWith(".srt"));
        QCOMPARE(CachedFile::localPath("http://a/media/clip1.srt#x"), srt); // same resource
        QCOMPARE(CachedFile::localPath("http://a/media/%63lip1.srt"), srt);
        QStringList names{srt};
        for (const char* other :
             {"http://b/media/clip1.srt", "http://a/pics/clip1.srt", "https://a/media/clip1.srt",
              "http://a:81/media/clip1.srt", "http://a/media/clip1.srt?v=2"})
            names << CachedFile::localPath(other);
        names.removeDuplicates();
        QCOMPARE(names.size(), 6);
        // Names chosen by the service never reach the disk.
        for (const char* url : {"http://h/upload", "http://h/..", "http://h/a/%2E%2E",
                                "http://h/0record.wav", "http://h/x.p%2Fng"}) {
            const QString name = CachedFile::safeName(url);
            QVERIFY2(QRegularExpression("^[0-9a-f]{32}(\\.[a-z0-9]{1,8})?$").match(name).hasMatch(),
                     qPrintable(name));
        }
    }

    void onlyWebAddressesReachTheCache() {
        QObject context;
        int calls = 0;
        for (const char* url : {"file:///etc/passwd", "ftp://127.0.0.1/x.png", "qrc:/images/a.png",
                                "data:image/png;base64,AAAA", "/etc/passwd", "http:///x.png"})
            CachedFile::fetch(url, &context, [&calls](const QString&) { ++calls; });
        QTest::qWait(200);
        QCOMPARE(calls, 0);
        QVERIFY(QDir(CachedFile::folder()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }

    void aFileWithoutValidatorsIsUsedAtOnce() {
        const QString url = "http://127.0.0.1:1/cached.png";
        write(CachedFile::localPath(url), "picture");
        QString got;
        QObject context;
        CachedFile::fetch(url, &context, [&got](const QString& path) { got = path; });
        QCOMPARE(got, CachedFile::localPath(url));
    }

    void oneDownloadIsSharedByItsWaiters() {
        HttpPeer peer;
        VersionedFile file;
        file.delayMs = 300;
        file.serve(peer);
        const QString url = peer.url("/shared.png");
        QStringList got;
        QObject first, second;
        auto gone = std::make_unique<QObject>();
        CachedFile::fetch(url, &first, [&got](const QString& p) { got << "first:" + p; });
        CachedFile::fetch(url, gone.get(), [&got](const QString& p) { got << "gone:" + p; });
        CachedFile::fetch(url, &second, [&got](const QString& p) { got << "second:" + p; });
        gone.reset();
        QTRY_COMPARE(got.size(), 2);
        const QString path = CachedFile::localPath(url);
        QCOMPARE(got, QStringList({"first:" + path, "second:" + path}));
        QCOMPARE(peer.requests().size(), 1);
        QCOMPARE(read(path), QByteArray("one"));
    }

    void validatorsBringANewerFileAndConfirmAnUnchangedOne() {
        HttpPeer peer;
        VersionedFile file;
        file.serve(peer);
        const QString url = peer.url("/clip.srt");
        const QString path = CachedFile::localPath(url);
        QObject context;
        int calls = 0;
        auto fetch = [&](bool refresh) {
            const int before = calls;
            CachedFile::fetch(
                url, &context, [&calls](const QString&) { ++calls; }, refresh,
                CachedFile::Kind::Text);
            QTRY_COMPARE(calls, before + 1);
        };
        fetch(false);
        QCOMPARE(read(path), QByteArray("one"));
        fetch(false); // checked in this run: used at once
        QCOMPARE(peer.requests().size(), 1);

        file.data = "two";
        file.etag = "\"v2\"";
        fetch(true);
        QCOMPARE(peer.requests().value(1).headers.value("if-none-match"), QByteArray("\"v1\""));
        QCOMPARE(read(path), QByteArray("two"));
        fetch(true);
        QCOMPARE(peer.requests().value(2).headers.value("if-none-match"), QByteArray("\"v2\""));
        QCOMPARE(read(path), QByteArray("two"));                               // 304: kept
        QCOMPARE(QDir(CachedFile::folder()).entryList(QDir::Files).size(), 2); // file and .meta
    }

    void aCopyFromAnEarlierRunIsCheckedOnceAFirstUse() {
        HttpPeer peer;
        VersionedFile file;
        file.data = "new";
        file.serve(peer);
        const QString url = peer.url("/face.png");
        leaveCopy(url, "old", "\"v0\"");
        QObject context;
        QString got;
        CachedFile::fetch(url, &context, [&got](const QString& p) { got = p; });
        QVERIFY(got.isEmpty()); // not before the service was asked
        QTRY_COMPARE(got, CachedFile::localPath(url));
        QCOMPARE(peer.requests().value(0).headers.value("if-none-match"), QByteArray("\"v0\""));
        QCOMPARE(read(got), QByteArray("new"));
        got.clear();
        CachedFile::fetch(url, &context, [&got](const QString& p) { got = p; });
        QCOMPARE(got, CachedFile::localPath(url));
        QCOMPARE(peer.requests().size(), 1);
    }

    void anUnreachableServiceLeavesTheCopyUnlessRefreshWasAsked() {
        const QString url = "http://127.0.0.1:1/avatar.png";
        const QString qr = "http://127.0.0.1:1/qr.png";
        leaveCopy(url, "old", "\"v0\"");
        leaveCopy(qr, "expired", "\"q0\"");
        QObject context;
        QStringList got;
        CachedFile::fetch(url, &context, [&got](const QString& p) { got << p; });
        CachedFile::fetch(
            qr, &context, [&got](const QString& p) { got << p; }, true);
        QTRY_COMPARE(got, QStringList({CachedFile::localPath(url)}));
        QTest::qWait(200);
        QCOMPARE(got.size(), 1);
    }

    void anOversizedPictureNeverReachesTheCache() {
        HttpPeer peer;
        peer.setResponder([](QTcpSocket* s, const HttpPeer::Request&) {
            s->write("HTTP/1.1 200 X\r\nContent-Length: 21000000\r\n\r\n" + QByteArray(4096, 'p'));
        });
        QObject context;
        int calls = 0;
        CachedFile::fetch(peer.url("/huge.png"), &context, [&calls](const QString&) { ++calls; });
        QTest::qWait(500);
        QCOMPARE(calls, 0);
        QVERIFY(QDir(CachedFile::folder()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(CachedFileTest)
#include "CachedFileTest.moc"
