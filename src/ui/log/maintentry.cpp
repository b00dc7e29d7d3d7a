// The tab-1 entry form: a maintenance job is added, loaded back from its
// row, changed and deleted; every change is written to the history file at
// once and the log table follows it.
#include <QComboBox>
#include <QDateTimeEdit>
#include <QEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "app/kovappdelegate.h"
#include "log/costrules.h"
#include "log/maintrecords.h"
#include "log/rowtablemodel.h"
#include "storage/clock.h"
#include "storage/datafiles.h"
#include "storage/dates.h"
#include "ui_mainwindow.h"
#include "ui_propertysheet.h"
#include "ui_providersheet.h"
#include "ui_tasksheet.h"

using namespace kov;

namespace {

// Reports a press anywhere in a table (rows or empty space) as its single
// click; the double click that may follow comes after it, as on the Mac.
class TableClickFilter : public QObject {
public:
    TableClickFilter(QTableView *table, KOVAppDelegate *delegate)
        : QObject(table), tableView(table), owner(delegate)
    {
        table->viewport()->installEventFilter(this);
        // Sorting by a header or moving the selection with the keyboard puts
        // another record under the selection: Change and Delete must not
        // then act on it as if it were the one loaded into the form.
        table->horizontalHeader()->viewport()->installEventFilter(this);
        if (QItemSelectionModel *selection = table->selectionModel())
            QObject::connect(selection, &QItemSelectionModel::currentRowChanged, this,
                             [this] { owner->respondToTableViewClick(tableView); });
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonPress)
            owner->respondToTableViewClick(tableView);
        return false;
    }

private:
    QTableView *tableView;
    KOVAppDelegate *owner;
};

// A receipt is stored as its absolute file: URL in UTF-8; empty when the
// location cannot be stored.
QByteArray bookmarkForReceipt(const QUrl &url)
{
    if (!url.isLocalFile() || !QFileInfo(url.toLocalFile()).isAbsolute())
        return {};
    return url.toString(QUrl::FullyEncoded).toUtf8();
}

} // namespace

void KOVAppDelegate::connectTab1Entry()
{
    for (QLineEdit *field :
         {ui->partsCostTab1, ui->laborCostTab1, ui->taxCostTab1, ui->totalCostTab1,
          propertySheetUi->propertyPurchaseCostPropertySheet, propertySheetUi->propertySaleCostPropertySheet,
          propertySheetUi->propertyLotSizePropertySheet, propertySheetUi->propertyInteriorSizePropertySheet,
          taskSheetUi->recurTimeIntervalTaskSheet}) {
        // textEdited: only what the user types, never our own setText.
        connect(field, &QLineEdit::textEdited, this, [this, field] { controlTextDidChange(field); });
        connect(field, &QLineEdit::editingFinished, this, [this, field] { controlTextDidEndEditing(field); });
    }
    connect(ui->addMaintBtn, &QPushButton::clicked, this, [this] { processAddToList(ui->addMaintBtn); });
    connect(ui->changeBtnTab1, &QPushButton::clicked, this,
            [this] { changeMaintFromList(ui->changeBtnTab1); });
    connect(ui->deleteBtnTab1, &QPushButton::clicked, this,
            [this] { doMaintDeleteDriver(ui->deleteBtnTab1); });
    connect(ui->tableViewTab1, &QTableView::doubleClicked, this,
            [this](const QModelIndex &index) { respondToTableViewDblClickTab1(index.row()); });
    for (QTableView *table :
         {ui->tableViewTab1, taskSheetUi->tableViewTaskSheet, providerSheetUi->tableViewProviderSheet,
          propertySheetUi->tableViewPropertySheet})
        new TableClickFilter(table, this);
    setChange(ui->changeBtnTab1, ui->deleteBtnTab1, false);
}

// ---------------------------------------------------------------------------
// Add

bool KOVAppDelegate::refuseUnusableEntry(QObject *sender)
{
    const QString maintainItem = tr("Maintain Item List\u2026");
    QString message;
    const QString property = ui->propertyPopTab1->currentText();
    if (property.isEmpty() || property == maintainItem)
        message = tr("Please select a property name and try again, Thank you");
    const QString provider = ui->providerPopTab1->currentText();
    if (provider.isEmpty() || provider == maintainItem)
        message = tr("Please enter a provider name and try again, Thank you");
    // An empty task pop-up (no list loaded) is as unusable as its last item.
    const QString task = ui->serTaskPopTab1->currentText();
    if (task.isEmpty() || task == maintainItem)
        message = tr("Please enter/select a service task and try again, Thank you");
    if (message.isEmpty())
        return false;
    auto *widget = qobject_cast<QWidget *>(sender);
    doSheetAlert(widget ? widget->window() : window, QString(), message);
    beep();
    return true;
}

