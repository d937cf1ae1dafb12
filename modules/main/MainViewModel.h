#pragma once

#include "Mediator.h"

class MainModel;

class MainViewModel : public Mediator {
    Q_OBJECT
    Q_PROPERTY(QString rightPage READ rightPage WRITE setRightPage NOTIFY RightPageChanged)
public:
    explicit MainViewModel(QObject* parent = nullptr) : Mediator(parent) {}

    void setModel(MainModel* model) { m_model = model; }
    QString rightPage() const { return m_rightPage; }
    void setRightPage(const QString& page);

    // Runs once all connections exist: opens the home page.
    void start();

signals:
    void RightPageChanged(const QString& page);

private:
    MainModel* m_model = nullptr;
    QString m_rightPage;
};
