#include "cli/duecommand.h"

#include <cstdlib>

#include "cli/clioutput.h"
#include "due/duerules.h"
#include "storage/clock.h"
#include "storage/datafiles.h"

namespace kov::cli {

const char *const dueUsage =
    "  due [--property NAME] [--task NAME] [--mode latest|all|overdue] [--format text|csv|json|ics]\n"
    "               when each task is next due, as the window's Show lists it: the\n"
    "               latest record per property and task (default), every record, or\n"
    "               only what is due now; a task without recurrence is never due;\n"
    "               ics writes an iCalendar file: each recurring task's next due day\n"
    "               per property (latest mode only), repeating as the task recurs\n";

namespace {

// A date-time in local time with its UTC offset written out, "+00:00"
// rather than "Z" included, so every row reads alike.
QString isoWithOffset(const QDateTime &date)
{
    const QDateTime local = date.toLocalTime();
    const int offset = local.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return local.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) +
           QStringLiteral("%1%2:%3")
               .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

int dueCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const QString property = QStringLiteral("--property"), task = QStringLiteral("--task"),
                  modeOption = QStringLiteral("--mode"), format = QStringLiteral("--format");
    QMap<QString, QString> options;
    QString error;
    if (!parseOptions(args, {property, task, modeOption, format}, options, error)) {
        err << "kov-cli due: " << error << '\n' << "Usage:\n" << dueUsage;
        return 2;
    }
    const bool calendar = options.value(format) == QLatin1String("ics");
    const std::optional<OutputFormat> outputFormat =
        calendar ? OutputFormat::Text : parseFormat(options.value(format, QStringLiteral("text")));
    if (!outputFormat) {
        err << "kov-cli due: --format must be text, csv, json or ics\n";
        return 2;
    }
    const QString modeName = options.value(modeOption, QStringLiteral("latest"));
    DueMode mode = DueMode::Latest;
    if (modeName == QLatin1String("all"))
        mode = DueMode::All;
    else if (modeName == QLatin1String("overdue"))
        mode = DueMode::Overdue;
    else if (modeName != QLatin1String("latest")) {
        err << "kov-cli due: --mode must be latest, all or overdue\n";
        return 2;
    }
    if (calendar && mode != DueMode::Latest) {
        err << "kov-cli due: --format ics writes the latest mode only\n";
        return 2;
    }

    RecordList history, tasks;
    if (!readDataFileOrReport(PropertyHistoryFileForKOV, history, err))
        return 1;
    if (history.isEmpty()) {
        err << "There is no property maintenance history to show\n";
        return 1;
    }
    if (!readDataFileOrReport(ServiceTaskFileForKOV, tasks, err))
        return 1;
    // The window seeds an empty task list with the shipped tasks at start;
    // read them here without writing.
    if (tasks.isEmpty())
        tasks = copyResourceArray(ServiceTaskDefaultsFileName);

    const LogFilter filter = nameFilter(options);
    const QDateTime now = Clock::now();
    QStringList badUnitTasks;
    const RecordList rows =
        copyDueList(history, tasks, filter, mode, duePropertyTitles(history), now, &badUnitTasks);
    for (const QString &name : badUnitTasks)
        err << "kov-cli due: the task \"" << name
            << "\" has an interval unit KOV does not know; it is listed as never due\n";

    if (calendar) {
        out << QString::fromUtf8(dueCalendar(rows, tasks, now));
        return 0;
    }

    OutputTable table;
    table.fields = {QStringLiteral("property"), QStringLiteral("task"), QStringLiteral("last"),
                    QStringLiteral("next"), QStringLiteral("overdue")};
    auto text = [](const Record &row, const QString &column) {
        const QVariant v = row.value(column);
        return v.typeId() == QMetaType::QString ? v : QVariant();
    };
    for (const Record &row : rows) {
        const QDateTime last = row.value(col::lastdate).toDateTime();
        const QDateTime next = row.value(col::nextdate).toDateTime();
        QVariant nextCell;
        if (isNeverDue(next))
            nextCell = *outputFormat == OutputFormat::Json ? QVariant() : QVariant(QStringLiteral("never"));
        else if (next.isValid())
            nextCell = isoWithOffset(next);
        table.rows.append({text(row, col::property2), text(row, col::task2),
                           last.isValid() ? QVariant(isoWithOffset(last)) : QVariant(), nextCell,
                           QVariant(isOverdue(row.value(col::nextdate), now))});
    }
    writeTable(out, table, *outputFormat);
    return 0;
}

} // namespace kov::cli
