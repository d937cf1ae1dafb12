#include "VideoItemView.h"

#include "CachedFile.h"
#include "ui_VideoItemView.h"

#include <QMouseEvent>
#include <QTime>

namespace {
QString badgeStyle(VideoItemView::BadgeStyle style) {
    static const QString base = QStringLiteral(
        "font:11px \"PingFang SC\";border-top-right-radius:5px;border-bottom-left-radius:5px;"
        "color:%1;background:qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 %2, stop:1 %3);");
    switch (style) {
    case VideoItemView::BadgeStyle::Teal:
        return base.arg(QStringLiteral("white"), QStringLiteral("rgba(44, 211, 215, 1)"),
                        QStringLiteral("rgba(42, 207, 111, 1)"));
    case VideoItemView::BadgeStyle::Purple:
        return base.arg(QStringLiteral("white"), QStringLiteral("rgba(157, 69, 252, 1)"),
                        QStringLiteral("rgba(123, 74, 247, 1)"));
    case VideoItemView::BadgeStyle::Gold:
        break;
    }
    return base.arg(QStringLiteral("rgba(143, 86, 31, 1)"),
                    QStringLiteral("rgba(252, 229, 202, 1)"),
                    QStringLiteral("rgba(255, 207, 150, 1)"));
}

bool isClip(const QString& module) {
    return module == QLatin1String("course") || module == QLatin1String("blue_course");
}
} // namespace

VideoItemView::VideoItemView(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::VideoItemView>()) {
    ui->setupUi(this);
    setCursor(Qt::PointingHandCursor);
}

VideoItemView::~VideoItemView() = default;

QString VideoItemView::formatDuration(int seconds) {
    return QTime(0, 0).addSecs(seconds).toString(QStringLiteral("hh:mm:ss"));
}

void VideoItemView::setData(const QVariant& data) {
    m_item = data.toMap();
    m_item.insert(QStringLiteral("type"), QStringLiteral("video"));
    showPicture();
    showTexts();
    showBadge();
}

void VideoItemView::showPicture() {
    CachedFile::fetch(m_item.value(QStringLiteral("pic")).toString(), ui->video,
                      [this](const QString& path) {
                          ui->video->setStyleSheet(
                              QStringLiteral("QWidget#video{background:black;border-radius:5px;"
                                             "border-image:url(%1);}")
                                  .arg(path));
                      });
}

void VideoItemView::showTexts() {
    const QString module = m_item.value(QStringLiteral("module")).toString();
    ui->time->setText(formatDuration(m_item.value(QStringLiteral("duration")).toInt()));
    if (isClip(module)) {
        ui->desc->setText(m_item.value(QStringLiteral("title")).toString());
    } else if (module == QLatin1String("album")) {
        ui->mic->hide();
        ui->count->hide();
        ui->time->setText(m_item.value(QStringLiteral("course_num")).toString() +
                          QStringLiteral("个视频"));
        ui->desc->setText(m_item.value(QStringLiteral("album_title")).toString());
    } else if (module == QLatin1String("limit_free")) {
        ui->mic->hide();
        ui->count->hide();
        ui->desc->setText(m_item.value(QStringLiteral("album_title")).toString());
    }
    ui->count->setText(m_item.value(QStringLiteral("subtitle_num")).toString() +
                       QStringLiteral("句"));
}

void VideoItemView::setBadge(const QString& text, BadgeStyle style) {
    if (!text.isEmpty())
        ui->label->setText(text);
    ui->label->setStyleSheet(badgeStyle(style));
    ui->label->show();
}

void VideoItemView::showBadge() {
    const QString module = m_item.value(QStringLiteral("module")).toString();
    const QString vip = m_item.value(QStringLiteral("is_vip")).toString();
    const bool clip = isClip(module);
    const bool album = module == QLatin1String("album");
    // Nothing to say until a rule below names the card's kind.
    ui->label->hide();
    if (vip == QLatin1String("0") && clip) {
        setBadge(QStringLiteral("免费试听"), BadgeStyle::Teal);
        ui->label->hide();
    } else if (vip == QLatin1String("0") && album) {
        setBadge(QStringLiteral("专辑"), BadgeStyle::Purple);
    } else if (vip == QLatin1String("1") || vip == QLatin1String("2")) {
        const QString prefix =
            vip == QLatin1String("1") ? QStringLiteral("VIP") : QStringLiteral("SVIP");
        const QString kind = clip    ? QStringLiteral("视频")
                             : album ? QStringLiteral("专辑")
                                     : QString();
        setBadge(kind.isEmpty() ? QString() : prefix + kind, BadgeStyle::Gold);
        if (kind.isEmpty() && ui->label->text() == QLatin1String("Label"))
            ui->label->hide();
    }
    if (module == QLatin1String("limit_free"))
        setBadge(QStringLiteral("限时免费"), BadgeStyle::Teal);
}

QString VideoItemView::badgeText() const {
    return ui->label->text();
}
bool VideoItemView::badgeShown() const {
    return !ui->label->isHidden();
}
QString VideoItemView::countText() const {
    return ui->count->text();
}
QString VideoItemView::timeText() const {
    return ui->time->text();
}
QString VideoItemView::descText() const {
    return ui->desc->text();
}

void VideoItemView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit ClickVideoItem(m_item);
    QWidget::mousePressEvent(event);
}
