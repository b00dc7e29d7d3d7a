#include "reports/reportassembly.h"

#include "costs/costcalc.h"
#include "storage/sorting.h"

namespace kov {

QString reportDataFile(unsigned whichReport)
{
    switch (whichReport) {
    case ReportPropertyList:
        return PropertyFileForKOV;
    case ReportProviderList:
        return ProviderFileForKOV;
    case ReportTaskList:
        return ServiceTaskFileForKOV;
    default:
        return PropertyHistoryFileForKOV;
    }
}

RecordList copyReportRows(unsigned whichReport, const LogFilter &filter, DataFileStatus *status)
{
    const QString file = reportDataFile(whichReport);
    RecordList rows = copyDataFileArray(file, status);
    return file == PropertyHistoryFileForKOV ? copyFilteredLog(rows, filter) : rows;
}

void sortReportRows(unsigned whichReport, RecordList &rows)
{
    constexpr SortSelector byName = SortSelector::localizedStandardCompare;
    constexpr SortSelector byDate = SortSelector::compare;
    constexpr bool up = true, down = false;
    switch (whichReport) {
    case ReportByProperty:
        doSortWithArray(rows, PropertyNameKey, up, byName, ServiceTaskNameKey, up, byName, ServiceDateKey, down,
                        byDate);
        break;
    case ReportByDate:
        doSortWithArray(rows, ServiceDateKey, down, byDate, PropertyNameKey, up, byName, ServiceTaskNameKey, up,
                        byName);
        break;
    case ReportByProvider:
        doSortWithArray(rows, ProviderNameKey, up, byName, PropertyNameKey, up, byName, ServiceDateKey, down,
                        byDate);
        break;
    case ReportPropertyList:
        doSortWithArray(rows, PropertyNameKey, up, byName, PropertyAddressKey, up, byName, PropertyCityKey, up,
                        byName);
        break;
    case ReportProviderList:
        doSortWithArray(rows, ProviderNameKey, up, byName, ProviderAddressKey, up, byName);
        break;
    case ReportTaskList:
        doSortWithArray(rows, ServiceTaskNameKey, up, byName);
        break;
    default:
        break;
    }
}

AssembledReport assembleReport(unsigned whichReport, RecordList rows, const QDateTime &begin,
                               const QDateTime &end)
{
    AssembledReport report;
    report.whichReport = whichReport;
    sortReportRows(whichReport, rows);
    report.rows = std::move(rows);
    if (whichReport == ReportByDate) {
        report.total = calcTotalCost(report.rows, TotalCostKey);
        report.average = calcAvgCost(report.total, calcElapsedMonths(end, begin));
    }
    return report;
}

ReportOutcome makeReport(unsigned whichReport, RecordList rows, const QDateTime &begin, const QDateTime &end,
                         const ReportOptions &options, const PageBegun &pageBegun)
{
    const AssembledReport report = assembleReport(whichReport, std::move(rows), begin, end);
    return printReport(report.whichReport, report.rows, report.total, report.average, options, pageBegun);
}

} // namespace kov
