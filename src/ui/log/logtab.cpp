#include "log/logtab.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "app/alerts.h"
#include "app/busycursor.h"
#include "app/datastore.h"
#include "app/datepopover.h"
#include "app/undohistory.h"
#include "lists/listrules.h"
#include "lists/tasklabel.h"
#include "log/costrules.h"
#include "log/maintrecords.h"
#include "log/numericfields.h"
#include "log/rowtablemodel.h"
#include "storage/clock.h"
#include "storage/dates.h"
#include "storage/sorting.h"
#include "ui_logtab.h"
#include "ui_receiptpopup.h"

namespace kov {

namespace {

// A receipt is stored as its absolute file: URL in UTF-8; empty when the
// location cannot be stored.
QByteArray bookmarkForReceipt(const QUrl &url)
{
    if (!url.isLocalFile() || !QFileInfo(url.toLocalFile()).isAbsolute())
        return {};
    return url.toString(QUrl::FullyEncoded).toUtf8();
}

} // namespace

LogTab::LogTab(DataStore *dataStore, DatePopover *popover, QObject *parent)
    : QObject(parent), store(dataStore), datePopover(popover), page(new QWidget), ui(new Ui::LogTab),
      receiptUi(new Ui::ReceiptPopup)
{
    ui->setupUi(page);
    receiptPopover = new QWidget(page, Qt::Popup);
    receiptUi->setupUi(receiptPopover);
    filter = {ui->beginDateTab1, ui->endDateTab1, ui->propertyPopForShowTab1, ui->serviceTaskPopForShowTab1,
              ui->showMaintBtn};
    buildTable();
    connectControls();
    setChange(false);
}

LogTab::~LogTab()
{
    delete ui;
    delete receiptUi;
    // The page is deleted by the tab view that holds it, or here when none does.
    if (!page->parent())
        delete page;
}

void LogTab::buildTable()
{
    modelTab1 = new RowTableModel(&propertyMaintArrayForTV,
                                  {{col::propmaintdate, tr("Date")},
                                   {col::property, tr("Property")},
                                   {col::task, tr("Task")},
                                   {col::provider, tr("Provider")},
                                   {col::parts, tr("Parts")},
                                   {col::labor, tr("Labor")},
                                   {col::tax, tr("Tax")},
                                   {col::cost, tr("Total")},
                                   {col::note, tr("Note")},
                                   {col::receipt, tr("Receipt")}},
                                  this);
    // The rows are the log's own records, each cell worked out when shown.
    modelTab1->setCellSource(&maintenanceCell);
    QTableView *table = ui->tableViewTab1;
    table->setModel(modelTab1);
    table->setSortingEnabled(true);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QHeaderView *header = table->horizontalHeader();
    header->setSortIndicator(-1, Qt::AscendingOrder);
    header->setSectionResizeMode(QHeaderView::Interactive);
    // Sized to fit the window's default width; the receipt column takes the rest.
    const int widths[] = {90, 150, 170, 150, 75, 75, 75, 75, 160};
    for (int c = 0; c < int(std::size(widths)); ++c)
        header->resizeSection(c, widths[c]);
}

void LogTab::connectControls()
{
    // textEdited: only what the user types, never our own setText.
    for (QLineEdit *field : {ui->partsCostTab1, ui->laborCostTab1, ui->taxCostTab1})
        connect(field, &QLineEdit::textEdited, this, [this, field] { doCostSheetValidation(field); });
    connect(ui->totalCostTab1, &QLineEdit::textEdited, this,
            [this] { doCostFieldValidation(ui->totalCostTab1->text(), ui->totalCostTab1, 11); });
    connect(ui->addMaintBtn, &QPushButton::clicked, this, [this] { processAddToList(); });
    connect(ui->changeBtnTab1, &QPushButton::clicked, this, [this] { changeMaintFromList(); });
    connect(ui->deleteBtnTab1, &QPushButton::clicked, this, [this] { doMaintDeleteDriver(); });
    connect(ui->tableViewTab1, &QTableView::doubleClicked, this,
            [this](const QModelIndex &index) { respondToTableViewDblClickTab1(index.row()); });
    installTableClickFilter(ui->tableViewTab1, [this] { respondToTableViewClick(); });

    connect(ui->showMaintBtn, &QPushButton::clicked, this, [this] { respondToShowBtnPane1(); });
    for (const QString &file : {PropertyFileForKOV, ProviderFileForKOV, ServiceTaskFileForKOV})
        connect(entryPopupFor(file), &QComboBox::activated, this,
                [this, file] { popUpSelectedOnTab1(file); });
    filter.followStore(this, store, false);
    connect(ui->printBtnTab1, &QPushButton::clicked, this,
            [this] { Q_EMIT printRequested(rowsAsShown(), copyColumnTitlesOnTab1()); });

    datePopover->attach(ui->popOverTriggerTab1ServiceDate, ui->serviceDateTab1);
    datePopover->attach(ui->popOverTriggerTab1BeginDate, ui->beginDateTab1);
    datePopover->attach(ui->popOverTriggerTab1EndDate, ui->endDateTab1);
    connectReceipt();
}

// ---------------------------------------------------------------------------
// Start-up

void LogTab::setPopupsStartingItem(const RecordList &taskArray, const RecordList &providerArray,
                                   const RecordList &propertyArray)
{
    loadAPopUpButtonUsingKey(ui->propertyPopTab1, PropertyNameKey, propertyArray, true, false);
    countArraySetPopUp(ui->propertyPopTab1, propertyArray);

    filter.resetFromLog(store->records(PropertyHistoryFileForKOV));

    loadAPopUpButtonUsingKey(ui->serTaskPopTab1, ServiceTaskNameKey, taskArray, true, false);
    countArraySetPopUp(ui->serTaskPopTab1, taskArray);
    if (taskArray.isEmpty())
        ui->taskDescUnderPopupTab1->setText(QString());
    else
        getShowTaskDescBelowTaskPopUp(taskArray);

    loadAPopUpButtonUsingKey(ui->providerPopTab1, ProviderNameKey, providerArray, true, false);
    countArraySetPopUp(ui->providerPopTab1, providerArray);

    ui->serviceDateTab1->setDateTime(Clock::now().toLocalTime());
    filter.setDateDefaultsWithBeginDate();
}

void LogTab::cleanMaintHistOfNilObjects(RecordList &history)
{
    if (removeNilEntries(history))
        store->write(PropertyHistoryFileForKOV, history);
}

void LogTab::showWholeLog(const RecordList &history)
{
    if (!history.isEmpty()) {
        populateTableViewArrayFromFileArray(history);
        doSortWithArray(propertyMaintArrayForTV, ServiceDateKey, false, SortSelector::compare);
    }
    filter.enableDisableShow(!history.isEmpty());
    modelTab1->reload();
    Q_EMIT countChanged(propertyMaintArrayForTV.size());
}

// ---------------------------------------------------------------------------
// Add

bool LogTab::refuseUnusableEntry()
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
    doSheetAlert(page->window(), QString(), message);
    beep();
    return true;
}

