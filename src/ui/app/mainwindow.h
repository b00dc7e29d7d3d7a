// The main window: the menus, start-up and the tab preference, and the
// placing of the tabs and sheets, each of which is a controller of its own.
#pragma once

#include <QMainWindow>
#include <QSet>

#include "storage/records.h"

namespace Ui {
class MainWindow;
}

namespace kov {

struct DataFileProblem;
class CostTab;
class DataStore;
class DatePopover;
class DueTab;
class ExportActions;
class LogTab;
class PropertySheet;
class ProviderSheet;
class ReferenceSheet;
class ReportsTab;
class TaskSheet;
class VersionCheck;

// The second number of an operating-system version string of the form
// "Version 10.9.5 (Build 13F34)"; 0 when it has none.
int osMinorVersion(const QString &versionString);
// The running system's value; off macOS (and on macOS 11 and later, whose
// second number is no longer the release) the gates pass.
int osMinorVersion();

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    void applicationDidFinishLaunching();
    // False when the version gate stopped start-up.
    bool doInit();
    void establishDefaultPrefs();
    int getLastTabUsedFromPrefs() const;
    int getPaneLastUsed() const;
    void doQuitHouseKeeping();
    void showDataFilesInFinder();
    // The preference key, as stored.
    static QString paneLastUsedKey();

    // Start-up: one alert per file whose records hold values KOV cannot use.
    void tellOfUnusableRecords(const QString &fileName, const RecordList &records);
    void tabViewDidSelectTabViewItem(int index);
    // The count line at the foot of the window, for tabs 1 and 2.
    void putCountOnContent(qsizetype count, int pane);

    DataStore *store() const { return dataStore; }
    LogTab *logTab() const { return tab1; }
    DueTab *dueTab() const { return tab2; }
    CostTab *costTab() const { return tab3; }
    ReportsTab *reportsTab() const { return tab4; }
    PropertySheet *propertySheet() const { return properties; }
    ProviderSheet *providerSheet() const { return providers; }
    TaskSheet *taskSheet() const { return tasks; }
    VersionCheck *versionCheck() const { return version; }
    ExportActions *exportActions() const { return exports; }
    // The sheet of a reference list file.
    ReferenceSheet *sheetFor(const QString &fileName) const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void reportDataFileProblem(const DataFileProblem &problem);

    Ui::MainWindow *ui;
    DataStore *dataStore;
    DatePopover *dates;
    VersionCheck *version;
    LogTab *tab1;
    DueTab *tab2;
    CostTab *tab3;
    ReportsTab *tab4;
    PropertySheet *properties;
    ProviderSheet *providers;
    TaskSheet *tasks;
    ExportActions *exports;
    // Each unreadable file is reported once per reason.
    QSet<QString> reportedReadProblems;
};

} // namespace kov
