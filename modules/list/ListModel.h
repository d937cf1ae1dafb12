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
    ListViewModel* m_viewModel = nullptr;
};
