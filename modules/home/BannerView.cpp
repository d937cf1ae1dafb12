#include "BannerView.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

BannerView::BannerView(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::PointingHandCursor);
}

void BannerView::setData(const QVariant& data) {
    const QVariantMap m = data.toMap();
    m_type = m.value(QStringLiteral("type")).toString();
    m_img = m.value(QStringLiteral("img")).toString();
    m_link = QUrl(m.value(QStringLiteral("link")).toString());
    m_id = m.value(QStringLiteral("id")).toString();
    setStyleSheet(QStringLiteral("border-image: url(%1);").arg(m_img));
}

QVariantMap BannerView::data() const {
    return {{QStringLiteral("type"), m_type},
            {QStringLiteral("img"), m_img},
            {QStringLiteral("link"), m_link},
            {QStringLiteral("id"), m_id}};
}

void BannerView::paintEvent(QPaintEvent*) {
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}

void BannerView::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    if (m_type == QLatin1String("course") || m_type == QLatin1String("album"))
        emit ClickBanner(data());
    else if (m_type == QLatin1String("advert"))
        QDesktopServices::openUrl(m_link);
}
