#pragma once

class AnyValue;

class IEventDispatcher {
public:
    virtual ~IEventDispatcher() = default;
    virtual void dispatchEvent(int id, const AnyValue& value) = 0;
};
