#include "ListFilter.h"

#include <algorithm>

namespace {
const QString kAll = QStringLiteral("all");

bool isAll(const QString& value) {
    return value.isEmpty() || value == kAll;
}
} // namespace

QVariantList ListFilter::apply(const QVariantList& entries, const QVariantMap& filters) {
    QVariantList kept;
    for (const QVariant& entry : entries)
        if (matches(entry.toMap(), filters))
            kept << entry;
    sort(kept, filters.value(QStringLiteral("sort")).toString());
    return kept;
}

bool ListFilter::matches(const QVariantMap& entry, const QVariantMap& filters) {
    for (const char* key : {"pronunciation", "speed", "role"}) {
        const QString wanted = filters.value(QLatin1String(key)).toString();
        if (!isAll(wanted) && entry.value(QLatin1String(key)).toString() != wanted)
            return false;
    }
    const QString level = filters.value(QStringLiteral("difficulty")).toString();
    const QString sentences = filters.value(QStringLiteral("subtitle")).toString();
    return (isAll(level) || levelMatches(entry, level)) &&
           (isAll(sentences) || sentencesMatch(entry, sentences));
}

bool ListFilter::levelMatches(const QVariantMap& entry, const QString& level) {
    // Level n holds the difficulties from n up to n + 1; the entry level "0"
    // holds the clips marked 0.5.
    bool known = false, wantedKnown = false;
    const double difficulty = entry.value(QStringLiteral("difficulty")).toString().toDouble(&known);
    const int wanted = level.toInt(&wantedKnown);
    return known && wantedKnown && difficulty >= wanted && difficulty < wanted + 1;
}

bool ListFilter::sentencesMatch(const QVariantMap& entry, const QString& range) {
    bool known = false;
    const int count = entry.value(QStringLiteral("subtitle_num")).toString().toInt(&known);
    if (!known)
        return false;
    const QStringList bounds = range.split(QLatin1Char(','));
    const int low = bounds.value(0).toInt();
    if (bounds.size() > 1)
        return count >= low && count <= bounds.value(1).toInt();
    // "10" stands for ten sentences and more.
    return low >= 10 ? count >= low : count == low;
}

void ListFilter::sort(QVariantList& entries, const QString& order) {
    if (order == QLatin1String("hot")) {
        std::stable_sort(entries.begin(), entries.end(), [](const QVariant& a, const QVariant& b) {
            return a.toMap().value(QStringLiteral("hot")).toLongLong() >
                   b.toMap().value(QStringLiteral("hot")).toLongLong();
        });
    } else if (order == QLatin1String("new")) {
        // "yyyy-MM-dd hh:mm" compares as text.
        std::stable_sort(entries.begin(), entries.end(), [](const QVariant& a, const QVariant& b) {
            return a.toMap().value(QStringLiteral("create_time")).toString() >
                   b.toMap().value(QStringLiteral("create_time")).toString();
        });
    }
}
