#pragma once

#include "Mediator.h"

class QWidget;

// Base of the page modules shown inside the main window.
class ChildObject : public Mediator {
    Q_OBJECT
public:
    explicit ChildObject(QObject* parent = nullptr) : Mediator(parent) {}
    virtual void show(bool visible) = 0;
    virtual QWidget* view() = 0;
    virtual QObject* viewModel() = 0;
    virtual QObject* model() = 0;
};
