// Report documents without widgets: the paper of the locale, the page plan,
// and whole PDF documents read back with QtPdf (pages, text, positions).
#include <QDir>
#include <QLocale>
#include <QPdfDocument>
#include <QPdfSelection>
#include <QTemporaryDir>
#include <QTest>

#include "reports/pagelayout.h"
#include "reports/printengine.h"
#include "storage/clock.h"
#include "storage/dates.h"

using namespace kov;

namespace {

// Sets (or, for a null value, unsets) an environment variable for the life
// of the object.
class EnvScope {
public:
    EnvScope(const char *name, const QByteArray &value)
        : name(name), had(qEnvironmentVariableIsSet(name)), saved(qgetenv(name))
    {
        value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }
    ~EnvScope() { had ? qputenv(name, saved) : qunsetenv(name); }

private:
    const char *name;
    bool had;
    QByteArray saved;
};

class DefaultLocaleScope {
public:
    explicit DefaultLocaleScope(const QString &name) { QLocale::setDefault(QLocale(name)); }
    ~DefaultLocaleScope() { QLocale::setDefault(QLocale::system()); }
};

const QDateTime printedAt(QDate(2026, 12, 6), QTime(14, 5, 9));

QDateTime day(int y, int m, int d)
{
    return NSDateUtilities::cleanseDate(QDateTime(QDate(y, m, d), QTime(12, 0)));
}

QString numbered(const QString &what, int n)
{
    return QStringLiteral("%1 %2").arg(what).arg(n, 3, 10, QLatin1Char('0'));
}

RecordList maintenanceRecords(int count, const QString &cost = QStringLiteral("10.00"))
{
    RecordList rows;
    for (int i = 1; i <= count; ++i)
        rows.append({{PropertyNameKey, numbered(QStringLiteral("House"), i)},
                     {ProviderNameKey, QStringLiteral("Acme Roofing")},
                     {ServiceTaskNameKey, QStringLiteral("Clean gutters")},
                     {ServiceDateKey, day(2026, 3, 14)},
                     {TotalCostKey, cost}});
    return rows;
}

RecordList propertyRecords(int count)
{
    RecordList rows;
    for (int i = 1; i <= count; ++i)
        rows.append({{PropertyNameKey, numbered(QStringLiteral("House"), i)},
                     {PropertyAddressKey, QStringLiteral("12 Elm Street")},
                     {PropertyCityKey, QStringLiteral("Springfield")},
                     {PropertyZipKey, QStringLiteral("01101")},
                     {PropertyConstDateKey, day(1928, 6, 1)}});
    return rows;
}

struct Document {
    QString path;
    std::unique_ptr<QPdfDocument> pdf = std::make_unique<QPdfDocument>();
    int pages() const { return pdf->pageCount(); }
    QString text(int page) const { return pdf->getAllText(page).text(); }
    // Where the text shows on the page (its n-th occurrence), in points from
    // the top left.
    QRectF boundsOf(int page, const QString &what, int occurrence = 0) const
    {
        const QString all = text(page);
        qsizetype at = all.indexOf(what);
        while (at >= 0 && occurrence-- > 0)
            at = all.indexOf(what, at + 1);
        if (at < 0)
            return {};
        return pdf->getSelectionAtIndex(page, int(at), int(what.size())).boundingRectangle();
    }
};

} // namespace

class TestReports : public QObject {
    Q_OBJECT
private:
    QTemporaryDir folder;
    ReportOptions options;
    Document print(unsigned which, const RecordList &rows, double total = 0, double average = 0);

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void paperSize_data();
    void paperSize();
    void currency_data();
    void currency();
    void pagePlan_data();
    void pagePlan();

    void pageCounts_data();
    void pageCounts();
    void rowsSplitAt45();
    void headerAndColumnsLineUp();
    void dateMovesWithLabelLength();
    void totalsBlock();
    void blankNotesCell();
    void costCells_data();
    void costCells();
    void unwritableFolder();
    void taskIntervals();
    void maintenanceTable();
    void paperOfDocument_data();
    void paperOfDocument();
    void noRowsNoDocument();
    void unknownReportNoDocument();
    void namesNeverOverwritten();
    void defaultFolderOutsideDataFolder();
};

Document TestReports::print(unsigned which, const RecordList &rows, double total, double average)
{
    Document doc;
    const ReportOutcome outcome = printReport(which, rows, total, average, options);
    if (outcome.status != ReportOutcome::Written) {
        qWarning() << "not written:" << outcome.status << outcome.error;
        return doc;
    }
    doc.path = outcome.path;
    if (doc.pdf->load(doc.path) != QPdfDocument::Error::None)
        qWarning() << "unreadable:" << doc.path;
    return doc;
}

