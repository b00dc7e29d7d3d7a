// Maintenance records and the tab-1 rows shown for them: the row built from
// a record, the record rebuilt from a row, and how the stored record behind
// a row is found again.
#pragma once

#include <optional>

#include <QUrl>

#include "storage/records.h"

namespace kov {

// The amount a stored cost value stands for: a string by storedCostAmount,
// a number as it is; none for anything else.
std::optional<double> amountOf(const QVariant &value);

// The tab-1 row of a record: each present source key under its column
// identifier; a cost only when it reads as an amount (storedCostAmount).
Record maintenanceRowFromRecord(const Record &record);
// The one cell of that row under `column`, without building the row:
// invalid where the row holds none (or holds an invalid value).
QVariant maintenanceCell(const Record &record, const QString &column);

// The stored form of a row, as the entry form would have written it.
Record searchRecordFromMaintenanceRow(const Record &row);

// Whole-record equality, except that the four cost entries compare by the
// amount they stand for, so a log written under one locale is still found
// under another.
bool maintenanceRecordsMatch(const Record &a, const Record &b);
// Index of the first record of `list` that matches `record`, or -1. Keys KOV
// does not know are left out of the comparison: no row carries them.
qsizetype indexOfMaintenanceRecord(const RecordList &list, const Record &record);

// Removes, from every record, each entry other than the service date and the
// receipt whose value is null or the empty string. True when any went.
bool removeNilEntries(RecordList &history);

// The receipt location stored in a record's receipt data, or none: data
// that is no absolute file: URL (written on another platform) reads as
// unresolvable and is kept as it is.
QUrl receiptUrlFromBookmark(const QByteArray &data);

} // namespace kov
