#pragma once

#include <QMap>
#include <QVariant>

// The headers that identify the client and the machine on every request.
class CommonHeaders {
public:
    static QMap<QString, QVariant> build();
    static QMap<QString, QVariant> build(const QString& deviceId);
    // The machine id as text; empty when the system has none.
    static QString deviceId();
};
