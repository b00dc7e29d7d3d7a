// KOVAppDelegate: the one controller the whole window talks to. Its
// operations are defined in the files of their subsystems (src/app,
// src/log, src/lists, src/due, src/costs, src/reports).
#pragma once

#include <optional>

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QUrl>

#include "app/alerts.h"
#include "log/logfilter.h"
#include "storage/records.h"

class QComboBox;
class QDateTimeEdit;
class QDialog;
class QLineEdit;
class QMainWindow;
class QMenu;
class QPushButton;
class QAbstractButton;
class QCalendarWidget;
class QWidget;

namespace Ui {
class MainWindow;
class PropertySheet;
class ProviderSheet;
class TaskSheet;
class DatePopup;
class ReceiptPopup;
} // namespace Ui

namespace kov {
struct DataFileProblem;
class RowTableModel;
class CostChart;

// The second number of an operating-system version string of the form
// "Version 10.9.5 (Build 13F34)"; 0 when it has none.
int osMinorVersion(const QString &versionString);
// The running system's value; off macOS (and on macOS 11 and later, whose
// second number is no longer the release) the gates pass.
int osMinorVersion();
} // namespace kov

class KOVAppDelegate : public QObject {
    Q_OBJECT
public:
    explicit KOVAppDelegate(QObject *parent = nullptr);
    ~KOVAppDelegate() override;

    // ---- Application lifecycle and preferences (src/app/kovappdelegate.cpp)
    void applicationDidFinishLaunching();
    bool doInit();  // false when the version gate stopped start-up
    void establishDefaultPrefs();
    int getLastTabUsedFromPrefs() const;
    int getPaneLastUsed() const;
    void doQuitHouseKeeping();
    void userSetPref();
    void showDataFilesInFinder();
    static bool isAppRunning(const QString &applicationName);
    // The preference key, as stored.
    static QString paneLastUsedKey();

    // ---- Alerts and messages (src/app/kovappdelegate.cpp)
    void doSheetAlert(QWidget *window, const QString &errorString, const QString &titleString);
    // Start-up: one alert per file whose records hold values KOV cannot use.
    void tellOfUnusableRecords(const QString &fileName, const kov::RecordList &records);
    void noReportsSelectedErrorMsg();
    void noDataFoundErrorMsg();
    void setFieldFromStringMinusLastCharacter(QLineEdit *field);

    // ---- Dates
    void setDateDefaultsWithBeginDate(QDateTimeEdit *beginDate, QDateTimeEdit *endDate);

    // ---- Graphical date picker popover (src/app/datepopup.cpp)
    void togglePopOver(QAbstractButton *sender);
    void userPickedFromGraphicalDatePicker();

    // ---- Tab 1 list and pop-ups. setPopupsStartingItem is a minimal version
    // (src/app/pending.cpp) until the pop-ups are built; the show controls
    // and the count line are in src/log/showcontrols.cpp.
    void setPopupsStartingItem(const kov::RecordList &taskArray, const kov::RecordList &providerArray,
                               const kov::RecordList &propertyArray);
    void cleanMaintHistOfNilObjects(kov::RecordList &history);  // src/log/maintentry.cpp
    // src/log/maintentry.cpp
    void populateTableViewArrayFromFileArray(const kov::RecordList &fileArray, kov::RecordList &tableViewArray);
    void enableDisableShow(QDateTimeEdit *beginDate, QDateTimeEdit *endDate, QComboBox *propPop,
                           QComboBox *taskPop, QPushButton *showBtn, bool enable);
    void putCountOnContent(qsizetype count, int pane);
    void reloadTableViewTab1();

    // ---- Tab 1 entry: cost fields (src/log/costfields.cpp)
    void controlTextDidChange(QLineEdit *field);      // after the user edited a field
    void controlTextDidEndEditing(QLineEdit *field);  // when editing of a field ends
    void doCostSheetValidation(QLineEdit *field);
    void doPropSheetValidation(QLineEdit *field);
    void integerFieldsValidation(QLineEdit *field);
    void stdCostFieldValidation(const QString &text, QLineEdit *field);
    void doCostFieldValidation(const QString &text, QLineEdit *field, int maxChars);
    void blockOrAllowInNumericField(bool accepted, QLineEdit *field, const QString &text);
    void formatNbrFldSetTextFld(double number, QLineEdit *field, const QString &format);

