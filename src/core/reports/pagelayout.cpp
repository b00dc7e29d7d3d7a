#include "reports/pagelayout.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QStandardPaths>

#include "lists/tasklabel.h"
#include "log/costrules.h"
#include "reports/printengine.h"
#include "storage/clock.h"
#include "storage/dates.h"
#include "storage/sorting.h"

namespace kov {

namespace {

// lupdate files the texts of this free tr() under the namespace, "kov".
QString tr(const char *text)
{
    return QCoreApplication::translate("kov", text);
}

// The grid, in points on a landscape page.
constexpr qreal ruleLeft = 15, ruleRight = 725;
constexpr qreal headerY = 565, ruleY = 557, headingY = 535;
constexpr qreal lowestRowBeforeTotals = 60, totalsStep = 15;
constexpr qreal totalsLabelX = 300, totalsAmountX = 630;
constexpr qreal dateXPerCharacter = 5.3;

enum class Cell {
    Text,         // as stored
    ShortDate,    // a date in the locale's short style
    Year,         // the year of a date
    CostText,     // a stored cost string, as currency
    Amount,       // a number, as currency
    TaskInterval, // the interval label of the row's task
};

struct Column {
    const char *heading; // untranslated; null for report 99, which takes tab 1's titles
    qreal x;
    const QString *key;
    Cell cell;
};

const QList<Column> &columnsOf(unsigned whichReport)
{
    static const QList<Column> none;
    static const QList<Column> byProperty = {
        {QT_TRANSLATE_NOOP("Reports", "Property"), 15, &PropertyNameKey, Cell::Text},
        {QT_TRANSLATE_NOOP("Reports", "Service Task"), 250, &ServiceTaskNameKey, Cell::Text},
        {QT_TRANSLATE_NOOP("Reports", "Service Date"), 550, &ServiceDateKey, Cell::ShortDate},
        {QT_TRANSLATE_NOOP("Reports", "Service Cost"), 660, &TotalCostKey, Cell::CostText}};
    static const QList<Column> byDate = {
        {QT_TRANSLATE_NOOP("Reports", "Service Date"), 15, &ServiceDateKey, Cell::ShortDate},
        {QT_TRANSLATE_NOOP("Reports", "Property"), 100, &PropertyNameKey, Cell::Text},
        {QT_TRANSLATE_NOOP("Reports", "Service Task"), 300, &ServiceTaskNameKey, Cell::Text},
        {QT_TRANSLATE_NOOP("Reports", "Service Cost"), 630, &TotalCostKey, Cell::CostText}};
    static const QList<Column> byProvider = {
        {QT_TRANSLATE_NOOP("Reports", "Provider"), 15, &ProviderNameKey, Cell::Text},
        {QT_TRANSLATE_NOOP("Reports", "Property"), 220, &PropertyNameKey, Cell::Text},
        {QT_TRANSLATE_NOOP("Reports", "Service Date"), 350, &ServiceDateKey, Cell::ShortDate},
        {QT_TRANSLATE_NOOP("Reports", "Service Task"), 450, &ServiceTaskNameKey, Cell::Text}};
    static const QList<Column> propertyList = {
        {QT_TRANSLATE_NOOP("Reports", "Property"), 15, &PropertyNameKey, Cell::Text},
        {QT_TRANSLATE_NOOP("Reports", "Address"), 200, &PropertyAddressKey, Cell::Text},
        {QT_TRANSLATE_NOOP("Reports", "City"), 400, &PropertyCityKey, Cell::Text},
        {QT_TRANSLATE_NOOP("Reports", "Postal Code"), 550, &PropertyZipKey, Cell::Text},
        {QT_TRANSLATE_NOOP("Reports", "Year Built"), 660, &PropertyConstDateKey, Cell::Year}};
    static const QList<Column> providerList = {
        {QT_TRANSLATE_NOOP("Reports", "Provider"), 15, &ProviderNameKey, Cell::Text},
        {QT_TRANSLATE_NOOP("Reports", "Address"), 200, &ProviderAddressKey, Cell::Text},
        {QT_TRANSLATE_NOOP("Reports", "Phone"), 480, &ProviderPhoneKey, Cell::Text},
        {QT_TRANSLATE_NOOP("Reports", "Notes"), 570, &ProviderNoteKey, Cell::Text}};
    static const QList<Column> taskList = {
        {QT_TRANSLATE_NOOP("Reports", "Task Name"), 15, &ServiceTaskNameKey, Cell::Text},
        {QT_TRANSLATE_NOOP("Reports", "Task Interval Time"), 400, &ServiceTaskNameKey, Cell::TaskInterval}};
    static const QList<Column> maintenanceTable = {{nullptr, 15, &col::property, Cell::Text},
                                                   {nullptr, 100, &col::provider, Cell::Text},
                                                   {nullptr, 230, &col::task, Cell::Text},
                                                   {nullptr, 430, &col::note, Cell::Text},
                                                   {nullptr, 685, &col::propmaintdate, Cell::ShortDate},
                                                   {nullptr, 730, &col::cost, Cell::Amount}};
    switch (whichReport) {
    case ReportByProperty:
        return byProperty;
    case ReportByDate:
        return byDate;
    case ReportByProvider:
        return byProvider;
    case ReportPropertyList:
        return propertyList;
    case ReportProviderList:
        return providerList;
    case ReportTaskList:
        return taskList;
    case ReportMaintenanceTable:
        return maintenanceTable;
    default:
        return none;
    }
}

// A stored cost string read as the log stores it, whichever locale wrote it;
// a text that starts with no number reads as 0.
double costOfText(const QString &text)
{
    if (const std::optional<double> amount = storedCostAmount(text))
        return *amount;
    return plainNumber(text);
}

// What a cell says, worked out once per value: a long report repeats its
// dates and amounts many times.
template <typename Key, typename Make>
QString remembered(QHash<Key, QString> *memo, const Key &key, Make make)
{
    if (!memo)
        return make();
    auto it = memo->constFind(key);
    if (it == memo->constEnd())
        it = memo->insert(key, make());
    return *it;
}

// How many rows' cell texts a worker has worked out, for a thread that
// waits to draw them.
class RowsReady
{
public:
    void publish(qsizetype rows)
    {
        {
            const std::lock_guard lock(mutex);
            done = rows;
        }
        changed.notify_one();
    }
    void waitFor(qsizetype rows)
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return done >= rows; });
    }

