#pragma once

#include "Mediator.h"
#include "UserDao.h"

#include <QVariantMap>

class VideoViewModel;

// Turns the clip page's actions into service requests and feeds the answers
// back into the view model.
class VideoModel : public Mediator {
    Q_OBJECT
    DAO_POINTER_PROPERTY(UserDao, userDao)
public:
    explicit VideoModel(QObject* parent = nullptr);

    void setViewModel(VideoViewModel* viewModel) { m_viewModel = viewModel; }
    void onEvent(int id, const AnyValue& value) override;

    bool isLoggedIn() const { return userDao && userDao->hasLogin; }
    bool isMember() const { return userDao && userDao->isVIP == QLatin1String("1"); }
    QVariantMap clip() const { return m_clip; }

    void addFavorite();
    void removeFavorite();
    void requestClassGroups();
    void assignTask(const QString& groupList);
    void publish(const QVariantMap& product);
    // Asks the dictionary for a word; the answer opens a word card.
    void lookUpWord(const QString& word);
    int pendingLookups() const { return m_pendingLookups; }

    // The publish request for a product {aacName, overall, accuracy,
    // fluency, integrity}; the service takes a fixed duration of 60.
    QVariantMap publishRequest(const QVariantMap& product) const;

private:
    void openClip(const QVariantMap& clip);
    void handleResult(int id, const AnyValue& value);
    void send(int id, const QVariantMap& payload);
    QVariantMap session() const;
    QString courseId() const;

    VideoViewModel* m_viewModel = nullptr;
    QVariantMap m_clip;
    // Answers this page still waits for: lookups made elsewhere (teaching
    // mode) open no card here.
    int m_pendingLookups = 0;
};
