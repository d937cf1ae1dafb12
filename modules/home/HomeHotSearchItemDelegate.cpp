#include "HomeHotSearchItemDelegate.h"

#include <QPainter>

HomeHotSearchItemDelegate::HomeHotSearchItemDelegate(QObject* parent)
    : QStyledItemDelegate(parent) {}

void HomeHotSearchItemDelegate::onSizeChanged(const QSize& size) {
    m_size = size;
}

void HomeHotSearchItemDelegate::onShowNormal(bool normal) {
    m_normal = normal;
}

QSize HomeHotSearchItemDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    return QSize(170, m_size.isValid() ? m_size.height() / 6 : 0);
}

QRect HomeHotSearchItemDelegate::badgeRect(int n, int w) const {
    if (m_normal)
        return n <= 5 ? QRect(10, 35 * n - 25, 20, 20) : QRect(w, 35 * n - 200, 20, 20);
    return n <= 5 ? QRect(10, 70 * n - 60, 20, 20) : QRect(w + 110, 70 * n - 410, 20, 20);
}

QRect HomeHotSearchItemDelegate::textRect(int n, int w) const {
    if (m_normal)
        return n <= 5 ? QRect(40, 35 * n - 24, 130, 20) : QRect(w + 30, 35 * n - 199, 130, 20);
    return n <= 5 ? QRect(40, 70 * n - 59, 150, 20) : QRect(w + 140, 70 * n - 409, 150, 20);
}

int HomeHotSearchItemDelegate::rankAt(const QPoint& pos, int w) const {
    const int pitch = m_normal ? 35 : 70;
    for (int rank = 1; rank <= 10; ++rank) {
        const QRect badge = badgeRect(rank, w);
        const QRect slot(badge.left(), badge.top() - (pitch - badge.height()) / 2,
                         textRect(rank, w).right() + 1 - badge.left(), pitch);
        if (slot.contains(pos))
            return rank;
    }
    return 0;
}

QColor HomeHotSearchItemDelegate::badgeColor(int rank) {
    switch (rank) {
    case 1:
        return QColor(QStringLiteral("#FF554C"));
    case 2:
        return QColor(QStringLiteral("#FF7F2C"));
    case 3:
        return QColor(QStringLiteral("#FFBC49"));
    default:
        return QColor(QStringLiteral("#B1C6C6"));
    }
}

void HomeHotSearchItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                      const QModelIndex& index) const {
    const int rank = index.data(Qt::DisplayRole).toInt();
    const QString keyword = index.data(Qt::DecorationRole).toString();
    const QRect badge = badgeRect(rank, option.rect.width());
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    QFont font(QStringLiteral("PingFang SC"));
    font.setPixelSize(13);
    painter->setFont(font);
    painter->setPen(Qt::NoPen);
    painter->setBrush(badgeColor(rank));
    painter->drawRoundedRect(badge, 3, 3);
    painter->setPen(QColor(QStringLiteral("white")));
    painter->drawText(badge, Qt::AlignCenter, QString::number(rank));
    painter->setPen(QColor(QStringLiteral("#333333")));
    const QRect text = textRect(rank, option.rect.width());
    painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                      painter->fontMetrics().elidedText(keyword, Qt::ElideRight, text.width()));
    painter->restore();
}
