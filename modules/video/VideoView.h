#pragma once

#include "PracticeKeys.h"
#include "Widget.h"

#include <QPointer>
#include <QVariant>
#include <memory>

namespace Ui {
class VideoView;
}
class DubAssembler;
class PlayerView;
class PracticeBar;
class SentenceCompare;
class TakeStore;
class PYProgress;
class QListWidget;
class QModelIndex;
class QStandardItemModel;
class TaskView;
class UpdateThread;
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
    // The latest preview's dub: its four averages and "aacName", the file
    // in the working directory that publishing uploads.
    QVariantMap product() const { return m_product; }
    // The progress window of a running preview or upload, else null.
    PYProgress* progressWindow() const { return m_progress.get(); }
    // Practice on the record page: the microphone check and speed, the
    // clip's kept takes, hearing a sentence and comparing it with a take.
    PracticeBar* practiceBar() const { return m_practice; }
    TakeStore* takeStore() const { return m_takes; }
    SentenceCompare* sentenceCompare() const { return m_compare; }
    // The name the clip's takes and speed are kept under.
    QString clipKey() const;
    double rate() const { return m_rate; }

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
    // A word of a scored sentence was clicked: look it up.
    void QueryWord(const QString& word);

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
    void onPublicFail();
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
    void onPracticeKey(PracticeKeys::Key key);
    void onRateChosen(double rate);
    void onStartOver();

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
    void onDubAssembled(bool ok, const QString& product, const QString& error);
    void onUploadFinished(bool ok, const QString& error);
    void playDub();
    PYProgress* openProgress(const QString& title);
    void setUpPractice();
    VideoRecordViewItem* currentRow() const;
    void playOriginal(VideoRecordViewItem* row, bool thenTake);
    void showCompareStep();
    void closeProgress();

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
    DubAssembler* m_assembler = nullptr;
    QPointer<UpdateThread> m_upload;
    std::unique_ptr<PYProgress> m_progress; // a window of its own
    QVariantMap m_product;
    PracticeBar* m_practice = nullptr;
    TakeStore* m_takes = nullptr;
    SentenceCompare* m_compare = nullptr;
    QString m_srtUrl;
    double m_rate = 1.0;
};
