// Cost totals and monthly averages without widgets: summing stored costs
// (also ones written under another locale), the mean-month count, the
// average rule, and the costs per local calendar month behind the chart.
#include <cmath>
#include <limits>

#include <QLocale>
#include <QTest>

#include <unicode/locid.h>

#include "costs/costcalc.h"
#include "log/costrules.h"
#include "storage/dates.h"

#include "testsupport.h"

using namespace kov;

namespace {

using kov::test::LocaleScope;

using kov::test::local;

// A logged job on a day, with its costs in the canonical form; the total is
// what the entry form would have stored.
Record job(const QDateTime &date, const QString &parts, const QString &labor, const QString &tax,
           const QString &total)
{
    return {{PropertyNameKey, QStringLiteral("Lake House")},
            {ServiceTaskNameKey, QStringLiteral("Clean gutters")},
            {ServiceDateKey, NSDateUtilities::cleanseDate(date)},
            {PartsCostKey, parts},
            {LaborCostKey, labor},
            {TaxCostKey, tax},
            {TotalCostKey, total}};
}

const qint64 meanMonthMs = 2629743833; // MeanMonthSeconds to the millisecond

} // namespace

class TestCosts : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void elapsedMonths_data();
    void elapsedMonths();
    void averageRule_data();
    void averageRule();
    void figures_data();
    void figures();
    void totalOfOneKey_data();
    void totalOfOneKey();
    void storedUnderAnotherLocale_data();
    void storedUnderAnotherLocale();
    void monthsOfRange_data();
    void monthsOfRange();
    void monthlySumsEqualTotals_data();
    void monthlySumsEqualTotals();
    void localMonthNotUtcMonth();
    void monthLabels_data();
    void monthLabels();
};

void TestCosts::elapsedMonths_data()
{
    QTest::addColumn<QDateTime>("begin");
    QTest::addColumn<QDateTime>("end");
    QTest::addColumn<double>("months");
    const QDateTime jan = local(2026, 1, 1);
    QTest::newRow("same day, same time") << local(2026, 3, 14, 9, 30) << local(2026, 3, 14, 9, 30) << 0.0;
    QTest::newRow("20 days") << jan << jan.addDays(20) << 20 * 86400.0 / MeanMonthSeconds;
    QTest::newRow("one mean month") << jan << jan.addMSecs(meanMonthMs) << 1.0;
    QTest::newRow("2.5 mean months") << jan << jan.addMSecs(qint64(2.5 * MeanMonthSeconds * 1000)) << 2.5;
    // The end picker holds today with the time of day; it is not cut to days.
    QTest::newRow("time of day counts")
        << jan << local(2026, 1, 21, 18) << (20 * 86400.0 + 18 * 3600.0) / MeanMonthSeconds;
    // Instants, so the hour lost to daylight saving time in March is missing.
    QTest::newRow("across daylight saving")
        << local(2026, 3, 1) << local(2026, 4, 1) << (31 * 86400.0 - 3600.0) / MeanMonthSeconds;
    QTest::newRow("begin later: negative") << jan.addDays(20) << jan << -20 * 86400.0 / MeanMonthSeconds;
    QTest::newRow("one year") << local(2025, 1, 1) << local(2026, 1, 1) << 365 * 86400.0 / MeanMonthSeconds;
}

void TestCosts::elapsedMonths()
{
    QFETCH(QDateTime, begin);
    QFETCH(QDateTime, end);
    QFETCH(double, months);
    const double got = calcElapsedMonths(end, begin);
    QVERIFY2(std::abs(got - months) < 1e-9, qPrintable(QString::number(got, 'g', 17)));
}

void TestCosts::averageRule_data()
{
    QTest::addColumn<double>("total");
    QTest::addColumn<double>("months");
    QTest::addColumn<double>("average");
    QTest::newRow("2.5 months") << 250.0 << 2.5 << 100.0;
    QTest::newRow("3 months") << 300.0 << 3.0 << 100.0;
    QTest::newRow("exactly one") << 120.0 << 1.0 << 120.0;
    QTest::newRow("just below one") << 120.0 << 0.99999 << 120.0;
    QTest::newRow("20 days") << 120.0 << 20 * 86400.0 / MeanMonthSeconds << 120.0;
    QTest::newRow("zero months") << 120.0 << 0.0 << 120.0;
    QTest::newRow("negative months") << 120.0 << -3.0 << 120.0;
    QTest::newRow("not a number") << 120.0 << std::numeric_limits<double>::quiet_NaN() << 120.0;
    QTest::newRow("nothing spent") << 0.0 << 4.0 << 0.0;
}

