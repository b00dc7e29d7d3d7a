#include "cli/costscommand.h"

#include <QJsonDocument>
#include <QJsonObject>

#include "cli/clioutput.h"
#include "costs/costcalc.h"
#include "log/logfilter.h"
#include "storage/datafiles.h"
#include "storage/dates.h"

namespace kov::cli {

const char *const costsUsage =
    "  costs [--property NAME] [--task NAME] [--from DATE] [--to DATE] [--format text|json]\n"
    "               the cost totals and averages per mean month the window's Show\n"
    "               gives; options as for log; exits with 1 when no record qualifies\n";

int costsCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const QString format = QStringLiteral("--format");
    QMap<QString, QString> options;
    QString error;
    if (!parseOptions(args, selectionOptionNames() << format, options, error)) {
        err << "kov-cli costs: " << error << '\n' << "Usage:\n" << costsUsage;
        return 2;
    }
    const std::optional<OutputFormat> outputFormat =
        parseFormat(options.value(format, QStringLiteral("text")));
    if (!outputFormat || *outputFormat == OutputFormat::Csv) {
        err << "kov-cli costs: --format must be text or json\n";
        return 2;
    }
    const std::optional<SelectionOptions> selection = parseSelection(options, QStringLiteral("costs"), err);
    if (!selection || !checkDateOrder(*selection, err))
        return 2;

    RecordList history;
    if (!readDataFileOrReport(PropertyHistoryFileForKOV, history, err))
        return 1;
    const RecordList records = copyFilteredLog(history, selection->filter);
    if (records.isEmpty()) {
        err << "For one or more reports, no qualifying property maintenance found based on selection "
               "criteria. "
               "Adjusting the selection criteria might help.\n";
        return 1;
    }

    const CostFigures f = calcCostFigures(records, selection->begin, selection->end);
    if (*outputFormat == OutputFormat::Json) {
        auto amounts = [](double total, double parts, double labor, double tax) {
            return QJsonObject{{QStringLiteral("total"), centsAsShown(total)},
                               {QStringLiteral("parts"), centsAsShown(parts)},
                               {QStringLiteral("labor"), centsAsShown(labor)},
                               {QStringLiteral("tax"), centsAsShown(tax)}};
        };
        const QJsonObject object{
            {QStringLiteral("records"), qint64(f.records)},
            {QStringLiteral("months"), f.months},
            {QStringLiteral("total"), amounts(f.total, f.parts, f.labor, f.tax)},
            {QStringLiteral("average"), amounts(f.avgTotal, f.avgParts, f.avgLabor, f.avgTax)}};
        out << QJsonDocument(object).toJson(QJsonDocument::Indented);
        return 0;
    }
    out << "Costs based on " << f.records << " qualifying maintenance records over "
        << QString::number(f.months, 'f', 4) << " mean months\n\n";
    OutputTable table;
    table.fields = {QStringLiteral("cost"), QStringLiteral("total"), QStringLiteral("average")};
    const struct {
        const char *name;
        double total, average;
    } rows[] = {{"total", f.total, f.avgTotal},
                {"parts", f.parts, f.avgParts},
                {"labor", f.labor, f.avgLabor},
                {"tax", f.tax, f.avgTax}};
    for (const auto &row : rows)
        table.rows.append(
            {QString::fromLatin1(row.name), centsAsShown(row.total), centsAsShown(row.average)});
    writeTable(out, table, OutputFormat::Text);
    return 0;
}

} // namespace kov::cli
