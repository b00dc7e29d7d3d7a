// Report page layout: one assembled report becomes one PDF document with a
// page header, a double rule, column headings, 45 rows a page and, for the
// report by date, the totals block.
#pragma once

#include <functional>

#include <QDateTime>
#include <QFont>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include "storage/records.h"

namespace kov {

struct PrintJob;

// The report numbers (whichReport).
enum ReportKind : unsigned {
    ReportByProperty = 1,
    ReportByDate = 2, // with the total and the average monthly cost
    ReportByProvider = 3,
    ReportPropertyList = 4,
    ReportProviderList = 5,
    ReportTaskList = 6,
    ReportMaintenanceTable = 99, // tab 1's table as shown
};

bool isReportKind(unsigned whichReport);
// The page title of the report, translated; empty for an unknown number.
QString reportTitle(unsigned whichReport);
// The title its document file is named by: the three maintenance reports
// share a page title, so their files add which one they are.
QString reportFileTitle(unsigned whichReport);

struct ReportOptions {
    // Where the document goes; empty: reportsFolder().
    QString folder;
    // Report 99's headings: the header titles of tab 1's property, provider,
    // task, note, date and cost columns, in this order.
    QStringList maintenanceTableTitles;
};

// Told as each page of a report is begun (1-based) and of how many, so a
// long report can show its progress.
using PageBegun = std::function<void(int page, int pages)>;

struct ReportOutcome {
    enum Status {
        Written,       // `path` is the new document
        NoData,        // no rows: no document
        UnknownReport, // not a report number: no document
        Failed,        // no document; `error` says why
    };
    Status status = Failed;
    QString path;
    QString error;
};

// Lays out the report and writes it as a new PDF document; never replaces
// an existing file. The caller opens the document. Needs a QGuiApplication
// (fonts); a command line can run one on the offscreen platform.
ReportOutcome printReport(unsigned whichReport, const RecordList &rows, double total, double average,
                          const ReportOptions &options = {}, const PageBegun &pageBegun = {});

// KOV's own folder for report documents: "KOV Reports" in the user's data
// folder (~/.local/share/KOV Reports), beside "Tolvanderwerks", never in it.
QString reportsFolder();

// A new, empty file in `folder` named by the title and the local time of
// `when` ("Task List Report 2026-12-06 14.05.09.pdf"), with " 2", " 3", ...
// added when that name is taken. Empty, with `error` set, when none could be
// made.
QString createReportFile(const QString &folder, const QString &title, const QDateTime &when,
                         QString *error = nullptr);

// The amount in the current locale's currency form "¤###,###,##0.00".
QString formatReportCurrency(double amount);

// The value under `key` in the record at `index`; invalid when absent.
QVariant rowValue(const RecordList &rows, qsizetype index, const QString &key);

// Where rows and the totals block land: 45 rows a page from 535 − pitch
// down, and report 2's block 15 points below the last row, or on a page of
// its own when that row lies below 60.
struct ReportPagePlan {
    QList<int> rowPage; // 1-based page of each row
    QList<qreal> rowY;  // baseline of each row
    int totalsPage = 0; // 0: no totals block
    qreal totalsY = 0;  // baseline of the rule "=========", the first of its three lines
    int pageCount = 0;
};
ReportPagePlan planReportPages(qsizetype rowCount, qreal pitch, bool withTotals);

inline constexpr int ReportRowsPerPage = 45;

// The cell texts a report has already worked out, by value.
struct ReportCellMemo {
    QHash<qint64, QString> dates;      // by milliseconds since the epoch
    QHash<QString, QString> costTexts; // by the stored cost string
    QString today;                     // the page header's date
    QFont headerFont, headingFont;     // the page header's fonts, once `fonts` is set
    bool fonts = false;
};

// The parts of a page, drawn in the job's coordinates.
void drawPageHeader(PrintJob &job, int pageNumber, unsigned whichReport,
                    const QStringList &maintenanceTableTitles, ReportCellMemo *memo = nullptr);
void drawDoubleRule(PrintJob &job, qreal x, qreal y);

} // namespace kov