Record KOVAppDelegate::copyDictFromTab1Form()
{
    Record record = copyDictWithMainProp(
        ui->propertyPopTab1->currentText(), ui->providerPopTab1->currentText(),
        ui->serTaskPopTab1->currentText(), ui->serviceDateTab1->dateTime().toUTC(),
        cleanFormatCostStr(ui->totalCostTab1->text()), cleanFormatCostStr(ui->partsCostTab1->text()),
        cleanFormatCostStr(ui->laborCostTab1->text()), cleanFormatCostStr(ui->taxCostTab1->text()),
        ui->noteTab1->text(), imageFilePathURL);
    if (imageFilePathURL.isEmpty() && !unresolvedReceiptData.isEmpty())
        record.insert(BookMarkDataKeyForReceipt, unresolvedReceiptData);
    return xmlCarriableRecord(record);
}

bool KOVAppDelegate::doAddToMaintList(QObject *sender)
{
    if (refuseUnusableEntry(sender))
        return true;
    const Record record = copyDictFromTab1Form();
    RecordList history = copyDataFileArray(PropertyHistoryFileForKOV);
    history.append(record);
    // The user has been told why it failed; the form keeps the entry.
    if (!writeDataFileArray(history, PropertyHistoryFileForKOV))
        return true;
    refreshTab1AfterWrite(history);
    return false;
}

void KOVAppDelegate::refreshTab1AfterWrite(const RecordList &history)
{
    populateTableViewArrayFromFileArray(history, propertyMaintArrayForTV);
    reloadTableViewTab1();
    putCountOnContent(propertyMaintArrayForTV.size(), 0);
    setChange(ui->changeBtnTab1, ui->deleteBtnTab1, false);
    enableDisableShow(ui->beginDateTab1, ui->endDateTab1, ui->propertyPopForShowTab1,
                      ui->serviceTaskPopForShowTab1, ui->showMaintBtn, true);
    refillPropertyFilterTab1(true);
    setPane2();
    setPane3();
    setPane4();
}

void KOVAppDelegate::refillPropertyFilterTab1(bool refillTasks)
{
    QComboBox *filter = ui->propertyPopForShowTab1;
    loadThisPopupButton(filter, copyArrayWithPropNamesFromPropHistFile(filter, PropertyNameKey), false, true);
    filter->setCurrentIndex(filter->count() - 1);
    if (refillTasks) {
        propertyPopUpSelected(filter);
        filter->setCurrentIndex(filter->count() - 1);
    }
}

Record KOVAppDelegate::copyDictWithMainProp(const QString &propertyName, const QString &providerName,
                                            const QString &taskName, const QDateTime &serviceDate,
                                            const QString &totalCost, const QString &partsCost,
                                            const QString &laborCost, const QString &taxCost,
                                            const QString &note, const QUrl &receipt)
{
    Record record;
    const std::pair<const QString &, const QString &> costs[] = {{TotalCostKey, totalCost},
                                                                 {PartsCostKey, partsCost},
                                                                 {LaborCostKey, laborCost},
                                                                 {TaxCostKey, taxCost}};
    for (const auto &[key, text] : costs)
        if (!text.isNull())
            record.insert(key, cleanFormatCostStr(text));
    if (!note.isEmpty())
        record.insert(NoteKey, note);
    record.insert(PropertyNameKey, propertyName);
    record.insert(ProviderNameKey, providerName);
    record.insert(ServiceTaskNameKey, taskName);
    record.insert(ServiceDateKey, NSDateUtilities::cleanseDate(serviceDate));
    if (!receipt.isEmpty()) {
        const QByteArray bookmark = bookmarkForReceipt(receipt);
        if (bookmark.isEmpty())
            doSheetAlert(window,
                         tr("Make sure to image files are stored in their own folder within the "
                            "Tolvanderwerks folder. Use the Help menu and 'Show Data Files in Finder' to "
                            "find this location "),
                         tr("Failed to retrieve receipt image file"));
        else
            record.insert(BookMarkDataKeyForReceipt, bookmark);
    }
    return record;
}

void KOVAppDelegate::processAddToList(QObject *sender)
{
    if (sender != ui->addMaintBtn && sender != ui->changeBtnTab1)
        return;
    if (!doAddToMaintList(sender))
        cleanTab1DataEntry();
    setChange(ui->changeBtnTab1, ui->deleteBtnTab1, false);
}

