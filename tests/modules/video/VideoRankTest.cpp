// The ranking strip's avatar painting and the ranking rows.
#include "VideoRankLeftDelegate.h"
#include "VideoRankRightViewItem.h"

#include <QDir>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QtTest>

class VideoRankTest : public QObject {
    Q_OBJECT
private slots:
    void wideAndTallPicturesLoseTheirSides();
    void missingAvatarPaintsTheDefaultHead();
    void stripPaintsARoundAvatarFromTheTop();
    void firstPlacesGetMedalsOthersNumbers();
    void rowClickReportsItsEntry();
};

namespace {
// Left half red, right half blue, middle green: the middle survives the cut.
QImage striped(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::green);
    QPainter p(&image);
    if (width > height) {
        const int side = (width - height) / 2;
        p.fillRect(0, 0, side, height, Qt::red);
        p.fillRect(width - side, 0, side, height, Qt::blue);
    } else {
        const int side = (height - width) / 2;
        p.fillRect(0, 0, width, side, Qt::red);
        p.fillRect(0, height - side, width, side, Qt::blue);
    }
    return image;
}
} // namespace

void VideoRankTest::wideAndTallPicturesLoseTheirSides() {
    for (const QSize size : {QSize(200, 100), QSize(100, 200)}) {
        const QImage square =
            VideoRankLeftDelegate::centredSquare(striped(size.width(), size.height()));
        QCOMPARE(square.size(), QSize(100, 100));
        QCOMPARE(QColor(square.pixel(0, 0)), QColor(Qt::green));
        QCOMPARE(QColor(square.pixel(99, 99)), QColor(Qt::green));
    }
    const QString path = QDir::current().filePath("face");
    QVERIFY(striped(200, 100).save(path, "PNG")); // no suffix: read by content
    const QImage avatar = VideoRankLeftDelegate::avatarImage(path);
    QCOMPARE(avatar.size(), QSize(45, 45));
    QCOMPARE(QColor(avatar.pixel(0, 22)), QColor(Qt::green));
}

void VideoRankTest::missingAvatarPaintsTheDefaultHead() {
    const QImage fallback = VideoRankLeftDelegate::avatarImage("/nonexistent/a.jpg");
    QImage head(":/images/btnHead.png");
    QVERIFY(!head.isNull());
    QCOMPARE(fallback, VideoRankLeftDelegate::centredSquare(head).scaled(
                           45, 45, Qt::IgnoreAspectRatio, Qt::FastTransformation));
}

void VideoRankTest::stripPaintsARoundAvatarFromTheTop() {
    const QString path = QDir::current().filePath("red.png");
    QImage red(60, 60, QImage::Format_RGB32);
    red.fill(Qt::red);
    QVERIFY(red.save(path));
    QListView view;
    QStandardItemModel model;
    auto* item = new QStandardItem;
    item->setData(QVariantMap{{"avatar", path}}, Qt::DisplayRole);
    model.appendRow(item);
    VideoRankLeftDelegate delegate(&view);
    QCOMPARE(delegate.sizeHint(QStyleOptionViewItem(), model.index(0, 0)), QSize(65, 65));

    QImage canvas(200, 80, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    QStyleOptionViewItem option;
    option.rect = QRect(65, 30, 65, 65);
    delegate.paint(&painter, option, model.index(0, 0));
    painter.end();
    // Centre of the circle at (65 + 10 + 22, 10 + 22); its corner stays white.
    QCOMPARE(QColor(canvas.pixel(97, 32)), QColor(Qt::red));
    QCOMPARE(QColor(canvas.pixel(76, 11)), QColor(Qt::white));
    QCOMPARE(QColor(canvas.pixel(97, 60)), QColor(Qt::white));
}

void VideoRankTest::firstPlacesGetMedalsOthersNumbers() {
    QWidget list;
    VideoRankRightViewItem first(&list);
    first.setData(QVariantMap{{"index", 0},
                              {"nickname", "<img src=\"/tmp/a.png\">Ann"},
                              {"create_time", "2026-01-02"},
                              {"avatar", "/tmp/a.png"}});
    QCOMPARE(first.findChild<QWidget*>("awards")->styleSheet(),
             QStringLiteral("border-image:url(:/images/awards0.png)"));
    QCOMPARE(first.findChild<QLabel*>("label")->text(), QString());
    QCOMPARE(first.findChild<QLabel*>("nick")->text(),
             QStringLiteral("<img src=\"/tmp/a.png\">Ann"));
    QCOMPARE(first.findChild<QLabel*>("nick")->textFormat(), Qt::PlainText);
    QCOMPARE(first.findChild<QLabel*>("time")->text(), QStringLiteral("2026-01-02"));
    QCOMPARE(first.findChild<QWidget*>("head")->styleSheet(),
             QStringLiteral("border-radius: 20px;border-image: url(/tmp/a.png);"));

    VideoRankRightViewItem fourth(&list);
    fourth.setData(QVariantMap{{"index", 3}});
    QCOMPARE(fourth.findChild<QWidget*>("awards")->styleSheet(), QString());
    QCOMPARE(fourth.findChild<QLabel*>("label")->text(), QStringLiteral("4"));
    QCOMPARE(fourth.height(), 60);
}

void VideoRankTest::rowClickReportsItsEntry() {
    VideoRankRightViewItem row(nullptr);
    const QVariantMap entry{{"index", 5}, {"uid", 2}, {"id", 9}};
    row.setData(entry);
    QSignalSpy clicked(&row, &VideoRankRightViewItem::ClickVideoRank);
    QTest::mouseClick(&row, Qt::RightButton);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.at(0).at(0).toMap(), entry);
}

QTEST_MAIN(VideoRankTest)
#include "VideoRankTest.moc"
