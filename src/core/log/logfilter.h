// Which maintenance records a selection area lists: a property, a task and a
// service-date range. Shared by the four tabs and kov-cli.
#pragma once

#include <optional>

#include <QDateTime>
#include <QStringList>

#include "storage/records.h"

namespace kov {

// A name choice: a name matched exactly (case and accents count), or none
// for "All", which matches any name that is present.
using NameChoice = std::optional<QString>;

struct LogFilter {
    NameChoice property;
    NameChoice task;
    // Compared as instants with the record's service date cut to the start
    // of its day; without dates any service date (or none) passes.
    std::optional<QDateTime> begin;
    std::optional<QDateTime> end;
};

// True when the begin date is not later than the end date; equal passes.
bool areBeginEndDatesOK(const QDateTime &begin, const QDateTime &end);

// True when the record matches the filter. A record lacking a key the
// filter compares (or holding something other than a name or a date under
// it) never matches.
bool recordMatchesFilter(const Record &record, const LogFilter &filter);

// For each record in order, a copy with only the keys a tab-1 row is built
// from, and its service date cut to the start of its local day.
RecordList copyArrayCleanseDate(const RecordList &history);

// The cleansed copy of the history, keeping the matching records in file
// order.
RecordList copyFilteredLog(const RecordList &history, const LogFilter &filter);

// The records of one property (any for none), all tasks, in file order and
// unchanged.
RecordList copyAllTasksForOneProperty(const RecordList &history, const NameChoice &property);

// The distinct non-empty names under `key`, in the order they first occur.
QStringList distinctNames(const RecordList &records, const QString &key);

} // namespace kov
