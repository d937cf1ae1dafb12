#pragma once

#include "Mediator.h"
#include "UserDao.h"

#include <QVariant>

class MainViewModel;

// Talks to the service for the main window (natures, categories, clip
// details) and keeps the session record's login state in the header.
class MainModel : public Mediator {
    Q_OBJECT
    DAO_POINTER_PROPERTY(UserDao, userDao)
public:
    explicit MainModel(QObject* parent = nullptr);

    void setViewModel(MainViewModel* viewModel) { m_viewModel = viewModel; }
    // Asks the service for the navigation data once the window is wired.
    void start();
    // Asks for the natures again when they never came (the service could not
    // be reached) and no request for them is under way.
    void reloadMissingNatures();

    bool isLoggedIn() const { return userDao && userDao->hasLogin; }
    void logout();
    QVariant natures() const { return m_natures; }
    QVariant categories() const { return m_categories; }

    void onEvent(int id, const AnyValue& value) override;

private:
    MainViewModel* m_viewModel = nullptr;
    QVariant m_natures;
    QVariant m_categories;
    bool m_naturesAsked = false;
};
