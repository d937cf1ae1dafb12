#include "CachedFile.h"

#include <QDir>
#include <QtTest>

class CachedFileTest : public QObject {
    Q_OBJECT
private slots:
    void plainNamesAreKept_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("name");
        QTest::newRow("picture") << "http://h/p/cover_3.png"
                                 << "cover_3.png";
        QTest::newRow("query ignored") << "http://h/s/a-b.srt?x=1"
                                       << "a-b.srt";
        QTest::newRow("dots inside") << "http://h/v1.2.mp3"
                                     << "v1.2.mp3";
    }
    void plainNamesAreKept() {
        QFETCH(QString, url);
        QFETCH(QString, name);
        QCOMPARE(CachedFile::safeName(url), name);
        QCOMPARE(CachedFile::localPath(url), QDir::currentPath() + "/" + name);
    }

    void unsafeNamesAreReplaced_data() {
        QTest::addColumn<QString>("url");
        for (const char* url : {"http://h/upload", "http://h/x/ffmpeg", "http://h/qrcode.exe",
                                "http://h/lintavo", "http://h/..", "http://h/", "http://h/.hidden",
                                "http://h/a/%2E%2E", "http://h/%E4%B8%AD.png",
                                "http://h/0record.wav", "http://h/12mix.mp3", "http://h/a b.png"})
            QTest::newRow(url) << QString(url);
    }
    void unsafeNamesAreReplaced() {
        QFETCH(QString, url);
        const QString name = CachedFile::safeName(url);
        QVERIFY2(name.startsWith("dl-"), qPrintable(name));
        QVERIFY(CachedFile::isPlainSafeName(name));
        QCOMPARE(CachedFile::safeName(url), name); // stable, so the cache is reused
    }

    void differentUrlsGetDifferentNamesAndKeepTheirSuffix() {
        const QString a = CachedFile::safeName("http://h/a/%E4%B8%AD.png");
        const QString b = CachedFile::safeName("http://h/b/%E4%B8%AD.png");
        QVERIFY(a != b);
        QVERIFY(a.endsWith(".png"));
    }

    void existingFileIsUsedAtOnce() {
        QTemporaryDir dir;
        QDir::setCurrent(dir.path());
        QFile file("cached.png");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QString got;
        QObject context;
        CachedFile::fetch("http://127.0.0.1:1/cached.png", &context,
                          [&got](const QString& path) { got = path; });
        QCOMPARE(got, dir.path() + "/cached.png");
    }
};

QTEST_MAIN(CachedFileTest)
#include "CachedFileTest.moc"