void KOVAppDelegate::cleanTab1DataEntry()
{
    for (QLineEdit *field : {ui->partsCostTab1, ui->laborCostTab1, ui->taxCostTab1, ui->totalCostTab1})
        field->setText(QString());
    ui->serviceDateTab1->setDateTime(Clock::now().toLocalTime());
    ui->noteTab1->setText(QString());
    removeAction();
    unresolvedReceiptData.clear();
}

// ---------------------------------------------------------------------------
// Load a row back, change, delete

void KOVAppDelegate::respondToTableViewDblClickTab1(int clickedRow)
{
    if (clickedRow < 0 || clickedRow >= propertyMaintArrayForTV.size())
        return;
    const Record row = propertyMaintArrayForTV.at(clickedRow);

    auto selectTitle = [](QComboBox *popup, const QString &title) {
        const int index = popup->findText(title, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index >= 0)
            popup->setCurrentIndex(index);
        return index >= 0;
    };
    selectTitle(ui->propertyPopTab1, row.value(col::property).toString());
    selectTitle(ui->providerPopTab1, row.value(col::provider).toString());
    if (selectTitle(ui->serTaskPopTab1, row.value(col::task).toString()))
        getShowTaskDescBelowTaskPopUp(ui->serTaskPopTab1, ServiceTaskNameKey,
                                      copyDataFileArray(ServiceTaskFileForKOV));

    const QByteArray receiptData = row.value(col::receipt).toByteArray();
    const QUrl receipt = receiptUrlFromBookmark(receiptData);
    unresolvedReceiptData = receipt.isEmpty() ? receiptData : QByteArray();
    setImageFilePathURL(receipt);
    buildImageViewAndSetWithURL(receipt);

    ui->totalCostTab1->setText(
        row.contains(col::cost)
            ? copyFormatStringForTextField(row.value(col::cost).toDouble(), pattern::moneyWithZero)
            : QString());
    ui->partsCostTab1->setText(formatCostStrings(row.value(col::parts).toDouble()));
    ui->laborCostTab1->setText(formatCostStrings(row.value(col::labor).toDouble()));
    ui->taxCostTab1->setText(formatCostStrings(row.value(col::tax).toDouble()));
    ui->noteTab1->setText(row.value(col::note).toString());
    if (row.contains(col::propmaintdate))
        ui->serviceDateTab1->setDateTime(row.value(col::propmaintdate).toDateTime().toLocalTime());

    setChange(ui->changeBtnTab1, ui->deleteBtnTab1, true);
}

Record KOVAppDelegate::copyDictForSearchingDataFileArray(qsizetype row) const
{
    if (row < 0 || row >= propertyMaintArrayForTV.size())
        return {};
    return searchRecordFromMaintenanceRow(propertyMaintArrayForTV.at(row));
}

