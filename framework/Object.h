#pragma once

#include "IObject.h"

#include <QObject>

class Object : public QObject, public IObject {
    Q_OBJECT
public:
    explicit Object(QObject* parent = nullptr) : QObject(parent) {}

    QObject* queryObject() override { return this; }
    const QMetaObject* queryMetaObject() const override { return metaObject(); }
    void release() override { deleteLater(); }
};
