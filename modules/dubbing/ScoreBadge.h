#pragma once

#include <QString>

// The badge that tells a learner how a recording went: a picture by score band
// (super above 84, excellent 71-84, great 60-70, "zaijiezaili" below 60), and
// the "feihuiyuan" picture for non-members, who do not see numbers.
class ScoreBadge {
public:
    enum Size { Row = 1, Page = 2 }; // x1 on a sentence row, x2 on the score page

    static QString imageFor(int overall, bool member, Size size);
    // Whether the number is shown beside the picture.
    static bool showsNumber(int overall, bool member);
};
