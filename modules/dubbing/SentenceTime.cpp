#include "SentenceTime.h"

#include <QTime>

const QString& SentenceTime::format() {
    static const QString pattern = QStringLiteral("hh:mm:ss,zzz");
    return pattern;
}

int SentenceTime::toMs(const QString& text, int invalid) {
    const QTime time = QTime::fromString(text.trimmed(), format());
    return time.isValid() ? time.msecsSinceStartOfDay() : invalid;
}