void TestReports::initTestCase()
{
    QVERIFY(folder.isValid());
    Clock::setFixed(printedAt);
}

void TestReports::init()
{
    // Every test starts with an empty folder of its own.
    options = {};
    options.folder = folder.filePath(QString::fromLatin1(QTest::currentTestFunction()));
    QDir(options.folder).removeRecursively();
}

void TestReports::cleanupTestCase()
{
    Clock::setFixed({});
}

void TestReports::paperSize_data()
{
    QTest::addColumn<QByteArray>("lcAll");
    QTest::addColumn<QByteArray>("lcPaper");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("paper");
    const QByteArray unset;
    QTest::newRow("en_US") << QByteArray("en_US.UTF-8") << unset << "en_US" << int(QPageSize::Letter);
    QTest::newRow("de_DE") << unset << unset << "de_DE" << int(QPageSize::A4);
    QTest::newRow("en_GB") << unset << unset << "en_GB" << int(QPageSize::A4);
    QTest::newRow("LC_PAPER de_DE in en_US")
        << unset << QByteArray("de_DE.UTF-8") << "en_US" << int(QPageSize::A4);
    QTest::newRow("LC_PAPER en_US in de_DE")
        << unset << QByteArray("en_US.UTF-8") << "de_DE" << int(QPageSize::Letter);
    QTest::newRow("LC_ALL overrides LC_PAPER")
        << QByteArray("en_US.UTF-8") << QByteArray("de_DE.UTF-8") << "en_US" << int(QPageSize::Letter);
    QTest::newRow("empty LC_PAPER") << unset << QByteArray("") << "en_US" << int(QPageSize::Letter);
    QTest::newRow("C") << unset << QByteArray("C") << "en_US" << int(QPageSize::A4);
}

void TestReports::paperSize()
{
    QFETCH(QByteArray, lcAll);
    QFETCH(QByteArray, lcPaper);
    QFETCH(QString, locale);
    QFETCH(int, paper);
    const EnvScope all("LC_ALL", lcAll);
    const EnvScope paperEnv("LC_PAPER", lcPaper);
    const DefaultLocaleScope scope(locale);
    QCOMPARE(int(reportPaperSize()), paper);
}

void TestReports::currency_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("text");
    QTest::newRow("1234.5") << 1234.5 << "$1,234.50";
    QTest::newRow("zero") << 0.0 << "$0.00";
    QTest::newRow("cents") << 0.07 << "$0.07";
    QTest::newRow("millions") << 1234567.891 << "$1,234,567.89";
    QTest::newRow("half-even down") << 0.125 << "$0.12";
    QTest::newRow("half-even up") << 0.375 << "$0.38";
}

void TestReports::currency()
{
    QFETCH(double, amount);
    QFETCH(QString, text);
    QCOMPARE(formatReportCurrency(amount), text);
}

void TestReports::pagePlan_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<double>("pitch");
    QTest::addColumn<bool>("totals");
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("lastRowPage");
    QTest::addColumn<double>("lastRowY");
    QTest::addColumn<int>("totalsPage");
    QTest::addColumn<double>("totalsY");
    QTest::newRow("none") << 0 << 10.0 << true << 0 << 0 << 0.0 << 0 << 0.0;
    QTest::newRow("one") << 1 << 10.0 << false << 1 << 1 << 525.0 << 0 << 0.0;
    QTest::newRow("45") << 45 << 10.0 << false << 1 << 1 << 85.0 << 0 << 0.0;
    QTest::newRow("46") << 46 << 10.0 << false << 2 << 2 << 525.0 << 0 << 0.0;
    QTest::newRow("100") << 100 << 10.0 << false << 3 << 3 << 435.0 << 0 << 0.0;
    QTest::newRow("totals below the last row") << 45 << 10.0 << true << 1 << 1 << 85.0 << 1 << 70.0;
    QTest::newRow("last row at 60 keeps the totals") << 25 << 19.0 << true << 1 << 1 << 60.0 << 1 << 45.0;
    QTest::newRow("totals move below 60") << 45 << 11.0 << true << 2 << 1 << 40.0 << 2 << 509.0;
    QTest::newRow("second page totals") << 46 << 11.0 << true << 2 << 2 << 524.0 << 2 << 509.0;
}

