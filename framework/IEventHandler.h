#pragma once

#include "IEventDispatcher.h"

class IEventHandler : public IEventDispatcher {
public:
    virtual void onEvent(int id, const AnyValue& value) = 0;
    virtual void addEventListener(int id) = 0;
    virtual void removeListener(int id) = 0;
};
