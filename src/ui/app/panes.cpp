// The four panes of the main window: what a pane does when it comes to the
// front, and the reset of the selection areas of tabs 2 to 4 after the log
// or a reference list changed.
#include <QComboBox>
#include <QDateTimeEdit>
#include <QPushButton>
#include <QTabWidget>

#include "app/kovappdelegate.h"
#include "storage/datafiles.h"
#include "ui_mainwindow.h"

using namespace kov;

namespace {

// Refills a property filter from the log, "All" chosen, and its task
// partner with every logged task, "All" chosen.
void resetSelectionArea(KOVAppDelegate *d, QComboBox *propertyPop)
{
    d->loadAPopUpButtonUsingKey(propertyPop, PropertyNameKey, copyDataFileArray(PropertyFileForKOV), false,
                                true);
    propertyPop->setCurrentIndex(propertyPop->count() - 1);
    d->propertyPopUpSelected(propertyPop);
    propertyPop->setCurrentIndex(propertyPop->count() - 1);
}

} // namespace

void KOVAppDelegate::tabViewDidSelectTabViewItem(int index)
{
    QDateTimeEdit *beginDate = nullptr, *endDate = nullptr;
    QComboBox *propPop = nullptr, *taskPop = nullptr;
    QPushButton *button = nullptr;
    switch (index & 0xff) {
    case 0:
        putCountOnContent(propertyMaintArrayForTV.size(), 0);
        beginDate = ui->beginDateTab1;
        endDate = ui->endDateTab1;
        propPop = ui->propertyPopForShowTab1;
        taskPop = ui->serviceTaskPopForShowTab1;
        button = ui->showMaintBtn;
        break;
    case 1:
        putCountOnContent(maintDueArrayForTV.size(), 1);
        propPop = ui->propertyPopTab2;
        taskPop = ui->serTaskPopTab2;
        button = ui->showBtnTab2;
        break;
    case 2:
        putCountOnContent(0, 2);
        beginDate = ui->beginDateTab3;
        endDate = ui->endDateTab3;
        propPop = ui->propertyPopTab3;
        taskPop = ui->serTaskPopTab3;
        button = ui->showBtnTab3;
        break;
    case 3:
        putCountOnContent(0, 3);
        beginDate = ui->beginDateTab4;
        endDate = ui->endDateTab4;
        propPop = ui->propertyPopTab4;
        taskPop = ui->serTaskPopTab4;
        button = ui->printBtnTab4;
        break;
    default:
        return;
    }
    // Read afresh on every switch, so an edit made on another pane counts.
    const bool enable = !copyDataFileArray(PropertyHistoryFileForKOV).isEmpty();
    enableDisableShow(beginDate, endDate, propPop, taskPop, button, enable);
}

void KOVAppDelegate::setPane1()
{
    putCountOnContent(propertyMaintArrayForTV.size(), 0);
}

void KOVAppDelegate::setPane2()
{
    resetSelectionArea(this, ui->propertyPopTab2);
}

void KOVAppDelegate::setPane3()
{
    resetSelectionArea(this, ui->propertyPopTab3);
}

void KOVAppDelegate::setPane4()
{
    resetSelectionArea(this, ui->propertyPopTab4);
}
