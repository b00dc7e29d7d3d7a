// Add, Change and Delete on the three reference-list sheets. Each press
// loads the list afresh, writes it whole, then brings the tab-1 pop-ups,
// the sheet's table and the other tabs up to date.
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTimeEdit>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>

#include "app/kovappdelegate.h"
#include "lists/listrules.h"
#include "log/rowtablemodel.h"
#include "storage/datafiles.h"
#include "storage/plist.h"
#include "storage/rtfd.h"
#include "storage/sorting.h"
#include "ui_mainwindow.h"
#include "ui_propertysheet.h"
#include "ui_providersheet.h"
#include "ui_tasksheet.h"

using namespace kov;

namespace {

enum class ListKind { property, provider, task };

// What one sheet edits, found from any of its buttons.
struct SheetParts {
    ListKind kind;
    QDialog *sheet;
    QString file;
    QString nameKey;
    QLineEdit *nameField;
    QPushButton *addBtn;
    QPushButton *changeBtn;
    QPushButton *deleteBtn;
    QComboBox *entryPopup;
    RecordList *rows;
    QString nameColumn;
    RowTableModel *model;
};

std::optional<SheetParts> sheetOf(KOVAppDelegate *d, QObject *button)
{
    const SheetParts all[] = {
        {ListKind::task, d->theTaskSheet, ServiceTaskFileForKOV, ServiceTaskNameKey,
         d->taskSheetUi->taskNameTaskSheet, d->taskSheetUi->addBtnTaskSheet, d->taskSheetUi->changeBtnTaskSheet,
         d->taskSheetUi->deleteBtnTaskSheet, d->ui->serTaskPopTab1, &d->taskArrayForTV, col::taskname,
         d->modelTaskSheet},
        {ListKind::property, d->thePropertySheet, PropertyFileForKOV, PropertyNameKey,
         d->propertySheetUi->propertyNamePropertySheet, d->propertySheetUi->addBtnPropertySheet,
         d->propertySheetUi->changeBtnPropertySheet, d->propertySheetUi->deleteBtnPropertySheet,
         d->ui->propertyPopTab1, &d->propertyArrayForTV, col::propname, d->modelPropertySheet},
        {ListKind::provider, d->theProviderSheet, ProviderFileForKOV, ProviderNameKey,
         d->providerSheetUi->providerNameProviderSheet, d->providerSheetUi->addBtnProviderSheet,
         d->providerSheetUi->changeBtnProviderSheet, d->providerSheetUi->deleteBtnProviderSheet,
         d->ui->providerPopTab1, &d->providerArrayForTV, col::provname, d->modelProviderSheet},
    };
    for (const SheetParts &parts : all)
        if (button && (button == parts.addBtn || button == parts.changeBtn || button == parts.deleteBtn))
            return parts;
    return std::nullopt;
}

// The refusals of one press, shown on the sheet with the beep.
void refuse(KOVAppDelegate *d, const SheetParts &s, const QString &title, const QString &message)
{
    d->doSheetAlert(s.sheet, message, title);
    beep();
}

// Set when a write failed; the user has its alert already.
bool lastWriteFailed = false;

bool writeList(const RecordList &list, const QString &file)
{
    lastWriteFailed = !writeDataFileArray(list, file);
    return !lastWriteFailed;
}

} // namespace

// ---------------------------------------------------------------------------
// The record the fields hold, or none (the refusal has been shown)

