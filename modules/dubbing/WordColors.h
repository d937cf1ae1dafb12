#pragma once

#include <QVariantList>

// The sentence as the engine heard it: every word coloured by its score,
// green from 81, black from 60, red below; a non-member sees every word red.
class WordColors {
public:
    // Rich text for a label; each word is followed by one space.
    static QString text(const QVariantList& words, bool member);
    static QString colourFor(int score, bool member);
    // The same text with every word a link "word:<position>", so that a
    // click on a word can look it up.
    static QString linkedText(const QVariantList& words, bool member);
    // The word a link of linkedText names, without punctuation; empty when
    // the link names none.
    static QString wordAt(const QVariantList& words, const QString& link);
};
