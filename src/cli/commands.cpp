#include "cli/commands.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>

#include "cli/costscommand.h"
#include "cli/duecommand.h"
#include "cli/listcommand.h"
#include "cli/logcommand.h"
#include "cli/remindercommand.h"
#include "cli/reportcommand.h"
#include "storage/datafiles.h"
#include "storage/recordcheck.h"

namespace kov::cli {

namespace {

const char *const usageText =
    "Usage: kov-cli [--data-dir DIR] COMMAND [OPTIONS]\n"
    "\n"
    "Commands:\n"
    "  paths        print the data folder and the four data files\n"
    "  check        read the four data files and the preference; report what is wrong\n"
    "%1"
    "\n"
    "Options:\n"
    "  --data-dir DIR   use DIR as the data folder\n"
    "  --version        print the version\n"
    "  --help           print this help\n";

// The help text with each command's own lines.
QString usage()
{
    return QString::fromUtf8(usageText).arg(QString::fromUtf8(logUsage) + QString::fromUtf8(costsUsage) +
                                             QString::fromUtf8(reportUsage) + QString::fromUtf8(dueUsage) +
                                             QString::fromUtf8(listUsage) + QString::fromUtf8(remindersUsage));
}

const QStringList &dataFiles()
{
    static const QStringList files = {PropertyFileForKOV, ProviderFileForKOV, ServiceTaskFileForKOV,
                                      PropertyHistoryFileForKOV};
    return files;
}

int paths(QTextStream &out)
{
    out << QDir::toNativeSeparators(dataFolderPath()) << '\n';
    for (const QString &name : dataFiles())
        out << QDir::toNativeSeparators(dataFilePath(name)) << '\n';
    return 0;
}

int check(QTextStream &out, QTextStream &err)
{
    // Like the window's start-up: the folder is made and an empty task list
    // gets the default tasks.
    copyDataFolderURL();
    const DataFileProblemHandler previous = setDataFileProblemHandler(nullptr);
    copyTaskListSeedingDefaults();

    bool allRead = true;
    out << "Data folder: " << QDir::toNativeSeparators(dataFolderPath()) << '\n';
    for (const QString &name : dataFiles()) {
        DataFileStatus status;
        const RecordList records = readDataFile(dataFilePath(name), &status);
        switch (status.state) {
        case DataFileStatus::Missing:
            out << name << ": no file yet (0 records)\n";
            break;
        case DataFileStatus::Ok: {
            out << name << ": " << records.size() << (records.size() == 1 ? " record\n" : " records\n");
            // Records KOV keeps but cannot use: every one of them, for scripts.
            const QStringList problems = recordProblems(name, records);
            for (const QString &problem : problems)
                out << "  " << problem << '\n';
            if (!problems.isEmpty()) {
                allRead = false;
                err << "kov-cli: " << QDir::toNativeSeparators(dataFilePath(name)) << ": "
                    << problems.size() << (problems.size() == 1 ? " record value" : " record values")
                    << " KOV cannot use\n";
            }
            break;
        }
        case DataFileStatus::Unreadable:
            allRead = false;
            out << name << ": cannot be read: " << status.reason << '\n';
            err << "kov-cli: " << QDir::toNativeSeparators(dataFilePath(name)) << ": " << status.reason << '\n';
            break;
        }
    }
    setDataFileProblemHandler(previous);

    QSettings settings;
    const QString key = QStringLiteral("Pane last used when window closed");
    out << "Preference \"" << key << "\": ";
    if (!settings.contains(key)) {
        out << "not set (the window opens on the maintenance log)\n";
    } else {
        bool ok = false;
        const int pane = settings.value(key).toInt(&ok);
        if (ok && pane >= 0 && pane <= 3)
            out << pane << '\n';
        else
            out << settings.value(key).toString() << " (not a tab; the window opens on the maintenance log)\n";
    }
    if (settings.status() != QSettings::NoError) {
        allRead = false;
        out << "The preference file cannot be read: " << settings.fileName() << '\n';
    }
    return allRead ? 0 : 1;
}

} // namespace

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QStringList args = arguments;
    // Global options may stand anywhere before the command's own.
    for (qsizetype i = 0; i < args.size();) {
        const QString &a = args[i];
        if (a == QLatin1String("--data-dir")) {
            if (i + 1 >= args.size()) {
                err << "kov-cli: --data-dir needs a folder\n";
                return 2;
            }
            setDataFolderOverride(args[i + 1]);
            args.remove(i, 2);
        } else if (a.startsWith(QLatin1String("--data-dir="))) {
            setDataFolderOverride(a.mid(11));
            args.remove(i);
        } else {
            ++i;
        }
    }
    if (args.isEmpty()) {
        err << usage();
        return 2;
    }
    const QString command = args.takeFirst();
    if (command == QLatin1String("--version") || command == QLatin1String("version")) {
        out << "kov-cli " << QCoreApplication::applicationVersion() << '\n';
        return 0;
    }
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help")) {
        out << usage();
        return 0;
    }
    if (command == QLatin1String("paths"))
        return paths(out);
    if (command == QLatin1String("check"))
        return check(out, err);
    // ---- Listing commands
    if (command == QLatin1String("log"))
        return logCommand(args, out, err);
    // ---- Cost totals and monthly averages
    if (command == QLatin1String("costs"))
        return costsCommand(args, out, err);
    // ---- Reports as PDF documents
    if (command == QLatin1String("report"))
        return reportCommand(args, out, err);
    // ---- When tasks are next due
    if (command == QLatin1String("due"))
        return dueCommand(args, out, err);
    // ---- The reference lists
    if (command == QLatin1String("list"))
        return listCommand(args, out, err);
    // ---- Reminders waiting to be shown
    if (command == QLatin1String("reminders"))
        return remindersCommand(args, out, err);
    err << "kov-cli: unknown command \"" << command << "\"\n" << usage();
    return 2;
}

} // namespace kov::cli
