#include "ScoreBadge.h"

QString ScoreBadge::imageFor(int overall, bool member, Size size) {
    QString band;
    if (!member)
        band = QStringLiteral("feihuiyuan");
    else if (overall > 84)
        band = QStringLiteral("super");
    else if (overall >= 71)
        band = QStringLiteral("excellent");
    else if (overall >= 60)
        band = QStringLiteral("great");
    else
        band = QStringLiteral("zaijiezaili");
    return QStringLiteral(":/images/%1x%2.png").arg(band).arg(int(size));
}

bool ScoreBadge::showsNumber(int overall, bool member) {
    return member && overall >= 60;
}