Record LogTab::copyDictFromTab1Form()
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

bool LogTab::doAddToMaintList()
{
    if (refuseUnusableEntry())
        return false;
    // A failed write has told the user why; the form keeps the entry.
    const UndoStep step(store, tr("Add Maintenance Record"));
    if (!store->add(PropertyHistoryFileForKOV, copyDictFromTab1Form()))
        return false;
    refreshAfterWrite(store->records(PropertyHistoryFileForKOV));
    selectLastRowTab1();
    return true;
}

void LogTab::logRewritten(const RecordList &history)
{
    refreshAfterWrite(history);
}

void LogTab::selectLastRowTab1()
{
    // The table is in file order after a write, and an added or changed
    // record is the file's last.
    const int row = int(propertyMaintArrayForTV.size()) - 1;
    if (row < 0)
        return;
    QTableView *table = ui->tableViewTab1;
    table->selectRow(row);
    table->scrollTo(modelTab1->index(row, 0));
}

void LogTab::refreshAfterWrite(const RecordList &history)
{
    populateTableViewArrayFromFileArray(history);
    modelTab1->reload();
    Q_EMIT countChanged(propertyMaintArrayForTV.size());
    setChange(false);
    filter.enableDisableShow(true);
    filter.resetFromLog(history);
}

Record LogTab::copyDictWithMainProp(const QString &propertyName, const QString &providerName,
                                    const QString &taskName, const QDateTime &serviceDate,
                                    const QString &totalCost, const QString &partsCost,
                                    const QString &laborCost, const QString &taxCost, const QString &note,
                                    const QUrl &receipt)
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
            doSheetAlert(page->window(),
                         tr("Make sure to image files are stored in their own folder within the "
                            "Tolvanderwerks folder. Use the Help menu and 'Show Data Files in Finder' to "
                            "find this location "),
                         tr("Failed to retrieve receipt image file"));
        else
            record.insert(BookMarkDataKeyForReceipt, bookmark);
    }
    return record;
}

