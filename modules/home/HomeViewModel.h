#pragma once

#include "Mediator.h"

#include <QVariant>

class HomeModel;

// The home page's data: banner list, hot searches and sections, and the
// clicks that become navigation events or requests.
class HomeViewModel : public Mediator {
    Q_OBJECT
    Q_PROPERTY(QVariant bannerData READ bannerData WRITE setBannerData NOTIFY BannerDataChanged)
    Q_PROPERTY(QVariant hotData READ hotData WRITE setHotData NOTIFY HotDataChanged)
    Q_PROPERTY(QVariant listData READ listData WRITE setListData NOTIFY ListDataChanged)
public:
    explicit HomeViewModel(QObject* parent = nullptr) : Mediator(parent) {}

    void setModel(HomeModel* model) { m_model = model; }
    // Asks for the three parts of the page once the module is wired.
    void start();

    QVariant bannerData() const { return m_bannerData; }
    void setBannerData(const QVariant& data);
    QVariant hotData() const { return m_hotData; }
    void setHotData(const QVariant& data);
    QVariant listData() const { return m_listData; }
    void setListData(const QVariant& data);

    void onEvent(int id, const AnyValue& value) override;

public slots:
    void onClickHotSearch(const QString& keyword);
    void onClickBanner(const QVariant& banner);
    void onClickListItemMore(const QVariant& section);
    void onClickListItemRefresh(const QString& module, const QString& id);
    void onClickVideoItem(const QVariant& item);
    void onClickReload();
    void onUpdateBanner(const QVariant& data);
    void onUpdateHotSearch(const QVariant& data);
    void onUpdateList(const QVariant& data);
    void onUpdateListItem(const QVariant& section);
    void onUpdateLoadFailed(const QString& message);

signals:
    void BannerDataChanged(const QVariant& data);
    void HotDataChanged(const QVariant& data);
    void ListDataChanged(const QVariant& data);
    void ListItemDataChanged(const QVariant& section);
    void ShowMax();
    void ShowNormal();
    void LoadFailed(const QString& message);

private:
    void assign(QVariant& field, const QVariant& value,
                void (HomeViewModel::*changed)(const QVariant&));

    HomeModel* m_model = nullptr;
    QVariant m_bannerData;
    QVariant m_hotData;
    QVariant m_listData;
};
