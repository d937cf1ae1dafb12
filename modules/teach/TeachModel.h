#pragma once

#include "Mediator.h"
#include "UserDao.h"

class TeachViewModel;

// Looks clicked words up in the service's dictionary.
class TeachModel : public Mediator {
    Q_OBJECT
    DAO_POINTER_PROPERTY(UserDao, userDao)
public:
    static constexpr int kToastMs = 3000;

    explicit TeachModel(QObject* parent = nullptr);

    void setViewModel(TeachViewModel* viewModel) { m_viewModel = viewModel; }
    void lookUp(const QString& word);
    // The window is closing: answers still on their way are dropped.
    void close() { m_pending = 0; }
    int pendingLookups() const { return m_pending; }

    void onEvent(int id, const AnyValue& value) override;

private:
    TeachViewModel* m_viewModel = nullptr;
    // Answers this window still waits for: results of lookups that others
    // made (or made before it closed) open no card here.
    int m_pending = 0;
};
