#include "WordColors.h"

#include <QVariantMap>

QString WordColors::colourFor(int score, bool member) {
    if (member && score >= 81)
        return QStringLiteral("green");
    if (member && score >= 60)
        return QStringLiteral("black");
    return QStringLiteral("red");
}

QString WordColors::text(const QVariantList& words, bool member) {
    QString text;
    for (const QVariant& entry : words) {
        const QVariantMap word = entry.toMap();
        const int score = word.value(QStringLiteral("score")).toInt();
        // The words come from the subtitle file: shown as text, never as markup.
        const QString shown = word.value(QStringLiteral("char")).toString().toHtmlEscaped();
        text += QStringLiteral("<font color = %1>%2 </font>").arg(colourFor(score, member), shown);
    }
    return text;
}
