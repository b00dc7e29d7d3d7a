#include "export/exportfiles.h"

#include <cmath>
#include <limits>
#include <optional>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QLocale>

#include "due/duerules.h"
#include "log/maintrecords.h"
#include "storage/dates.h"
#include "storage/sorting.h"

namespace kov {

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString plainAmount(double value)
{
    const QString cents = QString::number(value, 'f', 2);
    return cents.toDouble() == value ? cents : QString::number(value, 'f', QLocale::FloatingPointShortest);
}

QString cellText(const QVariant &cell)
{
    if (!cell.isValid())
        return {};
    if (cell.typeId() == QMetaType::Double)
        return plainAmount(cell.toDouble());
    return cell.toString();
}

QString csvText(const ExportTable &table)
{
    if (table.rows.isEmpty())
        return {};
    QString text;
    auto writeLine = [&text](const QStringList &cells) {
        QStringList quoted;
        for (const QString &cell : cells)
            quoted.append(csvField(cell));
        text += quoted.join(QLatin1Char(',')) + QLatin1String("\r\n");
    };
    writeLine(table.fields);
    for (const QVariantList &row : table.rows) {
        QStringList cells;
        for (qsizetype c = 0; c < table.fields.size(); ++c)
            cells.append(cellText(row.value(c)));
        writeLine(cells);
    }
    return text;
}

namespace {

QVariant textOrNull(const QVariant &value)
{
    return value.typeId() == QMetaType::QString ? value : QVariant();
}

QDate localDay(const QDateTime &time)
{
    const DateComponents c = gregorianDateOfTime(time);
    return QDate(c.year, c.month, c.day);
}

// A day in ISO digits, whatever the locale's digits are.
QString isoDay(const QDate &day)
{
    return QStringLiteral("%1-%2-%3")
        .arg(day.year(), 4, 10, QLatin1Char('0'))
        .arg(day.month(), 2, 10, QLatin1Char('0'))
        .arg(day.day(), 2, 10, QLatin1Char('0'));
}

// The local day of a time, in ISO digits.
QString isoDay(const QDateTime &time)
{
    return isoDay(localDay(time));
}

} // namespace

ExportTable maintenanceLogTable(const RecordList &records)
{
    ExportTable table;
    table.fields = {QStringLiteral("property"), QStringLiteral("provider"), QStringLiteral("task"),
                    QStringLiteral("date"),     QStringLiteral("total"),    QStringLiteral("parts"),
                    QStringLiteral("labor"),    QStringLiteral("tax"),      QStringLiteral("note"),
                    QStringLiteral("receipt")};
    table.rows.reserve(records.size());
    const DatePass pass;
    // A log holds one stored instant per service day: each day is worked
    // out once.
    QHash<qint64, QVariant> days;
    auto dayOf = [&days](const QVariant &date) {
        if (date.typeId() != QMetaType::QDateTime)
            return QVariant();
        const qint64 instant = date.toDateTime().toMSecsSinceEpoch();
        auto it = days.constFind(instant);
        if (it == days.cend())
            it = days.insert(instant, isoDay(date.toDateTime()));
        return *it;
    };
    for (const Record &record : records) {
        // The window's row: costs read the same way, unreadable ones left out.
        auto cell = [&record](const QString &column) { return maintenanceCell(record, column); };
        auto amount = [&cell](const QString &column) {
            const QVariant value = cell(column);
            return value.isValid() ? QVariant(value.toDouble()) : QVariant();
        };
        const QUrl receipt = receiptUrlFromBookmark(cell(col::receipt).toByteArray());
        table.rows.append({textOrNull(cell(col::property)), textOrNull(cell(col::provider)),
                           textOrNull(cell(col::task)), dayOf(cell(col::propmaintdate)), amount(col::cost),
                           amount(col::parts), amount(col::labor), amount(col::tax),
                           textOrNull(cell(col::note)),
                           receipt.isEmpty() ? QVariant() : QVariant(receipt.toLocalFile())});
    }
    return table;
}

// ---------------------------------------------------------------------------
// iCalendar

QString icalText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\') || c == QLatin1Char(';') || c == QLatin1Char(',')) {
            out += QLatin1Char('\\');
            out += c;
        } else if (c == QLatin1Char('\r')) {
            out += QLatin1String("\\n");
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('\n')) {
            out += QLatin1String("\\n");
        } else if (c.unicode() < 0x20 || c.unicode() == 0x7f) {
            // Other control characters are not allowed in a TEXT value.
            out += QLatin1Char(' ');
        } else {
            out += c;
        }
    }
    return out;
}

QByteArray icalFold(const QString &line)
{
    const QByteArray utf8 = line.toUtf8();
    QByteArray out;
    qsizetype start = 0;
    int limit = 75;
    while (utf8.size() - start > limit) {
        qsizetype cut = start + limit;
        // Back up to the first byte of a UTF-8 sequence.
        while (cut > start && (static_cast<unsigned char>(utf8.at(cut)) & 0xC0) == 0x80)
            --cut;
        out += utf8.mid(start, cut - start);
        out += "\r\n ";
        start = cut;
        limit = 74; // the leading space counts
    }
    out += utf8.mid(start);
    out += "\r\n";
    return out;
}

