#include "reports/reportstab.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QProgressDialog>
#include <QPushButton>

#include "app/alerts.h"
#include "app/datastore.h"
#include "app/datepopover.h"
#include "app/feedback.h"
#include "reports/reportassembly.h"
#include "ui_reportstab.h"

namespace kov {

namespace {
constexpr int AllReportsTag = 10;
}

ReportsTab::ReportsTab(DataStore *dataStore, DatePopover *datePopover, QObject *parent)
    : QObject(parent), store(dataStore), page(new QWidget), ui(new Ui::ReportsTab)
{
    ui->setupUi(page);
    area = {ui->beginDateTab4, ui->endDateTab4, ui->propertyPopTab4, ui->serTaskPopTab4, ui->printBtnTab4};
    area.setDateDefaultsWithBeginDate();
    for (QAbstractButton *box : ui->reportsTab4->findChildren<QAbstractButton *>()) {
        const int tag = box->property("tag").toInt();
        connect(box, &QAbstractButton::clicked, this, [this, tag](bool on) { reportChkBoxClicked(tag, on); });
    }
    connect(ui->printBtnTab4, &QPushButton::clicked, this, [this] { respondToPrintBtnPane4(); });
    area.followStore(this, store, true);
    datePopover->attach(ui->popOverTriggerTab4BeginDate, ui->beginDateTab4);
    datePopover->attach(ui->popOverTriggerTab4EndDate, ui->endDateTab4);
}

ReportsTab::~ReportsTab()
{
    delete ui;
    if (!page->parent())
        delete page;
}

void ReportsTab::setPane4()
{
    area.resetFromLog(store->records(PropertyHistoryFileForKOV));
}

QAbstractButton *ReportsTab::reportBoxWithTag(int tag) const
{
    for (QAbstractButton *box : ui->reportsTab4->findChildren<QAbstractButton *>())
        if (box->property("tag").toInt() == tag)
            return box;
    return nullptr;
}

bool ReportsTab::isTicked(int tag) const
{
    const QAbstractButton *box = reportBoxWithTag(tag);
    return box && box->isChecked();
}

void ReportsTab::reportChkBoxClicked(int tag, bool on)
{
    auto setEvery = [this](bool state) {
        for (QAbstractButton *box : ui->reportsTab4->findChildren<QAbstractButton *>())
            box->setChecked(state);
    };
    if (tag >= int(ReportByProperty) && tag <= int(ReportTaskList)) {
        if (!on) {
            if (QAbstractButton *all = reportBoxWithTag(AllReportsTag))
                all->setChecked(false);
        } else if (areAllCheckBoxesON()) {
            setEvery(true);
        }
    } else if (tag == AllReportsTag) {
        setEvery(on);
    }
}

bool ReportsTab::areAllCheckBoxesON() const
{
    for (int tag = ReportByProperty; tag <= int(ReportTaskList); ++tag)
        if (!isTicked(tag))
            return false;
    return true;
}

void ReportsTab::respondToPrintBtnPane4()
{
    madeDocuments.clear();
    anyDocumentOpened = false;
    const bool all = isTicked(AllReportsTag);
    bool anyTicked = false;
    for (unsigned tag = ReportByProperty; tag <= ReportTaskList; ++tag) {
        if (all || isTicked(int(tag))) {
            anyTicked = true;
            processReportPane4(tag);
        }
    }
    if (!anyTicked)
        noReportsSelectedErrorMsg(page->window());
    tellDocumentsMade(page->window(), madeDocuments, anyDocumentOpened);
}

void ReportsTab::processReportPane4(unsigned whichReport)
{
    RecordList rows;
    QDateTime begin, end;
    if (whichReport >= ReportPropertyList && whichReport <= ReportTaskList) {
        // A file that cannot be read has told the user through the store;
        // its report then has no rows.
        rows = store->records(reportDataFile(whichReport));
    } else {
        // Dates out of order: the date alert has been shown; this report
        // ends there.
        const std::optional<RecordList> found =
            area.copyArrayAndCheckDates(store->records(PropertyHistoryFileForKOV), page->window());
        if (!found)
            return;
        rows = *found;
        begin = ui->beginDateTab4->dateTime();
        end = ui->endDateTab4->dateTime();
    }
    finishReport(whichReport, std::move(rows), begin, end, {});
}

void ReportsTab::printMaintenanceTable(const RecordList &rows, const QStringList &titles)
{
    ReportOptions options;
    options.maintenanceTableTitles = titles;
    madeDocuments.clear();
    anyDocumentOpened = false;
    finishReport(ReportMaintenanceTable, rows, {}, {}, options);
    tellDocumentsMade(page->window(), madeDocuments, anyDocumentOpened);
}

void ReportsTab::finishReport(unsigned whichReport, RecordList rows, const QDateTime &begin,
                              const QDateTime &end, const ReportOptions &options)
{
    QWidget *window = page->window();
    // An empty table gives no blank document, only the alert.
    if (rows.isEmpty()) {
        noDataFoundErrorMsg(window);
        return;
    }
    // A report of a long log takes seconds: the window shows it is busy at
    // once, and a window-modal progress bar once it runs on.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QProgressDialog progress(tr("Making \u201C%1\u201D\u2026").arg(reportTitle(whichReport)), QString(), 0, 0,
                             window);
    progress.setWindowModality(Qt::WindowModal);
    progress.setCancelButton(nullptr);
    progress.setMinimumDuration(400);
    // A window-modal progress dialog handles events at every step: a step a
    // page would cost a report of hundreds of pages a third of its time, so
    // the bar moves at most every 50 ms.
    QElapsedTimer sinceStep;
    sinceStep.start();
    const ReportOutcome outcome = makeReport(
        whichReport, std::move(rows), begin, end, options, [&progress, &sinceStep](int page, int pages) {
            if (page > 1 && page < pages && !sinceStep.hasExpired(50))
                return;
            sinceStep.restart();
            progress.setMaximum(pages);
            progress.setValue(page - 1);
        });
    progress.reset();
    QApplication::restoreOverrideCursor();
    switch (outcome.status) {
    case ReportOutcome::Written:
        madeDocuments.append(outcome.path);
        // Whether or not a viewer opened it, the user is told where it is.
        if (openUrl(QUrl::fromLocalFile(outcome.path)))
            anyDocumentOpened = true;
        break;
    case ReportOutcome::NoData:
        noDataFoundErrorMsg(window);
        break;
    case ReportOutcome::UnknownReport:
        doSheetAlert(window, QStringLiteral("whichReport not found"),
                     QStringLiteral("respondToPrintBtnPane4 error"));
        break;
    case ReportOutcome::Failed:
        // Never a silent failure: the user expects a document.
        doSheetAlert(window, outcome.error, tr("The report could not be made"));
        break;
    }
}

} // namespace kov
