#pragma once

#include "Mediator.h"

#include <QVariant>

class VideoModel;

// State of one clip page. Every property is a QVariant whose notify signal
// fires only on a real change; the model's updates clear the stored value
// first so that they are always announced.
class VideoViewModel : public Mediator {
    Q_OBJECT
    Q_PROPERTY(QVariant isRecording READ isRecording WRITE setIsRecording NOTIFY IsRecordingChanged)
    Q_PROPERTY(QVariant status READ status WRITE setStatus NOTIFY StatusChanged)
    Q_PROPERTY(QVariant title READ title WRITE setTitle NOTIFY TitleChanged)
    Q_PROPERTY(QVariant overview READ overview WRITE setOverview NOTIFY OverviewChanged)
    Q_PROPERTY(QVariant level READ level WRITE setLevel NOTIFY LevelChanged)
    Q_PROPERTY(QVariant url READ url WRITE setUrl NOTIFY UrlChanged)
    Q_PROPERTY(QVariant srt READ srt WRITE setSrt NOTIFY SrtChanged)
    Q_PROPERTY(QVariant svip READ svip WRITE setSvip NOTIFY SVIPChanged)
    Q_PROPERTY(QVariant rank READ rank WRITE setRank NOTIFY RankChanged)
    Q_PROPERTY(QVariant classInfo READ classInfo WRITE setClassInfo NOTIFY ClassInfoChanged)
    Q_PROPERTY(QVariant userInfo READ userInfo WRITE setUserInfo NOTIFY UserInfoChanged)
    Q_PROPERTY(QVariant videoDetail READ videoDetail WRITE setVideoDetail NOTIFY VideoDetailChanged)
public:
    explicit VideoViewModel(QObject* parent = nullptr);

    void setModel(VideoModel* model) { m_model = model; }
    void onEvent(int id, const AnyValue& value) override;

    QVariant isRecording() const { return m_isRecording; }
    QVariant status() const { return m_status; }
    QVariant title() const { return m_title; }
    QVariant overview() const { return m_overview; }
    QVariant level() const { return m_level; }
    QVariant url() const { return m_url; }
    QVariant srt() const { return m_srt; }
    QVariant svip() const { return m_svip; }
    QVariant rank() const { return m_rank; }
    QVariant classInfo() const { return m_classInfo; }
    QVariant userInfo() const { return m_userInfo; }
    QVariant videoDetail() const { return m_videoDetail; }

    void setIsRecording(const QVariant& v) {
        assign(m_isRecording, v, &VideoViewModel::IsRecordingChanged);
    }
    void setStatus(const QVariant& v) { assign(m_status, v, &VideoViewModel::StatusChanged); }
    void setTitle(const QVariant& v) { assign(m_title, v, &VideoViewModel::TitleChanged); }
    void setOverview(const QVariant& v) { assign(m_overview, v, &VideoViewModel::OverviewChanged); }
    void setLevel(const QVariant& v) { assign(m_level, v, &VideoViewModel::LevelChanged); }
    void setUrl(const QVariant& v) { assign(m_url, v, &VideoViewModel::UrlChanged); }
    void setSrt(const QVariant& v) { assign(m_srt, v, &VideoViewModel::SrtChanged); }
    void setSvip(const QVariant& v) { assign(m_svip, v, &VideoViewModel::SVIPChanged); }
    void setRank(const QVariant& v) { assign(m_rank, v, &VideoViewModel::RankChanged); }
    void setClassInfo(const QVariant& v) {
        assign(m_classInfo, v, &VideoViewModel::ClassInfoChanged);
    }
    void setUserInfo(const QVariant& v) { assign(m_userInfo, v, &VideoViewModel::UserInfoChanged); }
    void setVideoDetail(const QVariant& v) {
        assign(m_videoDetail, v, &VideoViewModel::VideoDetailChanged);
    }

signals:
    void IsRecordingChanged(const QVariant& value);
    void StatusChanged(const QVariant& value);
    void TitleChanged(const QVariant& value);
    void OverviewChanged(const QVariant& value);
    void LevelChanged(const QVariant& value);
    void UrlChanged(const QVariant& value);
    void SrtChanged(const QVariant& value);
    void SVIPChanged(const QVariant& value);
    void RankChanged(const QVariant& value);
    void ClassInfoChanged(const QVariant& value);
    void UserInfoChanged(const QVariant& value);
    void VideoDetailChanged(const QVariant& value);

    void PublicSuccess();
    // The service did not take the publication; publishing may be tried again.
    void PublicFail();
    void IsFavorited(bool favorited);
    void ClickSpace();
    // A word looked up from a scored sentence, for the word card.
    void QueryWordSuccess(const QVariant& word);

public slots:
    void onClickFavorite();
    void onClickUnFavorite();
    void onClickRecord();
    void onClickTask();
    void onClickTeach(const QVariant& content);
    void onClickAssignTask(const QVariant& data);
    void onClickVideoRank(const QVariant& entry);
    void onClickSVIP();
    void onClickPublish(const QVariant& data);
    void onClickReturn();
    void onQueryWord(const QString& word);
    void onQueryWordSuccess(const QVariant& word) { emit QueryWordSuccess(word); }

    void onUpdateTitle(const QVariant& v) { rewrite("title", m_title, v); }
    void onUpdateOverview(const QVariant& v) { rewrite("overview", m_overview, v); }
    void onUpdateLevel(const QVariant& v) { rewrite("level", m_level, v); }
    void onUpdateUrl(const QVariant& v) { rewrite("url", m_url, v); }
    void onUpdateSrt(const QVariant& v) { rewrite("srt", m_srt, v); }
    void onUpdateSVIP(const QVariant& v) { rewrite("svip", m_svip, v); }
    void onUpdateRank(const QVariant& v) { rewrite("rank", m_rank, v); }
    void onUpdateClassInfo(const QVariant& v) { rewrite("classInfo", m_classInfo, v); }
    void onUpdateUserInfo(const QVariant& v) { rewrite("userInfo", m_userInfo, v); }
    void onUpdateVideoDetail(const QVariant& v) { rewrite("videoDetail", m_videoDetail, v); }

    void onPublicSuccess() { emit PublicSuccess(); }
    void onPublicFail() { emit PublicFail(); }
    void onIsFavoritedSuccess(const QVariant& data);

public:
    // The group ids joined, each followed by a comma ("12,34,").
    static QString groupList(const QVariant& ids);

private:
    using Notify = void (VideoViewModel::*)(const QVariant&);
    void assign(QVariant& field, const QVariant& value, Notify notify);
    void rewrite(const char* property, QVariant& field, const QVariant& value);
    // True when logged in; otherwise asks for the login window.
    bool requireLogin();
    void onNavBack();

    VideoModel* m_model = nullptr;
    QVariant m_isRecording = false;
    QVariant m_status;
    QVariant m_title;
    QVariant m_overview;
    QVariant m_level;
    QVariant m_url;
    QVariant m_srt;
    QVariant m_svip;
    QVariant m_rank;
    QVariant m_classInfo;
    QVariant m_userInfo;
    QVariant m_videoDetail;
};
