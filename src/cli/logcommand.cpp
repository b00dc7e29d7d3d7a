#include "cli/logcommand.h"

#include <QHash>

#include "cli/clioutput.h"
#include "log/logfilter.h"
#include "log/maintrecords.h"
#include "storage/datafiles.h"

namespace kov::cli {

const char *const logUsage =
    "  log [--property NAME] [--task NAME] [--from DATE] [--to DATE] [--format text|csv|json]\n"
    "               the maintenance log as the window's Show lists it, in file order;\n"
    "               no --property or --task means all; DATE is YYYY-MM-DD (a whole\n"
    "               local day) or an ISO 8601 date-time; --from defaults to 1 January\n"
    "               of this year, --to to now\n";

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
    const OutputTable table = maintenanceLogTable(copyFilteredLog(history, selection->filter));
    writeTable(out, table, *outputFormat);
    return 0;
}

} // namespace kov::cli
