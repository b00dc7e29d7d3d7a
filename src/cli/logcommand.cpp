#include "cli/logcommand.h"

#include <QHash>

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
    const RecordList shown = copyFilteredLog(history, selection->filter);
    table.rows.reserve(shown.size());
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
            it = days.insert(instant, isoDay(date));
        return *it;
    };
    for (const Record &record : shown) {
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
    writeTable(out, table, *outputFormat);
    return 0;
}

} // namespace kov::cli
