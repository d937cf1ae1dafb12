#pragma once

#include <QVariantMap>

// A service answer read the one way every request reads it: a JSON object
// with `status`, `data` and `msg`; anything else is a failure without text.
class ServiceAnswer {
public:
    explicit ServiceAnswer(const QString& body);

    // Only status 1 (number or text) is success.
    bool succeeded() const { return m_object.value(QStringLiteral("status")).toInt() == 1; }
    // Invalid when the answer has no `data`.
    QVariant data() const { return m_object.value(QStringLiteral("data")); }
    QString message() const { return m_object.value(QStringLiteral("msg")).toString(); }
    const QVariantMap& object() const { return m_object; }

private:
    QVariantMap m_object;
};
