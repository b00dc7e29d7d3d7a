// Ordering lists for people, and finding a record by its name.
#pragma once

#include <optional>

#include <QStringList>

#include "storage/records.h"

namespace kov {

// The comparison rules a sort level can use.
enum class SortSelector {
    compare,                          // by character values; numbers by value, dates by instant
    localizedStandardCompare,         // as lists are shown to people: case and accents as the locale does, digit runs by value
    localizedCaseInsensitiveCompare,  // locale order ignoring case
};

// <0, 0, >0. localizedStandardCompare breaks collator ties by code point, so
// it is a total order.
int localizedStandardCompare(const QString &a, const QString &b);
int localizedCaseInsensitiveCompare(const QString &a, const QString &b);
// Compares two property-list values by a rule; a missing (invalid) value
// sorts before any present one.
int compareValues(const QVariant &a, const QVariant &b, SortSelector sel);

// Sorts `array` in place (stable) by up to three levels; an empty key skips
// the level. Returns the array.
RecordList &doSortWithArray(RecordList &array,
                            const QString &sortKey1, bool ascend1, SortSelector sel1,
                            const QString &sortKey2 = {}, bool ascend2 = true,
                            SortSelector sel2 = SortSelector::compare,
                            const QString &sortKey3 = {}, bool ascend3 = true,
                            SortSelector sel3 = SortSelector::compare);

// Sorts names ascending by localizedStandardCompare.
void sortArray(QStringList &array);
// Sorts numbers ascending by value.
void sortNumberArray(QList<double> &array);

// The first record, in list order, whose value under `key` is a string equal
// to `title` (exact, case-sensitive).
std::optional<Record> copyDictContainingTitle(const QString &title, const QString &key,
                                              const RecordList &array);

} // namespace kov
