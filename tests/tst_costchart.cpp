// The monthly cost chart as a widget on the offscreen platform: what it
// holds, where the pointer finds each month, its hover text, and that it
// paints every state and size without fault.
#include <QApplication>
#include <QImage>
#include <QTest>

#include "costs/costchart.h"
#include "storage/dates.h"

using namespace kov;

namespace {

Record job(const QDateTime &date, const QString &parts, const QString &labor, const QString &tax,
           const QString &total)
{
    return {{ServiceDateKey, NSDateUtilities::cleanseDate(date)},
            {PartsCostKey, parts},
            {LaborCostKey, labor},
            {TaxCostKey, tax},
            {TotalCostKey, total}};
}

QDateTime local(int y, int mo, int d)
{
    return QDateTime(QDate(y, mo, d), QTime(0, 0));
}

// A year of upkeep: some months busy, some empty.
QList<MonthCosts> sampleYear()
{
    const RecordList records{job(local(2026, 1, 12), "120.00", "240.00", "28.80", "388.80"),
                             job(local(2026, 3, 3), "45.50", "90.00", "10.84", "146.34"),
                             job(local(2026, 3, 20), "310.00", "150.00", "36.80", "496.80"),
                             job(local(2026, 5, 9), ".00", "175.00", "14.00", "189.00"),
                             job(local(2026, 7, 1), "899.99", "420.00", "105.60", "1425.59"),
                             job(local(2026, 9, 15), "60.00", "80.00", "11.20", "151.20"),
                             job(local(2026, 10, 30), "1250.00", "600.00", "148.00", "1998.00"),
                             job(local(2026, 11, 11), "35.00", ".00", "2.80", "37.80")};
    return costsPerMonth(records, local(2026, 1, 1), QDateTime(QDate(2026, 12, 6), QTime(12, 25)));
}

QImage rendered(CostChart &chart)
{
    QImage image(chart.size() * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    image.fill(Qt::transparent);
    chart.render(&image);
    return image;
}

// Whether the image holds a pixel of the colour.
bool holdsColor(const QImage &image, const QColor &color)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).rgb() == color.rgb())
                return true;
    return false;
}

} // namespace

class TestCostChart : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void blankBeforeShow();
    void holdsTheMonthsItIsGiven();
    void pointerFindsEachMonth_data();
    void pointerFindsEachMonth();
    void hoverText();
    void emptyState_data();
    void emptyState();
    void paintsAnySize_data();
    void paintsAnySize();
    void paintsLongRangesAndRefunds();
};

void TestCostChart::blankBeforeShow()
{
    CostChart chart;
    chart.resize(640, 260);
    QVERIFY(!chart.isShown());
    QVERIFY(!chart.isEmptyState());
    QCOMPARE(chart.monthAt(QPoint(320, 130)), -1);
    const QImage image = rendered(chart);
    QVERIFY(!holdsColor(image, CostChart::partsColor()));
}

void TestCostChart::holdsTheMonthsItIsGiven()
{
    const QList<MonthCosts> months = sampleYear();
    CostChart chart;
    chart.resize(720, 260);
    chart.setMonths(months);
    QVERIFY(chart.isShown());
    QVERIFY(!chart.isEmptyState());
    QCOMPARE(chart.months(), months);
    const QImage image = rendered(chart);
    QVERIFY(holdsColor(image, CostChart::partsColor()));
    QVERIFY(holdsColor(image, CostChart::laborColor()));
    QVERIFY(holdsColor(image, CostChart::taxColor()));
    if (qEnvironmentVariableIsSet("KOV_CHART_PNG"))
        chart.grab().save(qEnvironmentVariable("KOV_CHART_PNG"));
    chart.clear();
    QVERIFY(!chart.isShown());
    QVERIFY(chart.months().isEmpty());
}

void TestCostChart::pointerFindsEachMonth_data()
{
    QTest::addColumn<int>("width");
    QTest::newRow("wide") << 900;
    QTest::newRow("the tab's width") << 640;
    QTest::newRow("narrow") << 260;
}

void TestCostChart::pointerFindsEachMonth()
{
    QFETCH(int, width);
    const QList<MonthCosts> months = sampleYear();
    CostChart chart;
    chart.resize(width, 240);
    chart.setMonths(months);
    // Sweeping across the middle meets every month once, left to right.
    QList<int> met;
    for (int x = 0; x < width; ++x) {
        const int index = chart.monthAt(QPoint(x, 120));
        if (index >= 0 && (met.isEmpty() || met.last() != index))
            met.append(index);
    }
    QCOMPARE(met.size(), months.size());
    for (int i = 0; i < met.size(); ++i)
        QCOMPARE(met[i], i);
    // Not on the legend or the month names.
    QCOMPARE(chart.monthAt(QPoint(width / 2, 2)), -1);
    QCOMPARE(chart.monthAt(QPoint(width / 2, 238)), -1);
}

void TestCostChart::hoverText()
{
    CostChart chart;
    chart.resize(720, 260);
    chart.setMonths(sampleYear());
    const QString march = chart.toolTipForMonth(2);
    QVERIFY2(march.contains(QStringLiteral("March 2026")), qPrintable(march));
    QVERIFY(march.contains(QStringLiteral("$355.50"))); // parts
    QVERIFY(march.contains(QStringLiteral("$240.00"))); // labor
    QVERIFY(march.contains(QStringLiteral("$47.64")));  // tax
    QVERIFY(march.contains(QStringLiteral("$643.14"))); // total
    const QString july = chart.toolTipForMonth(6);
    QVERIFY(july.contains(QStringLiteral("$1,425.59")));
    QVERIFY(chart.toolTipForMonth(1).contains(QStringLiteral("$0.00"))); // a quiet February
    QVERIFY(chart.toolTipForMonth(-1).isEmpty());
    QVERIFY(chart.toolTipForMonth(12).isEmpty());
}

void TestCostChart::emptyState_data()
{
    QTest::addColumn<QList<MonthCosts>>("months");
    QTest::newRow("no months") << QList<MonthCosts>{};
    QTest::newRow("months without costs") << costsPerMonth({}, local(2026, 1, 1), local(2026, 6, 1));
    QTest::newRow("a job that cost nothing") << costsPerMonth(
        {job(local(2026, 2, 2), ".00", ".00", ".00", ".00")}, local(2026, 1, 1), local(2026, 3, 1));
}

void TestCostChart::emptyState()
{
    QFETCH(QList<MonthCosts>, months);
    CostChart chart;
    chart.resize(640, 260);
    chart.setMonths(sampleYear());
    chart.setMonths(months);
    QVERIFY(chart.isEmptyState());
    QCOMPARE(chart.monthAt(QPoint(320, 130)), -1);
    const QImage image = rendered(chart);
    QVERIFY(!holdsColor(image, CostChart::partsColor()));
}

void TestCostChart::paintsAnySize_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("the tab's chart") << QSize(760, 240);
    QTest::newRow("full screen") << QSize(1920, 700);
    QTest::newRow("tiny") << QSize(40, 20);
    QTest::newRow("nothing") << QSize(0, 0);
}

void TestCostChart::paintsAnySize()
{
    QFETCH(QSize, size);
    CostChart chart;
    chart.resize(size);
    chart.setMonths(sampleYear());
    if (!size.isEmpty())
        rendered(chart);
    for (int x = 0; x < size.width(); x += 3)
        chart.monthAt(QPoint(x, size.height() / 2));
}

void TestCostChart::paintsLongRangesAndRefunds()
{
    // Forty years of quarterly jobs, one of them a refund.
    RecordList records;
    for (int q = 0; q < 160; ++q)
        records.append(job(local(1986, 1, 15).addMonths(3 * q), "10.00", "20.00", "2.40", "32.40"));
    records.append(job(local(2000, 6, 1), "-500.00", ".00", "-40.00", "-540.00"));
    const QList<MonthCosts> months = costsPerMonth(records, local(1986, 1, 1), local(2025, 12, 31));
    QCOMPARE(months.size(), 480);
    CostChart chart;
    chart.resize(760, 240);
    chart.setMonths(months);
    QVERIFY(!chart.isEmptyState());
    const QImage image = rendered(chart);
    QVERIFY(holdsColor(image, CostChart::laborColor()));
    QVERIFY(chart.monthAt(QPoint(380, 120)) >= 0);
    if (qEnvironmentVariableIsSet("KOV_CHART_PNG"))
        chart.grab().save(qEnvironmentVariable("KOV_CHART_PNG")
                              .replace(QStringLiteral(".png"), QStringLiteral("-long.png")));
}

QTEST_MAIN(TestCostChart)
#include "tst_costchart.moc"
