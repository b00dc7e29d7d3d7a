#include "lists/referencesheet.h"

#include <algorithm>

#include <QBoxLayout>
#include <QDialog>
#include <QHeaderView>
#include <QInputDialog>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include "app/alerts.h"
#include "app/datastore.h"
#include "app/datepopover.h"
#include "app/undohistory.h"
#include "lists/listrules.h"
#include "log/rowtablemodel.h"
#include "storage/plist.h"
#include "storage/sorting.h"

namespace kov {

namespace {

// The box layout, at any depth below `root`, that holds `widget`.
QBoxLayout *layoutHolding(QLayout *root, QWidget *widget)
{
    if (!root)
        return nullptr;
    if (root->indexOf(widget) >= 0)
        return qobject_cast<QBoxLayout *>(root);
    for (int i = 0; i < root->count(); ++i)
        if (QBoxLayout *found = layoutHolding(root->itemAt(i)->layout(), widget))
            return found;
    return nullptr;
}

} // namespace

ReferenceSheet::ReferenceSheet(DataStore *dataStore, DatePopover *popover, QWidget *window,
                               const QString &fileName, QObject *parent)
    : QObject(parent), store(dataStore), datePopover(popover), file(fileName),
      nameKey(nameKeyOfList(fileName)), theSheet(new QDialog(window))
{
    // Document-modal: the main window takes no input while the sheet is up.
    theSheet->setWindowModality(Qt::WindowModal);
}

ReferenceSheet::~ReferenceSheet() = default;

void ReferenceSheet::connectParts(const Parts &p, QList<TableColumn> columns)
{
    parts = p;
    model = new RowTableModel(&tableRows, std::move(columns), this);
    parts.table->setModel(model);
    parts.table->setSortingEnabled(true);
    parts.table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    parts.table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    installTableClickFilter(parts.table, [this] { setChange(false); });
    connect(parts.table, &QTableView::doubleClicked, this,
            [this](const QModelIndex &index) { respondToTableViewDblClick(index.row()); });
    connect(parts.closeBtn, &QPushButton::clicked, this, [this] { sheetCloseBtnPressed(); });
    connect(parts.addBtn, &QPushButton::clicked, this, [this] { doAddFromSheet(); });
    connect(parts.changeBtn, &QPushButton::clicked, this, [this] { changeBtnOnSheetPressed(); });
    connect(parts.deleteBtn, &QPushButton::clicked, this, [this] { doDeleteDriver(); });

    // Rename… sits after Delete, and comes after it in the tab order.
    renameBtn = new QPushButton(tr("Rename\u2026"), theSheet);
    renameBtn->setObjectName(QStringLiteral("renameBtn"));
    renameBtn->setAutoDefault(false);
    if (QBoxLayout *row = layoutHolding(theSheet->layout(), parts.deleteBtn))
        row->insertWidget(row->indexOf(parts.deleteBtn) + 1, renameBtn);
    QWidget::setTabOrder(parts.deleteBtn, renameBtn);
    connect(renameBtn, &QPushButton::clicked, this, [this] { renameBtnPressed(); });

    // After an undo or redo the table shows the list as it is again.
    connect(UndoHistory::of(store), &UndoHistory::restored, this,
            [this](const QString &fileName, const RecordList &list) {
                if (fileName != file)
                    return;
                RecordList sorted = list;
                doSortWithArray(sorted, nameKey, true, SortSelector::localizedCaseInsensitiveCompare);
                populate(sorted);
                setChange(false);
            });
    setChange(false);
}

void ReferenceSheet::setChange(bool onOff)
{
    // The focus leaves a button that goes off for the table, where Ctrl+Z
    // undoes rather than a text field's own undo.
    if (!onOff &&
        (parts.changeBtn->hasFocus() || parts.deleteBtn->hasFocus() || (renameBtn && renameBtn->hasFocus())))
        parts.table->setFocus();
    parts.changeBtn->setEnabled(onOff);
    parts.deleteBtn->setEnabled(onOff);
    if (renameBtn)
        renameBtn->setEnabled(onOff);
}

QString ReferenceSheet::entryKind() const
{
    if (file == PropertyFileForKOV)
        return tr("Property");
    if (file == ProviderFileForKOV)
        return tr("Provider");
    return tr("Task");
}

qsizetype ReferenceSheet::logRecordsNaming(const QString &name)
{
    const RecordList history = store->records(PropertyHistoryFileForKOV);
    return std::count_if(history.cbegin(), history.cend(), [&](const Record &r) {
        const QVariant v = r.value(nameKey);
        return v.typeId() == QMetaType::QString && v.toString() == name;
    });
}

void ReferenceSheet::populate(const RecordList &fileArray)
{
    tableRows.clear();
    tableRows.reserve(fileArray.size());
    for (const Record &entry : fileArray)
        tableRows.append(sheetRow(entry));
    parts.table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    model->reload();
}

// ---------------------------------------------------------------------------
// Opening and closing

void ReferenceSheet::showOneSheet()
{
    RecordList sorted = store->records(file);
    doSortWithArray(sorted, nameKey, true, SortSelector::localizedCaseInsensitiveCompare);
    prepareToShow();
    populate(sorted);
    setChange(false);
    // Shown once the pop-up has finished with its own choice.
    QTimer::singleShot(0, theSheet, [this] { displaySheet(); });
}

void ReferenceSheet::displaySheet()
{
    if (theSheet->isVisible())
        return;
    theSheet->open();
    theSheet->raise();
    theSheet->activateWindow();
}

void ReferenceSheet::sheetCloseBtnPressed()
{
    datePopover->hide();
    theSheet->done(0);
}

void ReferenceSheet::refuse(const QString &title, const QString &message)
{
    doSheetAlert(theSheet, message, title);
    beep();
}

// ---------------------------------------------------------------------------
// Double click

void ReferenceSheet::respondToTableViewDblClick(int clickedRow)
{
    if (clickedRow < 0 || clickedRow >= tableRows.size())
        return;
    const QString name = tableRows.at(clickedRow).value(parts.nameColumn).toString();
    loadedName = name;
    const std::optional<Record> entry = copyDictContainingTitle(name, nameKey, store->records(file));
    if (entry)
        fillSheetFromItemInTableView(*entry);
    else if (file == ServiceTaskFileForKOV)
        doSheetAlert(theSheet, tr("failed to find corresponding task data in file array"),
                     tr("In respondToTableViewDblClickOnTaskSheet:(KOVAppDelegate)"));
    else
        doSheetAlert(theSheet, tr("failed to find corresponding name data in file array"),
                     tr("In respondToTVDblClickOnPropOrProviderSheet:(KOVAppDelegate)"));
    setChange(true);
}

// ---------------------------------------------------------------------------
// Add, Change, Delete

void ReferenceSheet::refreshAfterAdd(const RecordList &list, const QString &name)
{
    Q_EMIT entryAdded(file, list, name);
    // Tasks show in name order; properties and providers in file order.
    if (file == ServiceTaskFileForKOV) {
        RecordList sorted = list;
        doSortWithArray(sorted, nameKey, true, SortSelector::localizedCaseInsensitiveCompare);
        populate(sorted);
    } else {
        populate(list);
    }
}

void ReferenceSheet::refreshAfterDelete(const RecordList &list, const QString &name)
{
    Q_EMIT entryDeleted(file, list, name);
    RecordList sorted = list;
    doSortWithArray(sorted, nameKey, true, SortSelector::localizedCaseInsensitiveCompare);
    populate(sorted);

    if (nameExists(store->records(PropertyHistoryFileForKOV), nameKey, name)) {
        const QString cr = QStringLiteral("\r\r");
        doSheetAlert(theSheet,
                     tr("was deleted or changed.") + cr +
                         tr("Changing the name or deleting the property/task/provider name ") +
                         QLatin1Char(' ') +
                         tr("may cause mismatched data between the property/task/provider data and the "
                            "property maintenance data") +
                         cr +
                         tr("If it was deleted, please re-add. If it was changed make sure the *name* "
                            "stays the same"),
                     tr("property/task/provider named") + QStringLiteral(": ") + name);
    }
}

void ReferenceSheet::doAddFromSheet()
{
    const std::optional<Record> entry = recordFromSheet();
    const UndoStep step(store, tr("Add %1").arg(entryKind()));
    bool added = false;
    if (entry) {
        const QString name = entry->value(nameKey).toString();
        if (nameExists(store->records(file), nameKey, name)) {
            refuse(duplicateTitle(), QString());
        } else if (store->add(file, *entry)) {
            refreshAfterAdd(store->records(file), name);
            added = true;
        }
    }
    if (added)
        cleanSheet();
    setChange(false);
}

bool ReferenceSheet::doDeleteFromSheet(bool *writeFailed)
{
    if (writeFailed)
        *writeFailed = false;
    bool deleted = false;
    const QString name = xmlCarriableText(parts.nameField->text());
    const qsizetype index = indexOfName(store->records(file), nameKey, name);
    if (index >= 0) {
        const UndoStep step(store, tr("Delete %1").arg(entryKind()));
        if (store->remove(file, index)) {
            refreshAfterDelete(store->records(file), name);
            deleted = true;
        } else if (writeFailed) {
            *writeFailed = true;
        }
    }
    setChange(false);
    return deleted;
}

void ReferenceSheet::doDeleteDriver()
{
    // An entry the log uses is deleted only when the user says so.
    const QString name = xmlCarriableText(parts.nameField->text());
    if (indexOfName(store->records(file), nameKey, name) >= 0) {
        const qsizetype used = logRecordsNaming(name);
        const QString count = QLocale().toString(used);
        const QString question =
            used == 1
                ? tr("\u201C%1\u201D is used by 1 maintenance record. Delete it anyway?").arg(name)
                : tr("\u201C%1\u201D is used by %2 maintenance records. Delete it anyway?").arg(name, count);
        if (used > 0 &&
            !confirmAction(theSheet, question, tr("The maintenance records keep the name."), tr("Delete")))
            return;
    }
    bool writeFailed = false;
    if (!doDeleteFromSheet(&writeFailed) && !writeFailed)
        doSheetAlert(theSheet, QString(), tr("Delete request failed - not deleted"));
}

void ReferenceSheet::changeBtnOnSheetPressed()
{
    const QString name = xmlCarriableText(parts.nameField->text());
    const RecordList list = store->records(file);
    const qsizetype index = indexOfName(list, nameKey, name);
    if (index < 0) {
        doSheetAlert(theSheet, QString(), tr("Task not found for Change request - not changed"));
        return;
    }
    const std::optional<Record> entry = recordFromSheet();
    if (!entry)
        return;
    RecordList without = list;
    const Record stored = without.takeAt(index);
    if (nameExists(without, nameKey, name)) {
        refuse(duplicateTitle(), QString());
        setChange(false);
        return;
    }
    // The old entry out and the new one at the end in one write, so a failed
    // write can never lose the entry; keys from a newer version or another
    // program stay with it.
    const UndoStep step(store, tr("Change %1").arg(entryKind()));
    if (store->change(file, index, withUnknownEntries(*entry, stored, knownKeys()))) {
        refreshAfterDelete(without, name);
        refreshAfterAdd(store->records(file), name);
        cleanSheet();
    }
    setChange(false);
}

// ---------------------------------------------------------------------------
// Rename

void ReferenceSheet::renameBtnPressed()
{
    const QString oldName = loadedName;
    if (oldName.isNull()) {
        setChange(false);
        return;
    }
    bool ok = false;
    const QString newName = QInputDialog::getText(theSheet, tr("Rename %1").arg(entryKind()),
                                                  tr("New name for \u201C%1\u201D:").arg(oldName),
                                                  QLineEdit::Normal, oldName, &ok);
    if (ok && newName != oldName)
        renameEntry(oldName, newName);
}

bool ReferenceSheet::renameEntry(const QString &oldName, const QString &typed)
{
    const QString notRenamed = tr("Rename request failed - not renamed");
    const QString newName = xmlCarriableText(typed);
    const RecordList list = store->records(file);
    const qsizetype index = indexOfName(list, nameKey, oldName);
    if (index < 0) {
        doSheetAlert(theSheet, QString(), notRenamed);
        return false;
    }
    if (newName.isEmpty()) {
        refuse(notRenamed, tr("A new name must be entered, please try again."));
        return false;
    }
    if (nameExists(list, nameKey, newName)) {
        refuse(duplicateTitle(), QString());
        return false;
    }
    // A log that cannot be read cannot follow; the store has said why.
    DataFileStatus logStatus;
    RecordList history = store->records(PropertyHistoryFileForKOV, &logStatus);
    if (logStatus.state == DataFileStatus::Unreadable)
        return false;

    const UndoStep step(store, tr("Rename %1").arg(entryKind()));
    // The log first: cut short after it, the list merely lacks the new name.
    bool logUses = false;
    for (Record &record : history) {
        const QVariant v = record.value(nameKey);
        if (v.typeId() == QMetaType::QString && v.toString() == oldName) {
            record.insert(nameKey, newName);
            logUses = true;
        }
    }
    if (logUses && !store->write(PropertyHistoryFileForKOV, history))
        return false;
    RecordList renamed = list;
    renamed[index].insert(nameKey, newName);
    if (!store->write(file, renamed)) {
        if (logUses)
            Q_EMIT logRenamed(store->records(PropertyHistoryFileForKOV));
        return false;
    }
    if (logUses)
        Q_EMIT logRenamed(store->records(PropertyHistoryFileForKOV));
    refreshAfterAdd(store->records(file), newName);
    cleanSheet();
    setChange(false);
    loadedName.clear();
    return true;
}

} // namespace kov