void TestReports::pagePlan()
{
    QFETCH(int, rows);
    QFETCH(double, pitch);
    QFETCH(bool, totals);
    const ReportPagePlan plan = planReportPages(rows, pitch, totals);
    QTEST(plan.pageCount, "pages");
    QCOMPARE(plan.rowPage.size(), rows);
    QTEST(plan.totalsPage, "totalsPage");
    QTEST(plan.totalsY, "totalsY");
    if (rows > 0) {
        QTEST(plan.rowPage.last(), "lastRowPage");
        QTEST(plan.rowY.last(), "lastRowY");
        // Rows fill pages in order, 45 to a page.
        for (int i = 0; i < rows; ++i)
            QCOMPARE(plan.rowPage[i], i / 45 + 1);
    }
}

void TestReports::pageCounts_data()
{
    QTest::addColumn<unsigned>("which");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("pages");
    QTest::newRow("1: 45 rows") << 1u << 45 << 1;
    QTest::newRow("1: 46 rows") << 1u << 46 << 2;
    QTest::newRow("2: 45 rows and totals") << 2u << 45 << 1;
    QTest::newRow("2: 46 rows and totals") << 2u << 46 << 2;
    QTest::newRow("3: 100 rows") << 3u << 100 << 3;
    QTest::newRow("4: 1 row") << 4u << 1 << 1;
    QTest::newRow("4: 90 rows") << 4u << 90 << 2;
    QTest::newRow("4: 91 rows") << 4u << 91 << 3;
}

void TestReports::pageCounts()
{
    QFETCH(unsigned, which);
    QFETCH(int, rows);
    const Document doc = print(which, which == 4 ? propertyRecords(rows) : maintenanceRecords(rows));
    QTEST(doc.pages(), "pages");
    for (int page = 0; page < doc.pages(); ++page)
        QVERIFY2(doc.text(page).contains(QStringLiteral("Page: %1").arg(page + 1)),
                 qPrintable(doc.text(page)));
}

void TestReports::rowsSplitAt45()
{
    const Document doc = print(ReportPropertyList, propertyRecords(46));
    QCOMPARE(doc.pages(), 2);
    const QString first = doc.text(0), second = doc.text(1);
    QVERIFY(first.contains(QStringLiteral("House 001")));
    QVERIFY(first.contains(QStringLiteral("House 045")));
    QVERIFY(!first.contains(QStringLiteral("House 046")));
    QVERIFY(second.contains(QStringLiteral("House 046")));
    QVERIFY(!second.contains(QStringLiteral("House 045")));
    // The second page has the full header again.
    for (const QString &text : {QStringLiteral("Today's Date:"), QStringLiteral("Property List Report"),
                                QStringLiteral("Page: 2"), QStringLiteral("Year Built")})
        QVERIFY2(second.contains(text), qPrintable(text));
    QCOMPARE(second.count(QStringLiteral("Springfield")), 1);

    // Row 45 sits 45 pitches below the headings, row 46 one pitch below them.
    const QRectF heading = doc.boundsOf(0, QStringLiteral("Property"));
    const QRectF row1 = doc.boundsOf(0, QStringLiteral("House 001"));
    const QRectF row45 = doc.boundsOf(0, QStringLiteral("House 045"));
    const QRectF row46 = doc.boundsOf(1, QStringLiteral("House 046"));
    const qreal pitch = (row45.bottom() - row1.bottom()) / 44;
    QVERIFY2(pitch > 9 && pitch < 535.0 / 45, qPrintable(QString::number(pitch)));
    QVERIFY(qAbs(row46.bottom() - row1.bottom()) < 0.5);
    QVERIFY(row1.top() > heading.bottom() - 1);
}

