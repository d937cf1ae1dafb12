#pragma once

#include "Widget.h"

#include <QVariant>
#include <memory>

class QButtonGroup;

namespace Ui {
class ListView;
}

// The view of every list page: optional album header, sort and filter rows,
// "视频"/"专辑" tabs, and the card grid or its empty-page notice.
class ListView : public Widget {
    Q_OBJECT
public:
    explicit ListView(QWidget* parent = nullptr);
    ~ListView() override;

    // The filter map of the checked sort and filter buttons.
    QVariantMap filters() const;
    int cardCount() const;
    QVariantList cards() const;
    QString emptyText() const;
    bool showsCards() const;

signals:
    void ClickVideo();
    void ClickAlbum();
    void ClickFavorite();
    void ClickVideoItem(const QVariant& item);
    void ClickRefresh(const QVariant& filters);
    void LoadMore();

public slots:
    void onClickVideo();
    void onClickAlbum();
    void onClickFavorite();
    void onClickMore();
    void onRefresh();
    void onTabChanged(const QVariant& video);
    void onListStatusChanged(const QString& mode);
    void onListVideoDataChanged(const QVariant& list);
    void onListAlbumDataChanged(const QVariant& list);
    void onKeywordChanged(const QString&) {}
    void onAlbumDataChanged(const QVariant& data);
    void onListAlbumVIPChanged(const QVariant& list);
    void onLoadFailed(const QString& message);

private:
    void connectButtons();
    void clearGrid();
    void showEmpty();
    // Adds the entries not shown yet; returns how many were added.
    int appendCards(const QVariantList& entries, const QString& module);
    void showAlbums(const QVariant& list, bool continuing);
    void removeTabs();
    void removeFilters();
    static QString groupValue(const QButtonGroup* group, const QHash<QString, QString>& values);

    std::unique_ptr<Ui::ListView> ui;
    QString m_mode;
};
