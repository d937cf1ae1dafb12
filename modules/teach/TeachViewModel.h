#pragma once

#include "Mediator.h"

#include <QVariant>

class TeachModel;

// Passes clicked words to the model and lookup results to the view.
class TeachViewModel : public Mediator {
    Q_OBJECT
public:
    explicit TeachViewModel(QObject* parent = nullptr) : Mediator(parent) {}

    void setModel(TeachModel* model) { m_model = model; }

signals:
    void QueryWordSuccess(const QVariant& result);

public slots:
    void onQueryWord(const QString& word);
    void onQueryWordSuccess(const QVariant& result);

private:
    TeachModel* m_model = nullptr;
};