    // ---- Tab 1 entry: maintenance records (src/log/maintentry.cpp)
    void connectTab1Entry();
    void processAddToList(QObject *sender);
    bool doAddToMaintList(QObject *sender);  // true when refused
    kov::Record copyDictWithMainProp(const QString &propertyName, const QString &providerName,
                                     const QString &taskName, const QDateTime &serviceDate,
                                     const QString &totalCost, const QString &partsCost,
                                     const QString &laborCost, const QString &taxCost, const QString &note,
                                     const QUrl &receipt);
    void changeMaintFromList(QObject *sender);
    void doMaintDeleteDriver(QObject *sender);
    bool deleteMaintFromList(QObject *sender);  // true when refused
    kov::Record copyDictForSearchingDataFileArray(qsizetype row) const;
    void respondToTableViewDblClickTab1(int clickedRow);
    void respondToTableViewClick(QObject *table);
    void cleanTab1DataEntry();
    void setChange(QPushButton *changeBtn, QPushButton *deleteBtn, bool onOff);
    void populatePropMaintArray(const kov::RecordList &fileArray, kov::RecordList &tvArray);

    // ---- Pop-ups and receipts: minimal until they are built (src/app/pending.cpp)
    void loadThisPopupButton(QComboBox *popup, const QStringList &names, bool sepAddDel, bool sepAll);
    QStringList copyArrayWithPropNamesFromPropHistFile(QComboBox *popup, const QString &key);
    void propertyPopUpSelected(QComboBox *propertyFilter);
    void getShowTaskDescBelowTaskPopUp(QComboBox *popup, const QString &key, const kov::RecordList &tasks);
    void setImageFilePathURL(const QUrl &url);
    void buildImageViewAndSetWithURL(const QUrl &url);
    void removeAction();

    // ---- Tab 1 list: show, filter and the tables (src/log/maintlist.cpp);
    // the pop-ups (src/log/popups.cpp), including loadThisPopupButton,
    // copyArrayWithPropNamesFromPropHistFile, propertyPopUpSelected,
    // getShowTaskDescBelowTaskPopUp and setPopupsStartingItem above.
    void connectTab1List();
    void respondToShowBtnPane1();
    // The filtered log, or none when the dates are out of order (the date
    // alert has then been shown).
    std::optional<kov::RecordList> copyArrayAndCheckDates(QDateTimeEdit *beginDate, QDateTimeEdit *endDate,
                                                          QComboBox *propPop, QComboBox *taskPop);
    bool areBeginEndDatesOK(const QDateTime &beginDate, const QDateTime &endDate);
    kov::LogFilter copyPredicateString(QComboBox *propPop, QComboBox *taskPop, const QDateTime &bDate,
                                       const QDateTime &eDate);
    kov::LogFilter copyPredicateString(QComboBox *propPop, QComboBox *taskPop);
    QStringList copyColumnTitlesOnTab1() const;
    void loadAPopUpButtonUsingKey(QComboBox *popup, const QString &key, const kov::RecordList &records,
                                  bool sepAddDel, bool sepAll);
    void countArraySetPopUp(QComboBox *popup, const kov::RecordList &records);
    void popUpSelectedOnTab1(QComboBox *sender);
    kov::RecordList copyAllTasksForOneProperty(QComboBox *propertyFilter);
    QString copyFormatTimeForTask(const QString &taskName, const QString &key, const kov::RecordList &tasks);
    // The task partner of a property filter, or none.
    QComboBox *taskPartnerOf(QComboBox *propertyFilter) const;
    // Opens the sheet of the entry pop-up's list (src/lists).
    void showOneSheet(QComboBox *popup, const kov::RecordList &sortedRecords);

    // ---- Tab 3: cost totals and monthly averages (src/costs/costtab.cpp)
    void connectTab3();
    void respondToShowBtnPane3();
    // The monthly chart below the figures, in costChartTab3.
    kov::CostChart *costChartTab3 = nullptr;

    // ---- Reports: tab 4 and tab 1's Print (src/reports/reportstab.cpp)
    void connectTab4();
    // `cell` is the checkbox of reportsTab4 just clicked, known by its tag.
    void reportChkBoxClicked(QAbstractButton *cell);
    bool areAllCheckBoxesON() const;
    // `sender`: printBtnTab4, or printBtnTab1 for the table as shown.
    void respondToPrintBtnPane4(QObject *sender);
    void processReportPane4(unsigned whichReport);

    // ---- Reference list sheets: opening, rows, filling (src/lists/sheets.cpp)
    void connectSheets();
    void displaySheet(QDialog *sheet);
    void sheetCloseBtnPressed(QObject *sender);
    void populateTaskSheetArray(const kov::RecordList &fileArray, kov::RecordList &tvArray);
    void populatePropertySheetArray(const kov::RecordList &fileArray, kov::RecordList &tvArray);
    void populateProviderSheetArray(const kov::RecordList &fileArray, kov::RecordList &tvArray);
    void cleanTaskSheet();
    void cleanProviderSheet();
    void cleanPropertySheet();
    void respondToTableViewDblClickDriver(QObject *table, int clickedRow);
    void respondToTVDblClickOnPropOrProviderSheet(QWidget *table, int clickedRow,
                                                  const kov::RecordList &tableViewArray,
                                                  const QString &columnPropName, const QString &fileName,
                                                  const QString &keyForName, QPushButton *delButton,
                                                  QPushButton *changeButton);
    void respondToTableViewDblClickOnTaskSheet(QWidget *table, int clickedRow);
    void fillProviderSheetFromItemInTableView(const kov::Record &provider);
    void fillPropertySheetFromItemInTableView(const kov::Record &property);
    // The bold, italic and underline buttons follow the description's cursor.
    void updateTaskSheetFormatButtons();
    // ---- Reference list editing (src/lists/sheetediting.cpp)
    void doAddFromSheet(QObject *sender);
    int doAddFromTaskSheet(QObject *sender);      // 0 added, 1 refused
    int doAddFromPropertySheet(QObject *sender);  // 0 added, 1 refused
    int doAddFromProviderSheet(QObject *sender);  // 0 added, 1 refused
    void changeBtnOnSheetPressed(QObject *sender);
    void doDeleteDriver(QObject *sender);
    int doDeleteFromSheet(QObject *sender);  // 0 deleted, 1 no entry of that name

