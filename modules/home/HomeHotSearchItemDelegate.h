#pragma once

#include <QSize>
#include <QStyledItemDelegate>

// Paints a hot-search row: a rank badge coloured by rank and the keyword, at
// fixed places in two columns of five (rows twice as tall when maximised).
class HomeHotSearchItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit HomeHotSearchItemDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Where rank n is drawn in a row of width w.
    QRect badgeRect(int rank, int w) const;
    QRect textRect(int rank, int w) const;
    // The rank painted at pos in rows of width w, 0 where no keyword is: the
    // badge and text of a rank with half the gap to its neighbours around.
    int rankAt(const QPoint& pos, int w) const;
    static QColor badgeColor(int rank);
    bool isNormal() const { return m_normal; }

public slots:
    void onSizeChanged(const QSize& size);
    void onShowNormal(bool normal);

private:
    QSize m_size;
    bool m_normal = true;
};
