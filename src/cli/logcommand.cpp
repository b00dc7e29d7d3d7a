#include "cli/logcommand.h"

#include <QDir>

#include "cli/clioutput.h"
#include "log/logfilter.h"
#include "log/maintrecords.h"
#include "storage/clock.h"
#include "storage/datafiles.h"
#include "storage/dates.h"

namespace kov::cli {

const char *const logUsage =
    "  log [--property NAME] [--task NAME] [--from DATE] [--to DATE] [--format text|csv|json]\n"
    "               the maintenance log as the window's Show lists it, in file order;\n"
    "               no --property or --task means all; DATE is YYYY-MM-DD (a whole\n"
    "               local day) or an ISO 8601 date-time; --from defaults to 1 January\n"
    "               of this year, --to to now\n";

namespace {

QVariant textOrNull(const QVariant &value)
{
    return value.typeId() == QMetaType::QString ? value : QVariant();
}

QVariant amountOrNull(const Record &row, const QString &column)
{
    const auto it = row.constFind(column);
    return it == row.cend() ? QVariant() : QVariant(it.value().toDouble());
}

// The local service day, in ISO digits whatever the locale's digits are.
QVariant isoDay(const QVariant &value)
{
    if (value.typeId() != QMetaType::QDateTime)
        return {};
    const DateComponents c = gregorianDateOfTime(value.toDateTime());
    return QStringLiteral("%1-%2-%3")
        .arg(c.year, 4, 10, QLatin1Char('0'))
        .arg(c.month, 2, 10, QLatin1Char('0'))
        .arg(c.day, 2, 10, QLatin1Char('0'));
}

} // namespace

int logCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const QString property = QStringLiteral("--property"), task = QStringLiteral("--task"),
                  from = QStringLiteral("--from"), to = QStringLiteral("--to"),
                  format = QStringLiteral("--format");
    QMap<QString, QString> options;
    QString error;
    if (!parseOptions(args, {property, task, from, to, format}, options, error)) {
        err << "kov-cli log: " << error << '\n' << "Usage:\n" << logUsage;
        return 2;
    }
    const std::optional<OutputFormat> outputFormat =
        parseFormat(options.value(format, QStringLiteral("text")));
    if (!outputFormat) {
        err << "kov-cli log: --format must be text, csv or json\n";
        return 2;
    }
    std::optional<QDateTime> begin = startOfCurrentYearLocal(), end = Clock::now();
    if (options.contains(from))
        begin = parseDateOption(options.value(from), RangeEdge::Begin);
    if (options.contains(to))
        end = parseDateOption(options.value(to), RangeEdge::End);
    if (!begin || !end) {
        err << "kov-cli log: a date must be YYYY-MM-DD or an ISO 8601 date-time\n";
        return 2;
    }
    if (!areBeginEndDatesOK(*begin, *end)) {
        err << "Begin Date must be prior to or equal to End Date. Please adjust dates\n";
        return 2;
    }

    DataFileStatus status;
    const RecordList history = readDataFile(dataFilePath(PropertyHistoryFileForKOV), &status);
    if (status.state == DataFileStatus::Unreadable) {
        err << "kov-cli: " << QDir::toNativeSeparators(dataFilePath(PropertyHistoryFileForKOV)) << ": "
            << status.reason << '\n';
        return 1;
    }

    const LogFilter filter{options.contains(property) ? NameChoice(options.value(property)) : NameChoice(),
                           options.contains(task) ? NameChoice(options.value(task)) : NameChoice(), begin,
                           end};
    OutputTable table;
    table.fields = {QStringLiteral("property"), QStringLiteral("provider"), QStringLiteral("task"),
                    QStringLiteral("date"),     QStringLiteral("total"),    QStringLiteral("parts"),
                    QStringLiteral("labor"),    QStringLiteral("tax"),      QStringLiteral("note"),
                    QStringLiteral("receipt")};
    for (const Record &record : copyFilteredLog(history, filter)) {
        // The window's row: costs read the same way, unreadable ones left out.
        const Record row = maintenanceRowFromRecord(record);
        const QUrl receipt = receiptUrlFromBookmark(row.value(col::receipt).toByteArray());
        table.rows.append({textOrNull(row.value(col::property)), textOrNull(row.value(col::provider)),
                           textOrNull(row.value(col::task)), isoDay(row.value(col::propmaintdate)),
                           amountOrNull(row, col::cost), amountOrNull(row, col::parts),
                           amountOrNull(row, col::labor), amountOrNull(row, col::tax),
                           textOrNull(row.value(col::note)),
                           receipt.isEmpty() ? QVariant() : QVariant(receipt.toLocalFile())});
    }
    writeTable(out, table, *outputFormat);
    return 0;
}

} // namespace kov::cli
