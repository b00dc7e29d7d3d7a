#include "lists/referencesheet.h"

#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include "app/alerts.h"
#include "app/datastore.h"
#include "app/datepopover.h"
#include "lists/listrules.h"
#include "log/rowtablemodel.h"
#include "storage/plist.h"
#include "storage/sorting.h"

namespace kov {

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
    setChange(false);
}

void ReferenceSheet::setChange(bool onOff)
{
    parts.changeBtn->setEnabled(onOff);
    parts.deleteBtn->setEnabled(onOff);
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
    if (store->change(file, index, withUnknownEntries(*entry, stored, knownKeys()))) {
        refreshAfterDelete(without, name);
        refreshAfterAdd(store->records(file), name);
        cleanSheet();
    }
    setChange(false);
}

} // namespace kov
