#pragma once

#include "RequestSigner.h"

#include <QPair>
#include <QStringList>

// The three ways a signed request goes on the wire.
class RequestEncoder {
public:
    // origin + path + template with the placeholders filled in order. Values
    // are escaped only where they would change the query's structure.
    static QString templateUrl(const QString& origin, const QString& path, const QString& tmpl,
                               const QStringList& values);
    // origin + path with the items added in order by QUrlQuery.
    static QString builderUrl(const QString& origin, const QString& path,
                              const QList<QPair<QString, QString>>& items);
    // Compact JSON of the map; numbers stay JSON numbers.
    static QString jsonBody(const ParamMap& body);
    // Percent-encodes "%", "&", "=", "#", "+" and space, and nothing else.
    static QString escapeTemplateValue(const QString& value);
};
