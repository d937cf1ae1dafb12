#pragma once

#include "Mediator.h"
#include "UserDao.h"

class MainViewModel;

class MainModel : public Mediator {
    Q_OBJECT
    DAO_POINTER_PROPERTY(UserDao, userDao)
public:
    explicit MainModel(QObject* parent = nullptr);

    void setViewModel(MainViewModel* viewModel) { m_viewModel = viewModel; }
    // Asks the service for the navigation data once the window is wired.
    void start();

private:
    MainViewModel* m_viewModel = nullptr;
};
