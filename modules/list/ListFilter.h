#pragma once

#include <QVariant>

// Sorting and filtering, by the keys of a clip-list request, of the entries
// of lists the service neither sorts nor filters: the VIP zone's albums and an
// album's clips. A filter value "all" lets every entry through; an entry that
// does not carry a filtered key does not match it.
class ListFilter {
public:
    static QVariantList apply(const QVariantList& entries, const QVariantMap& filters);
    static bool matches(const QVariantMap& entry, const QVariantMap& filters);

private:
    static bool levelMatches(const QVariantMap& entry, const QString& level);
    static bool sentencesMatch(const QVariantMap& entry, const QString& range);
    static void sort(QVariantList& entries, const QString& order);
};
