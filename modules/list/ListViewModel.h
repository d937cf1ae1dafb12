#pragma once

#include "Mediator.h"

#include <QVariant>

class ListModel;

// State of a list page: its mode, the received clips, albums and album
// details, and the clicks that become requests.
class ListViewModel : public Mediator {
    Q_OBJECT
    Q_PROPERTY(QVariant listVideoData READ listVideoData WRITE setListVideoData NOTIFY
                   ListVideoDataChanged)
    Q_PROPERTY(QVariant listAlbumData READ listAlbumData WRITE setListAlbumData NOTIFY
                   ListAlbumDataChanged)
    Q_PROPERTY(
        QVariant listAlbumVIP READ listAlbumVIP WRITE setListAlbumVIP NOTIFY ListAlbumVIPChanged)
    Q_PROPERTY(QString listStatus READ listStatus WRITE setListStatus NOTIFY ListStatusChanged)
    Q_PROPERTY(QString keyword READ keyword WRITE setKeyword NOTIFY KeywordChanged)
    Q_PROPERTY(QVariant albumData READ albumData WRITE setAlbumData NOTIFY AlbumDataChanged)
public:
    // Where the page's entries come from, learned from the first list request
    // made for it. Clip lists are sorted and filtered by the service; album
    // lists and an album's clips are not, so the page does it itself.
    enum class Source { Unknown, ClipList, AlbumList, AlbumClips };

    explicit ListViewModel(QObject* parent = nullptr) : Mediator(parent) {}

    void setModel(ListModel* model) { m_model = model; }
    // Announces the page's mode once, even when it equals the stored one.
    void setMode(const QString& mode);

    QVariant listVideoData() const { return m_listVideoData; }
    void setListVideoData(const QVariant& data);
    QVariant listAlbumData() const { return m_listAlbumData; }
    void setListAlbumData(const QVariant& data);
    QVariant listAlbumVIP() const { return m_listAlbumVIP; }
    void setListAlbumVIP(const QVariant& data);
    QString listStatus() const { return m_listStatus; }
    void setListStatus(const QString& status);
    QString keyword() const { return m_keyword; }
    void setKeyword(const QString& keyword);
    QVariant albumData() const { return m_albumData; }
    void setAlbumData(const QVariant& data);

    // The nature and category that the page's first clip list asked for.
    QVariantMap scope() const { return m_scope; }
    Source source() const { return m_source; }

    void onEvent(int id, const AnyValue& value) override;

public slots:
    void onClickVideo();
    void onClickAlbum();
    void onClickFavorite();
    void onClickVideoItem(const QVariant& item);
    void onClickRefresh(const QVariant& filters);
    void onLoadMore();
    void onUpdateListVideo(const QVariant& data);
    void onUpdateAlbumVideos(const QVariant& data);
    void onUpdateListAlbum(const QVariant& data);
    void onUpdateListAlbumVIP(const QVariant& data);
    void onUpdateAlbumDetail(const QVariant& data);
    void onUpdateLoadFailed(const QString& message);

signals:
    void ListVideoDataChanged(const QVariant& data);
    void ListAlbumDataChanged(const QVariant& data);
    void ListAlbumVIPChanged(const QVariant& data);
    void ListStatusChanged(const QString& status);
    void KeywordChanged(const QString& keyword);
    void AlbumDataChanged(const QVariant& data);
    void LoadFailed(const QString& message);

private:
    void assign(QVariant& field, const QVariant& value,
                void (ListViewModel::*changed)(const QVariant&));
    void rememberScope(const QVariantMap& query);
    void rememberSource(int id, const QVariantMap& query);
    bool sortsItself() const;
    // Keeps the entries of an answer and returns all kept ones as filtered.
    QVariantList keepEntries(const QVariant& data);
    void showKept();

    ListModel* m_model = nullptr;
    QVariant m_listVideoData;
    QVariant m_listAlbumData;
    QVariant m_listAlbumVIP;
    QString m_listStatus;
    QString m_keyword;
    QVariant m_albumData;
    QVariantMap m_scope;
    Source m_source = Source::Unknown;
    int m_sourceRequest = 0;
    QVariantMap m_sourceQuery;
    QVariantList m_kept;
    bool m_keptArrived = false;
    QVariantMap m_filters;
};
