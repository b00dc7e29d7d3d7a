#include "app/mainwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QSettings>
#include <QSysInfo>
#include <QTabWidget>

#include "app/alerts.h"
#include "app/busycursor.h"
#include "app/datastore.h"
#include "app/dateentry.h"
#include "app/datepopover.h"
#include "app/exportactions.h"
#include "app/feedback.h"
#include "app/startupprogress.h"
#include "app/undohistory.h"
#include "app/versioncheck.h"
#include "costs/costtab.h"
#include "due/duetab.h"
#include "lists/propertysheet.h"
#include "lists/providersheet.h"
#include "lists/tasksheet.h"
#include "log/logtab.h"
#include "log/logtabguide.h"
#include "reports/reportstab.h"
#include "storage/recordcheck.h"
#include "ui_mainwindow.h"

namespace kov {

int osMinorVersion(const QString &versionString)
{
    const QStringList words = versionString.split(QLatin1Char(' '));
    if (words.size() < 2)
        return 0;
    const QStringList numbers = words.at(1).split(QLatin1Char('.'));
    if (numbers.size() < 2)
        return 0;
    return numbers.at(1).toInt();
}

int osMinorVersion()
{
#ifdef Q_OS_MACOS
    // From macOS 11 on, the second number is a minor update, not the
    // release, so only the 10.x line is gated.
    const QString version = QSysInfo::productVersion();
    if (!version.startsWith(QLatin1String("10.")))
        return 99;
    return osMinorVersion(QStringLiteral("Version %1 (Build)").arg(version));
#else
    return 99;
#endif
}

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    dataStore = new DataStore(this);
    dates = new DatePopover(this);
    version = new VersionCheck(this);
    tab1 = new LogTab(dataStore, dates, this);
    tab2 = new DueTab(dataStore, this);
    tab3 = new CostTab(dataStore, dates, this);
    tab4 = new ReportsTab(dataStore, dates, this);
    ui->theTabView->addTab(tab1->widget(), tr("&Maintenance Log"));
    ui->theTabView->addTab(tab2->widget(), tr("Maintenance &Due"));
    ui->theTabView->addTab(tab3->widget(), tr("&Cost Analysis"));
    ui->theTabView->addTab(tab4->widget(), tr("&Reports"));
    properties = new PropertySheet(dataStore, dates, this, this);
    providers = new ProviderSheet(dataStore, dates, this, this);
    tasks = new TaskSheet(dataStore, dates, this, this);

    // Dates show in the locale's short form, with the full year.
    QString dateFormat = QLocale().dateFormat(QLocale::ShortFormat);
    if (!dateFormat.contains(QLatin1String("yyyy")))
        dateFormat.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    for (QDateTimeEdit *edit : findChildren<QDateTimeEdit *>()) {
        edit->setDisplayFormat(dateFormat);
        enableTypedDates(edit);
    }

    connect(dataStore, &DataStore::problem, this,
            [this](const DataFileProblem &p) { reportDataFileProblem(p); });
    connect(tab1, &LogTab::countChanged, this, [this](qsizetype n) { putCountOnContent(n, 0); });
    connect(tab2, &DueTab::countChanged, this, [this](qsizetype n) { putCountOnContent(n, 1); });
    connect(tab1, &LogTab::maintainListRequested, this,
            [this](const QString &file) { sheetFor(file)->showOneSheet(); });
    connect(tab1, &LogTab::printRequested, tab4, &ReportsTab::printMaintenanceTable);
    for (ReferenceSheet *sheet :
         {static_cast<ReferenceSheet *>(properties), static_cast<ReferenceSheet *>(providers),
          static_cast<ReferenceSheet *>(tasks)}) {
        connect(sheet, &ReferenceSheet::entryAdded, tab1, &LogTab::referenceEntryAdded);
        connect(sheet, &ReferenceSheet::entryDeleted, tab1, &LogTab::referenceEntryDeleted);
        connect(sheet, &ReferenceSheet::logRenamed, tab1, &LogTab::logRewritten);
    }
    // Edit ▸ Undo / Redo, also while a sheet is up.
    UndoHistory *undo = UndoHistory::of(dataStore);
    ui->menuBar->insertMenu(ui->menuHelp->menuAction(), undo->createEditMenu(this));
    for (ReferenceSheet *sheet :
         {sheetFor(PropertyFileForKOV), sheetFor(ProviderFileForKOV), sheetFor(ServiceTaskFileForKOV)})
        sheet->sheet()->addActions({undo->undoAction(), undo->redoAction()});
    connect(undo, &UndoHistory::restored, this, [this](const QString &file, const RecordList &records) {
        if (file == PropertyHistoryFileForKOV)
            tab1->logRewritten(records);
        else
            tab1->referenceEntryDeleted(file, records);
    });

