#include "VideoRankLeftDelegate.h"

#include <QFileInfo>
#include <QPainter>

namespace {
constexpr int AvatarSide = 45;
constexpr int Inset = 10;
constexpr int ItemSide = 65;
} // namespace

VideoRankLeftDelegate::VideoRankLeftDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

QImage VideoRankLeftDelegate::centredSquare(const QImage& image) {
    const int side = qMin(image.width(), image.height());
    return image.copy((image.width() - side) / 2, (image.height() - side) / 2, side, side);
}

QImage VideoRankLeftDelegate::avatarImage(const QString& path) {
    QImage image;
    if (!path.isEmpty() && QFileInfo::exists(path))
        image.load(path);
    if (image.isNull())
        image.load(QStringLiteral(":/images/btnHead.png"));
    if (image.isNull())
        return image;
    return centredSquare(image).scaled(AvatarSide, AvatarSide, Qt::IgnoreAspectRatio,
                                       Qt::FastTransformation);
}

void VideoRankLeftDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    const QString path = index.data(Qt::DisplayRole).toMap().value("avatar").toString();
    const QImage image = avatarImage(path);
    // The strip has one row, so the avatar sits at a fixed distance from the top.
    const QRect target(option.rect.x() + Inset, Inset, AvatarSide, AvatarSide);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(Qt::transparent);
    QBrush brush(image);
    brush.setTransform(QTransform::fromTranslate(target.x(), target.y()));
    painter->setBrush(brush);
    painter->drawEllipse(target);
    painter->restore();
}

QSize VideoRankLeftDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    return {ItemSide, ItemSide};
}

void VideoRankLeftDelegate::onSizeChanged(QSize) {}