void TestCosts::averageRule()
{
    QFETCH(double, total);
    QFETCH(double, months);
    QFETCH(double, average);
    QCOMPARE(calcAvgCost(total, months), average);
}

void TestCosts::figures_data()
{
    QTest::addColumn<QDateTime>("begin");
    QTest::addColumn<QDateTime>("end");
    QTest::addColumn<double>("avgTotal");
    QTest::addColumn<double>("avgParts");
    const QDateTime jan = local(2026, 1, 1);
    // 100 + 100 + 50 = 250 in all; parts 150.
    QTest::newRow("same day: averages are totals") << jan << jan << 250.0 << 150.0;
    QTest::newRow("20 days: averages are totals") << jan << jan.addDays(20) << 250.0 << 150.0;
    QTest::newRow("one mean month") << jan << jan.addMSecs(meanMonthMs) << 250.0 << 150.0;
    QTest::newRow("a millisecond short of a month") << jan << jan.addMSecs(meanMonthMs - 1) << 250.0 << 150.0;
    QTest::newRow("2.5 mean months") << jan << jan.addMSecs(qint64(2.5 * MeanMonthSeconds * 1000)) << 100.0
                                     << 60.0;
}

void TestCosts::figures()
{
    QFETCH(QDateTime, begin);
    QFETCH(QDateTime, end);
    QFETCH(double, avgTotal);
    QFETCH(double, avgParts);
    const RecordList records{job(local(2026, 1, 1), "60.00", "30.00", "10.00", "100.00"),
                             job(local(2026, 1, 5), "60.00", "30.00", "10.00", "100.00"),
                             job(local(2026, 1, 9), "30.00", "15.00", "5.00", "50.00")};
    const CostFigures f = calcCostFigures(records, begin, end);
    QCOMPARE(f.records, 3);
    QCOMPARE(f.total, 250.0);
    QCOMPARE(f.parts, 150.0);
    QCOMPARE(f.labor, 75.0);
    QCOMPARE(f.tax, 25.0);
    // To the cent, as the fields show them.
    QCOMPARE(std::round(f.avgTotal * 100) / 100, avgTotal);
    QCOMPARE(std::round(f.avgParts * 100) / 100, avgParts);
    QCOMPARE(f.avgLabor, calcAvgCost(75.0, f.months));
    QCOMPARE(f.avgTax, calcAvgCost(25.0, f.months));
}

void TestCosts::totalOfOneKey_data()
{
    QTest::addColumn<QVariantList>("values"); // an invalid QVariant: the key is absent
    QTest::addColumn<double>("total");
    QTest::newRow("empty list") << QVariantList{} << 0.0;
    QTest::newRow("canonical amounts") << QVariantList{"12.50", "7.25", "100.00"} << 119.75;
    QTest::newRow("zero form") << QVariantList{".00", "5.00"} << 5.0;
    QTest::newRow("key missing") << QVariantList{QVariant(), "5.00"} << 5.0;
    QTest::newRow("no number counts as nothing") << QVariantList{"abc", "", "5.00"} << 5.0;
    QTest::newRow("negative refund") << QVariantList{"-20.00", "50.00"} << 30.0;
    QTest::newRow("grouped where comma groups") << QVariantList{"1,234.50"} << 1234.5;
    QTest::newRow("numbers from another program") << QVariantList{12.5, qlonglong(3)} << 15.5;
    QTest::newRow("not a cost at all") << QVariantList{QByteArray("12.00"), true, "1.00"} << 1.0;
}

void TestCosts::totalOfOneKey()
{
    QFETCH(QVariantList, values);
    QFETCH(double, total);
    RecordList records;
    for (const QVariant &v : values) {
        Record r{{PropertyNameKey, QStringLiteral("Lake House")}};
        if (v.isValid())
            r.insert(LaborCostKey, v);
        records.append(r);
    }
    QCOMPARE(calcTotalCost(records, LaborCostKey), total);
    QCOMPARE(calcTotalCost(records, PartsCostKey), 0.0);
}