    // ---- Tabs and panes (src/app/panes.cpp)
    void tabViewDidSelectTabViewItem(int index);
    void setPane1();
    void setPane2();
    void setPane3();
    void setPane4();

    // ---- Tab 2: the due list (src/due/duetab.cpp)
    void connectTab2();
    void respondToShowBtnPane2();
    void buildBrowserArrayFromInitialPropTaskFilteredArray(const kov::RecordList &records);
    // The latest row of each property/task pair, in propertyPopTab2's order.
    void buildTempArraysForFiltering();
    void overDueOnly();
    // The tag of the checked radio button of radioBtnTab2 (1, 2 or 3).
    int selectedTagTab2() const;

    // ---- Version check and web page (src/app/versioncheck.cpp)
    void newVersionCheck();
    void doLaunchURL();
    // 0 opened; -50 not a valid URL; otherwise the opener's failure status.
    int openURLString(const QString &urlText);
    // The resource's bytes as UTF-8; none when the site cannot be reached,
    // answers with an error, sends too much, takes too long or not UTF-8.
    std::optional<QString> copyTextFromURL(const QString &urlText);
    void checkForNewVersion();
    void openProductWebPage();
    // How long copyTextFromURL waits for the whole answer, in ms.
    int fetchTimeoutMs = 15000;

    // ---- Reminders: placeholder until the reminders issue.
    void respondToUserNotification(const QString &informativeText);

    // Outlets.
    QMainWindow *window = nullptr;
    Ui::MainWindow *ui = nullptr;
    QDialog *thePropertySheet = nullptr;
    QDialog *theProviderSheet = nullptr;
    QDialog *theTaskSheet = nullptr;
    Ui::PropertySheet *propertySheetUi = nullptr;
    Ui::ProviderSheet *providerSheetUi = nullptr;
    Ui::TaskSheet *taskSheetUi = nullptr;
    QWidget *thePopOver = nullptr;
    QCalendarWidget *theDatePicker = nullptr;
    Ui::DatePopup *datePopupUi = nullptr;
    QWidget *receiptPopover = nullptr;
    Ui::ReceiptPopup *receiptPopupUi = nullptr;
    QMenu *contextMenuTab2 = nullptr;

    // The models of tableViewTab1, tableViewTab2 and the three sheet tables.
    kov::RowTableModel *modelTab1 = nullptr;
    kov::RowTableModel *modelTab2 = nullptr;
    kov::RowTableModel *modelPropertySheet = nullptr;
    kov::RowTableModel *modelProviderSheet = nullptr;
    kov::RowTableModel *modelTaskSheet = nullptr;

    // The receipt attached to the tab-1 entry, or an empty URL.
    QUrl imageFilePathURL;
    // Receipt data of the loaded row that names no file here (a bookmark
    // from another platform): kept as it is through a Change unless the
    // receipt is replaced or removed.
    QByteArray unresolvedReceiptData;
    // Set when a delete was refused because its write failed; the user has
    // already been told why.
    bool deleteWriteFailed = false;

    // The five row lists behind the five tables.
    kov::RecordList propertyMaintArrayForTV;
    kov::RecordList maintDueArrayForTV;
    kov::RecordList propertyArrayForTV;
    kov::RecordList providerArrayForTV;
    kov::RecordList taskArrayForTV;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWindow();
    void buildTables();
    void connectControls();
    void reportDataFileProblem(const kov::DataFileProblem &problem);
    // Tab 1 entry helpers (src/log/maintentry.cpp).
    bool refuseUnusableEntry(QObject *sender);
    kov::Record copyDictFromTab1Form();
    int selectedRowTab1() const;
    qsizetype indexOfStoredRecordForRow(const kov::RecordList &history, int row) const;
    void refillPropertyFilterTab1(bool refillTasks);
    void refreshTab1AfterWrite(const kov::RecordList &history);
    void showRefusal(QObject *sender, const QString &title, bool recordNotFound);

    // Each unreadable file is reported once per reason.
    QSet<QString> reportedReadProblems;
};