    connect(ui->theTabView, &QTabWidget::currentChanged, this,
            [this](int index) { tabViewDidSelectTabViewItem(index); });
    connect(ui->actionShowDataFiles, &QAction::triggered, this, [this] { showDataFilesInFinder(); });
    connect(ui->actionQuit, &QAction::triggered, this, &QWidget::close);
    connect(ui->actionNewVersionCheck, &QAction::triggered, version, &VersionCheck::checkForNewVersion);
    connect(ui->actionLaunchURL, &QAction::triggered, version, &VersionCheck::openProductWebPage);
    connect(ui->actionAbout, &QAction::triggered, this, [this] { showAbout(this); });
    new LogTabGuide(tab1->widget());
    exports = new ExportActions(dataStore, tab1, this, ui->menuFile, ui->actionQuit);
}

MainWindow::~MainWindow()
{
    // The tab controllers go before the widgets: each asks whether the tab
    // view still holds its page, which must not be deleted by then.
    for (QObject *tab : std::initializer_list<QObject *>{tab1, tab2, tab3, tab4})
        delete tab;
    delete ui;
}

ReferenceSheet *MainWindow::sheetFor(const QString &fileName) const
{
    if (fileName == PropertyFileForKOV)
        return properties;
    if (fileName == ProviderFileForKOV)
        return providers;
    return tasks;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    doQuitHouseKeeping();
    QMainWindow::closeEvent(event);
}

// ---------------------------------------------------------------------------
// Start-up and shut-down

void MainWindow::applicationDidFinishLaunching()
{
    if (!doInit()) {
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        return;
    }
    establishDefaultPrefs();
    // The window is up; reading a long log into it takes a moment.
    const BusyCursor busy;
    StartupProgress progress(this, 4);
    progress.step(tr("Reading the lists\u2026"));

    const RecordList taskList = dataStore->copyTaskListSeedingDefaults();
    const RecordList providerList = dataStore->records(ProviderFileForKOV);
    const RecordList propertyList = dataStore->records(PropertyFileForKOV);
    tellOfUnusableRecords(ServiceTaskFileForKOV, taskList);
    tellOfUnusableRecords(ProviderFileForKOV, providerList);
    tellOfUnusableRecords(PropertyFileForKOV, propertyList);
    tab1->setPopupsStartingItem(taskList, providerList, propertyList);

    progress.step(tr("Reading the maintenance log\u2026"));
    RecordList history = dataStore->records(PropertyHistoryFileForKOV);
    tab1->cleanMaintHistOfNilObjects(history);
    // After the cleaning: a name that was empty is missing now, and said so.
    tellOfUnusableRecords(PropertyHistoryFileForKOV, history);
    progress.step(tr("Showing the maintenance log\u2026"));
    tab1->showWholeLog(history);
    progress.step(tr("Working out what is due\u2026"));

    ui->theTabView->setCurrentIndex(getLastTabUsedFromPrefs());
    tab2->setPane2();
    tab3->setPane3();
    tab4->setPane4();
    tab2->startReminders();
}

void MainWindow::tellOfUnusableRecords(const QString &fileName, const RecordList &records)
{
    const QStringList problems = recordProblems(fileName, records);
    if (problems.isEmpty())
        return;
    doSheetAlert(this,
                 describeRecordProblems(problems) + QStringLiteral("\n\n") +
                     tr("KOV keeps these records as they are; where it needs one of these values, "
                        "it may leave the record out. The file is in %1.")
                         .arg(QDir::toNativeSeparators(dataFolderPath())),
                 tr("Some records in \u201C%1\u201D hold values KOV cannot use").arg(fileName));
}

