#pragma once

#include <QSize>
#include <QVariant>
#include <QWidget>
#include <memory>

class BannerView;
class HomeHotSearchItemDelegate;
class QPropertyAnimation;
class QStandardItemModel;
class QTimer;

namespace Ui {
class HomeBannerAndHotSearchView;
}

// First row of the home page: the banner carousel and the ranked hot
// searches beside it.
class HomeBannerAndHotSearchView : public QWidget {
    Q_OBJECT
public:
    static constexpr int SlideMs = 1500;
    static constexpr int IntervalMs = 4000;
    static constexpr int MaxKeywords = 10;

    explicit HomeBannerAndHotSearchView(QWidget* parent = nullptr);
    ~HomeBannerAndHotSearchView() override;

    void setBannerData(const QString& json);
    void setHotSearchData(const QString& json);
    void showMaximized();
    void showRestored();

    // Slides the next banner in; the timer runs it every four seconds.
    void carouselStep();
    QVariantList bannerList() const { return m_banners; }
    BannerView* outgoingBanner() const { return m_outTarget; }
    BannerView* incomingBanner() const { return m_inTarget; }
    QStandardItemModel* keywordModel() const { return m_keywords; }
    HomeHotSearchItemDelegate* delegate() const { return m_delegate; }

signals:
    void sizeChanged(const QSize& size);
    void showNormal(bool normal);
    void ClickHotSearch(const QString& keyword);
    void ClickBanner(const QVariant& banner);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void giveNextItem(BannerView* banner);
    void slide(QPropertyAnimation* animation, BannerView* target, int fromX, int toX);
    void fitBanners();
    void refreshBannerPicture(const QString& path);
    // The keyword painted at a point of the list, empty where none is.
    int rankAt(const QPoint& pos) const;
    QString keywordOfRank(int rank) const;
    void onKeywordMouse(bool press, const QPoint& pos);

    std::unique_ptr<Ui::HomeBannerAndHotSearchView> ui;
    QVariantList m_banners;
    BannerView* m_bannerA;
    BannerView* m_bannerB;
    BannerView* m_outTarget = nullptr;
    BannerView* m_inTarget = nullptr;
    QPropertyAnimation* m_outAnimation;
    QPropertyAnimation* m_inAnimation;
    QStandardItemModel* m_keywords;
    HomeHotSearchItemDelegate* m_delegate;
    QSize m_normalSize;
    QSize m_maxSize;
    int m_pressedRank = 0;
};
