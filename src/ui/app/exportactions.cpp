#include "app/exportactions.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QSaveFile>
#include <QStandardPaths>

#include "app/alerts.h"
#include "app/datastore.h"
#include "app/feedback.h"
#include "due/duerules.h"
#include "export/exportfiles.h"
#include "log/logtab.h"
#include "storage/clock.h"
#include "storage/datafiles.h"

namespace kov {

ExportActions::ExportActions(DataStore *store, LogTab *log, QWidget *window, QMenu *fileMenu, QAction *before)
    : QObject(window), store(store), log(log), window(window)
{
    logAction = new QAction(tr("Export Maintenance Log as &CSV…"), this);
    logAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    dueAction = new QAction(tr("Export Due Dates to &Calendar…"), this);
    dueAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    backupAction = new QAction(tr("&Back Up Data Files…"), this);
    backupAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B));
    fileMenu->insertActions(before, {logAction, dueAction, backupAction});
    fileMenu->insertSeparator(before);
    connect(logAction, &QAction::triggered, this, &ExportActions::exportLog);
    connect(dueAction, &QAction::triggered, this, &ExportActions::exportDueDates);
    connect(backupAction, &QAction::triggered, this, &ExportActions::backUp);

    askPath = [this](const QString &title, const QString &suggested, const QString &filter) {
        if (filter.isEmpty())
            return QFileDialog::getExistingDirectory(this->window, title, suggested);
        return QFileDialog::getSaveFileName(this->window, title, suggested, filter);
    };
}

namespace {

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

} // namespace

void ExportActions::exportLog()
{
    if (log->rows().isEmpty()) {
        doSheetAlert(window, tr("Show the maintenance you want to export on the Maintenance Log tab first."),
                     tr("There are no rows to export."));
        return;
    }
    const QString suggested = documentsFolder() + QLatin1Char('/') +
                              tr("KOV Maintenance Log %1.csv")
                                  .arg(Clock::now().toLocalTime().toString(QStringLiteral("yyyy-MM-dd")));
    const QString path = askPath(tr("Export Maintenance Log as CSV"), suggested, tr("CSV files (*.csv)"));
    if (!path.isEmpty())
        exportLogTo(path);
}

bool ExportActions::exportLogTo(const QString &path)
{
    if (!writeFile(path, csvText(maintenanceLogTable(log->recordsAsShown())).toUtf8()))
        return false;
    tellSaved(tr("KOV exported %n row(s) of the maintenance log.", nullptr, int(log->rows().size())), path);
    return true;
}

void ExportActions::exportDueDates()
{
    const QString suggested = documentsFolder() + QLatin1Char('/') + tr("KOV Due Dates.ics");
    const QString path =
        askPath(tr("Export Due Dates to Calendar"), suggested, tr("iCalendar files (*.ics)"));
    if (!path.isEmpty())
        exportDueDatesTo(path);
}

bool ExportActions::exportDueDatesTo(const QString &path)
{
    const RecordList history = store->records(PropertyHistoryFileForKOV);
    const RecordList tasks = store->records(ServiceTaskFileForKOV);
    const RecordList rows =
        copyDueList(history, tasks, LogFilter{}, DueMode::Latest, duePropertyTitles(history), Clock::now());
    const qsizetype events = dueCalendarEventCount(rows, tasks);
    if (events == 0) {
        doSheetAlert(window,
                     tr("Due dates come from maintenance logged for tasks that recur; log such a task "
                        "first."),
                     tr("There are no due dates to export."));
        return false;
    }
    if (!writeFile(path, dueCalendar(rows, tasks, Clock::now())))
        return false;
    tellSaved(tr("KOV exported %n due date(s) to a calendar file.", nullptr, int(events)), path);
    return true;
}

void ExportActions::backUp()
{
    const QString parent = askPath(tr("Back Up Data Files Into"), documentsFolder(), QString());
    if (!parent.isEmpty())
        backUpInto(parent);
}

QString ExportActions::backUpInto(const QString &parent)
{
    const QString stamp = Clock::now().toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH.mm.ss"));
    QDir dir(parent);
    QString name = tr("KOV Backup %1").arg(stamp);
    for (int n = 2; dir.exists(name); ++n)
        name = tr("KOV Backup %1").arg(stamp) + QStringLiteral(" %1").arg(n);
    const QString folder = dir.filePath(name);
    QString problem;
    if (!dir.mkpath(name)) {
        problem = tr("The folder %1 could not be made.").arg(QDir::toNativeSeparators(folder));
    } else {
        for (const QString &file :
             {PropertyFileForKOV, ProviderFileForKOV, ServiceTaskFileForKOV, PropertyHistoryFileForKOV}) {
            const QString from = dataFilePath(file);
            // A list never written yet is empty; there is nothing to copy.
            if (!QFileInfo::exists(from))
                continue;
            QFile source(from);
            if (!source.copy(QDir(folder).filePath(file))) {
                problem = tr("%1 could not be copied: %2").arg(file, source.errorString());
                break;
            }
        }
    }
    if (!problem.isEmpty()) {
        doSheetAlert(window, problem, tr("The data files were not backed up."));
        return {};
    }
    const QString where = QDir::toNativeSeparators(folder);
    doSheetAlertWithButton(window, AlertStyle::Informational, tr("They are in %1").arg(where),
                           tr("KOV backed up the data files."), tr("Open Folder"),
                           [this, folder] { openOrTellWhere(window, QUrl::fromLocalFile(folder)); });
    return folder;
}

bool ExportActions::writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    doSheetAlert(window, tr("%1\n\nThe file is %2.").arg(file.errorString(), QDir::toNativeSeparators(path)),
                 tr("The file could not be saved."));
    return false;
}

void ExportActions::tellSaved(const QString &title, const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    doSheetAlertWithButton(window, AlertStyle::Informational,
                           tr("The file is %1").arg(QDir::toNativeSeparators(path)), title, tr("Open Folder"),
                           [this, folder] { openOrTellWhere(window, QUrl::fromLocalFile(folder)); });
}

} // namespace kov