void TestCosts::storedUnderAnotherLocale_data()
{
    QTest::addColumn<QString>("writer");
    QTest::addColumn<QString>("reader");
    QTest::addColumn<double>("months");
    QTest::addColumn<double>("average");
    QTest::newRow("de log read in en_US") << "de_DE"
                                          << "en_US" << 2.5 << 100.0;
    QTest::newRow("en_US log read in de") << "en_US"
                                          << "de_DE" << 2.5 << 100.0;
    QTest::newRow("fr log read in en_US") << "fr_FR"
                                          << "en_US" << 0.5 << 250.0;
    QTest::newRow("en_US log read in ja") << "en_US"
                                          << "ja_JP" << 5.0 << 50.0;
}

void TestCosts::storedUnderAnotherLocale()
{
    QFETCH(QString, writer);
    QFETCH(QString, reader);
    QFETCH(double, months);
    QFETCH(double, average);
    RecordList records;
    {
        // Canonical forms exactly as the entry form writes them there.
        LocaleScope scope(writer);
        records.append(job(local(2026, 2, 1), formatCostStrings(1234.5), formatCostStrings(-1034.5),
                           formatCostStrings(0), formatCostStrings(200)));
        records.append(job(local(2026, 2, 2), formatCostStrings(25), formatCostStrings(20),
                           formatCostStrings(5), formatCostStrings(50)));
    }
    LocaleScope scope(reader);
    const QDateTime begin = local(2026, 1, 1);
    const CostFigures f =
        calcCostFigures(records, begin, begin.addMSecs(qint64(months * MeanMonthSeconds * 1000)));
    QCOMPARE(f.parts, 1259.5);
    QCOMPARE(f.labor, -1014.5);
    QCOMPARE(f.tax, 5.0);
    QCOMPARE(f.total, 250.0);
    QCOMPARE(std::round(f.avgTotal * 100) / 100, average);
}

void TestCosts::monthsOfRange_data()
{
    QTest::addColumn<QDateTime>("begin");
    QTest::addColumn<QDateTime>("end");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("firstYear");
    QTest::addColumn<int>("firstMonth");
    QTest::addColumn<int>("lastYear");
    QTest::addColumn<int>("lastMonth");
    QTest::newRow("one day") << local(2026, 3, 14) << local(2026, 3, 14) << 1 << 2026 << 3 << 2026 << 3;
    QTest::newRow("this year so far")
        << local(2026, 1, 1) << local(2026, 12, 6, 12, 25) << 12 << 2026 << 1 << 2026 << 12;
    QTest::newRow("across the new year")
        << local(2025, 12, 20) << local(2026, 2, 3) << 3 << 2025 << 12 << 2026 << 2;
    QTest::newRow("last instant of a month")
        << local(2026, 1, 1) << local(2026, 1, 31, 23, 59) << 1 << 2026 << 1 << 2026 << 1;
    QTest::newRow("begin later: none") << local(2026, 3, 1) << local(2026, 2, 1) << 0 << 0 << 0 << 0 << 0;
}

void TestCosts::monthsOfRange()
{
    QFETCH(QDateTime, begin);
    QFETCH(QDateTime, end);
    QFETCH(int, count);
    const QList<MonthCosts> months = costsPerMonth({}, begin, end);
    QCOMPARE(months.size(), count);
    if (count == 0)
        return;
    QFETCH(int, firstYear);
    QFETCH(int, firstMonth);
    QFETCH(int, lastYear);
    QFETCH(int, lastMonth);
    QCOMPARE(months.first().year, firstYear);
    QCOMPARE(months.first().month, firstMonth);
    QCOMPARE(months.last().year, lastYear);
    QCOMPARE(months.last().month, lastMonth);
    for (qsizetype i = 1; i < months.size(); ++i) // consecutive
        QCOMPARE(months[i].year * 12 + months[i].month, months[i - 1].year * 12 + months[i - 1].month + 1);
}