void TestReports::headerAndColumnsLineUp()
{
    const Document doc = print(ReportByProperty, maintenanceRecords(3, QStringLiteral("1234.50")));
    QCOMPARE(doc.pages(), 1);
    const QString text = doc.text(0);
    const QString today = NSDateUtilities::shortStyleFromDate(printedAt);
    for (const QString &s :
         {QStringLiteral("Today's Date:"), today, QStringLiteral("Property Maintenance Report"),
          QStringLiteral("Page: 1"), QStringLiteral("Service Task"), QStringLiteral("Service Date"),
          QStringLiteral("Service Cost"), QStringLiteral("$1,234.50"),
          NSDateUtilities::shortStyleFromDate(day(2026, 3, 14))})
        QVERIFY2(text.contains(s), qPrintable(s + QStringLiteral(" in ") + text));

    // Headings and cells start at their column's x; the paper is Letter,
    // so the page is 612 points high and y counts from its top here.
    const struct {
        QString heading, cell;
        qreal x;
        int occurrence;
    } columns[] = {{QStringLiteral("Property"), QStringLiteral("House 001"), 15, 1},
                   {QStringLiteral("Service Task"), QStringLiteral("Clean gutters"), 250, 0},
                   {QStringLiteral("Service Date"), QStringLiteral("3/14/26"), 550, 0},
                   {QStringLiteral("Service Cost"), QStringLiteral("$1,234.50"), 660, 0}};
    for (const auto &c : columns) {
        const QRectF h = doc.boundsOf(0, c.heading, c.occurrence), cell = doc.boundsOf(0, c.cell);
        QVERIFY2(qAbs(h.left() - c.x) < 2, qPrintable(c.heading));
        QVERIFY2(qAbs(cell.left() - c.x) < 2, qPrintable(c.cell));
        // Headings stand on the baseline 535, above the first row.
        QVERIFY2(qAbs(h.bottom() - (612 - 535)) < 4, qPrintable(c.heading));
        QVERIFY(cell.top() > h.bottom() - 1);
    }
    QVERIFY(qAbs(doc.boundsOf(0, QStringLiteral("Property Maintenance Report")).left() - 315) < 2);
    QVERIFY(qAbs(doc.boundsOf(0, QStringLiteral("Page: 1")).left() - 675) < 2);
}

void TestReports::dateMovesWithLabelLength()
{
    // "Today's Date:" has 13 characters: the date starts at 15 + 5.3 × 13.
    const Document doc = print(ReportTaskList, {{{ServiceTaskNameKey, QStringLiteral("Paint")}}});
    const QRectF date = doc.boundsOf(0, NSDateUtilities::shortStyleFromDate(printedAt));
    QVERIFY2(qAbs(date.left() - (15 + 5.3 * 13)) < 2, qPrintable(QString::number(date.left())));
}

void TestReports::totalsBlock()
{
    const Document doc = print(ReportByDate, maintenanceRecords(45), 1234.5, 0.0);
    QCOMPARE(doc.pages(), 1);
    const QString text = doc.text(0);
    QVERIFY(text.contains(QStringLiteral("=========")));
    QVERIFY(text.contains(QStringLiteral("Total Service Costs")));
    QVERIFY(text.contains(QStringLiteral("Average Monthly Cost")));
    QVERIFY(text.contains(QStringLiteral("$1,234.50")));
    QVERIFY(text.contains(QStringLiteral("$0.00")));
    // The block follows the last row 15, 30 and 45 points below it.
    const QRectF last = doc.boundsOf(0, QStringLiteral("House 045"));
    const QRectF rule = doc.boundsOf(0, QStringLiteral("========="));
    const QRectF total = doc.boundsOf(0, QStringLiteral("Total Service Costs"));
    const QRectF average = doc.boundsOf(0, QStringLiteral("Average Monthly Cost"));
    QVERIFY(qAbs(total.top() - last.top() - 30) < 1.5);
    QVERIFY(qAbs(average.top() - last.top() - 45) < 1.5);
    QVERIFY(qAbs(rule.left() - 630) < 2);
    QVERIFY(qAbs(total.left() - 300) < 2);

    // With 46 rows the block goes with the last row to page 2.
    const Document two = print(ReportByDate, maintenanceRecords(46), 20.0, 10.0);
    QCOMPARE(two.pages(), 2);
    QVERIFY(!two.text(0).contains(QStringLiteral("Total Service Costs")));
    QVERIFY(two.text(1).contains(QStringLiteral("Total Service Costs")));
    QVERIFY(two.text(1).contains(QStringLiteral("$20.00")));
    QVERIFY(two.text(1).contains(QStringLiteral("$10.00")));
}

void TestReports::blankNotesCell()
{
    const RecordList rows = {{{ProviderNameKey, QStringLiteral("Acme Roofing")},
                              {ProviderAddressKey, QStringLiteral("1 Main St")},
                              {ProviderPhoneKey, QStringLiteral("555-0100")}},
                             {{ProviderNameKey, QStringLiteral("Bob's Gutters")},
                              {ProviderAddressKey, QStringLiteral("2 Oak Ave")},
                              {ProviderPhoneKey, QStringLiteral("555-0199")},
                              {ProviderNoteKey, QStringLiteral("ladder work only")}}};
    const Document doc = print(ReportProviderList, rows);
    QCOMPARE(doc.pages(), 1);
    const QString text = doc.text(0);
    for (const QString &s :
         {QStringLiteral("Acme Roofing"), QStringLiteral("1 Main St"), QStringLiteral("555-0100"),
          QStringLiteral("Bob's Gutters"), QStringLiteral("ladder work only"), QStringLiteral("Notes")})
        QVERIFY2(text.contains(s), qPrintable(s));
    QCOMPARE(text.count(QStringLiteral("ladder work only")), 1);
    QVERIFY(qAbs(doc.boundsOf(0, QStringLiteral("ladder work only")).left() - 570) < 2);
}

