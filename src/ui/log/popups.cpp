// The pop-up menus: the entry pop-ups of tab 1 (the reference lists, ending
// in "Maintain Item List…") and the property and task filters of the four
// tabs (names from the log, ending in "All"), the task interval line.
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLoggingCategory>

#include "app/kovappdelegate.h"
#include "lists/tasklabel.h"
#include "log/logfilter.h"
#include "storage/datafiles.h"
#include "storage/sorting.h"
#include "ui_mainwindow.h"

using namespace kov;

Q_LOGGING_CATEGORY(kovPopups, "kov.popups")

namespace {

// Titles stay unique: a title already present leaves its old place and
// takes the new one, so a name equal to the closing item merges with it.
void addUniqueItem(QComboBox *popup, const QString &title)
{
    for (int i = popup->count() - 1; i >= 0; --i) {
        const bool separator =
            popup->itemData(i, Qt::AccessibleDescriptionRole).toString() == QLatin1String("separator");
        if (!separator && popup->itemText(i) == title)
            popup->removeItem(i);
    }
    popup->addItem(title);
}

bool lastItemChosen(const QComboBox *popup)
{
    return popup->count() > 0 && popup->currentIndex() == popup->count() - 1;
}

} // namespace

void KOVAppDelegate::loadThisPopupButton(QComboBox *popup, const QStringList &names, bool sepAddDel,
                                         bool sepAll)
{
    popup->clear();
    QStringList sorted = names;
    sortArray(sorted);
    for (const QString &name : sorted)
        addUniqueItem(popup, name);
    if (sepAddDel) {
        popup->insertSeparator(popup->count());
        addUniqueItem(popup, tr("Maintain Item List\u2026"));
    }
    if (sepAll) {
        popup->insertSeparator(popup->count());
        addUniqueItem(popup, tr("All"));
    }
}

void KOVAppDelegate::loadAPopUpButtonUsingKey(QComboBox *popup, const QString &key, const RecordList &records,
                                              bool sepAddDel, bool sepAll)
{
    QStringList names;
    if (taskPartnerOf(popup)) {
        names = copyArrayWithPropNamesFromPropHistFile(popup, key);
    } else {
        for (const Record &record : records)
            names.append(record.value(key).toString());
    }
    loadThisPopupButton(popup, names, sepAddDel, sepAll);
}

QStringList KOVAppDelegate::copyArrayWithPropNamesFromPropHistFile(QComboBox *popup, const QString &key)
{
    if (!taskPartnerOf(popup)) {
        qCWarning(kovPopups, "error in loadArrayWithPropNamesFromPropHistFile:");
        return {};
    }
    return distinctNames(copyDataFileArray(PropertyHistoryFileForKOV), key);
}

void KOVAppDelegate::countArraySetPopUp(QComboBox *popup, const RecordList &records)
{
    if (records.isEmpty()) {
        popup->setCurrentIndex(popup->count() - 1);
        if (popup == ui->serTaskPopTab1)
            ui->taskDescUnderPopupTab1->setText(QString());
    } else {
        popup->setCurrentIndex(0);
        if (popup == ui->serTaskPopTab1)
            getShowTaskDescBelowTaskPopUp(popup, ServiceTaskNameKey, records);
    }
}

void KOVAppDelegate::setPopupsStartingItem(const RecordList &taskArray, const RecordList &providerArray,
                                           const RecordList &propertyArray)
{
    loadAPopUpButtonUsingKey(ui->propertyPopTab1, PropertyNameKey, propertyArray, true, false);
    countArraySetPopUp(ui->propertyPopTab1, propertyArray);

    QComboBox *filter = ui->propertyPopForShowTab1;
    loadAPopUpButtonUsingKey(filter, PropertyNameKey, propertyArray, false, true);
    countArraySetPopUp(filter, propertyArray);
    filter->setCurrentIndex(filter->count() - 1);
    propertyPopUpSelected(filter);
    filter->setCurrentIndex(filter->count() - 1);

    loadAPopUpButtonUsingKey(ui->serTaskPopTab1, ServiceTaskNameKey, taskArray, true, false);
    countArraySetPopUp(ui->serTaskPopTab1, taskArray);

    loadAPopUpButtonUsingKey(ui->providerPopTab1, ProviderNameKey, providerArray, true, false);
    countArraySetPopUp(ui->providerPopTab1, providerArray);
}

void KOVAppDelegate::popUpSelectedOnTab1(QComboBox *sender)
{
    QString key, file;
    if (sender == ui->propertyPopTab1) {
        key = PropertyNameKey;
        file = PropertyFileForKOV;
    } else if (sender == ui->providerPopTab1) {
        key = ProviderNameKey;
        file = ProviderFileForKOV;
    } else if (sender == ui->serTaskPopTab1) {
        key = ServiceTaskNameKey;
        file = ServiceTaskFileForKOV;
    } else {
        doSheetAlert(window, tr("Error in popUpSelectedOnTab1:"), tr("value for whichPopup not found"));
        QCoreApplication::exit(0);
        return;
    }
    RecordList records = copyDataFileArray(file);
    if (lastItemChosen(sender)) {
        doSortWithArray(records, key, true, SortSelector::localizedCaseInsensitiveCompare);
        showOneSheet(sender, records);
    } else if (sender == ui->serTaskPopTab1) {
        getShowTaskDescBelowTaskPopUp(sender, ServiceTaskNameKey, records);
    }
}

QComboBox *KOVAppDelegate::taskPartnerOf(QComboBox *propertyFilter) const
{
    if (!propertyFilter)
        return nullptr;
    if (propertyFilter == ui->propertyPopForShowTab1)
        return ui->serviceTaskPopForShowTab1;
    if (propertyFilter == ui->propertyPopTab2)
        return ui->serTaskPopTab2;
    if (propertyFilter == ui->propertyPopTab3)
        return ui->serTaskPopTab3;
    if (propertyFilter == ui->propertyPopTab4)
        return ui->serTaskPopTab4;
    return nullptr;
}

RecordList KOVAppDelegate::copyAllTasksForOneProperty(QComboBox *propertyFilter)
{
    const NameChoice property =
        lastItemChosen(propertyFilter) ? NameChoice() : NameChoice(propertyFilter->currentText());
    return kov::copyAllTasksForOneProperty(copyDataFileArray(PropertyHistoryFileForKOV), property);
}

void KOVAppDelegate::propertyPopUpSelected(QComboBox *propertyFilter)
{
    QComboBox *partner = taskPartnerOf(propertyFilter);
    if (!partner) {
        doSheetAlert(window, tr("Property Popup not found in buildTaskPopUpTab1:"),
                     tr("Report to Developer"));
        return;
    }
    const QStringList tasks = distinctNames(copyAllTasksForOneProperty(propertyFilter), ServiceTaskNameKey);
    loadThisPopupButton(partner, tasks, false, true);
    partner->setCurrentIndex(partner->count() - 1);
}

void KOVAppDelegate::getShowTaskDescBelowTaskPopUp(QComboBox *popup, const QString &key,
                                                   const RecordList &tasks)
{
    ui->taskDescUnderPopupTab1->setText(tr("Recurring task interval: ") +
                                        copyFormatTimeForTask(popup->currentText(), key, tasks));
}

QString KOVAppDelegate::copyFormatTimeForTask(const QString &taskName, const QString &key,
                                              const RecordList &tasks)
{
    return copyTaskDescAndTimeLabel(copyDictContainingTitle(taskName, key, tasks));
}
