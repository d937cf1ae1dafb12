#pragma once

#include <QVariant>
#include <QWidget>
#include <memory>

namespace Ui {
class VideoRankRightViewItem;
}

// One row of a ranking list: medal or place, avatar, nickname and time.
class VideoRankRightViewItem : public QWidget {
    Q_OBJECT
public:
    explicit VideoRankRightViewItem(QWidget* parent);
    ~VideoRankRightViewItem() override;

    void setData(const QVariant& entry);
    QVariant data() const { return m_entry; }

signals:
    void ClickVideoRank(const QVariant& entry);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void showAvatar(const QString& path);

    std::unique_ptr<Ui::VideoRankRightViewItem> m_ui;
    QVariant m_entry;
};
