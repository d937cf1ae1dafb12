#pragma once

#include "IEventDispatcher.h"
#include "Object.h"

#include <QVariantMap>

// A shared record; its Qt properties are the record's fields.
class Dao : public Object, public IEventDispatcher {
    Q_OBJECT
public:
    explicit Dao(QObject* parent = nullptr) : Object(parent) {}

    virtual QVariant toVariant() const;
    virtual QVariantMap toVariantMap() const;
    void dispatchEvent(int id, const AnyValue& value) override;
};

// A record field with the generated accessors getD<name>/setD<name> and no
// notify signal; readers and writers may also use the public field directly.
#define DAO_FIELD(Type, name)                                                                      \
    Q_PROPERTY(Type name READ getD##name WRITE setD##name)                                         \
public:                                                                                            \
    Q_INVOKABLE Type getD##name() const {                                                          \
        return name;                                                                               \
    }                                                                                              \
    Q_INVOKABLE void setD##name(const Type& v) {                                                   \
        name = v;                                                                                  \
    }                                                                                              \
    Type name{};                                                                                   \
                                                                                                   \
private:
