#include "QrImageAddress.h"

namespace {
// What follows the first `marker` (marker included), or "" without one.
QString fromFirst(const QString& text, const QString& marker) {
    const int at = text.indexOf(marker);
    return at < 0 ? QString() : text.mid(at);
}
} // namespace

QString QrImageAddress::pathFromHtml(const QString& html) {
    QString rest = fromFirst(html, QStringLiteral("<img"));
    rest = fromFirst(rest, QStringLiteral("src="));
    rest = fromFirst(rest, QStringLiteral("/"));
    const int end = rest.indexOf(QStringLiteral("\">"));
    return end < 0 ? QString() : rest.left(end);
}

QString QrImageAddress::fromHtml(const QString& html, const QString& origin) {
    const QString path = pathFromHtml(html);
    return path.isEmpty() ? QString() : origin + path;
}