void LogTab::processAddToList()
{
    const BusyCursor busy;
    if (doAddToMaintList())
        cleanTab1DataEntry();
    setChange(false);
}

void LogTab::cleanTab1DataEntry()
{
    for (QLineEdit *field : {ui->partsCostTab1, ui->laborCostTab1, ui->taxCostTab1, ui->totalCostTab1})
        field->setText(QString());
    ui->serviceDateTab1->setDateTime(Clock::now().toLocalTime());
    ui->noteTab1->setText(QString());
    removeAction();
}

// ---------------------------------------------------------------------------
// Load a row back, change, delete

void LogTab::respondToTableViewDblClickTab1(int clickedRow)
{
    if (clickedRow < 0 || clickedRow >= propertyMaintArrayForTV.size())
        return;
    const Record row = maintenanceRowFromRecord(propertyMaintArrayForTV.at(clickedRow));

    selectExactTitle(ui->propertyPopTab1, row.value(col::property).toString());
    selectExactTitle(ui->providerPopTab1, row.value(col::provider).toString());
    if (selectExactTitle(ui->serTaskPopTab1, row.value(col::task).toString()))
        getShowTaskDescBelowTaskPopUp(store->records(ServiceTaskFileForKOV));

    showStoredReceipt(row.value(col::receipt).toByteArray());

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

    setChange(true);
}

Record LogTab::copyDictForSearchingDataFileArray(qsizetype row) const
{
    if (row < 0 || row >= propertyMaintArrayForTV.size())
        return {};
    return searchRecordFromMaintenanceRow(maintenanceRowFromRecord(propertyMaintArrayForTV.at(row)));
}

