// Operations that start-up already calls but whose subsystems are not built
// yet. Each one does nothing, or only the least the window needs, and moves
// to its subsystem's file when that subsystem is built.
#include <QComboBox>

#include "app/kovappdelegate.h"
#include "storage/datafiles.h"
#include "storage/sorting.h"
#include "ui_mainwindow.h"

using namespace kov;

// ---------------------------------------------------------------------------
// Pop-ups: enough for the entry form to be used and its refreshes to run.
// The full behaviour (unique titles, the task interval line, the other
// tabs' filters) comes with the pop-ups.

void KOVAppDelegate::loadThisPopupButton(QComboBox *popup, const QStringList &names, bool sepAddDel,
                                         bool sepAll)
{
    popup->clear();
    QStringList sorted = names;
    sortArray(sorted);
    popup->addItems(sorted);
    if (sepAddDel) {
        popup->insertSeparator(popup->count());
        popup->addItem(tr("Maintain Item List\u2026"));
    }
    if (sepAll) {
        popup->insertSeparator(popup->count());
        popup->addItem(tr("All"));
    }
}

QStringList KOVAppDelegate::copyArrayWithPropNamesFromPropHistFile(QComboBox *, const QString &key)
{
    QStringList names;
    for (const Record &record : copyDataFileArray(PropertyHistoryFileForKOV)) {
        const QString name = record.value(key).toString();
        if (!name.isEmpty() && !names.contains(name))
            names.append(name);
    }
    return names;
}

void KOVAppDelegate::propertyPopUpSelected(QComboBox *propertyFilter)
{
    if (propertyFilter != ui->propertyPopForShowTab1)
        return;
    const bool all = propertyFilter->currentIndex() == propertyFilter->count() - 1;
    QStringList tasks;
    for (const Record &record : copyDataFileArray(PropertyHistoryFileForKOV)) {
        if (!all && record.value(PropertyNameKey).toString() != propertyFilter->currentText())
            continue;
        const QString task = record.value(ServiceTaskNameKey).toString();
        if (!task.isEmpty() && !tasks.contains(task))
            tasks.append(task);
    }
    QComboBox *partner = ui->serviceTaskPopForShowTab1;
    loadThisPopupButton(partner, tasks, false, true);
    partner->setCurrentIndex(partner->count() - 1);
}

void KOVAppDelegate::getShowTaskDescBelowTaskPopUp(QComboBox *, const QString &, const RecordList &) {}

void KOVAppDelegate::setPopupsStartingItem(const RecordList &taskArray, const RecordList &providerArray,
                                           const RecordList &propertyArray)
{
    auto fill = [this](QComboBox *popup, const RecordList &records, const QString &key) {
        QStringList names;
        for (const Record &record : records)
            names.append(record.value(key).toString());
        loadThisPopupButton(popup, names, true, false);
        popup->setCurrentIndex(records.isEmpty() ? popup->count() - 1 : 0);
    };
    fill(ui->propertyPopTab1, propertyArray, PropertyNameKey);
    refillPropertyFilterTab1(true);
    fill(ui->serTaskPopTab1, taskArray, ServiceTaskNameKey);
    fill(ui->providerPopTab1, providerArray, ProviderNameKey);
}

// Receipts: the form remembers the location; the views come with receipts.
void KOVAppDelegate::setImageFilePathURL(const QUrl &url)
{
    imageFilePathURL = url;
}

void KOVAppDelegate::buildImageViewAndSetWithURL(const QUrl &) {}

void KOVAppDelegate::removeAction()
{
    imageFilePathURL = QUrl();
}

// Tabs and panes.
void KOVAppDelegate::tabViewDidSelectTabViewItem(int) {}

void KOVAppDelegate::setPane2() {}

void KOVAppDelegate::setPane3() {}

void KOVAppDelegate::setPane4() {}

// Reminders.
void KOVAppDelegate::respondToUserNotification(const QString &) {}
