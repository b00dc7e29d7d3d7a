// Tab 4, reports: the report checkboxes and Print, which makes one PDF per
// ticked report and opens it; tab 1's Print of the table as shown comes
// here too. The rows are assembled by the rules kov-cli report shares.
#pragma once

#include <QObject>

#include "log/selectionarea.h"
#include "storage/records.h"

class QAbstractButton;
class QWidget;

namespace Ui {
class ReportsTab;
}

namespace kov {

class DataStore;
class DatePopover;
struct ReportOptions;

class ReportsTab : public QObject {
    Q_OBJECT
public:
    ReportsTab(DataStore *store, DatePopover *datePopover, QObject *parent = nullptr);
    ~ReportsTab() override;

    QWidget *widget() const { return page; }
    const SelectionArea &selectionArea() const { return area; }

    // The box with that tag was ticked or cleared; 10 is "All".
    void reportChkBoxClicked(int tag, bool on);
    bool areAllCheckBoxesON() const;
    void respondToPrintBtnPane4();
    void processReportPane4(unsigned whichReport);
    // Tab 1's Print: the rows as shown, under the table's titles.
    void printMaintenanceTable(const RecordList &rows, const QStringList &titles);
    // The filters refilled from the log, "All" chosen.
    void setPane4();

private:
    QAbstractButton *reportBoxWithTag(int tag) const;
    bool isTicked(int tag) const;
    void finishReport(unsigned whichReport, RecordList rows, const QDateTime &begin, const QDateTime &end,
                      const ReportOptions &options);

    DataStore *store;
    QWidget *page;
    Ui::ReportsTab *ui;
    SelectionArea area;
    // The documents one Print made, for the message that follows it.
    QStringList madeDocuments;
    bool anyDocumentOpened = false;
};

} // namespace kov
