#include "cli/logcommand.h"

#include "cli/clioutput.h"
#include "log/logfilter.h"
#include "log/maintrecords.h"
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
    const QString format = QStringLiteral("--format");
    QMap<QString, QString> options;
    QString error;
    if (!parseOptions(args, selectionOptionNames() << format, options, error)) {
        err << "kov-cli log: " << error << '\n' << "Usage:\n" << logUsage;
        return 2;
    }
    const std::optional<OutputFormat> outputFormat =
        parseFormat(options.value(format, QStringLiteral("text")));
    if (!outputFormat) {
        err << "kov-cli log: --format must be text, csv or json\n";
        return 2;
    }
    const std::optional<SelectionOptions> selection = parseSelection(options, QStringLiteral("log"), err);
    if (!selection || !checkDateOrder(*selection, err))
        return 2;

    RecordList history;
    if (!readDataFileOrReport(PropertyHistoryFileForKOV, history, err))
        return 1;
    OutputTable table;
    table.fields = {QStringLiteral("property"), QStringLiteral("provider"), QStringLiteral("task"),
                    QStringLiteral("date"),     QStringLiteral("total"),    QStringLiteral("parts"),
                    QStringLiteral("labor"),    QStringLiteral("tax"),      QStringLiteral("note"),
                    QStringLiteral("receipt")};
    for (const Record &record : copyFilteredLog(history, selection->filter)) {
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