private:
    std::mutex mutex;
    std::condition_variable changed;
    qsizetype done = 0;
};

QString cellText(const Column &column, const RecordList &rows, qsizetype index, ReportCellMemo *memo)
{
    const QVariant value = rowValue(rows, index, *column.key);
    if (!value.isValid())
        return {};
    switch (column.cell) {
    case Cell::Text:
        return value.toString();
    case Cell::ShortDate: {
        if (value.typeId() != QMetaType::QDateTime)
            return {};
        const QDateTime date = value.toDateTime();
        if (!date.isValid())
            return NSDateUtilities::shortStyleFromDate(date);
        return remembered(memo ? &memo->dates : nullptr, date.toMSecsSinceEpoch(),
                          [&] { return NSDateUtilities::shortStyleFromDate(date); });
    }
    case Cell::Year:
        return value.typeId() == QMetaType::QDateTime ? NSDateUtilities::yearFromDate(value.toDateTime())
                                                      : QString();
    case Cell::CostText:
        if (value.typeId() == QMetaType::QString) {
            const QString text = value.toString();
            return remembered(memo ? &memo->costTexts : nullptr, text,
                              [&] { return formatReportCurrency(costOfText(text)); });
        }
        return formatReportCurrency(value.toDouble());
    case Cell::Amount:
        return formatReportCurrency(value.toDouble());
    case Cell::TaskInterval:
        // The task is looked up in this report's own rows.
        return copyTaskDescAndTimeLabel(copyDictContainingTitle(value.toString(), ServiceTaskNameKey, rows));
    }
    return {};
}

// File names must not carry path separators or characters other systems refuse.
QString fileNameSafe(QString text)
{
    static const QString refused = QStringLiteral("/\\:*?\"<>|");
    for (QChar &c : text)
        if (refused.contains(c) || c.category() == QChar::Other_Control)
            c = QLatin1Char('-');
    return text.trimmed();
}

} // namespace

bool isReportKind(unsigned whichReport)
{
    return (whichReport >= ReportByProperty && whichReport <= ReportTaskList) ||
           whichReport == ReportMaintenanceTable;
}

QString reportTitle(unsigned whichReport)
{
    switch (whichReport) {
    case ReportByProperty:
    case ReportByDate:
    case ReportByProvider:
        return tr("Property Maintenance Report");
    case ReportPropertyList:
        return tr("Property List Report");
    case ReportProviderList:
        return tr("Provider List Report");
    case ReportTaskList:
        return tr("Task List Report");
    case ReportMaintenanceTable:
        return tr("Maintenance Table Contents");
    default:
        return {};
    }
}

