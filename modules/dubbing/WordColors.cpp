#include "WordColors.h"

#include <QRegularExpression>
#include <QVariantMap>

QString WordColors::colourFor(int score, bool member) {
    if (member && score >= 81)
        return QStringLiteral("green");
    if (member && score >= 60)
        return QStringLiteral("black");
    return QStringLiteral("red");
}

namespace {
QString fragment(const QVariant& entry, bool member) {
    const QVariantMap word = entry.toMap();
    const int score = word.value(QStringLiteral("score")).toInt();
    // The words come from the subtitle file: shown as text, never as markup.
    const QString shown = word.value(QStringLiteral("char")).toString().toHtmlEscaped();
    return QStringLiteral("<font color = %1>%2 </font>")
        .arg(WordColors::colourFor(score, member), shown);
}

const QString kWordLink = QStringLiteral("word:");
} // namespace

QString WordColors::text(const QVariantList& words, bool member) {
    QString text;
    for (const QVariant& entry : words)
        text += fragment(entry, member);
    return text;
}

QString WordColors::linkedText(const QVariantList& words, bool member) {
    QString text;
    for (int i = 0; i < words.size(); ++i)
        text += QStringLiteral("<a href=\"%1%2\" style=\"text-decoration:none\">%3</a>")
                    .arg(kWordLink)
                    .arg(i)
                    .arg(fragment(words.at(i), member));
    return text;
}

QString WordColors::wordAt(const QVariantList& words, const QString& link) {
    if (!link.startsWith(kWordLink))
        return {};
    bool ok = false;
    const int position = link.mid(kWordLink.size()).toInt(&ok);
    if (!ok || position < 0 || position >= words.size())
        return {};
    // As a subtitle word is looked up: without the sentence's punctuation.
    QString word = words.at(position).toMap().value(QStringLiteral("char")).toString();
    static const QRegularExpression punctuation(QStringLiteral("[\\s,;.!?\"“”]"));
    return word.remove(punctuation);
}
