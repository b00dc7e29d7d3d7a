// KOVAppDelegate: the one controller the whole window talks to. Its
// operations are defined in the files of their subsystems (src/app,
// src/log, src/lists, src/due, src/costs, src/reports).
#pragma once

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QUrl>

#include "app/alerts.h"
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
    void noReportsSelectedErrorMsg();
    void noDataFoundErrorMsg();
    void setFieldFromStringMinusLastCharacter(QLineEdit *field);

    // ---- Dates
    void setDateDefaultsWithBeginDate(QDateTimeEdit *beginDate, QDateTimeEdit *endDate);

    // ---- Graphical date picker popover (src/app/datepopup.cpp)
    void togglePopOver(QAbstractButton *sender);
    void userPickedFromGraphicalDatePicker();

    // ---- Tab 1 list and pop-ups: built with the tab-1 issues. Until then
    // these are placeholders that do nothing, except the two small helpers.
    void setPopupsStartingItem(const kov::RecordList &taskArray, const kov::RecordList &providerArray,
                               const kov::RecordList &propertyArray);
    void cleanMaintHistOfNilObjects(kov::RecordList &history);
    void populateTableViewArrayFromFileArray(const kov::RecordList &fileArray, kov::RecordList &tableViewArray);
    void enableDisableShow(QDateTimeEdit *beginDate, QDateTimeEdit *endDate, QComboBox *propPop,
                           QComboBox *taskPop, QPushButton *showBtn, bool enable);
    void putCountOnContent(qsizetype count, int pane);
    void reloadTableViewTab1();

    // ---- Tabs and panes: placeholders until the tabs issue.
    void tabViewDidSelectTabViewItem(int index);
    void setPane2();
    void setPane3();
    void setPane4();

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

    // Each unreadable file is reported once per reason.
    QSet<QString> reportedReadProblems;
};