int KOVAppDelegate::selectedRowTab1() const
{
    const QItemSelectionModel *selection = ui->tableViewTab1->selectionModel();
    if (!selection)
        return -1;
    const QModelIndexList rows = selection->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

qsizetype KOVAppDelegate::indexOfStoredRecordForRow(const RecordList &history, int row) const
{
    return indexOfMaintenanceRecord(history, copyDictForSearchingDataFileArray(row));
}

void KOVAppDelegate::showRefusal(QObject *sender, const QString &title, bool recordNotFound)
{
    auto *widget = qobject_cast<QWidget *>(sender);
    QWidget *alertWindow = widget ? widget->window() : window;
    // One alert that says both, rather than two sheets stacked on the window.
    const QString detail =
        recordNotFound ? QStringLiteral("%1\n%2").arg(tr("Delete failure"),
                                                      tr("index in propertyHistoryArrayFromFile not found"))
                       : QString();
    doSheetAlert(alertWindow, detail, title);
}

bool KOVAppDelegate::deleteMaintFromList(QObject *sender)
{
    Q_UNUSED(sender);
    const int row = selectedRowTab1();
    if (row < 0)
        return true;
    RecordList history = copyDataFileArray(PropertyHistoryFileForKOV);
    const qsizetype index = indexOfStoredRecordForRow(history, row);
    if (index < 0) {
        // Reported by the caller together with its own message.
        return true;
    }
    history.removeAt(index);
    // A failed write has been reported; the table keeps the row as the file
    // does, and the delete counts as refused.
    if (!writeDataFileArray(history, PropertyHistoryFileForKOV)) {
        deleteWriteFailed = true;
        return true;
    }

    enableDisableShow(ui->beginDateTab1, ui->endDateTab1, ui->propertyPopForShowTab1,
                      ui->serviceTaskPopForShowTab1, ui->showMaintBtn, !history.isEmpty());
    propertyMaintArrayForTV.removeAt(row);
    reloadTableViewTab1();
    setChange(ui->changeBtnTab1, ui->deleteBtnTab1, false);
    putCountOnContent(propertyMaintArrayForTV.size(), 0);
    refillPropertyFilterTab1(false);
    setPane2();
    setPane3();
    setPane4();
    return false;
}

void KOVAppDelegate::doMaintDeleteDriver(QObject *sender)
{
    const bool hadSelection = selectedRowTab1() >= 0;
    deleteWriteFailed = false;
    // After a failed write the user already has its alert; a second one
    // would only stack on it.
    if (deleteMaintFromList(sender) && !deleteWriteFailed)
        showRefusal(sender, tr("Delete request failed - not deleted"), hadSelection);
}

void KOVAppDelegate::changeMaintFromList(QObject *sender)
{
    if (refuseUnusableEntry(sender)) {
        setChange(ui->changeBtnTab1, ui->deleteBtnTab1, false);
        return;
    }
    const QString notChanged = tr("Property Maintenance not found for Change request - not changed");
    const int row = selectedRowTab1();
    if (row < 0) {
        showRefusal(sender, notChanged, false);
        return;
    }
    RecordList history = copyDataFileArray(PropertyHistoryFileForKOV);
    const qsizetype index = indexOfStoredRecordForRow(history, row);
    if (index < 0) {
        showRefusal(sender, notChanged, true);
        return;
    }
    // Old record out and new one at the end in a single write, so a failure
    // can never lose the record.
    // Keys from a newer version or another program stay with the record.
    const Record stored = history.takeAt(index);
    history.append(withUnknownEntries(copyDictFromTab1Form(), stored, maintenanceRecordKeys()));
    if (writeDataFileArray(history, PropertyHistoryFileForKOV)) {
        refreshTab1AfterWrite(history);
        cleanTab1DataEntry();
    }
    setChange(ui->changeBtnTab1, ui->deleteBtnTab1, false);
}

void KOVAppDelegate::respondToTableViewClick(QObject *table)
{
    if (table == ui->tableViewTab1)
        setChange(ui->changeBtnTab1, ui->deleteBtnTab1, false);
    else if (table == taskSheetUi->tableViewTaskSheet)
        setChange(taskSheetUi->changeBtnTaskSheet, taskSheetUi->deleteBtnTaskSheet, false);
    else if (table == providerSheetUi->tableViewProviderSheet)
        setChange(providerSheetUi->changeBtnProviderSheet, providerSheetUi->deleteBtnProviderSheet, false);
    else if (table == propertySheetUi->tableViewPropertySheet)
        setChange(propertySheetUi->changeBtnPropertySheet, propertySheetUi->deleteBtnPropertySheet, false);
}

void KOVAppDelegate::setChange(QPushButton *changeBtn, QPushButton *deleteBtn, bool onOff)
{
    changeBtn->setEnabled(onOff);
    deleteBtn->setEnabled(onOff);
}

// ---------------------------------------------------------------------------
// The history at start-up and the rows of the tab-1 table

void KOVAppDelegate::cleanMaintHistOfNilObjects(RecordList &history)
{
    if (removeNilEntries(history))
        writeDataFileArray(history, PropertyHistoryFileForKOV);
}

void KOVAppDelegate::populateTableViewArrayFromFileArray(const RecordList &fileArray,
                                                         RecordList &tableViewArray)
{
    tableViewArray.clear();
    if (&tableViewArray == &propertyMaintArrayForTV) {
        populatePropMaintArray(fileArray, tableViewArray);
        // The rows are in file order now; no header's order holds.
        ui->tableViewTab1->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    }
    // The three sheets (src/lists/sheets.cpp).
    QTableView *sheetTable = nullptr;
    if (&tableViewArray == &taskArrayForTV) {
        populateTaskSheetArray(fileArray, tableViewArray);
        sheetTable = taskSheetUi->tableViewTaskSheet;
    } else if (&tableViewArray == &propertyArrayForTV) {
        populatePropertySheetArray(fileArray, tableViewArray);
        sheetTable = propertySheetUi->tableViewPropertySheet;
    } else if (&tableViewArray == &providerArrayForTV) {
        populateProviderSheetArray(fileArray, tableViewArray);
        sheetTable = providerSheetUi->tableViewProviderSheet;
    }
    if (sheetTable)
        sheetTable->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
}

void KOVAppDelegate::populatePropMaintArray(const RecordList &fileArray, RecordList &tvArray)
{
    for (const Record &record : fileArray)
        tvArray.append(maintenanceRowFromRecord(record));
}
