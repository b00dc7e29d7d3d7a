#include "app/kovappdelegate.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QSysInfo>
#include <QTabWidget>
#include <QTableView>

#include "log/rowtablemodel.h"
#include "storage/clock.h"
#include "storage/datafiles.h"
#include "storage/recordcheck.h"
#include "storage/dates.h"
#include "storage/sorting.h"
#include "ui_datepopup.h"
#include "ui_mainwindow.h"
#include "ui_propertysheet.h"
#include "ui_providersheet.h"
#include "ui_receiptpopup.h"
#include "ui_tasksheet.h"

using namespace kov;

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

} // namespace kov

KOVAppDelegate::KOVAppDelegate(QObject *parent) : QObject(parent)
{
    buildWindow();
    connectControls();
    connectTab1Entry();
    connectTab1List();
    connectTab3();
    connectTab2();
    connectTab4();
    connectSheets();
    setDataFileProblemHandler([this](const DataFileProblem &p) { reportDataFileProblem(p); });
}

KOVAppDelegate::~KOVAppDelegate()
{
    setDataFileProblemHandler(nullptr);
    // The sheets and popovers are children of the window and go with it.
    delete window;
    delete ui;
    delete propertySheetUi;
    delete providerSheetUi;
    delete taskSheetUi;
    delete datePopupUi;
    delete receiptPopupUi;
}

void KOVAppDelegate::buildWindow()
{
    window = new QMainWindow;
    ui = new Ui::MainWindow;
    ui->setupUi(window);
    window->installEventFilter(this);

    // Sheets are window-modal dialogs over the main window.
    thePropertySheet = new QDialog(window);
    propertySheetUi = new Ui::PropertySheet;
    propertySheetUi->setupUi(thePropertySheet);
    theProviderSheet = new QDialog(window);
    providerSheetUi = new Ui::ProviderSheet;
    providerSheetUi->setupUi(theProviderSheet);
    theTaskSheet = new QDialog(window);
    taskSheetUi = new Ui::TaskSheet;
    taskSheetUi->setupUi(theTaskSheet);
    for (QDialog *sheet : {thePropertySheet, theProviderSheet, theTaskSheet})
        sheet->setWindowModality(Qt::WindowModal);

    thePopOver = new QWidget(window, Qt::Popup);
    datePopupUi = new Ui::DatePopup;
    datePopupUi->setupUi(thePopOver);
    theDatePicker = datePopupUi->theDatePicker;
    receiptPopover = new QWidget(window, Qt::Popup);
    receiptPopupUi = new Ui::ReceiptPopup;
    receiptPopupUi->setupUi(receiptPopover);

    contextMenuTab2 = new QMenu(ui->tableViewTab2);
    contextMenuTab2->setObjectName(QStringLiteral("contextMenuTab2"));
    contextMenuTab2->addAction(QString())->setEnabled(false);
    contextMenuTab2->addAction(tr("Send Reminder"));

    // Dates show in the locale's short form, with the full year.
    QString dateFormat = QLocale().dateFormat(QLocale::ShortFormat);
    if (!dateFormat.contains(QLatin1String("yyyy")))
        dateFormat.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    const QList<QDateTimeEdit *> edits = window->findChildren<QDateTimeEdit *>()
                                         + thePropertySheet->findChildren<QDateTimeEdit *>();
    for (QDateTimeEdit *edit : edits)
        edit->setDisplayFormat(dateFormat);
    buildTables();
}

