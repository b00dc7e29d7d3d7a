// Tab 1, the maintenance log: the entry form (pop-ups of the three lists,
// date, costs, note, receipt) with Add, Change and Delete, and the list
// below it with its filter, Show and Print.
#pragma once

#include <optional>

#include <QObject>
#include <QUrl>

#include "log/selectionarea.h"
#include "storage/records.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableView;
class QWidget;

namespace Ui {
class LogTab;
class ReceiptPopup;
} // namespace Ui

namespace kov {

class DataStore;
class DatePopover;
class RowTableModel;

class LogTab : public QObject {
    Q_OBJECT
public:
    LogTab(DataStore *store, DatePopover *datePopover, QObject *parent = nullptr);
    ~LogTab() override;

    // The tab's page, for the window's tab view.
    QWidget *widget() const { return page; }
    const SelectionArea &selectionArea() const { return filter; }

    // Start-up: the entry pop-ups from the three lists, the filter from the
    // log, the table with the whole log newest first, today in the dates.
    void setPopupsStartingItem(const RecordList &taskArray, const RecordList &providerArray,
                               const RecordList &propertyArray);
    // Start-up: records without a name or a date leave the file for good.
    void cleanMaintHistOfNilObjects(RecordList &history);
    void showWholeLog(const RecordList &history);

    // Entry.
    void processAddToList();
    // False when refused (the user has been told why).
    bool doAddToMaintList();
    Record copyDictWithMainProp(const QString &propertyName, const QString &providerName,
                                const QString &taskName, const QDateTime &serviceDate,
                                const QString &totalCost, const QString &partsCost, const QString &laborCost,
                                const QString &taxCost, const QString &note, const QUrl &receipt);
    void changeMaintFromList();
    void doMaintDeleteDriver();
    // False when refused; `writeFailed` tells whether the user already has
    // the alert of a failed write.
    bool deleteMaintFromList(bool *writeFailed = nullptr);
    Record copyDictForSearchingDataFileArray(qsizetype row) const;
    void respondToTableViewDblClickTab1(int clickedRow);
    void respondToTableViewClick();
    void cleanTab1DataEntry();
    void setChange(bool onOff);
    // A keystroke in parts, labor or tax: checked, and the total follows.
    void doCostSheetValidation(QLineEdit *field);

    // List.
    void respondToShowBtnPane1();
    void populateTableViewArrayFromFileArray(const RecordList &fileArray);
    QStringList copyColumnTitlesOnTab1() const;
    // The records, and their rows, in the order the table shows them.
    RecordList recordsAsShown() const;
    RecordList rowsAsShown() const;
    // The rows in the table's order, built for the asking.
    RecordList rows() const;
    qsizetype rowCount() const { return propertyMaintArrayForTV.size(); }

    // Pop-ups.
    // A choice in the entry pop-up of that list.
    void popUpSelectedOnTab1(const QString &fileName);
    void loadAPopUpButtonUsingKey(QComboBox *popup, const QString &key, const RecordList &records,
                                  bool sepAddDel, bool sepAll);
    void countArraySetPopUp(QComboBox *popup, const RecordList &records);
    void getShowTaskDescBelowTaskPopUp(const RecordList &tasks);
    QString copyFormatTimeForTask(const QString &taskName, const QString &key, const RecordList &tasks);

    // After a sheet added, changed or deleted an entry of one of the lists:
    // the entry pop-up of that list and the filters that depend on it.
    void referenceEntryAdded(const QString &fileName, const RecordList &list, const QString &name);
    void referenceEntryDeleted(const QString &fileName, const RecordList &list);
    // The log was rewritten by an undo, a redo or a rename: the table shows
    // it whole, as after an add.
    void logRewritten(const RecordList &history);

    // Receipt (logtabreceipt.cpp).
    void imageChanged(const QUrl &location);
    void buildImageViewAndSetWithURL(const QUrl &location);
    void removeAllSubviews();
    void removeAction();
    void openReceipt();
    void chooseReceipt();

Q_SIGNALS:
    // "Maintain Item List…" was chosen in the entry pop-up of that list.
    void maintainListRequested(const QString &fileName);
    // The number of rows the table shows.
    void countChanged(qsizetype count);
    // Print: the rows as the table shows them, under the table's titles.
    void printRequested(const kov::RecordList &rows, const QStringList &titles);

private:
    void connectControls();
    void buildTable();
    bool refuseUnusableEntry();
    Record copyDictFromTab1Form();
    int selectedRowTab1() const;
    void refreshAfterWrite(const RecordList &history);
    void selectLastRowTab1();
    void showRefusal(const QString &title, bool recordNotFound);
    QComboBox *entryPopupFor(const QString &fileName) const;
    void connectReceipt();
    void showStoredReceipt(const QByteArray &data);
    void setReceiptPicture(const QImage &picture, const QString &fileName);
    void showReceiptProblem(const QString &line);

    DataStore *store;
    DatePopover *datePopover;
    QWidget *page;
    Ui::LogTab *ui;
    QWidget *receiptPopover;
    Ui::ReceiptPopup *receiptUi;
    RowTableModel *modelTab1 = nullptr;
    SelectionArea filter;

    // The records behind the table's rows, as stored, in the table's order.
    RecordList propertyMaintArrayForTV;
    // The receipt of the row loaded into the form, or an empty URL.
    QUrl imageFilePathURL;
    // Receipt data of the loaded row that names no file here (a bookmark
    // from another platform): kept as it is through a Change.
    QByteArray unresolvedReceiptData;
};

} // namespace kov