namespace {

// A stored integer as the due rules read it.
qint64 storedCount(const Record &task, const QString &key)
{
    const QVariant v = task.value(key);
    if (v.typeId() == QMetaType::Double) {
        const double d = v.toDouble();
        if (!std::isfinite(d) || std::abs(d) >= 9.2e18)
            return 0;
        return qint64(d);
    }
    if (v.typeId() == QMetaType::QString)
        return v.toString().trimmed().toLongLong();
    return v.toLongLong();
}

struct CalendarEvent {
    QString property, task;
    QDate day, last;
    QString frequency;
    qint64 interval = 0;
};

std::optional<CalendarEvent> eventOf(const Record &row, const RecordList &tasks)
{
    const QVariant next = row.value(col::nextdate);
    if (next.typeId() != QMetaType::QDateTime || isNeverDue(next.toDateTime()) ||
        !next.toDateTime().isValid())
        return std::nullopt;
    CalendarEvent event;
    event.property = row.value(col::property2).toString();
    event.task = row.value(col::task2).toString();
    const std::optional<Record> task = copyDictContainingTitle(event.task, ServiceTaskNameKey, tasks);
    if (!task)
        return std::nullopt;
    event.interval = storedCount(*task, ServiceTaskTimeInUnitsKey);
    switch (storedCount(*task, ServiceTaskTimeUnits)) {
    case UnitDays:
        event.frequency = QStringLiteral("DAILY");
        break;
    case UnitMonths:
        event.frequency = QStringLiteral("MONTHLY");
        break;
    case UnitYears:
        event.frequency = QStringLiteral("YEARLY");
        break;
    default:
        return std::nullopt;
    }
    if (event.interval <= 0)
        return std::nullopt;
    event.day = localDay(next.toDateTime());
    const QVariant last = row.value(col::lastdate);
    if (last.typeId() == QMetaType::QDateTime)
        event.last = localDay(last.toDateTime());
    return event.day.isValid() ? std::optional(event) : std::nullopt;
}

QString basicDate(const QDate &day)
{
    return isoDay(day).remove(QLatin1Char('-'));
}

} // namespace

qsizetype dueCalendarEventCount(const RecordList &dueRows, const RecordList &tasks)
{
    qsizetype n = 0;
    for (const Record &row : dueRows)
        n += eventOf(row, tasks).has_value();
    return n;
}

QByteArray dueCalendar(const RecordList &dueRows, const RecordList &tasks, const QDateTime &stamp)
{
    QByteArray out;
    auto line = [&out](const QString &text) { out += icalFold(text); };
    line(QStringLiteral("BEGIN:VCALENDAR"));
    line(QStringLiteral("VERSION:2.0"));
    line(QStringLiteral("PRODID:-//Tolvanderwerks//KOV %1//EN").arg(QStringLiteral(KOV_VERSION_STRING)));
    line(QStringLiteral("CALSCALE:GREGORIAN"));
    line(QStringLiteral("METHOD:PUBLISH"));
    line(QStringLiteral("X-WR-CALNAME:") +
         icalText(QCoreApplication::translate("Calendar", "KOV Due Dates")));
    const QString dtstamp = stamp.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    for (const Record &row : dueRows) {
        const std::optional<CalendarEvent> event = eventOf(row, tasks);
        if (!event)
            continue;
        const QByteArray key = (event->property + QLatin1Char('\n') + event->task).toUtf8();
        const QString uid =
            QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(32));
        line(QStringLiteral("BEGIN:VEVENT"));
        line(QStringLiteral("UID:kov-due-%1@tolvanderwerks.com").arg(uid));
        line(QStringLiteral("DTSTAMP:") + dtstamp);
        line(QStringLiteral("DTSTART;VALUE=DATE:") + basicDate(event->day));
        line(QStringLiteral("DTEND;VALUE=DATE:") + basicDate(event->day.addDays(1)));
        line(QStringLiteral("RRULE:FREQ=%1;INTERVAL=%2").arg(event->frequency).arg(event->interval));
        line(QStringLiteral("SUMMARY:") +
             icalText(QCoreApplication::translate("Calendar", "%1: %2").arg(event->task, event->property)));
        if (event->last.isValid())
            line(QStringLiteral("DESCRIPTION:") +
                 icalText(
                     QCoreApplication::translate("Calendar", "Last done on %1.").arg(isoDay(event->last))));
        line(QStringLiteral("TRANSP:TRANSPARENT"));
        line(QStringLiteral("END:VEVENT"));
    }
    line(QStringLiteral("END:VCALENDAR"));
    return out;
}

} // namespace kov
