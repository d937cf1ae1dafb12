#include "Mediator.h"

#include "Dao.h"
#include "Facade.h"

#include <QMetaProperty>

QVariant Mediator::getDaoProperty(const QString& dao, const QString& property) const {
    Dao* d = Facade::instance()->dao(dao);
    return d ? d->property(property.toUtf8().constData()) : QVariant();
}

QVariantMap Mediator::getDaoPropertyMap(const QString& dao) const {
    Dao* d = Facade::instance()->dao(dao);
    return d ? d->toVariantMap() : QVariantMap();
}

void Mediator::onViewInvalidated() {
    const QMetaObject* meta = metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        QMetaProperty prop = meta->property(i);
        const QMetaObject* wanted = QMetaType::metaObjectForType(prop.userType());
        if (!wanted || !prop.isWritable())
            continue;
        for (Dao* dao : Facade::instance()->daos()) {
            if (!dao->metaObject()->inherits(wanted))
                continue;
            QObject* object = dao;
            prop.write(this, QVariant(prop.userType(), &object));
            break;
        }
    }
}
