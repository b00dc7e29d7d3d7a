// Tab 2: Show lists when each recurring task is next due, every record or
// the latest per property and task, or only what is due now.
#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>

#include "app/kovappdelegate.h"
#include "due/duerules.h"
#include "log/rowtablemodel.h"
#include "storage/clock.h"
#include "storage/datafiles.h"
#include "ui_mainwindow.h"

using namespace kov;

void KOVAppDelegate::connectTab2()
{
    connect(ui->showBtnTab2, &QPushButton::clicked, this, [this] { respondToShowBtnPane2(); });
}

int KOVAppDelegate::selectedTagTab2() const
{
    const QList<QAbstractButton *> buttons = ui->radioBtnTab2->findChildren<QAbstractButton *>();
    for (const QAbstractButton *button : buttons)
        if (button->isChecked())
            return button->property("tag").toInt();
    return 0;
}

void KOVAppDelegate::respondToShowBtnPane2()
{
    const RecordList history = copyDataFileArray(PropertyHistoryFileForKOV);
    if (history.isEmpty()) {
        doSheetAlert(window, tr("There is no property maintenance history to show"), QString());
        return;
    }
    const DueMode mode = dueModeFromTag(selectedTagTab2());
    if (ui->propertyPopTab2->currentIndex() < 0 || ui->propertyPopTab2->currentText().isEmpty())
        doSheetAlert(window, tr("No Property Selected. Please select a property. "), QString());
    if (ui->serTaskPopTab2->currentIndex() < 0 || ui->serTaskPopTab2->currentText().isEmpty())
        doSheetAlert(window, tr("No Task Selected. Please choose a task"), QString());

    const RecordList kept =
        copyDueRecords(history, copyPredicateString(ui->propertyPopTab2, ui->serTaskPopTab2));
    buildBrowserArrayFromInitialPropTaskFilteredArray(kept);
    if (mode == DueMode::Latest || mode == DueMode::Overdue)
        buildTempArraysForFiltering();
    if (mode == DueMode::Overdue)
        overDueOnly();

    modelTab2->reload();
    putCountOnContent(maintDueArrayForTV.size(), 1);
}

void KOVAppDelegate::buildBrowserArrayFromInitialPropTaskFilteredArray(const RecordList &records)
{
    QStringList badUnitTasks;
    maintDueArrayForTV = buildDueItems(records, copyDataFileArray(ServiceTaskFileForKOV), &badUnitTasks);
    // One bad task must not cost the whole list: it is listed as never due,
    // and the user hears of it once per Show.
    if (!badUnitTasks.isEmpty())
        runModalAlert(AlertStyle::Informational, tr("Function ConvertToDays() used default."),
                      tr("This is an error. Notify Developer."), QStringLiteral("OK"));
}

void KOVAppDelegate::buildTempArraysForFiltering()
{
    QStringList titles;
    for (int i = 0; i < ui->propertyPopTab2->count(); ++i)
        titles.append(ui->propertyPopTab2->itemText(i));
    maintDueArrayForTV = latestPerPropertyTask(maintDueArrayForTV, titles);
}

void KOVAppDelegate::overDueOnly()
{
    kov::overDueOnly(maintDueArrayForTV, Clock::now());
}
