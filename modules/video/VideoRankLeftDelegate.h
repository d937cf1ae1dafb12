#pragma once

#include <QImage>
#include <QStyledItemDelegate>

// Paints one round avatar of the ranking strip under the player.
class VideoRankLeftDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit VideoRankLeftDelegate(QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The picture at path (or the default head when missing), cut to its
    // centred square and scaled to the avatar size.
    static QImage avatarImage(const QString& path);
    static QImage centredSquare(const QImage& image);

public slots:
    void onSizeChanged(QSize size);
};
