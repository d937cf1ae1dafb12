#pragma once

#include "Widget.h"

#include <QVariant>
#include <memory>

class HomeBannerAndHotSearchView;
class HomeItemView;

namespace Ui {
class HomeView;
}

// The home page: the banner and hot-search row followed by one row per
// content section, in one scrolling list.
class HomeView : public Widget {
    Q_OBJECT
public:
    explicit HomeView(QWidget* parent = nullptr);
    ~HomeView() override;

    HomeBannerAndHotSearchView* bannerRow() const { return m_bannerRow; }
    QString noticeText() const;
    QList<HomeItemView*> sections() const;

signals:
    void ClickHotSearch(const QString& keyword);
    void ClickBanner(const QVariant& banner);
    void ClickListItemMore(const QVariant& section);
    void ClickListItemRefresh(const QString& module, const QString& id);
    void ClickVideoItem(const QVariant& item);
    void ClickReload();

public slots:
    void onClickXXX() {}
    void onBannerDataChanged(const QVariant& data);
    void onHotDataChanged(const QVariant& data);
    void onListDataChanged(const QVariant& list);
    void onListItemDataChanged(const QVariant& section);
    void onShowMax();
    void onShowNormal();
    // Says why the page stays empty, with a button that asks again.
    void onLoadFailed(const QString& message);

private:
    void removeSections();
    void addSection(const QVariant& section);

    std::unique_ptr<Ui::HomeView> ui;
    HomeBannerAndHotSearchView* m_bannerRow;
};
