// The QR program: what it writes reads back as the text it was given; when it
// fails it says why in one line and leaves the picture path as it was.
#include "QrReader.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class QrCodeToolTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    struct Run {
        int exitCode;
        QByteArray error;
    };
    static Run qrcode(const QStringList& arguments) {
        QProcess tool;
        tool.start(qEnvironmentVariable("LINTAVO_BIN_DIR") + "/qrcode", arguments);
        if (!tool.waitForFinished(20000))
            return {-1, "did not finish"};
        return {tool.exitCode(), tool.readAllStandardError()};
    }
    static bool isOneLine(const QByteArray& text) {
        return text.startsWith("qrcode: ") && text.endsWith('\n') && text.count('\n') == 1;
    }

private slots:
    void longTextReadsBack() {
        // Payment addresses are short; a long one needs a large symbol version.
        const QString text = QString("weixin://wxpay/bizpayurl?pr=").append(QString(900, 'x'));
        const Run run = qrcode({"-q", text, "-p", m_dir.filePath("code.png")});
        QVERIFY2(run.exitCode == 0, run.error.constData());
        QCOMPARE(readQrCode(m_dir.filePath("code.png")), text);
    }

    void failuresSayWhyAndKeepThePicture() {
        const QString picture = m_dir.filePath("kept.png");
        QVERIFY(qrcode({"-q", "first", "-p", picture}).exitCode == 0);
        const QByteArray before = [&] {
            QFile f(picture);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        const QList<QStringList> failing{
            {"-q", QString(4000, 'z'), "-p", picture}, // too long for any QR code
            {"-q", "", "-p", picture},
            {"-q", "text"},
            {"-q", "text", "-p", picture, "-s", "0"},
            {"-x"},
        };
        for (const QStringList& arguments : failing) {
            const Run run = qrcode(arguments);
            QVERIFY2(run.exitCode > 0, qPrintable(arguments.join(' ').left(60)));
            QVERIFY2(isOneLine(run.error), run.error.constData());
        }
        QFile after(picture);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), before);

        const Run unwritable = qrcode({"-q", "text", "-p", m_dir.filePath("missing/dir/x.png")});
        QCOMPARE(unwritable.exitCode, 1);
        QVERIFY2(isOneLine(unwritable.error), unwritable.error.constData());
        QVERIFY(!QDir(m_dir.filePath("missing")).exists());
    }
};

QTEST_GUILESS_MAIN(QrCodeToolTest)
#include "QrCodeToolTest.moc"