void KOVAppDelegate::buildTables()
{
    auto attach = [this](QTableView *view, RecordList *rows, QList<TableColumn> columns) {
        auto *model = new RowTableModel(rows, std::move(columns), this);
        view->setModel(model);
        view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
        return model;
    };
    modelTab1 = attach(ui->tableViewTab1, &propertyMaintArrayForTV,
                       {{col::propmaintdate, tr("Date")},
                        {col::property, tr("Property")},
                        {col::task, tr("Task")},
                        {col::provider, tr("Provider")},
                        {col::parts, tr("Parts")},
                        {col::labor, tr("Labor")},
                        {col::tax, tr("Tax")},
                        {col::cost, tr("Total")},
                        {col::note, tr("Note")},
                        {col::receipt, tr("Receipt")}});
    modelTab2 = attach(ui->tableViewTab2, &maintDueArrayForTV,
                       {{col::property2, tr("Property")},
                        {col::task2, tr("Task")},
                        {col::lastdate, tr("Last Done")},
                        {col::nextdate, tr("Next Due")}});
    modelPropertySheet = attach(propertySheetUi->tableViewPropertySheet, &propertyArrayForTV,
                                {{col::propname, tr("Name")},
                                 {col::propaddress, tr("Address")},
                                 {col::propcity, tr("City")},
                                 {col::propstate, tr("State")},
                                 {col::proppostal, tr("ZIP")}});
    modelProviderSheet = attach(providerSheetUi->tableViewProviderSheet, &providerArrayForTV,
                                {{col::provname, tr("Name")},
                                 {col::provaddress, tr("Address")},
                                 {col::provphone, tr("Phone")},
                                 {col::provnotes, tr("Notes")}});
    modelTaskSheet = attach(taskSheetUi->tableViewTaskSheet, &taskArrayForTV,
                            {{col::taskname, tr("Task")},
                             {col::taskdesc, tr("Description")},
                             {col::timeindays, tr("Interval")}});
    QHeaderView *header = ui->tableViewTab1->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    // Sized to fit the window's default width; the receipt column takes the rest.
    const int widths[] = {90, 150, 170, 150, 75, 75, 75, 75, 160};
    for (int c = 0; c < int(std::size(widths)); ++c)
        header->resizeSection(c, widths[c]);
    ui->tableViewTab2->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
}

void KOVAppDelegate::connectControls()
{
    connect(ui->theTabView, &QTabWidget::currentChanged, this,
            [this](int index) { tabViewDidSelectTabViewItem(index); });
    connect(ui->actionShowDataFiles, &QAction::triggered, this, [this] { showDataFilesInFinder(); });
    connect(ui->actionQuit, &QAction::triggered, window, &QWidget::close);
    connect(ui->actionNewVersionCheck, &QAction::triggered, this, [this] { newVersionCheck(); });
    connect(ui->actionLaunchURL, &QAction::triggered, this, [this] { doLaunchURL(); });

    const QList<QAbstractButton *> triggers = {
        ui->popOverTriggerTab1ServiceDate, ui->popOverTriggerTab1BeginDate,
        ui->popOverTriggerTab1EndDate,     ui->popOverTriggerTab3BeginDate,
        ui->popOverTriggerTab3EndDate,     ui->popOverTriggerTab4BeginDate,
        ui->popOverTriggerTab4EndDate,     propertySheetUi->popOverTriggerPropSheetBuildDate,
        propertySheetUi->popOverTriggerPropSheetAcqDate, propertySheetUi->popOverTriggerPropSheetDisDate,
        ui->dropButton};
    for (QAbstractButton *trigger : triggers)
        connect(trigger, &QAbstractButton::clicked, this, [this, trigger] { togglePopOver(trigger); });
    connect(theDatePicker, &QCalendarWidget::clicked, this, [this] { userPickedFromGraphicalDatePicker(); });
    connect(theDatePicker, &QCalendarWidget::activated, this, [this] {
        userPickedFromGraphicalDatePicker();
        thePopOver->hide();
    });
}

bool KOVAppDelegate::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window && event->type() == QEvent::Close)
        doQuitHouseKeeping();
    return QObject::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Start-up and shut-down

