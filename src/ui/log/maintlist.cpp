// The tab-1 log list: Show with its date check and filter, and what the
// tables do when a header is clicked.
#include <QComboBox>
#include <QDateTimeEdit>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>

#include "app/kovappdelegate.h"
#include "log/logfilter.h"
#include "log/rowtablemodel.h"
#include "storage/datafiles.h"
#include "ui_mainwindow.h"
#include "ui_propertysheet.h"
#include "ui_providersheet.h"
#include "ui_tasksheet.h"

using namespace kov;

void KOVAppDelegate::connectTab1List()
{
    connect(ui->showMaintBtn, &QPushButton::clicked, this, [this] { respondToShowBtnPane1(); });
    for (QComboBox *popup : {ui->propertyPopTab1, ui->providerPopTab1, ui->serTaskPopTab1})
        connect(popup, &QComboBox::activated, this, [this, popup] { popUpSelectedOnTab1(popup); });
    for (QComboBox *filter :
         {ui->propertyPopForShowTab1, ui->propertyPopTab2, ui->propertyPopTab3, ui->propertyPopTab4})
        connect(filter, &QComboBox::activated, this, [this, filter] { propertyPopUpSelected(filter); });
    // A header click sorts the shown rows in place (RowTableModel::sort).
    for (QTableView *table : {ui->tableViewTab1, ui->tableViewTab2, propertySheetUi->tableViewPropertySheet,
                              providerSheetUi->tableViewProviderSheet, taskSheetUi->tableViewTaskSheet}) {
        table->setSortingEnabled(true);
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    }
}

void KOVAppDelegate::respondToShowBtnPane1()
{
    const std::optional<RecordList> shown = copyArrayAndCheckDates(
        ui->beginDateTab1, ui->endDateTab1, ui->propertyPopForShowTab1, ui->serviceTaskPopForShowTab1);
    if (shown) {
        populateTableViewArrayFromFileArray(*shown, propertyMaintArrayForTV);
        reloadTableViewTab1();
        putCountOnContent(propertyMaintArrayForTV.size(), 0);
        if (shown->isEmpty())
            noDataFoundErrorMsg();
    }
    setChange(ui->changeBtnTab1, ui->deleteBtnTab1, false);
}

std::optional<RecordList> KOVAppDelegate::copyArrayAndCheckDates(QDateTimeEdit *beginDate,
                                                                 QDateTimeEdit *endDate, QComboBox *propPop,
                                                                 QComboBox *taskPop)
{
    // As the controls hold them, time of day included.
    const QDateTime b = beginDate->dateTime().toUTC();
    const QDateTime e = endDate->dateTime().toUTC();
    if (!areBeginEndDatesOK(b, e))
        return std::nullopt;
    return copyFilteredLog(copyDataFileArray(PropertyHistoryFileForKOV),
                           copyPredicateString(propPop, taskPop, b, e));
}

bool KOVAppDelegate::areBeginEndDatesOK(const QDateTime &beginDate, const QDateTime &endDate)
{
    if (kov::areBeginEndDatesOK(beginDate, endDate))
        return true;
    doSheetAlert(window, tr("Begin Date must be prior to or equal to End Date. Please adjust dates"),
                 tr("Date Input Error"));
    return false;
}

LogFilter KOVAppDelegate::copyPredicateString(QComboBox *propPop, QComboBox *taskPop, const QDateTime &bDate,
                                              const QDateTime &eDate)
{
    // Here "All" is known by its title.
    const QString all = tr("All");
    auto choice = [&all](const QComboBox *popup) {
        const QString title = popup->currentText();
        return title == all ? NameChoice() : NameChoice(title);
    };
    return LogFilter{choice(propPop), choice(taskPop), bDate, eDate};
}

LogFilter KOVAppDelegate::copyPredicateString(QComboBox *propPop, QComboBox *taskPop)
{
    // Here "All" is known by its place: the last item.
    auto choice = [](const QComboBox *popup) {
        const bool last = popup->count() > 0 && popup->currentIndex() == popup->count() - 1;
        return last ? NameChoice() : NameChoice(popup->currentText());
    };
    return LogFilter{choice(propPop), choice(taskPop), std::nullopt, std::nullopt};
}

QStringList KOVAppDelegate::copyColumnTitlesOnTab1() const
{
    QStringList titles;
    for (const QString &identifier :
         {col::property, col::provider, col::task, col::note, col::propmaintdate, col::cost})
        titles.append(modelTab1->headerData(modelTab1->columnOf(identifier), Qt::Horizontal).toString());
    return titles;
}