QString reportFileTitle(unsigned whichReport)
{
    switch (whichReport) {
    case ReportByProperty:
        return reportTitle(whichReport) + tr(" by Property");
    case ReportByDate:
        return reportTitle(whichReport) + tr(" by Date");
    case ReportByProvider:
        return reportTitle(whichReport) + tr(" by Provider");
    default:
        return reportTitle(whichReport);
    }
}

QString reportsFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("KOV Reports"));
}

QString createReportFile(const QString &folder, const QString &title, const QDateTime &when, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return QString();
    };
    if (!QDir().mkpath(folder))
        return fail(tr("The folder %1 could not be made.").arg(QDir::toNativeSeparators(folder)));
    const QString base = fileNameSafe(title) + QLatin1Char(' ') +
                         when.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH.mm.ss"));
    const QDir dir(folder);
    for (int n = 1; n < 10000; ++n) {
        const QString path =
            dir.filePath(base + (n > 1 ? QStringLiteral(" %1").arg(n) : QString()) + QStringLiteral(".pdf"));
        QFile file(path);
        // Made exclusively, so nothing existing is ever opened for writing.
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return path;
        const QFileInfo info(path);
        if (!info.exists() && !info.isSymLink())
            return fail(
                tr("%1 could not be written: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    return fail(tr("No free document name in %1.").arg(QDir::toNativeSeparators(folder)));
}

QString formatReportCurrency(double amount)
{
    return copyFormatStringForTextField(amount, pattern::moneyWithZero);
}

QVariant rowValue(const RecordList &rows, qsizetype index, const QString &key)
{
    if (index < 0 || index >= rows.size())
        return {};
    return rows.at(index).value(key);
}

ReportPagePlan planReportPages(qsizetype rowCount, qreal pitch, bool withTotals)
{
    ReportPagePlan plan;
    qreal y = 0;
    for (qsizetype i = 0; i < rowCount; ++i) {
        if (i % ReportRowsPerPage == 0) {
            ++plan.pageCount;
            y = headingY;
        }
        y -= pitch;
        plan.rowPage.append(plan.pageCount);
        plan.rowY.append(y);
    }
    if (withTotals && rowCount > 0) {
        if (y < lowestRowBeforeTotals) {
            ++plan.pageCount;
            y = headingY - pitch;
        }
        plan.totalsPage = plan.pageCount;
        plan.totalsY = y - totalsStep;
    }
    return plan;
}

void drawDoubleRule(PrintJob &job, qreal x, qreal y)
{
    drawLine(job, x, y, ruleRight, y, 1.0);
    drawLine(job, x, y - 4, ruleRight, y - 4, 1.8);
}

void drawPageHeader(PrintJob &job, int pageNumber, unsigned whichReport,
                    const QStringList &maintenanceTableTitles, ReportCellMemo *memo)
{
    // The same font objects page after page: the print engine finds a font
    // it has seen by identity.
    if (memo && !memo->fonts) {
        memo->fonts = true;
        memo->headerFont = createReportFont(ReportFont::Header);
        memo->headingFont = createReportFont(ReportFont::Heading);
    }
    const QFont headerFont = memo ? memo->headerFont : createReportFont(ReportFont::Header);
    const QFont headingFont = memo ? memo->headingFont : createReportFont(ReportFont::Heading);
    const QString dateLabel = tr("Today's Date:");
    drawTextAt(job, dateLabel, headerFont, false, ruleLeft, headerY);
    QString today = memo ? memo->today : QString();
    if (today.isEmpty())
        today = NSDateUtilities::shortStyleFromDate(Clock::now());
    if (memo)
        memo->today = today;
    drawTextAt(job, today, headerFont, false, ruleLeft + dateXPerCharacter * dateLabel.size(), headerY);
    drawTextAt(job, reportTitle(whichReport), headerFont, false, 315, headerY);
    drawTextAt(job, tr("Page: ") + QString::number(pageNumber), headerFont, false, 675, headerY);
    drawDoubleRule(job, ruleLeft, ruleY);
    const QList<Column> &columns = columnsOf(whichReport);
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const QString heading = columns[i].heading
                                    ? QCoreApplication::translate("Reports", columns[i].heading)
                                    : maintenanceTableTitles.value(i);
        drawTextAt(job, heading, headingFont, true, columns[i].x, headingY);
    }
}

// Draws every page of the report into `job`.
static void drawReport(PrintJob &job, unsigned whichReport, const RecordList &rows, double total,
                       double average, const ReportOptions &options, const PageBegun &pageBegun)
{
    const QFont rowFont = createReportFont(ReportFont::Row);
    const qreal pitch = fontLineHeight(job, rowFont) + 2.0;
    const ReportPagePlan plan = planReportPages(rows.size(), pitch, whichReport == ReportByDate);
    ReportCellMemo memo;
    int page = 0;
    auto turnTo = [&](int wanted) {
        if (wanted == page)
            return;
        if (page > 0)
            startNewPage(job);
        page = wanted;
        if (pageBegun)
            pageBegun(page, plan.pageCount);
        drawPageHeader(job, page, whichReport, options.maintenanceTableTitles, &memo);
    };
    // The cell texts are worked out on a worker thread while this one draws
    // the rows before them: the locale's formatters are each thread's own.
    const QList<Column> &columns = columnsOf(whichReport);
    const qsizetype width = columns.size();
    std::vector<QString> texts(size_t(rows.size() * width));
    RowsReady ready;
    // A thread of its own, not one of a pool: this one waits for it, and a
    // pool taken up by other work would never start it.
    std::thread cells([&rows, &columns, &texts, &ready, width] {
        ReportCellMemo cellMemo;
        for (qsizetype i = 0; i < rows.size(); ++i) {
            for (qsizetype c = 0; c < width; ++c)
                texts[size_t(i * width + c)] = cellText(columns[c], rows, i, &cellMemo);
            if (i % 32 == 31 || i + 1 == rows.size())
                ready.publish(i + 1);
        }
    });
    for (qsizetype i = 0; i < rows.size(); ++i) {
        ready.waitFor(i + 1);
        turnTo(plan.rowPage[i]);
        for (qsizetype c = 0; c < width; ++c) {
            const QString &text = texts[size_t(i * width + c)];
            if (!text.isEmpty())
                drawTextAt(job, text, rowFont, false, columns[c].x, plan.rowY[i]);
        }
    }
    cells.join();
    if (plan.totalsPage > 0) {
        turnTo(plan.totalsPage);
        qreal y = plan.totalsY;
        drawTextAt(job, QStringLiteral("========="), rowFont, false, totalsAmountX, y);
        y -= totalsStep;
        drawTextAt(job, tr("Total Service Costs"), rowFont, false, totalsLabelX, y);
        drawTextAt(job, formatReportCurrency(total), rowFont, false, totalsAmountX, y);
        y -= totalsStep;
        drawTextAt(job, tr("Average Monthly Cost"), rowFont, false, totalsLabelX, y);
        drawTextAt(job, formatReportCurrency(average), rowFont, false, totalsAmountX, y);
    }
}

ReportOutcome printReport(unsigned whichReport, const RecordList &rows, double total, double average,
                          const ReportOptions &options, const PageBegun &pageBegun)
{
    ReportOutcome outcome;
    if (!isReportKind(whichReport)) {
        outcome.status = ReportOutcome::UnknownReport;
        return outcome;
    }
    // A report without rows would be a blank page: no document at all.
    if (rows.isEmpty()) {
        outcome.status = ReportOutcome::NoData;
        return outcome;
    }
    // Fonts and PDF output live in QtGui; the offscreen platform serves a
    // command line.
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        outcome.error = QStringLiteral("printReport needs a QGuiApplication");
        return outcome;
    }
    const QString title = reportTitle(whichReport);
    const QString folder = options.folder.isEmpty() ? reportsFolder() : options.folder;
    const QString path = createReportFile(folder, reportFileTitle(whichReport), Clock::now(), &outcome.error);
    if (path.isEmpty())
        return outcome;

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::ExistingOnly)) {
        outcome.error = tr("%1 could not be written: %2").arg(QDir::toNativeSeparators(path), file.errorString());
        file.remove();
        return outcome;
    }
    // Written directly unless a text needs a face only the painter can
    // draw; then the document is drawn again from its first page.
    bool ended = false;
    for (const PrintEngine engine : {PrintEngine::Direct, PrintEngine::Painter}) {
        if (engine == PrintEngine::Painter && !(file.resize(0) && file.seek(0)))
            break;
        PrintJob job;
        if (!beginPrintJob(job, &file, title, QPageLayout::Landscape, engine)) {
            outcome.error = tr("The report document could not be started.");
            file.close();
            file.remove();
            return outcome;
        }
        drawReport(job, whichReport, rows, total, average, options, pageBegun);
        ended = endPrintJob(job);
        if (!job.needsPainter)
            break;
    }
    file.close();
    if (!ended || file.error() != QFileDevice::NoError) {
        outcome.error =
            tr("%1 could not be written: %2").arg(QDir::toNativeSeparators(path), file.errorString());
        file.remove();
        return outcome;
    }
    outcome.status = ReportOutcome::Written;
    outcome.path = path;
    return outcome;
}

} // namespace kov
