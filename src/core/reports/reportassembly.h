// Which rows each report holds, in which order, and report 2's total and
// average: the one assembly the window and kov-cli share before printReport.
#pragma once

#include <QDateTime>

#include "log/logfilter.h"
#include "reports/pagelayout.h"
#include "storage/datafiles.h"
#include "storage/records.h"

namespace kov {

// The data file a report reads: the list file of reports 4 to 6, the log
// for any other number.
QString reportDataFile(unsigned whichReport);

// The rows a report starts from, unsorted: for reports 4 to 6 the whole
// property, provider or task file, read afresh (the filter plays no part);
// for any other number the log records that pass the filter, cleansed as
// tab 1 lists them. `status` tells how the file read.
RecordList copyReportRows(unsigned whichReport, const LogFilter &filter, DataFileStatus *status = nullptr);

// Sorts the rows in place by the report's three levels; numbers outside 1
// to 6 keep their order.
void sortReportRows(unsigned whichReport, RecordList &rows);

// One report ready for printReport.
struct AssembledReport {
    unsigned whichReport = 0;
    RecordList rows;
    double total = 0;   // report 2 only
    double average = 0; // report 2 only, per mean month from `begin` to `end`
};

// Sorts the rows and, for report 2, totals their costs and averages them
// over the range; `begin` and `end` count for report 2 only.
AssembledReport assembleReport(unsigned whichReport, RecordList rows, const QDateTime &begin,
                               const QDateTime &end);

// Assembles the report from its unsorted rows and writes its document.
// Report 99 is printed as given. No rows: NoData, and no document.
ReportOutcome makeReport(unsigned whichReport, RecordList rows, const QDateTime &begin, const QDateTime &end,
                         const ReportOptions &options = {}, const PageBegun &pageBegun = {});

} // namespace kov