void TestCosts::monthlySumsEqualTotals_data()
{
    QTest::addColumn<RecordList>("records");
    QTest::addColumn<QList<int>>("perMonth"); // records in each month
    const RecordList year{job(local(2026, 1, 3), "10.00", "20.00", "1.50", "31.50"),
                          job(local(2026, 1, 28), "5.25", ".00", ".42", "5.67"),
                          job(local(2026, 3, 1), ".00", "80.00", "6.40", "86.40"),
                          job(local(2026, 6, 30, 23, 59), "1234.56", "99.99", "10.01", "1344.56"),
                          job(local(2026, 12, 6), "0.10", "0.20", ".00", ".30")};
    QTest::newRow("through the year") << year << QList<int>{2, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1};
    RecordList many;
    for (int i = 0; i < 300; ++i)
        many.append(job(local(2026, 1, 1).addDays(i), "0.10", "0.20", "0.03", "0.33"));
    QTest::newRow("a job a day, cents adding up")
        << many << QList<int>{31, 28, 31, 30, 31, 30, 31, 31, 30, 27, 0, 0};
    QTest::newRow("missing and odd costs")
        << RecordList{{{ServiceDateKey, local(2026, 2, 2)}, {PartsCostKey, "7.00"}},
                      {{ServiceDateKey, local(2026, 2, 3)}, {LaborCostKey, "abc"}, {TotalCostKey, "9.00"}}}
        << QList<int>{0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
}

void TestCosts::monthlySumsEqualTotals()
{
    QFETCH(RecordList, records);
    QFETCH(QList<int>, perMonth);
    const QDateTime begin = local(2026, 1, 1), end = local(2026, 12, 6, 12, 25);
    const QList<MonthCosts> months = costsPerMonth(records, begin, end);
    QCOMPARE(months.size(), perMonth.size());
    const CostFigures f = calcCostFigures(records, begin, end);
    double parts = 0, labor = 0, tax = 0, total = 0;
    qsizetype count = 0;
    for (qsizetype i = 0; i < months.size(); ++i) {
        QCOMPARE(months[i].records, perMonth[i]);
        parts += months[i].parts;
        labor += months[i].labor;
        tax += months[i].tax;
        total += months[i].total;
        count += months[i].records;
    }
    QCOMPARE(count, f.records);
    // The same amounts summed in another order agree to far below a cent.
    QVERIFY(std::abs(parts - f.parts) < 1e-6);
    QVERIFY(std::abs(labor - f.labor) < 1e-6);
    QVERIFY(std::abs(tax - f.tax) < 1e-6);
    QVERIFY(std::abs(total - f.total) < 1e-6);
}

void TestCosts::localMonthNotUtcMonth()
{
    // 23:30 on 31 January in New York is already February in UTC.
    Record late = job(local(2026, 1, 31), "1.00", "2.00", "3.00", "6.00");
    late.insert(ServiceDateKey, local(2026, 1, 31, 23, 30));
    QCOMPARE(late.value(ServiceDateKey).toDateTime().toUTC().date().month(), 2);
    const QList<MonthCosts> months = costsPerMonth({late}, local(2026, 1, 1), local(2026, 2, 28));
    QCOMPARE(months.size(), 2);
    QCOMPARE(months[0].records, 1);
    QCOMPARE(months[0].tax, 3.0);
    QCOMPARE(months[1].records, 0);
}

void TestCosts::monthLabels_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("shortLabel");
    QTest::addColumn<QString>("longLabel");
    QTest::newRow("en_US") << "en_US"
                           << "Mar 2026"
                           << "March 2026";
    QTest::newRow("de_DE") << "de_DE" << QString::fromUtf8("März 2026") << QString::fromUtf8("März 2026");
    QTest::newRow("fr_FR") << "fr_FR" << QString::fromUtf8("mars 2026") << QString::fromUtf8("mars 2026");
}

void TestCosts::monthLabels()
{
    QFETCH(QString, locale);
    QFETCH(QString, shortLabel);
    QFETCH(QString, longLabel);
    LocaleScope scope(locale);
    QCOMPARE(shortMonthLabel(2026, 3), shortLabel);
    QCOMPARE(longMonthLabel(2026, 3), longLabel);
    // December and January keep their own years.
    QVERIFY(shortMonthLabel(2025, 12).contains(QStringLiteral("2025")));
    QVERIFY(shortMonthLabel(2026, 1).contains(QStringLiteral("2026")));
}

QTEST_GUILESS_MAIN(TestCosts)
#include "tst_costs.moc"