void KOVAppDelegate::applicationDidFinishLaunching()
{
    if (!doInit()) {
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        return;
    }
    establishDefaultPrefs();

    const RecordList tasks = copyTaskListSeedingDefaults();
    const RecordList providers = copyDataFileArray(ProviderFileForKOV);
    const RecordList properties = copyDataFileArray(PropertyFileForKOV);
    tellOfUnusableRecords(ServiceTaskFileForKOV, tasks);
    tellOfUnusableRecords(ProviderFileForKOV, providers);
    tellOfUnusableRecords(PropertyFileForKOV, properties);
    setPopupsStartingItem(tasks, providers, properties);

    RecordList history = copyDataFileArray(PropertyHistoryFileForKOV);
    cleanMaintHistOfNilObjects(history);
    // After the cleaning: a name that was empty is missing now, and said so.
    tellOfUnusableRecords(PropertyHistoryFileForKOV, history);
    const qsizetype n = history.size();
    if (n > 0) {
        populateTableViewArrayFromFileArray(history, propertyMaintArrayForTV);
        doSortWithArray(propertyMaintArrayForTV, col::propmaintdate, false, SortSelector::compare);
    }
    enableDisableShow(ui->beginDateTab1, ui->endDateTab1, ui->propertyPopForShowTab1,
                      ui->serviceTaskPopForShowTab1, ui->showMaintBtn, n > 0);

    reloadTableViewTab1();
    putCountOnContent(propertyMaintArrayForTV.size(), 0);

    ui->serviceDateTab1->setDateTime(Clock::now().toLocalTime());
    setDateDefaultsWithBeginDate(ui->beginDateTab1, ui->endDateTab1);
    setDateDefaultsWithBeginDate(ui->beginDateTab3, ui->endDateTab3);
    setDateDefaultsWithBeginDate(ui->beginDateTab4, ui->endDateTab4);

    ui->theTabView->setCurrentIndex(getLastTabUsedFromPrefs());

    setPane2();
    setPane3();
    setPane4();

    if (osMinorVersion() >= 8) {
        // Reminders subscribe here once they are built.
    }
}

void KOVAppDelegate::tellOfUnusableRecords(const QString &fileName, const RecordList &records)
{
    const QStringList problems = recordProblems(fileName, records);
    if (problems.isEmpty())
        return;
    doSheetAlert(window,
                 describeRecordProblems(problems) + QStringLiteral("\n\n") +
                     tr("KOV keeps these records as they are; where it needs one of these values, "
                        "it may leave the record out. The file is in %1.")
                         .arg(QDir::toNativeSeparators(dataFolderPath())),
                 tr("Some records in \u201C%1\u201D hold values KOV cannot use").arg(fileName));
}

bool KOVAppDelegate::doInit()
{
    if (osMinorVersion() < 7) {
        const int answer = runModalAlert(AlertStyle::Informational,
                                         tr("Sorry, KOV requires Mac OS X Version 10.7 or higher."),
                                         QString(), QStringLiteral("OK"), QStringLiteral("Go to KOV web page"));
        if (answer == AlertSecondButtonReturn)
            openProductWebPage();
        return false;
    }
    window->show();
    window->raise();
    window->activateWindow();
    return true;
}

void KOVAppDelegate::establishDefaultPrefs()
{
    // QSettings has no registered defaults; readers pass the default (0).
}

QString KOVAppDelegate::paneLastUsedKey()
{
    return QStringLiteral("Pane last used when window closed");
}

int KOVAppDelegate::getLastTabUsedFromPrefs() const
{
    QSettings settings;
    const auto pane = static_cast<qint8>(settings.value(paneLastUsedKey(), 0).toInt());
    // Only we write this value, but a hand-edited or foreign one must not
    // leave the window without a tab.
    return (pane >= 0 && pane <= 3) ? pane : 0;
}

int KOVAppDelegate::getPaneLastUsed() const
{
    const int index = ui->theTabView->currentIndex();
    return index < 0 ? 0 : index;
}

