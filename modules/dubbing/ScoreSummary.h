#pragma once

#include <QList>
#include <QVariantMap>

// Averages of the sentence rows' score records ("overall", "integrity",
// "accuracy", "fluency"), by integer division as the service stores them.
// No records average to zeros.
class ScoreSummary {
public:
    static const QStringList& keys();
    static QVariantMap average(const QList<QVariantMap>& records);
};
