#include "EnText.h"

#include <QDebug>
#include <QRegularExpression>

EnText::EnText(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setBackgroundVisible(false);
}

QString EnText::rawWordAt(const QString& text, int pos) {
    const QChar space = QLatin1Char(' ');
    if (pos <= 0)
        return text.left(text.indexOf(space)); // left(-1) is the whole text
    if (pos >= text.size())
        return text.mid(text.lastIndexOf(space) + 1);
    if (text.at(pos - 1) == space) { // at the start of a word
        const int end = text.indexOf(space, pos);
        return end < 0 ? text.mid(pos) : text.mid(pos, end - pos);
    }
    if (text.at(pos) == space) { // at the end of a word
        const QString before = text.left(pos);
        return before.mid(before.lastIndexOf(space) + 1);
    }
    const int from = text.lastIndexOf(space, pos - 1) + 1;
    const int end = text.indexOf(space, from);
    return end < 0 ? text.mid(from) : text.mid(from, end - from);
}

QString EnText::wordAt(const QString& text, int pos) {
    static const QRegularExpression punctuation(QStringLiteral("[ ,;.!?]"));
    return rawWordAt(text, pos).remove(punctuation);
}

void EnText::mouseReleaseEvent(QMouseEvent*) {
    const QString word = wordAt(toPlainText(), textCursor().position());
    qDebug() << word;
    if (!word.isEmpty())
        emit QueryWord(word);
}