void TestReports::costCells_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("cell");
    QTest::newRow("canonical") << QVariant(QStringLiteral("1234.50")) << "$1,234.50";
    // A log written under a decimal comma reads the same here.
    QTest::newRow("decimal comma") << QVariant(QStringLiteral("1234,50")) << "$1,234.50";
    QTest::newRow("zero form") << QVariant(QStringLiteral(".00")) << "$0.00";
    QTest::newRow("no number") << QVariant(QStringLiteral("n/a")) << "$0.00";
    QTest::newRow("symbol first") << QVariant(QStringLiteral("$12.00")) << "$0.00";
    QTest::newRow("a real") << QVariant(12.5) << "$12.50";
    QTest::newRow("absent") << QVariant() << "";
}

void TestReports::costCells()
{
    QFETCH(QVariant, stored);
    QFETCH(QString, cell);
    RecordList rows = maintenanceRecords(1);
    rows[0].remove(TotalCostKey);
    if (stored.isValid())
        rows[0].insert(TotalCostKey, stored);
    for (unsigned which : {1u, 2u}) {
        const Document doc = print(which, rows, 1.0, 2.0);
        const QString text = doc.text(0);
        // Report 2's totals add two amounts of their own.
        const int totals = which == 2 ? 2 : 0;
        QCOMPARE(int(text.count(QLatin1Char('$'))), (cell.isEmpty() ? 0 : 1) + totals);
        if (!cell.isEmpty())
            QVERIFY2(text.contains(cell), qPrintable(text));
    }
}

