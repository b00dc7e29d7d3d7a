#include "cli/reportcommand.h"

#include <QDir>
#include <QSet>

#include "cli/clioutput.h"
#include "log/logfilter.h"
#include "reports/reportassembly.h"
#include "storage/datafiles.h"

namespace kov::cli {

const char *const reportUsage =
    "  report (1|2|3|4|5|6|all)... [--property NAME] [--task NAME] [--from DATE] [--to DATE]\n"
    "         --output DIR\n"
    "               writes each report as a PDF document in DIR and prints its path:\n"
    "               1 maintenance by property, 2 by date with totals, 3 by provider\n"
    "               (these three over the selection, options as for log), 4 property\n"
    "               list, 5 provider list, 6 task list; exits with 1 unless every\n"
    "               report was written\n";

namespace {

const char *const noDataMessage =
    "For one or more reports, no qualifying property maintenance found based on selection criteria. "
    "Adjusting the selection criteria might help.";

// Splits "--name VALUE" / "--name=VALUE" options from the report names.
void splitArguments(const QStringList &args, QStringList &names, QStringList &options)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (!a.startsWith(QLatin1String("--"))) {
            names.append(a);
            continue;
        }
        options.append(a);
        if (!a.contains(QLatin1Char('=')) && i + 1 < args.size())
            options.append(args[++i]);
    }
}

} // namespace

int reportCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const QString output = QStringLiteral("--output");
    QStringList names, optionArgs;
    splitArguments(args, names, optionArgs);
    QMap<QString, QString> options;
    QString error;
    if (!parseOptions(optionArgs, selectionOptionNames() << output, options, error)) {
        err << "kov-cli report: " << error << '\n' << "Usage:\n" << reportUsage;
        return 2;
    }
    // Made in report order, each once, as the window's Print makes them.
    QSet<unsigned> asked;
    for (const QString &name : names) {
        bool ok = false;
        const unsigned number = name.toUInt(&ok);
        if (name == QLatin1String("all")) {
            for (unsigned n = ReportByProperty; n <= ReportTaskList; ++n)
                asked.insert(n);
        } else if (ok && number >= ReportByProperty && number <= ReportTaskList) {
            asked.insert(number);
        } else {
            err << "kov-cli report: \"" << name << "\" is no report; give 1 to 6 or all\n"
                << "Usage:\n"
                << reportUsage;
            return 2;
        }
    }
    if (asked.isEmpty() || options.value(output).isEmpty()) {
        err << "kov-cli report: " << (asked.isEmpty() ? "which reports?" : "--output DIR is needed") << '\n'
            << "Usage:\n"
            << reportUsage;
        return 2;
    }
    const std::optional<SelectionOptions> selection = parseSelection(options, QStringLiteral("report"), err);
    if (!selection)
        return 2;
    const QString folder = QDir(options.value(output)).absolutePath();
    if (!QDir().mkpath(folder)) {
        err << "kov-cli report: " << QDir::toNativeSeparators(folder) << " cannot be made\n";
        return 1;
    }
    ReportOptions reportOptions;
    reportOptions.folder = folder;

    bool allWritten = true;
    for (unsigned which = ReportByProperty; which <= ReportTaskList; ++which) {
        if (!asked.contains(which))
            continue;
        const QString prefix = QStringLiteral("kov-cli report %1: ").arg(which);
        const bool fromLog = which <= ReportByProvider;
        // As in the window, the list reports print whatever the dates say.
        if (fromLog && !checkDateOrder(*selection, err, prefix)) {
            allWritten = false;
            continue;
        }
        DataFileStatus status;
        RecordList rows = copyReportRows(which, selection->filter, &status);
        if (status.state == DataFileStatus::Unreadable) {
            err << prefix << QDir::toNativeSeparators(dataFilePath(reportDataFile(which))) << ": "
                << status.reason << '\n';
            allWritten = false;
            continue;
        }
        const ReportOutcome outcome =
            makeReport(which, std::move(rows), selection->begin, selection->end, reportOptions);
        switch (outcome.status) {
        case ReportOutcome::Written:
            out << QDir::toNativeSeparators(outcome.path) << '\n';
            out.flush();
            break;
        case ReportOutcome::NoData:
            err << prefix << noDataMessage << '\n';
            allWritten = false;
            break;
        case ReportOutcome::UnknownReport:
        case ReportOutcome::Failed:
            err << prefix << (outcome.error.isEmpty() ? QStringLiteral("not written") : outcome.error) << '\n';
            allWritten = false;
            break;
        }
    }
    return allWritten ? 0 : 1;
}

} // namespace kov::cli
