#pragma once

#include "Mediator.h"
#include "UserDao.h"

#include <QVariant>

class ListViewModel;

// Hands the list results of the service to the view model and sends the
// album favourite request.
class ListModel : public Mediator {
    Q_OBJECT
    DAO_POINTER_PROPERTY(UserDao, userDao)
public:
    explicit ListModel(QObject* parent = nullptr);

    void setViewModel(ListViewModel* viewModel) { m_viewModel = viewModel; }
    bool isLoggedIn() const { return userDao && userDao->hasLogin; }
    void addFavorite(const QVariant& albumID);

    // The entries of a list answer: the list itself, or the list under one of
    // the keys search answers use.
    static QVariant entries(const QVariant& data);

    void onEvent(int id, const AnyValue& value) override;

private:
    // The grid shows the answer to the page's latest list request only: an
    // answer of an older one (a filter, tab or page the user has left) is
    // dropped.
    static bool isListRequest(int id);
    static bool isListAnswer(int id);
    bool answersLatestRequest() const;
    void onAnswer(int id, const AnyValue& value);

    ListViewModel* m_viewModel = nullptr;
    quint64 m_latestRequest = 0;
};