int LogTab::selectedRowTab1() const
{
    const QItemSelectionModel *selection = ui->tableViewTab1->selectionModel();
    if (!selection)
        return -1;
    const QModelIndexList rows = selection->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void LogTab::showRefusal(const QString &title, bool recordNotFound)
{
    // One alert that says both, rather than two sheets stacked on the window.
    const QString detail =
        recordNotFound ? QStringLiteral("%1\n%2").arg(tr("Delete failure"),
                                                      tr("index in propertyHistoryArrayFromFile not found"))
                       : QString();
    doSheetAlert(page->window(), detail, title);
}

bool LogTab::deleteMaintFromList(bool *writeFailed)
{
    if (writeFailed)
        *writeFailed = false;
    const int row = selectedRowTab1();
    if (row < 0)
        return false;
    const qsizetype index = indexOfMaintenanceRecord(store->records(PropertyHistoryFileForKOV),
                                                     copyDictForSearchingDataFileArray(row));
    if (index < 0)
        return false;
    // A failed write has been reported; the table keeps the row as the file
    // does, and the delete counts as refused.
    const UndoStep step(store, tr("Delete Maintenance Record"));
    if (!store->remove(PropertyHistoryFileForKOV, index)) {
        if (writeFailed)
            *writeFailed = true;
        return false;
    }
    const RecordList history = store->records(PropertyHistoryFileForKOV);
    filter.enableDisableShow(!history.isEmpty());
    propertyMaintArrayForTV.removeAt(row);
    modelTab1->reload();
    setChange(false);
    Q_EMIT countChanged(propertyMaintArrayForTV.size());
    filter.resetFromLog(history, false);
    return true;
}

void LogTab::doMaintDeleteDriver()
{
    const BusyCursor busy;
    const bool hadSelection = selectedRowTab1() >= 0;
    bool writeFailed = false;
    // After a failed write the user already has its alert; a second one
    // would only stack on it.
    if (!deleteMaintFromList(&writeFailed) && !writeFailed)
        showRefusal(tr("Delete request failed - not deleted"), hadSelection);
}

void LogTab::changeMaintFromList()
{
    const BusyCursor busy;
    if (refuseUnusableEntry()) {
        setChange(false);
        return;
    }
    const QString notChanged = tr("Property Maintenance not found for Change request - not changed");
    const int row = selectedRowTab1();
    if (row < 0) {
        showRefusal(notChanged, false);
        return;
    }
    const RecordList history = store->records(PropertyHistoryFileForKOV);
    const qsizetype index = indexOfMaintenanceRecord(history, copyDictForSearchingDataFileArray(row));
    if (index < 0) {
        showRefusal(notChanged, true);
        return;
    }
    // Keys from a newer version or another program stay with the record.
    const Record changed =
        withUnknownEntries(copyDictFromTab1Form(), history.at(index), maintenanceRecordKeys());
    const UndoStep step(store, tr("Change Maintenance Record"));
    if (store->change(PropertyHistoryFileForKOV, index, changed)) {
        refreshAfterWrite(store->records(PropertyHistoryFileForKOV));
        selectLastRowTab1();
        cleanTab1DataEntry();
    }
    setChange(false);
}

void LogTab::respondToTableViewClick()
{
    setChange(false);
}

void LogTab::setChange(bool onOff)
{
    ui->changeBtnTab1->setEnabled(onOff);
    ui->deleteBtnTab1->setEnabled(onOff);
}

// ---------------------------------------------------------------------------
// Cost fields: every keystroke checked, the total following the three costs.

void LogTab::doCostSheetValidation(QLineEdit *field)
{
    doCostFieldValidation(field->text(), field, 11);
    // Read the way the canonical form reads them, so the total shows what
    // Add will store (the locale's decimal separator, grouping ignored).
    const double parts = costValue(ui->partsCostTab1->text());
    const double labor = costValue(ui->laborCostTab1->text());
    const double tax = costValue(ui->taxCostTab1->text());
    ui->totalCostTab1->setText(copyFormatStringForTextField((labor + parts) + tax, pattern::money));
}

// ---------------------------------------------------------------------------
// The list

void LogTab::respondToShowBtnPane1()
{
    const BusyCursor busy;
    const std::optional<RecordList> shown =
        filter.copyArrayAndCheckDates(store->records(PropertyHistoryFileForKOV), page->window());
    if (shown) {
        populateTableViewArrayFromFileArray(*shown);
        modelTab1->reload();
        Q_EMIT countChanged(propertyMaintArrayForTV.size());
        if (shown->isEmpty())
            noDataFoundErrorMsg(page->window());
    }
    setChange(false);
}

void LogTab::populateTableViewArrayFromFileArray(const RecordList &fileArray)
{
    // Shared with the list given, not copied.
    propertyMaintArrayForTV = fileArray;
    // The rows are in file order now; no header's order holds.
    ui->tableViewTab1->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
}

QStringList LogTab::copyColumnTitlesOnTab1() const
{
    QStringList titles;
    for (const QString &identifier :
         {col::property, col::provider, col::task, col::note, col::propmaintdate, col::cost})
        titles.append(modelTab1->headerData(modelTab1->columnOf(identifier), Qt::Horizontal).toString());
    return titles;
}

RecordList LogTab::recordsAsShown() const
{
    RecordList records;
    records.reserve(propertyMaintArrayForTV.size());
    const QHeaderView *rowHeader = ui->tableViewTab1->verticalHeader();
    for (int visual = 0; visual < propertyMaintArrayForTV.size(); ++visual) {
        const int logical = rowHeader->logicalIndex(visual);
        records.append(propertyMaintArrayForTV.value(logical < 0 ? visual : logical));
    }
    return records;
}

RecordList LogTab::rowsAsShown() const
{
    RecordList rows;
    for (const Record &record : recordsAsShown())
        rows.append(maintenanceRowFromRecord(record));
    return rows;
}

RecordList LogTab::rows() const
{
    RecordList rows;
    rows.reserve(propertyMaintArrayForTV.size());
    for (const Record &record : propertyMaintArrayForTV)
        rows.append(maintenanceRowFromRecord(record));
    return rows;
}

// ---------------------------------------------------------------------------
// Pop-ups

QComboBox *LogTab::entryPopupFor(const QString &fileName) const
{
    if (fileName == PropertyFileForKOV)
        return ui->propertyPopTab1;
    if (fileName == ProviderFileForKOV)
        return ui->providerPopTab1;
    return ui->serTaskPopTab1;
}

void LogTab::popUpSelectedOnTab1(const QString &file)
{
    if (lastItemChosen(entryPopupFor(file)))
        Q_EMIT maintainListRequested(file);
    else if (file == ServiceTaskFileForKOV)
        getShowTaskDescBelowTaskPopUp(store->records(ServiceTaskFileForKOV));
}

void LogTab::loadAPopUpButtonUsingKey(QComboBox *popup, const QString &key, const RecordList &records,
                                      bool sepAddDel, bool sepAll)
{
    QStringList names;
    names.reserve(records.size());
    for (const Record &record : records)
        names.append(record.value(key).toString());
    loadThisPopupButton(popup, names, sepAddDel, sepAll);
}

void LogTab::countArraySetPopUp(QComboBox *popup, const RecordList &records)
{
    popup->setCurrentIndex(records.isEmpty() ? popup->count() - 1 : 0);
}

void LogTab::getShowTaskDescBelowTaskPopUp(const RecordList &tasks)
{
    ui->taskDescUnderPopupTab1->setText(
        tr("Recurring task interval: ") +
        copyFormatTimeForTask(ui->serTaskPopTab1->currentText(), ServiceTaskNameKey, tasks));
}

QString LogTab::copyFormatTimeForTask(const QString &taskName, const QString &key, const RecordList &tasks)
{
    return copyTaskDescAndTimeLabel(copyDictContainingTitle(taskName, key, tasks));
}

void LogTab::referenceEntryAdded(const QString &fileName, const RecordList &list, const QString &name)
{
    const QString key = nameKeyOfList(fileName);
    QComboBox *entry = entryPopupFor(fileName);
    loadAPopUpButtonUsingKey(entry, key, list, true, false);
    selectExactTitle(entry, name);
    if (fileName == ServiceTaskFileForKOV) {
        QComboBox *taskFilter = ui->serviceTaskPopForShowTab1;
        loadAPopUpButtonUsingKey(taskFilter, ServiceTaskNameKey, list, false, true);
        taskFilter->setCurrentIndex(taskFilter->count() - 1);
        getShowTaskDescBelowTaskPopUp(list);
    } else if (fileName == PropertyFileForKOV) {
        // The filter lists the log's properties, which an add leaves as they
        // were: the user's choice stays, or "All" with its tasks.
        QComboBox *propertyFilter = ui->propertyPopForShowTab1;
        const QString chosen = propertyFilter->currentText();
        const bool chosenAll = lastItemChosen(propertyFilter);
        const RecordList history = store->records(PropertyHistoryFileForKOV);
        loadThisPopupButton(propertyFilter, distinctNames(history, PropertyNameKey), false, true);
        if (chosenAll || !selectExactTitle(propertyFilter, chosen)) {
            propertyFilter->setCurrentIndex(propertyFilter->count() - 1);
            filter.propertyPopUpSelected(history);
        }
    }
}

void LogTab::referenceEntryDeleted(const QString &fileName, const RecordList &list)
{
    if (fileName != ProviderFileForKOV) {
        QComboBox *propertyFilter = ui->propertyPopForShowTab1;
        propertyFilter->setCurrentIndex(propertyFilter->count() - 1);
        filter.propertyPopUpSelected(store->records(PropertyHistoryFileForKOV));
    }
    // Rebuilt from the list rather than the one item taken out, so a second
    // entry of the name (a file from elsewhere) stays selectable.
    QComboBox *entry = entryPopupFor(fileName);
    loadAPopUpButtonUsingKey(entry, nameKeyOfList(fileName), list, true, false);
    entry->setCurrentIndex(entry->count() < 3 ? 1 : 0);
    if (fileName == ServiceTaskFileForKOV)
        getShowTaskDescBelowTaskPopUp(list);
}

} // namespace kov
