#pragma once

#include <QVariantList>

// The sentence as the engine heard it: every word coloured by its score,
// green from 81, black from 60, red below; a non-member sees every word red.
class WordColors {
public:
    // Rich text for a label; each word is followed by one space.
    static QString text(const QVariantList& words, bool member);
    static QString colourFor(int score, bool member);
};