void TestReports::unwritableFolder()
{
    // A file where the folder should be: no document, and a reason.
    QVERIFY(QDir().mkpath(options.folder));
    QFile blocker(QDir(options.folder).filePath(QStringLiteral("blocker")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    options.folder = blocker.fileName() + QStringLiteral("/Reports");
    const ReportOutcome outcome =
        printReport(ReportTaskList, {{{ServiceTaskNameKey, QStringLiteral("Paint")}}}, 0, 0, options);
    QCOMPARE(outcome.status, ReportOutcome::Failed);
    QVERIFY(outcome.path.isEmpty());
    QVERIFY(!outcome.error.isEmpty());
}

void TestReports::taskIntervals()
{
    const RecordList rows = {{{ServiceTaskNameKey, QStringLiteral("Clean gutters")},
                              {ServiceTaskTimeUnits, qlonglong(1)},
                              {ServiceTaskTimeInUnitsKey, qlonglong(3)}},
                             {{ServiceTaskNameKey, QStringLiteral("Paint fence")}}};
    const Document doc = print(ReportTaskList, rows);
    const QString text = doc.text(0);
    QVERIFY2(text.contains(QStringLiteral("3 months")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("None")));
    QVERIFY(qAbs(doc.boundsOf(0, QStringLiteral("3 months")).left() - 400) < 2);
}

void TestReports::maintenanceTable()
{
    options.maintenanceTableTitles = {QStringLiteral("Property"), QStringLiteral("Provider"),
                                      QStringLiteral("Task"),     QStringLiteral("Note"),
                                      QStringLiteral("Date"),     QStringLiteral("Total")};
    const RecordList rows = {{{col::property, QStringLiteral("Lake House")},
                              {col::provider, QStringLiteral("Acme Roofing")},
                              {col::task, QStringLiteral("Clean gutters")},
                              {col::note, QStringLiteral("both sides")},
                              {col::propmaintdate, day(2026, 3, 14)},
                              {col::cost, 1234.5}},
                             {{col::property, QStringLiteral("Barn")},
                              {col::provider, QStringLiteral("Acme Roofing")},
                              {col::task, QStringLiteral("Paint")},
                              {col::propmaintdate, day(2026, 4, 1)}}};
    const Document doc = print(ReportMaintenanceTable, rows);
    QCOMPARE(doc.pages(), 1);
    const QString text = doc.text(0);
    QVERIFY(text.contains(QStringLiteral("Maintenance Table Contents")));
    QVERIFY(text.contains(QStringLiteral("$1,234.50")));
    // The row without a cost or note gets blank cells, not $0.00.
    QVERIFY(!text.contains(QStringLiteral("$0.00")));
    const qreal xs[] = {15, 100, 230, 430, 685, 730};
    // "Date" shows in the header line first.
    const int occurrence[] = {0, 0, 0, 0, 1, 0};
    for (int i = 0; i < 6; ++i)
        QVERIFY2(qAbs(doc.boundsOf(0, options.maintenanceTableTitles[i], occurrence[i]).left() - xs[i]) < 2,
                 qPrintable(options.maintenanceTableTitles[i]));
    QVERIFY(qAbs(doc.boundsOf(0, QStringLiteral("4/1/26")).left() - 685) < 2);
}

void TestReports::paperOfDocument_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QSizeF>("size");
    QTest::newRow("en_US: Letter") << "en_US" << QSizeF(792, 612);
    QTest::newRow("de_DE: A4") << "de_DE" << QSizeF(841.9, 595.3);
}

void TestReports::paperOfDocument()
{
    QFETCH(QString, locale);
    QFETCH(QSizeF, size);
    const DefaultLocaleScope scope(locale);
    const Document doc = print(ReportTaskList, {{{ServiceTaskNameKey, QStringLiteral("Paint")}}});
    QCOMPARE(doc.pages(), 1);
    const QSizeF page = doc.pdf->pagePointSize(0);
    QVERIFY2(qAbs(page.width() - size.width()) < 1 && qAbs(page.height() - size.height()) < 1,
             qPrintable(QStringLiteral("%1 x %2").arg(page.width()).arg(page.height())));
}

void TestReports::noRowsNoDocument()
{
    for (unsigned which : {1u, 2u, 3u, 4u, 5u, 6u, 99u}) {
        const ReportOutcome outcome = printReport(which, {}, 0, 0, options);
        QCOMPARE(outcome.status, ReportOutcome::NoData);
        QVERIFY(outcome.path.isEmpty());
    }
    QVERIFY(QDir(options.folder).isEmpty());
}

void TestReports::unknownReportNoDocument()
{
    for (unsigned which : {0u, 7u, 10u, 98u})
        QCOMPARE(printReport(which, propertyRecords(1), 0, 0, options).status, ReportOutcome::UnknownReport);
    QVERIFY(QDir(options.folder).isEmpty());
}

void TestReports::namesNeverOverwritten()
{
    QVERIFY(QDir().mkpath(options.folder));
    const QString first =
        QDir(options.folder).filePath(QStringLiteral("Property List Report 2026-12-06 14.05.09.pdf"));
    {
        QFile mine(first);
        QVERIFY(mine.open(QIODevice::WriteOnly));
        mine.write("mine");
    }
    const QString a = printReport(ReportPropertyList, propertyRecords(1), 0, 0, options).path;
    const QString b = printReport(ReportPropertyList, propertyRecords(2), 0, 0, options).path;
    QCOMPARE(QFileInfo(a).fileName(), QStringLiteral("Property List Report 2026-12-06 14.05.09 2.pdf"));
    QCOMPARE(QFileInfo(b).fileName(), QStringLiteral("Property List Report 2026-12-06 14.05.09 3.pdf"));
    QFile mine(first);
    QVERIFY(mine.open(QIODevice::ReadOnly));
    QCOMPARE(mine.readAll(), QByteArray("mine"));
    QPdfDocument pdf;
    QCOMPARE(pdf.load(b), QPdfDocument::Error::None);
    QVERIFY(pdf.getAllText(0).text().contains(QStringLiteral("House 002")));
}

void TestReports::defaultFolderOutsideDataFolder()
{
    const QString reports = reportsFolder();
    QCOMPARE(QFileInfo(reports).fileName(), QStringLiteral("KOV Reports"));
    QVERIFY(!reports.contains(QStringLiteral("Tolvanderwerks")));
    options.folder.clear();
    const ReportOutcome outcome =
        printReport(ReportTaskList, {{{ServiceTaskNameKey, QStringLiteral("Paint")}}}, 0, 0, options);
    QCOMPARE(outcome.status, ReportOutcome::Written);
    QCOMPARE(QFileInfo(outcome.path).absolutePath(), QDir(reports).absolutePath());
    QFile::remove(outcome.path);
}

QTEST_MAIN(TestReports)
#include "tst_reports.moc"
