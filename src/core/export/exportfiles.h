// The maintenance log and the due dates as files other programs read: CSV by
// RFC 4180 for spreadsheets, iCalendar by RFC 5545 for calendars. Shared by
// the window's File menu and kov-cli.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QStringList>
#include <QVariantList>

#include "storage/records.h"

namespace kov {

// Rows of named fields. A cell is a QString, a double (an amount), a bool,
// or null (invalid).
struct ExportTable {
    QStringList fields;
    QList<QVariantList> rows;
};

// One CSV field, quoted when it holds a comma, a quote or a line break.
QString csvField(const QString &text);

// An amount with "." as the decimal point: two decimals unless it needs more.
QString plainAmount(double value);

// A cell as CSV and text output write it: amounts plainly, null as nothing.
QString cellText(const QVariant &cell);

// The table as CSV: a header row, then one line per row, each ended by CRLF.
// No rows give an empty text.
QString csvText(const ExportTable &table);

// The maintenance log's records as stored (tab 1's, in their order) as rows
// with the fields
// property, provider, task, date (the local service day, YYYY-MM-DD), total,
// parts, labor, tax (amounts, null when unreadable), note and receipt (a
// path, or null).
ExportTable maintenanceLogTable(const RecordList &records);

// An iCalendar file with one all-day event per due row (property2, task2,
// lastdate, nextdate) whose task recurs: on the next due day, repeating
// daily, monthly or yearly by the task's interval. Rows that never come due
// (no interval, an unknown unit, a task not in `tasks`) are left out. Each
// event's UID is made from its property and task alone, so importing a
// newer file updates the events instead of adding them twice. `stamp` is
// the time of the export. Lines end in CRLF and are folded at 75 octets.
QByteArray dueCalendar(const RecordList &dueRows, const RecordList &tasks, const QDateTime &stamp);

// The count of events dueCalendar writes for these rows.
qsizetype dueCalendarEventCount(const RecordList &dueRows, const RecordList &tasks);

// iCalendar TEXT escaping: backslash, semicolon, comma and line breaks.
QString icalText(const QString &text);

// A content line folded to at most 75 octets per line, never inside a UTF-8
// sequence, ended by CRLF.
QByteArray icalFold(const QString &line);

} // namespace kov
