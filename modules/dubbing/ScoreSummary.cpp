#include "ScoreSummary.h"

#include <QStringList>

const QStringList& ScoreSummary::keys() {
    static const QStringList names{QStringLiteral("overall"), QStringLiteral("integrity"),
                                   QStringLiteral("accuracy"), QStringLiteral("fluency")};
    return names;
}

QVariantMap ScoreSummary::average(const QList<QVariantMap>& records) {
    QVariantMap averages;
    for (const QString& key : keys()) {
        qint64 total = 0;
        for (const QVariantMap& record : records)
            total += record.value(key).toInt();
        averages.insert(key, records.isEmpty() ? 0 : int(total / records.size()));
    }
    return averages;
}