bool MainWindow::doInit()
{
    if (osMinorVersion() < 7) {
        const int answer = runModalAlert(
            AlertStyle::Informational, tr("Sorry, KOV requires Mac OS X Version 10.7 or higher."), QString(),
            QStringLiteral("OK"), QStringLiteral("Go to KOV web page"));
        if (answer == AlertSecondButtonReturn)
            version->openProductWebPage();
        return false;
    }
    show();
    raise();
    activateWindow();
    return true;
}

void MainWindow::establishDefaultPrefs()
{
    // QSettings has no registered defaults; readers pass the default (0).
}

QString MainWindow::paneLastUsedKey()
{
    return QStringLiteral("Pane last used when window closed");
}

int MainWindow::getLastTabUsedFromPrefs() const
{
    QSettings settings;
    const auto pane = static_cast<qint8>(settings.value(paneLastUsedKey(), 0).toInt());
    // Only we write this value, but a hand-edited or foreign one must not
    // leave the window without a tab.
    return (pane >= 0 && pane <= 3) ? pane : 0;
}

int MainWindow::getPaneLastUsed() const
{
    const int index = ui->theTabView->currentIndex();
    return index < 0 ? 0 : index;
}

void MainWindow::doQuitHouseKeeping()
{
    QSettings settings;
    settings.setValue(paneLastUsedKey(), getPaneLastUsed());
    settings.sync();
}

void MainWindow::showDataFilesInFinder()
{
    openOrTellWhere(this, QUrl::fromLocalFile(copyDataFolderURL()));
}

// ---------------------------------------------------------------------------
// Tabs and the count line

void MainWindow::tabViewDidSelectTabViewItem(int index)
{
    const SelectionArea *area = nullptr;
    switch (index & 0xff) {
    case 0:
        putCountOnContent(tab1->rowCount(), 0);
        area = &tab1->selectionArea();
        break;
    case 1:
        putCountOnContent(tab2->rows().size(), 1);
        area = &tab2->selectionArea();
        break;
    case 2:
        putCountOnContent(0, 2);
        area = &tab3->selectionArea();
        break;
    case 3:
        putCountOnContent(0, 3);
        area = &tab4->selectionArea();
        break;
    default:
        return;
    }
    // Asked afresh on every switch, so an edit made on another pane counts.
    area->enableDisableShow(!dataStore->records(PropertyHistoryFileForKOV).isEmpty());
}

void MainWindow::putCountOnContent(qsizetype count, int pane)
{
    if (pane == 0 || pane == 1)
        ui->contentCount->setText(
            QStringLiteral("%1%2%3").arg(tr("Display Count"), QStringLiteral(": ")).arg(count));
    else
        ui->contentCount->setText(QString());
}

void MainWindow::reportDataFileProblem(const DataFileProblem &problem)
{
    const QString where = QDir::toNativeSeparators(problem.path);
    switch (problem.kind) {
    case DataFileProblem::ReadFailed: {
        const QString key = problem.path + QLatin1Char('\n') + problem.reason;
        if (reportedReadProblems.contains(key))
            return;
        reportedReadProblems.insert(key);
        doSheetAlert(this,
                     tr("%1\n\nThe file is left exactly as it is, and KOV will not change it while it "
                        "cannot be read. It is at %2.")
                         .arg(problem.reason, where),
                     tr("KOV cannot read the file \u201c%1\u201d.").arg(problem.fileName));
        break;
    }
    case DataFileProblem::WriteRefused:
        doSheetAlert(this,
                     tr("KOV cannot read the file as it stands (%1), so it will not replace it. It is "
                        "at %2.")
                         .arg(problem.reason, where),
                     tr("Your change was not saved to \u201c%1\u201d.").arg(problem.fileName));
        break;
    case DataFileProblem::WriteFailed:
        doSheetAlert(
            this, tr("%1\n\nThe file keeps its previous contents. It is at %2.").arg(problem.reason, where),
            tr("Your change could not be saved to \u201c%1\u201d.").arg(problem.fileName));
        break;
    }
}

} // namespace kov
