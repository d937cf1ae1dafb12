#pragma once

#include "EventHandler.h"

#include <QVariant>

// A handler that receives every event, and whose dao-typed properties are
// filled from the facade's registered daos by onViewInvalidated().
class Mediator : public EventHandler {
    Q_OBJECT
public:
    explicit Mediator(QObject* parent = nullptr) : EventHandler(parent) {}

    bool listensTo(int) const override { return true; }

    virtual QVariant getDaoProperty(const QString& dao, const QString& property) const;
    virtual QVariantMap getDaoPropertyMap(const QString& dao) const;
    virtual void onViewInvalidated();
};

// Declares a pointer property to a registered dao with the generated
// accessors getD<name>/setD<name>.
#define DAO_POINTER_PROPERTY(Type, name)                                                           \
    Q_PROPERTY(Type* name READ getD##name WRITE setD##name)                                        \
public:                                                                                            \
    Q_INVOKABLE Type* getD##name() const {                                                         \
        return name;                                                                               \
    }                                                                                              \
    Q_INVOKABLE void setD##name(Type* v) {                                                         \
        name = v;                                                                                  \
    }                                                                                              \
    Type* name = nullptr;                                                                          \
                                                                                                   \
private:
