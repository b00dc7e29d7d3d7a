// Cost totals and monthly averages: stored costs summed under any locale, mean
// months, the average rule, cents as shown, costs per local calendar month.
#include <limits>

#include <QTest>

#include "costs/costcalc.h"
#include "log/costrules.h"

#include "testsupport.h"

using namespace kov;
using namespace Qt::StringLiterals;
using kov::test::local;
using kov::test::LocaleScope;

namespace {

Record job(const QDateTime &date, const QString &parts, const QString &labor, const QString &tax,
           const QString &total)
{
    return {{ServiceDateKey, date},
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
    // Months are instants apart over mean months: the time of day, the hour
    // daylight saving time takes away and milliseconds count.
    void elapsedMonths()
    {
        const QDateTime jan = local(2026, 1, 1);
        auto months = [](const QDateTime &begin, const QDateTime &end, double expected) {
            return qAbs(calcElapsedMonths(end, begin) - expected) < 1e-9;
        };
        QVERIFY(months(jan, jan.addMSecs(meanMonthMs), 1.0));
        QVERIFY(months(jan, local(2026, 1, 21, 18), (20 * 86400.0 + 18 * 3600.0) / MeanMonthSeconds));
        QVERIFY(months(local(2026, 3, 1), local(2026, 4, 1), (31 * 86400.0 - 3600.0) / MeanMonthSeconds));
        QVERIFY(months(jan.addDays(20), jan, -20 * 86400.0 / MeanMonthSeconds));
    }

    // Below one month (or not a number of months) the average is the total.
    void averageRule()
    {
        QCOMPARE(calcAvgCost(250.0, 2.5), 100.0);
        QCOMPARE(calcAvgCost(120.0, 0.99999), 120.0);
        QCOMPARE(calcAvgCost(120.0, std::numeric_limits<double>::quiet_NaN()), 120.0);
    }

    // Amounts as the entry form stored them under one locale, summed under
    // another; what is no amount (or no cost) counts as nothing.
    void figures_data()
    {
        QTest::addColumn<QString>("writer");
        QTest::addColumn<QString>("reader");
        QTest::addColumn<double>("months");
        QTest::addColumn<double>("avgTotal");
        QTest::addColumn<double>("avgParts");
        QTest::newRow("de log read in en_US") << u"de_DE"_s << u"en_US"_s << 2.5 << 105.0 << 505.0;
        QTest::newRow("en_US log read in de") << u"en_US"_s << u"de_DE"_s << 2.5 << 105.0 << 505.0;
        QTest::newRow("fr log, half a month") << u"fr_FR"_s << u"en_US"_s << 0.5 << 262.5 << 1262.5;
    }
    void figures()
    {
        QFETCH(QString, writer);
        QFETCH(QString, reader);
        QFETCH(double, months);
        RecordList records;
        {
            LocaleScope scope(writer);
            records.append(job(local(2026, 2, 1), formatCostStrings(1234.5), formatCostStrings(-1034.5),
                               formatCostStrings(0), formatCostStrings(200)));
            records.append(job(local(2026, 2, 2), formatCostStrings(25), formatCostStrings(20),
                               formatCostStrings(5), formatCostStrings(50)));
        }
        records.append({{TotalCostKey, 12.5}, {PartsCostKey, qlonglong(3)}, {TaxCostKey, u"abc"_s}});
        records.append({{TotalCostKey, QByteArray("12.00")}, {LaborCostKey, true}});
        LocaleScope scope(reader);
        const QDateTime begin = local(2026, 1, 1);
        const CostFigures f =
            calcCostFigures(records, begin, begin.addMSecs(qint64(months * MeanMonthSeconds * 1000)));
        QCOMPARE(f.records, 4);
        QCOMPARE(f.total, 262.5);
        QCOMPARE(f.parts, 1262.5);
        QCOMPARE(f.labor, -1014.5);
        QCOMPARE(f.tax, 5.0);
        QTEST(kov::centsAsShown(f.avgTotal), "avgTotal");
        QTEST(kov::centsAsShown(f.avgParts), "avgParts");
    }

    // Figures for scripts are rounded as the window shows them: half-even on
    // the amount's shortest digits (1.005 is 1.00).
    void cents()
    {
        QCOMPARE(kov::centsAsShown(0.125), 0.12);
        QCOMPARE(kov::centsAsShown(1.005), 1.0);
        QCOMPARE(kov::centsAsShown(2.675), 2.68);
    }

    // One entry per local month from the begin's to the end's; a job late on
    // 31 January in New York is January's, though February in UTC.
    void perMonth()
    {
        const RecordList records{job(local(2026, 1, 3), u"10.00"_s, u"20.00"_s, u"1.50"_s, u"31.50"_s),
                                 job(local(2026, 1, 31, 23, 30), u"5.25"_s, u".00"_s, u".42"_s, u"5.67"_s),
                                 job(local(2025, 12, 31), u"1.00"_s, u"1.00"_s, u"1.00"_s, u"3.00"_s),
                                 job(local(2026, 12, 6, 23), u"0.10"_s, u"0.20"_s, u".00"_s, u".30"_s)};
        const QList<MonthCosts> months = costsPerMonth(records, local(2026, 1, 1), local(2026, 12, 6, 12));
        QCOMPARE(months.size(), 12);
        QCOMPARE(months[0].records, 2);
        QCOMPARE(months[0].tax, 1.92);
        QCOMPARE(months[0].total, 37.17);
        QCOMPARE(months[1].records, 0);
        QCOMPARE(months[11].records, 1);
        const QList<MonthCosts> newYear = costsPerMonth({}, local(2025, 12, 20), local(2026, 2, 3));
        QCOMPARE(newYear.size(), 3);
        QCOMPARE(newYear.last().year * 100 + newYear.last().month, 202602);
        QVERIFY(costsPerMonth(records, local(2026, 3, 1), local(2026, 2, 1)).isEmpty());
    }

    void monthLabels()
    {
        LocaleScope scope(u"en_US"_s);
        QCOMPARE(shortMonthLabel(2026, 3), u"Mar 2026"_s);
        QCOMPARE(longMonthLabel(2026, 3), u"March 2026"_s);
        LocaleScope de(u"de_DE"_s);
        QCOMPARE(longMonthLabel(2025, 12), u"Dezember 2025"_s);
    }
};

QTEST_GUILESS_MAIN(TestCosts)
#include "tst_costs.moc"
