#pragma once

#include <QUrl>
#include <QVariant>
#include <QWidget>

// One banner of the home carousel: its picture as border image; a click on a
// clip or album banner is reported, an advert opens its link.
class BannerView : public QWidget {
    Q_OBJECT
public:
    explicit BannerView(QWidget* parent = nullptr);

    void setData(const QVariant& data);
    QVariantMap data() const;

signals:
    void ClickBanner(const QVariant& banner);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QString m_type;
    QString m_img;
    QUrl m_link;
    QString m_id;
};
