#pragma once

#include <QString>

// Subtitle times are texts "hh:mm:ss,zzz"; every user of a sentence converts
// them the same way.
class SentenceTime {
public:
    static const QString& format();
    // Milliseconds since 00:00:00,000, or `invalid` when the text does not parse.
    static int toMs(const QString& text, int invalid = -1);
};
