#include "log/logfilter.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include <QHash>
#include <QSet>

#include "storage/dates.h"

namespace kov {

namespace {

bool nameMatches(const Record &record, const QString &key, const NameChoice &choice)
{
    const auto it = record.constFind(key);
    if (it == record.cend() || it.value().typeId() != QMetaType::QString)
        return false;
    return !choice || it.value().toString() == *choice;
}

bool hasDate(const Record &record)
{
    const auto it = record.constFind(ServiceDateKey);
    return it != record.cend() && it.value().typeId() == QMetaType::QDateTime &&
           it.value().toDateTime().isValid();
}

} // namespace

bool areBeginEndDatesOK(const QDateTime &begin, const QDateTime &end)
{
    return begin.isValid() && end.isValid() && begin <= end;
}

bool recordMatchesFilter(const Record &record, const LogFilter &filter)
{
    if (!nameMatches(record, PropertyNameKey, filter.property) ||
        !nameMatches(record, ServiceTaskNameKey, filter.task))
        return false;
    if (!filter.begin && !filter.end)
        return true;
    if (!hasDate(record))
        return false;
    const QDateTime date = record.value(ServiceDateKey).toDateTime();
    return (!filter.begin || date >= *filter.begin) && (!filter.end || date <= *filter.end);
}

RecordList copyArrayCleanseDate(const RecordList &history)
{
    static const QString keys[] = {PropertyNameKey, ProviderNameKey, ServiceTaskNameKey,
                                   TotalCostKey,    PartsCostKey,    LaborCostKey,
                                   TaxCostKey,      NoteKey,         BookMarkDataKeyForReceipt};
    // The same keys and the date's, in a record's own order.
    static const std::vector<QString> sortedKeys = [] {
        std::vector<QString> k(std::begin(keys), std::end(keys));
        k.push_back(ServiceDateKey);
        std::sort(k.begin(), k.end());
        return k;
    }();
    // A record's keys come sorted: one walk along both lists.
    auto onlyKnown = [](const Record &record) {
        auto known = sortedKeys.cbegin();
        for (auto key = record.keyBegin(); key != record.keyEnd(); ++key) {
            while (known != sortedKeys.cend() && *known < *key)
                ++known;
            if (known == sortedKeys.cend() || *known != *key)
                return false;
        }
        return true;
    };
    const DatePass pass;
    QHash<qint64, bool> startsDay; // by instant: whether it starts its local day
    RecordList copy;
    copy.reserve(history.size());
    for (const Record &record : history) {
        // A record that holds only these keys and whose date already is the
        // start of its day (as every record KOV writes) is its own cleansed
        // copy: it is shared rather than built again.
        const auto stored = record.constFind(ServiceDateKey);
        bool same = onlyKnown(record);
        if (same && stored != record.cend() && stored.value().typeId() == QMetaType::QDateTime) {
            const QDateTime date = stored.value().toDateTime();
            // A log repeats its days: each instant read from a file is
            // looked at once.
            const bool fromFile = date.isValid() && date.timeSpec() == Qt::UTC;
            const auto known = fromFile ? startsDay.constFind(date.toMSecsSinceEpoch()) : startsDay.constEnd();
            if (known != startsDay.constEnd()) {
                same = *known;
            } else {
                const QDateTime start = NSDateUtilities::cleanseDate(date);
                // In UTC, as read from a file, or as cleansing gives it: the
                // same instant in the same zone.
                same = date.isValid() && start == date &&
                       (date.timeSpec() == Qt::UTC || start.timeSpec() == date.timeSpec());
                if (fromFile)
                    startsDay.insert(date.toMSecsSinceEpoch(), same);
            }
        }
        if (same) {
            copy.append(record);
            continue;
        }
        Record cleansed;
        for (const QString &key : keys) {
            const auto it = record.constFind(key);
            if (it != record.cend())
                cleansed.insert(key, it.value());
        }
        const auto date = record.constFind(ServiceDateKey);
        if (date != record.cend())
            cleansed.insert(ServiceDateKey,
                            date.value().typeId() == QMetaType::QDateTime
                                ? QVariant(NSDateUtilities::cleanseDate(date.value().toDateTime()))
                                : date.value());
        copy.append(cleansed);
    }
    return copy;
}

RecordList copyFilteredLog(const RecordList &history, const LogFilter &filter)
{
    RecordList kept;
    for (const Record &record : copyArrayCleanseDate(history))
        if (recordMatchesFilter(record, filter))
            kept.append(record);
    return kept;
}

RecordList copyAllTasksForOneProperty(const RecordList &history, const NameChoice &property)
{
    RecordList kept;
    for (const Record &record : history)
        if (recordMatchesFilter(record, LogFilter{property, std::nullopt, {}, {}}))
            kept.append(record);
    return kept;
}

QStringList distinctNames(const RecordList &records, const QString &key)
{
    QStringList names;
    QSet<QString> seen;
    // Names read from one file share their text, so most are known by where
    // their characters lie, without hashing them (the records, and so that
    // text, live throughout).
    QSet<std::pair<const QChar *, qsizetype>> seenText;
    for (const Record &record : records) {
        const auto it = record.constFind(key);
        if (it == record.cend() || it.value().typeId() != QMetaType::QString)
            continue;
        const QString name = it.value().toString();
        const std::pair<const QChar *, qsizetype> text{name.constData(), name.size()};
        if (seenText.contains(text))
            continue;
        seenText.insert(text);
        // An empty name could not be told apart from no choice in a pop-up.
        if (!name.isEmpty() && !seen.contains(name)) {
            seen.insert(name);
            names.append(name);
        }
    }
    return names;
}

} // namespace kov
