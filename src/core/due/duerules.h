// When each recurring task is next due: the day count of a task's interval,
// the due rows built from maintenance records, the latest row per property
// and task, and what counts as due now. Shared by tab 2 and kov-cli due.
#pragma once

#include <QDateTime>
#include <QStringList>

#include "log/logfilter.h"
#include "storage/records.h"

namespace kov {

// The interval unit codes stored under ServiceTaskTimeUnits.
enum TaskUnit : qint64 { UnitDays = 0, UnitMonths = 1, UnitYears = 2, UnitNone = 3 };

// The list modes of tab 2, by the tag of the chosen radio button; any other
// tag lists every record.
enum class DueMode { Latest = 1, All = 2, Overdue = 3 };
DueMode dueModeFromTag(int tag);

// The day count of `count` units: days ×1, months ×30, years ×365. -1 for
// no recurrence, for a negative count and for a count too large to hold;
// -1 with *badUnit set for a unit code outside 0..3.
qint64 ConvertToDays(qint64 count, qint64 unitCode, bool *badUnit = nullptr);

// The next date of a task without recurrence: after every real date.
QDateTime neverDueDate();
bool isNeverDue(const QDateTime &date);

// `last` plus `days` calendar days at the same local time (where no
// daylight-saving change lies between, exactly days × 86,400 seconds later);
// never due for a negative day count or a date beyond what a date can hold.
QDateTime nextDueDate(const QDateTime &last, qint64 days);

// Due now or overdue: a real next date at or before `now`. A never-due or
// missing date is never overdue.
bool isOverdue(const QVariant &nextDate, const QDateTime &now);

// The history records the filter's names select, in file order and
// unchanged (no date range).
RecordList copyDueRecords(const RecordList &history, const LogFilter &filter);

// One due row (property2, task2, lastdate, nextdate) per record, in order.
// A task missing from `tasks` recurs after 0 days; one whose unit code is
// unknown is never due and is named once in *badUnitTasks.
RecordList buildDueItems(const RecordList &records, const RecordList &tasks,
                         QStringList *badUnitTasks = nullptr);

// The latest row of each property/task pair: properties in the order of
// `propertyTitles` (the property filter's titles, matched exactly), tasks in
// the order their names first occur in `rows`. On a tie the later row wins.
RecordList latestPerPropertyTask(const RecordList &rows, const QStringList &propertyTitles);

// Keeps, in order, only the rows that are due at `now`.
void overDueOnly(RecordList &rows, const QDateTime &now);

// The property filter's titles as kov-cli sees them: the logged names in the
// order people read them, then "All" last.
QStringList duePropertyTitles(const RecordList &history);

// The whole list one Show gives: records selected, rows built, grouped and
// thinned by the mode.
RecordList copyDueList(const RecordList &history, const RecordList &tasks, const LogFilter &filter,
                       DueMode mode, const QStringList &propertyTitles, const QDateTime &now,
                       QStringList *badUnitTasks = nullptr);

} // namespace kov