void KOVAppDelegate::doQuitHouseKeeping()
{
    QSettings settings;
    settings.setValue(paneLastUsedKey(), getPaneLastUsed());
    settings.sync();
}

void KOVAppDelegate::userSetPref()
{
    QSettings().sync();
}

void KOVAppDelegate::showDataFilesInFinder()
{
    openUrl(QUrl::fromLocalFile(copyDataFolderURL()));
}

bool KOVAppDelegate::isAppRunning(const QString &applicationName)
{
#ifdef Q_OS_LINUX
    const QDir proc(QStringLiteral("/proc"));
    const QStringList entries = proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &pid : entries) {
        if (pid.isEmpty() || !pid.at(0).isDigit())
            continue;
        QFile comm(proc.filePath(pid + QStringLiteral("/comm")));
        if (comm.open(QIODevice::ReadOnly)
            && QString::fromUtf8(comm.readAll()).trimmed() == applicationName)
            return true;
    }
    return false;
#else
    Q_UNUSED(applicationName);
    return false;
#endif
}

// ---------------------------------------------------------------------------
// Alerts and messages

void KOVAppDelegate::doSheetAlert(QWidget *alertWindow, const QString &errorString, const QString &titleString)
{
    showSheetAlert(alertWindow ? alertWindow : window, errorString, titleString);
}

void KOVAppDelegate::noReportsSelectedErrorMsg()
{
    doSheetAlert(window, tr("Use Checkboxes to select reports"), tr("No Reports Selected"));
}

void KOVAppDelegate::noDataFoundErrorMsg()
{
    doSheetAlert(window, tr("Adjusting the selection criteria might help."),
                 tr("For one or more reports, no qualifying property maintenance found based on "
                    "selection criteria"));
}

void KOVAppDelegate::setFieldFromStringMinusLastCharacter(QLineEdit *field)
{
    QString text = field->text();
    if (!text.isEmpty()) {
        // Take a whole character: never leave half of a surrogate pair.
        qsizetype cut = 1;
        if (text.size() >= 2 && text.at(text.size() - 1).isLowSurrogate()
            && text.at(text.size() - 2).isHighSurrogate())
            cut = 2;
        text.chop(cut);
    }
    field->setText(text);
    beep();
}

void KOVAppDelegate::reportDataFileProblem(const DataFileProblem &problem)
{
    const QString where = QDir::toNativeSeparators(problem.path);
    switch (problem.kind) {
    case DataFileProblem::ReadFailed: {
        const QString key = problem.path + QLatin1Char('\n') + problem.reason;
        if (reportedReadProblems.contains(key))
            return;
        reportedReadProblems.insert(key);
        doSheetAlert(window,
                     tr("%1\n\nThe file is left exactly as it is, and KOV will not change it while it "
                        "cannot be read. It is at %2.")
                         .arg(problem.reason, where),
                     tr("KOV cannot read the file \u201c%1\u201d.").arg(problem.fileName));
        break;
    }
    case DataFileProblem::WriteRefused:
        doSheetAlert(window,
                     tr("KOV cannot read the file as it stands (%1), so it will not replace it. It is "
                        "at %2.")
                         .arg(problem.reason, where),
                     tr("Your change was not saved to \u201c%1\u201d.").arg(problem.fileName));
        break;
    case DataFileProblem::WriteFailed:
        doSheetAlert(window,
                     tr("%1\n\nThe file keeps its previous contents. It is at %2.").arg(problem.reason, where),
                     tr("Your change could not be saved to \u201c%1\u201d.").arg(problem.fileName));
        break;
    }
}

// ---------------------------------------------------------------------------
// Dates

void KOVAppDelegate::setDateDefaultsWithBeginDate(QDateTimeEdit *beginDate, QDateTimeEdit *endDate)
{
    endDate->setDateTime(Clock::now().toLocalTime());
    beginDate->setDateTime(startOfCurrentYearLocal().toLocalTime());
}
