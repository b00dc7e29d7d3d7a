#include "due/duerules.h"

#include <cmath>
#include <limits>

#include <QHash>
#include <QSet>

#include "storage/sorting.h"

namespace kov {

namespace {

constexpr qint64 msPerDay = 86'400'000;

// An integer as the task list stores it; anything unreadable is 0, and a
// real beyond 64 bits is held at the nearest end.
qint64 storedInteger(const Record &record, const QString &key)
{
    const auto it = record.constFind(key);
    if (it == record.cend())
        return 0;
    const QVariant &v = it.value();
    if (v.typeId() == QMetaType::Double) {
        const double d = v.toDouble();
        if (!std::isfinite(d))
            return 0;
        if (d >= 9.2e18)
            return std::numeric_limits<qint64>::max();
        if (d <= -9.2e18)
            return std::numeric_limits<qint64>::min();
        return qint64(d);
    }
    if (v.typeId() == QMetaType::QString)
        return v.toString().trimmed().toLongLong();
    return v.toLongLong();
}

QDateTime dateOf(const Record &row, const QString &key)
{
    const auto it = row.constFind(key);
    if (it == row.cend() || it.value().typeId() != QMetaType::QDateTime)
        return {};
    return it.value().toDateTime();
}

} // namespace

DueMode dueModeFromTag(int tag)
{
    if (tag == int(DueMode::Latest))
        return DueMode::Latest;
    if (tag == int(DueMode::Overdue))
        return DueMode::Overdue;
    return DueMode::All;
}

qint64 ConvertToDays(qint64 count, qint64 unitCode, bool *badUnit)
{
    if (badUnit)
        *badUnit = false;
    qint64 factor = 0;
    switch (unitCode) {
    case UnitDays:
        factor = 1;
        break;
    case UnitMonths:
        factor = 30;
        break;
    case UnitYears:
        factor = 365;
        break;
    case UnitNone:
        return -1;
    default:
        if (badUnit)
            *badUnit = true;
        return -1;
    }
    // A negative interval reads, as stored, as one beyond every date.
    qint64 days = 0;
    if (count < 0 || __builtin_mul_overflow(count, factor, &days))
        return -1;
    return days;
}

QDateTime neverDueDate()
{
    static const QDateTime never =
        QDateTime::fromMSecsSinceEpoch(std::numeric_limits<qint64>::max(), Qt::UTC);
    return never;
}

bool isNeverDue(const QDateTime &date)
{
    return date.isValid() && date >= neverDueDate();
}

QDateTime nextDueDate(const QDateTime &last, qint64 days)
{
    if (!last.isValid())
        return {};
    qint64 shift = 0, next = 0;
    if (days < 0 || __builtin_mul_overflow(days, msPerDay, &shift) ||
        __builtin_add_overflow(last.toMSecsSinceEpoch(), shift, &next))
        return neverDueDate();
    // Calendar days at the same local time: a daylight-saving change in
    // between moves the instant by its hour, never the date. A time the
    // change skips lands just after the gap.
    const QDateTime local = last.toLocalTime().addDays(days);
    if (local.isValid())
        return local;
    const QDateTime result = QDateTime::fromMSecsSinceEpoch(next, Qt::UTC);
    return result.isValid() ? result : neverDueDate();
}

bool isOverdue(const QVariant &nextDate, const QDateTime &now)
{
    if (nextDate.typeId() != QMetaType::QDateTime)
        return false;
    const QDateTime next = nextDate.toDateTime();
    return next.isValid() && !isNeverDue(next) && next <= now;
}

RecordList copyDueRecords(const RecordList &history, const LogFilter &filter)
{
    const LogFilter names{filter.property, filter.task, std::nullopt, std::nullopt};
    RecordList kept;
    for (const Record &record : history)
        if (recordMatchesFilter(record, names))
            kept.append(record);
    return kept;
}

RecordList buildDueItems(const RecordList &records, const RecordList &tasks, QStringList *badUnitTasks)
{
    RecordList rows;
    rows.reserve(records.size());
    for (const Record &record : records) {
        Record item;
        for (const auto &[from, to] :
             {std::pair(PropertyNameKey, col::property2), std::pair(ServiceTaskNameKey, col::task2)}) {
            const auto it = record.constFind(from);
            if (it != record.cend())
                item.insert(to, it.value());
        }
        const QDateTime last = dateOf(record, ServiceDateKey);
        const QString taskName = record.value(ServiceTaskNameKey).toString();
        const std::optional<Record> task = copyDictContainingTitle(taskName, ServiceTaskNameKey, tasks);
        qint64 count = 0, unit = UnitDays;
        if (task) {
            count = storedInteger(*task, ServiceTaskTimeInUnitsKey);
            unit = storedInteger(*task, ServiceTaskTimeUnits);
        }
        bool badUnit = false;
        const qint64 days = ConvertToDays(count, unit, &badUnit);
        if (badUnit && badUnitTasks && !badUnitTasks->contains(taskName))
            badUnitTasks->append(taskName);
        if (last.isValid()) {
            item.insert(col::lastdate, last);
            item.insert(col::nextdate, nextDueDate(last, days));
        }
        rows.append(item);
    }
    return rows;
}

RecordList latestPerPropertyTask(const RecordList &rows, const QStringList &propertyTitles)
{
    // One pass: the latest row of each property and task, as a stable
    // ascending sort by date taking the last row; then the rows in the order
    // of the titles and, within one, of each task's first row.
    QStringList taskNames;
    QHash<QString, qsizetype> taskIndex;
    QHash<QString, QHash<qsizetype, const Record *>> latestByProperty;
    for (const Record &row : rows) {
        const QVariant task = row.value(col::task2);
        if (task.typeId() != QMetaType::QString)
            continue;
        const QString taskName = task.toString();
        auto t = taskIndex.constFind(taskName);
        if (t == taskIndex.cend()) {
            t = taskIndex.insert(taskName, taskNames.size());
            taskNames.append(taskName);
        }
        const QVariant property = row.value(col::property2);
        if (property.typeId() != QMetaType::QString)
            continue;
        const Record *&latest = latestByProperty[property.toString()][t.value()];
        if (!latest ||
            compareValues(row.value(col::lastdate), latest->value(col::lastdate), SortSelector::compare) >= 0)
            latest = &row;
    }
    RecordList result;
    QSet<QString> seenTitles;
    for (const QString &title : propertyTitles) {
        // A title listed twice must not list its rows twice.
        if (seenTitles.contains(title))
            continue;
        seenTitles.insert(title);
        const auto found = latestByProperty.constFind(title);
        if (found == latestByProperty.cend())
            continue;
        for (qsizetype task = 0; task < taskNames.size(); ++task)
            if (const Record *latest = found.value().value(task))
                result.append(*latest);
    }
    return result;
}

void overDueOnly(RecordList &rows, const QDateTime &now)
{
    RecordList kept;
    for (const Record &row : rows)
        if (isOverdue(row.value(col::nextdate), now))
            kept.append(row);
    rows = kept;
}

QStringList duePropertyTitles(const RecordList &history)
{
    const QString all = QStringLiteral("All");
    QStringList titles = distinctNames(history, PropertyNameKey);
    sortArray(titles);
    // The pop-up holds each title once: a property called "All" is the
    // closing item.
    titles.removeAll(all);
    titles.append(QString());
    titles.append(all);
    return titles;
}

RecordList copyDueList(const RecordList &history, const RecordList &tasks, const LogFilter &filter,
                       DueMode mode, const QStringList &propertyTitles, const QDateTime &now,
                       QStringList *badUnitTasks)
{
    RecordList rows = buildDueItems(copyDueRecords(history, filter), tasks, badUnitTasks);
    if (mode == DueMode::Latest || mode == DueMode::Overdue)
        rows = latestPerPropertyTask(rows, propertyTitles);
    if (mode == DueMode::Overdue)
        overDueOnly(rows, now);
    return rows;
}

} // namespace kov
