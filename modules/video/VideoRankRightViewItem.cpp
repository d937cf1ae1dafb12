#include "VideoRankRightViewItem.h"

#include "CachedFile.h"
#include "ui_VideoRankRightViewItem.h"

#include <QFileInfo>

VideoRankRightViewItem::VideoRankRightViewItem(QWidget* parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::VideoRankRightViewItem>()) {
    m_ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground);
}

VideoRankRightViewItem::~VideoRankRightViewItem() = default;

void VideoRankRightViewItem::setData(const QVariant& entry) {
    m_entry = entry;
    const QVariantMap m = entry.toMap();
    const int place = m.value("index").toInt();
    if (place >= 0 && place <= 2)
        m_ui->awards->setStyleSheet(
            QStringLiteral("border-image:url(:/images/awards%1.png)").arg(place));
    else
        m_ui->label->setText(QString::number(place + 1));
    const QString avatar = m.value("avatar").toString();
    // A style sheet reads only local files, so a remote avatar is fetched first.
    if (avatar.startsWith(QLatin1String("http")) && !QFileInfo::exists(avatar))
        CachedFile::fetch(avatar, this, [this](const QString& path) { showAvatar(path); });
    else
        showAvatar(avatar);
    m_ui->nick->setText(m.value("nickname").toString());
    m_ui->time->setText(m.value("create_time").toString());
}

void VideoRankRightViewItem::showAvatar(const QString& path) {
    m_ui->head->setStyleSheet(
        QStringLiteral("border-radius: 20px;border-image: url(%1);").arg(path));
}

void VideoRankRightViewItem::mousePressEvent(QMouseEvent*) {
    emit ClickVideoRank(m_entry);
}
