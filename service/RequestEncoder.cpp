#include "RequestEncoder.h"

#include <QJsonDocument>
#include <QUrl>
#include <QUrlQuery>

QString RequestEncoder::escapeTemplateValue(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (QChar c : value) {
        switch (c.unicode()) {
        case '%': out += QLatin1String("%25"); break;
        case '&': out += QLatin1String("%26"); break;
        case '=': out += QLatin1String("%3D"); break;
        case '#': out += QLatin1String("%23"); break;
        case '+': out += QLatin1String("%2B"); break;
        case ' ': out += QLatin1String("%20"); break;
        default: out += c;
        }
    }
    return out;
}

QString RequestEncoder::templateUrl(const QString& origin, const QString& path,
                                    const QString& tmpl, const QStringList& values)
{
    // Fill all placeholders in one pass so that a value containing "%1"
    // is never substituted again.
    QString query;
    for (int i = 0; i < tmpl.size(); ++i) {
        if (tmpl[i] == QLatin1Char('%') && i + 1 < tmpl.size() && tmpl[i + 1].isDigit()) {
            int j = i + 1;
            while (j < tmpl.size() && tmpl[j].isDigit())
                ++j;
            const int index = tmpl.mid(i + 1, j - i - 1).toInt() - 1;
            query += escapeTemplateValue(values.value(index));
            i = j - 1;
        } else {
            query += tmpl[i];
        }
    }
    return origin + path + query;
}

QString RequestEncoder::builderUrl(const QString& origin, const QString& path,
                                   const QList<QPair<QString, QString>>& items)
{
    QUrlQuery query;
    for (const auto& item : items)
        query.addQueryItem(item.first, item.second);
    QUrl url(path);
    url.setQuery(query);
    return origin + url.toString();
}

QString RequestEncoder::jsonBody(const ParamMap& body)
{
    return QString::fromUtf8(QJsonDocument::fromVariant(body).toJson(QJsonDocument::Compact));
}