namespace {

std::optional<Record> taskFromSheet(KOVAppDelegate *d, const SheetParts &s)
{
    Ui::TaskSheet *t = d->taskSheetUi;
    const QString name = t->taskNameTaskSheet->text();
    const QString description = t->taskDescTaskSheet->toPlainText();
    const int unit = std::max(0, t->daysMonthsYearsOnTaskSheet->currentIndex());
    const QString interval = t->recurTimeIntervalTaskSheet->text();
    switch (checkTaskEntry(name, description, unit, interval)) {
    case TaskEntryCheck::dataMissing:
        refuse(d, s, KOVAppDelegate::tr("Task Data Missing"),
               KOVAppDelegate::tr("Task Name and Task Description must be entered, please try again.  Thank you"));
        return std::nullopt;
    case TaskEntryCheck::intervalMissing:
        refuse(d, s, KOVAppDelegate::tr("No Time Interval entered( or was zero )"),
               KOVAppDelegate::tr("Time Interval required for Months, Days or Years. Please enter it. Thank you"));
        return std::nullopt;
    case TaskEntryCheck::ok:
        break;
    }
    // A task without recurrence keeps no count.
    if (unit == UnitNone)
        t->recurTimeIntervalTaskSheet->setText(QString());
    return taskRecordFromValues(name, rtfdFromDocument(*t->taskDescTaskSheet->document()), unit,
                                t->recurTimeIntervalTaskSheet->text());
}

std::optional<Record> propertyFromSheet(KOVAppDelegate *d, const SheetParts &s)
{
    Ui::PropertySheet *p = d->propertySheetUi;
    PropertyValues v;
    v.name = p->propertyNamePropertySheet->text();
    v.address = p->propertyAddrPropertySheet->text();
    v.city = p->propertyCityPropertySheet->text();
    v.state = p->propertyStatePropetySheet->text();
    v.zip = p->propertyZIPPropertySheet->text();
    v.note = p->propertyNotePropertySheet->text();
    v.lotSize = p->propertyLotSizePropertySheet->text();
    v.interiorSize = p->propertyInteriorSizePropertySheet->text();
    v.purchaseMethod = p->propertyAcquisitionPropertySheet->currentText();
    v.currentStatus = p->propertyStatusPropertySheet->currentText();
    v.constructed = p->dateConstructedPropertySheet->dateTime();
    v.acquired = p->dateAcquiredPropertySheet->dateTime();
    v.sold = p->dateSoldPropertySheet->dateTime();
    v.purchaseCost = p->propertyPurchaseCostPropertySheet->text();
    v.saleCost = p->propertySaleCostPropertySheet->text();
    if (v.name.isEmpty()) {
        refuse(d, s, KOVAppDelegate::tr("Property Data Missing"),
               KOVAppDelegate::tr("Property Name must be entered, please try again.  Thank you"));
        return std::nullopt;
    }
    return propertyRecordFromValues(v);
}

std::optional<Record> providerFromSheet(KOVAppDelegate *d, const SheetParts &s)
{
    Ui::ProviderSheet *p = d->providerSheetUi;
    ProviderValues v;
    v.name = p->providerNameProviderSheet->text();
    v.address = p->providerAddrProviderSheet->text();
    v.note = p->providerNoteProviderSheet->text();
    v.email = p->providerEmailProviderSheet->text();
    v.webPage = p->providerWebPageProviderSheet->text();
    v.phone = p->providerPhoneProviderSheet->text();
    if (v.name.isEmpty()) {
        refuse(d, s, KOVAppDelegate::tr("Provider Data Missing"),
               KOVAppDelegate::tr("Provider Name must be entered, please try again.  Thank you"));
        return std::nullopt;
    }
    return providerRecordFromValues(v);
}

std::optional<Record> recordFromSheet(KOVAppDelegate *d, const SheetParts &s)
{
    switch (s.kind) {
    case ListKind::task:
        return taskFromSheet(d, s);
    case ListKind::property:
        return propertyFromSheet(d, s);
    case ListKind::provider:
        return providerFromSheet(d, s);
    }
    return std::nullopt;
}

QString duplicateTitle(ListKind kind)
{
    switch (kind) {
    case ListKind::task:
        return KOVAppDelegate::tr("Duplicate Service Task Name - not added");
    case ListKind::property:
        return KOVAppDelegate::tr("Duplicate PropertyName - not added");
    case ListKind::provider:
        break;
    }
    return KOVAppDelegate::tr("Duplicate Provider Name - not added");
}

const QStringList &knownKeysOf(ListKind kind)
{
    switch (kind) {
    case ListKind::task:
        return serviceTaskRecordKeys();
    case ListKind::property:
        return propertyRecordKeys();
    case ListKind::provider:
        break;
    }
    return providerRecordKeys();
}

void selectExact(QComboBox *popup, const QString &title)
{
    const int index = popup->findText(title, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        popup->setCurrentIndex(index);
}

// The pop-ups, the table and the other tabs after `name` was added.
void refreshAfterAdd(KOVAppDelegate *d, const SheetParts &s, const RecordList &list, const QString &name)
{
    d->loadAPopUpButtonUsingKey(s.entryPopup, s.nameKey, list, true, false);
    selectExact(s.entryPopup, name);
    if (s.kind == ListKind::task) {
        QComboBox *taskFilter = d->ui->serviceTaskPopForShowTab1;
        d->loadAPopUpButtonUsingKey(taskFilter, ServiceTaskNameKey, list, false, true);
        taskFilter->setCurrentIndex(taskFilter->count() - 1);
        d->getShowTaskDescBelowTaskPopUp(s.entryPopup, ServiceTaskNameKey, list);
    } else if (s.kind == ListKind::property) {
        // The filter lists the log's properties, which an add leaves as they
        // were: the user's choice stays, or "All" with its tasks.
        QComboBox *filter = d->ui->propertyPopForShowTab1;
        const QString chosen = filter->currentText();
        const bool chosenAll = filter->currentIndex() == filter->count() - 1;
        d->loadAPopUpButtonUsingKey(filter, PropertyNameKey, list, false, true);
        const int again = filter->findText(chosen, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (chosenAll || again < 0) {
            filter->setCurrentIndex(filter->count() - 1);
            d->propertyPopUpSelected(filter);
            filter->setCurrentIndex(filter->count() - 1);
        } else {
            filter->setCurrentIndex(again);
        }
    }
    d->populateTableViewArrayFromFileArray(list, *s.rows);
    // Tasks show in name order; properties and providers in file order.
    if (s.kind == ListKind::task)
        doSortWithArray(*s.rows, col::taskname, true, SortSelector::localizedCaseInsensitiveCompare);
    s.model->reload();
    d->setPane2();
    d->setPane3();
    d->setPane4();
}

// The pop-ups, the table, the other tabs and the log warning after `name`
// left the list.
void refreshAfterDelete(KOVAppDelegate *d, const SheetParts &s, const RecordList &list, const QString &name)
{
    if (s.kind != ListKind::provider) {
        QComboBox *filter = d->ui->propertyPopForShowTab1;
        filter->setCurrentIndex(filter->count() - 1);
        d->propertyPopUpSelected(filter);
        filter->setCurrentIndex(filter->count() - 1);
    }
    // Rebuilt from the list rather than the one item taken out, so a second
    // entry of the name (a file from elsewhere) stays selectable.
    d->loadAPopUpButtonUsingKey(s.entryPopup, s.nameKey, list, true, false);
    s.entryPopup->setCurrentIndex(s.entryPopup->count() < 3 ? 1 : 0);
    if (s.kind == ListKind::task)
        d->getShowTaskDescBelowTaskPopUp(s.entryPopup, ServiceTaskNameKey, list);

    RecordList sorted = list;
    doSortWithArray(sorted, s.nameKey, true, SortSelector::localizedCaseInsensitiveCompare);
    d->populateTableViewArrayFromFileArray(sorted, *s.rows);
    s.model->reload();
    d->setPane2();
    d->setPane3();
    d->setPane4();

    if (nameExists(copyDataFileArray(PropertyHistoryFileForKOV), s.nameKey, name)) {
        const QString cr = QStringLiteral("\r\r");
        d->doSheetAlert(
            s.sheet,
            KOVAppDelegate::tr("was deleted or changed.") + cr +
                KOVAppDelegate::tr("Changing the name or deleting the property/task/provider name ") +
                QLatin1Char(' ') +
                KOVAppDelegate::tr("may cause mismatched data between the property/task/provider data and the "
                                   "property maintenance data") +
                cr +
                KOVAppDelegate::tr("If it was deleted, please re-add. If it was changed make sure the *name* "
                                   "stays the same"),
            KOVAppDelegate::tr("property/task/provider named") + QStringLiteral(": ") + name);
    }
}

void cleanSheet(KOVAppDelegate *d, ListKind kind)
{
    switch (kind) {
    case ListKind::task:
        d->cleanTaskSheet();
        break;
    case ListKind::property:
        d->cleanPropertySheet();
        break;
    case ListKind::provider:
        d->cleanProviderSheet();
        break;
    }
}

// Add: the record of the fields appended, unless its name is taken.
int addFromSheet(KOVAppDelegate *d, QObject *sender)
{
    const std::optional<SheetParts> s = sheetOf(d, sender);
    if (!s)
        return 1;
    const std::optional<Record> record = recordFromSheet(d, *s);
    if (!record)
        return 1;
    const QString name = record->value(s->nameKey).toString();
    RecordList list = copyDataFileArray(s->file);
    if (nameExists(list, s->nameKey, name)) {
        refuse(d, *s, duplicateTitle(s->kind), QString());
        return 1;
    }
    list.append(*record);
    if (!writeList(list, s->file))
        return 1;
    refreshAfterAdd(d, *s, list, name);
    return 0;
}

} // namespace

// ---------------------------------------------------------------------------
// Add

void KOVAppDelegate::doAddFromSheet(QObject *sender)
{
    const std::optional<SheetParts> s = sheetOf(this, sender);
    if (!s || sender == s->deleteBtn)
        return;
    int result = 1;
    switch (s->kind) {
    case ListKind::task:
        result = doAddFromTaskSheet(sender);
        break;
    case ListKind::property:
        result = doAddFromPropertySheet(sender);
        break;
    case ListKind::provider:
        result = doAddFromProviderSheet(sender);
        break;
    }
    if (result == 0)
        cleanSheet(this, s->kind);
    setChange(s->changeBtn, s->deleteBtn, false);
}

int KOVAppDelegate::doAddFromTaskSheet(QObject *sender)
{
    return addFromSheet(this, sender);
}

int KOVAppDelegate::doAddFromPropertySheet(QObject *sender)
{
    return addFromSheet(this, sender);
}

int KOVAppDelegate::doAddFromProviderSheet(QObject *sender)
{
    return addFromSheet(this, sender);
}

// ---------------------------------------------------------------------------
// Delete

int KOVAppDelegate::doDeleteFromSheet(QObject *sender)
{
    const std::optional<SheetParts> s = sheetOf(this, sender);
    if (!s || sender == s->addBtn) {
        doSheetAlert(window, tr("Error in doDeleteFromSheet:"), tr("value for whichButton not found"));
        QCoreApplication::exit(0);
        return 1;
    }
    int result = 1;
    const QString name = xmlCarriableText(s->nameField->text());
    RecordList list = copyDataFileArray(s->file);
    const qsizetype index = indexOfName(list, s->nameKey, name);
    if (index >= 0) {
        list.removeAt(index);
        if (writeList(list, s->file)) {
            refreshAfterDelete(this, *s, list, name);
            result = 0;
        }
    }
    setChange(s->changeBtn, s->deleteBtn, false);
    return result;
}

void KOVAppDelegate::doDeleteDriver(QObject *sender)
{
    lastWriteFailed = false;
    if (doDeleteFromSheet(sender) == 1 && !lastWriteFailed) {
        const std::optional<SheetParts> s = sheetOf(this, sender);
        doSheetAlert(s ? static_cast<QWidget *>(s->sheet) : window, QString(),
                     tr("Delete request failed - not deleted"));
    }
}

// ---------------------------------------------------------------------------
// Change

void KOVAppDelegate::changeBtnOnSheetPressed(QObject *sender)
{
    const std::optional<SheetParts> s = sheetOf(this, sender);
    if (!s || sender != s->changeBtn)
        return;
    const QString name = xmlCarriableText(s->nameField->text());
    RecordList list = copyDataFileArray(s->file);
    const qsizetype index = indexOfName(list, s->nameKey, name);
    if (index < 0) {
        doSheetAlert(s->sheet, QString(), tr("Task not found for Change request - not changed"));
        return;
    }
    const std::optional<Record> record = recordFromSheet(this, *s);
    if (!record)
        return;
    // The old entry out and the new one at the end in one write, so a
    // failed write can never lose the entry.
    const Record stored = list.takeAt(index);
    if (nameExists(list, s->nameKey, name)) {
        refuse(this, *s, duplicateTitle(s->kind), QString());
        setChange(s->changeBtn, s->deleteBtn, false);
        return;
    }
    // Keys from a newer version or another program stay with the entry.
    list.append(withUnknownEntries(*record, stored, knownKeysOf(s->kind)));
    if (writeList(list, s->file)) {
        RecordList without = list;
        without.removeLast();
        refreshAfterDelete(this, *s, without, name);
        refreshAfterAdd(this, *s, list, name);
        cleanSheet(this, s->kind);
    }
    setChange(s->changeBtn, s->deleteBtn, false);
}
