#pragma once

#include "Widget.h"

#include <QPointer>
#include <QVariant>
#include <memory>

namespace Ui {
class VideoView;
}
class PlayerView;
class QListWidget;
class QModelIndex;
class QStandardItemModel;
class TaskView;
class VideoRecordViewItem;

// The clip page: the embedded player with title, level and ranking strip on
// the left, and a stack of five pages on the right (record, detail, another
// learner's dub, score, published).
class VideoView : public Widget {
    Q_OBJECT
public:
    enum Page { PageRecord = 0, PageDetail = 1, PageOther = 2, PagePublish = 3, PageSuccess = 4 };

    explicit VideoView(QWidget* parent = nullptr);
    ~VideoView() override;

    void setMember(bool member) { m_member = member; }
    bool isMember() const { return m_member; }
    PlayerView* player() const { return m_player; }
    QVariantMap clip() const { return m_clip; }
    QVariantList rankList() const { return m_rank; }
    QList<VideoRecordViewItem*> recordRows() const;
    // Shows the score page with the averages of a preview ("overall",
    // "integrity", "accuracy", "fluency"): numbers and bars for members, the
    // membership offer for everyone else.
    void showScorePage(const QVariantMap& averages);
    // The averages the score page shows, kept for the publication.
    QVariantMap averages() const { return m_averages; }
    static QVariantMap scoreAverages(const QList<VideoRecordViewItem*>& rows);

    static QString levelText(const QString& level);

signals:
    void sizeChanged(QSize size);
    void ClickVideoRank(const QVariant& entry);
    void ClickFavorite();
    void ClickUnFavorite();
    void ClickRecord();
    void ClickTask();
    void ClickTeach(const QVariant& content);
    void ClickAssignTask(const QVariant& ids);
    void ClickSVIP();
    void ClickPublish(const QVariant& product);
    void ClickReturn();

public slots:
    void onStatusChanged(const QVariant& status);
    void onTitleChanged(const QVariant& title);
    void onLevelChanged(const QVariant& level);
    void onOverviewChanged(const QVariant& overview);
    void onUrlChanged(const QVariant& url);
    void onSrtChanged(const QVariant& url);
    void onVideoDetailChanged(const QVariant& clip);
    void onSVIPChanged(const QVariant& vip);
    void onRankChanged(const QVariant& rank);
    void onUpdateLeftRank();
    void onUpdateRightRank();
    void onUpdateRightRankPublishSuccess();
    void onUserInfoChanged(const QVariant& info);
    void onClassInfoChanged(const QVariant& groups);
    void onIsRecordingChanged(const QVariant& recording);
    void onPublicSuccess();
    void onIsFavorited(bool favorited);
    void onClickSpace();
    void onQueryWordSuccess(const QVariant& word);

    void onClickVideoRank(const QModelIndex& index);
    void onCurrentIndexChanged(int row);
    void onClickPreview();
    void onClickPublish();
    void onStartRecord();
    void onStartPlay();
    void onStopRecord();
    void onStopPlay();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectButtons();
    void setupRankStrip();
    void fillRankRows(QListWidget* list);
    void clearList(QListWidget* list);
    void buildRecordRows();
    void addRecordRow(const QVariantMap& sentence, int index, int total);
    void showCover();
    void fitVideo();

    std::unique_ptr<Ui::VideoView> m_ui;
    PlayerView* m_player = nullptr;
    QStandardItemModel* m_rankModel = nullptr;
    QWidget* m_cover = nullptr;
    QPointer<TaskView> m_taskView;
    bool m_member = false;
    QVariant m_status;
    QVariantMap m_clip;
    QVariantList m_rank;
    int m_sentenceRows = 0;
    QVariantMap m_averages;
};
