#include "Dao.h"

#include "Facade.h"

#include <QMetaProperty>

QVariant Dao::toVariant() const {
    return toVariantMap();
}

QVariantMap Dao::toVariantMap() const {
    QVariantMap map;
    const QMetaObject* meta = metaObject();
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
        map.insert(QString::fromLatin1(meta->property(i).name()), meta->property(i).read(this));
    return map;
}

void Dao::dispatchEvent(int id, const AnyValue& value) {
    Facade::instance()->deliver(id, value);
}
