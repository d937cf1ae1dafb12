#pragma once

#include <QVariant>
#include <QWidget>
#include <memory>

namespace Ui {
class VideoItemView;
}

// The card of a clip or an album: picture with badge, sentence count and
// duration (or number of clips), and a two-line description.
class VideoItemView : public QWidget {
    Q_OBJECT
public:
    enum class BadgeStyle { Teal, Purple, Gold };

    explicit VideoItemView(QWidget* parent = nullptr);
    ~VideoItemView() override;

    void setData(const QVariant& data);
    QVariantMap data() const { return m_item; }

    // Shown texts, for callers that check what the card says.
    QString badgeText() const;
    bool badgeShown() const;
    QString countText() const;
    QString timeText() const;
    QString descText() const;

    static QString formatDuration(int seconds);

signals:
    void ClickVideoItem(const QVariant& item);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void showPicture();
    void showTexts();
    void showBadge();
    void setBadge(const QString& text, BadgeStyle style);

    std::unique_ptr<Ui::VideoItemView> ui;
    QVariantMap m_item;
};
