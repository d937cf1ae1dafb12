#pragma once

class QObject;
struct QMetaObject;

class IObject {
public:
    virtual ~IObject() = default;
    virtual QObject* queryObject() = 0;
    virtual const QMetaObject* queryMetaObject() const = 0;
    virtual void release() = 0;
};
