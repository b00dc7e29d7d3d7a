// Tab 4: the report checkboxes, Print, and tab 1's Print of the table as
// shown. The rows are assembled by the rules kov-cli report shares.
#include <QAbstractButton>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>

#include "app/kovappdelegate.h"
#include "reports/reportassembly.h"
#include "ui_mainwindow.h"

using namespace kov;

namespace {

constexpr int AllReportsTag = 10;

QList<QAbstractButton *> reportBoxes(const Ui::MainWindow *ui)
{
    return ui->reportsTab4->findChildren<QAbstractButton *>();
}

QAbstractButton *reportBoxWithTag(const Ui::MainWindow *ui, int tag)
{
    for (QAbstractButton *box : reportBoxes(ui))
        if (box->property("tag").toInt() == tag)
            return box;
    return nullptr;
}

bool isTicked(const Ui::MainWindow *ui, int tag)
{
    const QAbstractButton *box = reportBoxWithTag(ui, tag);
    return box && box->isChecked();
}

} // namespace

void KOVAppDelegate::connectTab4()
{
    for (QAbstractButton *box : reportBoxes(ui))
        connect(box, &QAbstractButton::clicked, this, [this, box] { reportChkBoxClicked(box); });
    for (QPushButton *print : {ui->printBtnTab4, ui->printBtnTab1})
        connect(print, &QPushButton::clicked, this, [this, print] { respondToPrintBtnPane4(print); });
}

void KOVAppDelegate::reportChkBoxClicked(QAbstractButton *cell)
{
    const int tag = cell->property("tag").toInt();
    const bool on = cell->isChecked();
    auto setEvery = [this](bool state) {
        for (QAbstractButton *box : reportBoxes(ui))
            box->setChecked(state);
    };
    if (tag >= int(ReportByProperty) && tag <= int(ReportTaskList)) {
        if (!on) {
            if (QAbstractButton *all = reportBoxWithTag(ui, AllReportsTag))
                all->setChecked(false);
        } else if (areAllCheckBoxesON()) {
            setEvery(true);
        }
    } else if (tag == AllReportsTag) {
        setEvery(on);
    }
}

bool KOVAppDelegate::areAllCheckBoxesON() const
{
    for (int tag = ReportByProperty; tag <= int(ReportTaskList); ++tag)
        if (!isTicked(ui, tag))
            return false;
    return true;
}

void KOVAppDelegate::respondToPrintBtnPane4(QObject *sender)
{
    if (sender == ui->printBtnTab1) {
        processReportPane4(ReportMaintenanceTable);
        return;
    }
    const bool all = isTicked(ui, AllReportsTag);
    bool anyTicked = false;
    for (unsigned tag = ReportByProperty; tag <= ReportTaskList; ++tag) {
        if (all || isTicked(ui, int(tag))) {
            anyTicked = true;
            processReportPane4(tag);
        }
    }
    if (!anyTicked)
        noReportsSelectedErrorMsg();
}

void KOVAppDelegate::processReportPane4(unsigned whichReport)
{
    RecordList rows;
    QDateTime begin, end;
    ReportOptions options;
    if (whichReport == ReportMaintenanceTable) {
        // The table's order on screen, whatever sorted it.
        const QHeaderView *rowHeader = ui->tableViewTab1->verticalHeader();
        for (int visual = 0; visual < propertyMaintArrayForTV.size(); ++visual) {
            const int logical = rowHeader->logicalIndex(visual);
            rows.append(propertyMaintArrayForTV.value(logical < 0 ? visual : logical));
        }
        options.maintenanceTableTitles = copyColumnTitlesOnTab1();
    } else if (whichReport >= ReportPropertyList && whichReport <= ReportTaskList) {
        // A file that cannot be read has told the user through the data
        // file problem handler; its report then has no rows.
        rows = copyReportRows(whichReport, LogFilter{});
    } else {
        // Dates out of order: the date alert has been shown; this report
        // ends there.
        const std::optional<RecordList> found =
            copyArrayAndCheckDates(ui->beginDateTab4, ui->endDateTab4, ui->propertyPopTab4, ui->serTaskPopTab4);
        if (!found)
            return;
        rows = *found;
        begin = ui->beginDateTab4->dateTime();
        end = ui->endDateTab4->dateTime();
    }
    // An empty table gives no blank document, only the alert.
    if (rows.isEmpty()) {
        noDataFoundErrorMsg();
        return;
    }
    const ReportOutcome outcome = makeReport(whichReport, std::move(rows), begin, end, options);
    switch (outcome.status) {
    case ReportOutcome::Written:
        openUrl(QUrl::fromLocalFile(outcome.path));
        break;
    case ReportOutcome::NoData:
        noDataFoundErrorMsg();
        break;
    case ReportOutcome::UnknownReport:
        doSheetAlert(window, QStringLiteral("whichReport not found"), QStringLiteral("respondToPrintBtnPane4 error"));
        break;
    case ReportOutcome::Failed:
        // Never a silent failure: the user expects a document.
        doSheetAlert(window, outcome.error, tr("The report could not be made"));
        break;
    }
}
