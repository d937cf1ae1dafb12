#pragma once

#include "Mediator.h"

// Base of the top-level module objects (main window and separate windows).
class IAppObject : public Mediator {
    Q_OBJECT
public:
    explicit IAppObject(QObject* parent = nullptr) : Mediator(parent) {}
    virtual void show(bool visible) = 0;
};
