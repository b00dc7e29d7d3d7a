// Tab 3 for real on the offscreen platform: Show fills the eight amounts,
// the count line and the chart from the log on disk; a refused Show keeps
// what was shown; kov-cli costs gives the same figures.
#include <QComboBox>
#include <QDateTimeEdit>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "app/alerts.h"
#include "app/kovappdelegate.h"
#include "costs/costcalc.h"
#include "costs/costchart.h"
#include "log/costrules.h"
#include "storage/clock.h"
#include "storage/datafiles.h"
#include "ui_mainwindow.h"

#include "testsupport.h"
#include "windowsupport.h"

using namespace kov;

namespace {

const QString noDataTitle = QStringLiteral(
    "For one or more reports, no qualifying property maintenance found based on selection criteria");
const QString dateTitle = QStringLiteral("Date Input Error");

using kov::test::local;

Record job(const QString &property, const QString &task, const QDateTime &day, const QString &parts,
           const QString &labor, const QString &tax, const QString &total)
{
    return {{PropertyNameKey, property}, {ProviderNameKey, QStringLiteral("Bob's Gutters")},
            {ServiceTaskNameKey, task},  {ServiceDateKey, day.toUTC()},
            {PartsCostKey, parts},       {LaborCostKey, labor},
            {TaxCostKey, tax},           {TotalCostKey, total}};
}

const QString lake = QStringLiteral("Lake House"), main = QStringLiteral("Main Street");
const QString gutters = QStringLiteral("Clean gutters"), fence = QStringLiteral("Paint fence");

// Lake House: 250.00 in January; Main Street: 1,000.00 in February.
RecordList sampleLog()
{
    return {job(lake, gutters, local(2026, 1, 5), "60.00", "30.00", "10.00", "100.00"),
            job(lake, fence, local(2026, 1, 20), "90.00", "45.00", "15.00", "150.00"),
            job(main, gutters, local(2026, 2, 10), "600.00", "300.00", "100.00", "1000.00")};
}

using Cli = kov::test::CliRun;

} // namespace

class TestCostTab : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void showFigures_data();
    void showFigures();
    void oneRecordStillPlural();
    void refusedShowKeepsFigures_data();
    void refusedShowKeepsFigures();
    void chartAddsUpToFigures();
    void largeTotalKeepsItsCents();
    void cliAgreesWithWindow_data();
    void cliAgreesWithWindow();
    void cliRefusals_data();
    void cliRefusals();

private:
    std::unique_ptr<KOVAppDelegate> start();
    void choose(KOVAppDelegate *d, const QString &property, const QString &task, const QDateTime &begin,
                const QDateTime &end);
    void show(KOVAppDelegate *d);
    Cli cli(const QStringList &args);
    QStringList fieldTexts(KOVAppDelegate *d);
    QTemporaryDir *dir = nullptr;
    QList<AlertRecord> alerts;
};

void TestCostTab::initTestCase()
{
    kov::test::setUpWindowTests(this, alerts);
}

void TestCostTab::init()
{
    dir = new QTemporaryDir;
    alerts.clear();
    kov::test::beginWindowTest(*dir, local(2026, 6, 15, 14, 30));
    copyDataFolderURL();
    QVERIFY(writeDataFileArray({{{PropertyNameKey, main}}, {{PropertyNameKey, lake}}}, PropertyFileForKOV));
    QVERIFY(writeDataFileArray({{{ProviderNameKey, QStringLiteral("Bob's Gutters")}}}, ProviderFileForKOV));
    QVERIFY(writeDataFileArray({{{ServiceTaskNameKey, gutters}}, {{ServiceTaskNameKey, fence}}},
                               ServiceTaskFileForKOV));
    QVERIFY(writeDataFileArray(sampleLog(), PropertyHistoryFileForKOV));
}

void TestCostTab::cleanup()
{
    kov::test::endWindowTest();
    delete dir;
}

std::unique_ptr<KOVAppDelegate> TestCostTab::start()
{
    return kov::test::startWindow(
        [](KOVAppDelegate *w) { w->ui->theTabView->setCurrentWidget(w->ui->tabCostAnalysis); });
}

void TestCostTab::choose(KOVAppDelegate *d, const QString &property, const QString &task,
                         const QDateTime &begin, const QDateTime &end)
{
    // The filters as the pane fills them: the logged names, then "All".
    d->loadThisPopupButton(d->ui->propertyPopTab3, {main, lake, QStringLiteral("Nowhere")}, false, true);
    d->loadThisPopupButton(d->ui->serTaskPopTab3, {gutters, fence}, false, true);
    auto pick = [](QComboBox *popup, const QString &name) {
        popup->setCurrentIndex(name.isEmpty() ? popup->count() - 1 : popup->findText(name));
        QVERIFY(popup->currentIndex() >= 0);
    };
    pick(d->ui->propertyPopTab3, property);
    pick(d->ui->serTaskPopTab3, task);
    d->ui->beginDateTab3->setDateTime(begin);
    d->ui->endDateTab3->setDateTime(end);
}

void TestCostTab::show(KOVAppDelegate *d)
{
    d->ui->showBtnTab3->setEnabled(true);
    QTest::mouseClick(d->ui->showBtnTab3, Qt::LeftButton);
}

QStringList TestCostTab::fieldTexts(KOVAppDelegate *d)
{
    const Ui::MainWindow *ui = d->ui;
    return {ui->totalCostTab3->text(),           ui->totalPartsCostTab3->text(),
            ui->totalLaborCostTab3->text(),      ui->totalTaxCostTab3->text(),
            ui->avgMonthlyCostTab3->text(),      ui->avgMonthlyPartsCostTab3->text(),
            ui->avgMonthlyLaborCostTab3->text(), ui->avgMonthlyTaxCostTab3->text(),
            ui->howManyDBRecords->text()};
}

Cli TestCostTab::cli(const QStringList &args)
{
    return kov::test::runCli(
        QStringList{QStringLiteral("--data-dir"), dir->filePath(QStringLiteral("Tolvanderwerks"))} + args);
}

void TestCostTab::showFigures_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("task");
    QTest::addColumn<QDateTime>("begin");
    QTest::addColumn<QDateTime>("end");
    QTest::addColumn<QStringList>("fields"); // totals, averages, count line
    const QDateTime jan = local(2026, 1, 1);
    QTest::newRow("Lake House, 2.5 mean months")
        << lake << QString() << jan << jan.addSecs(qint64(2.5 * MeanMonthSeconds))
        << QStringList{"$250.00", "$150.00", "$75.00",
                       "$25.00",  "$100.00", "$60.00",
                       "$30.00",  "$10.00",  "Costs based on 2 qualifying maintenance records"};
    QTest::newRow("Lake House, 20 days: averages are totals")
        << lake << QString() << jan << jan.addDays(20)
        << QStringList{"$250.00", "$150.00", "$75.00",
                       "$25.00",  "$250.00", "$150.00",
                       "$75.00",  "$25.00",  "Costs based on 2 qualifying maintenance records"};
    QTest::newRow("everything, same day and time")
        << QString() << QString() << local(2026, 2, 10) << local(2026, 2, 10)
        << QStringList{"$1,000.00", "$600.00",   "$300.00",
                       "$100.00",   "$1,000.00", "$600.00",
                       "$300.00",   "$100.00",   "Costs based on 1 qualifying maintenance records"};
    // 0 h on 1 January to 14:30 on 15 June, less the hour of daylight saving
    // time: 5.43954 mean months (cut to midnight, 5.41969: $230.64).
    QTest::newRow("everything, end with its time of day")
        << QString() << QString() << jan << local(2026, 6, 15, 14, 30)
        << QStringList{"$1,250.00", "$750.00", "$375.00",
                       "$125.00",   "$229.80", "$137.88",
                       "$68.94",    "$22.98",  "Costs based on 3 qualifying maintenance records"};
    QTest::newRow("one task everywhere")
        << QString() << gutters << jan << local(2026, 6, 15, 14, 30)
        << QStringList{"$1,100.00", "$660.00", "$330.00",
                       "$110.00",   "$202.22", "$121.33",
                       "$60.67",    "$20.22",  "Costs based on 2 qualifying maintenance records"};
}

void TestCostTab::showFigures()
{
    QFETCH(QString, property);
    QFETCH(QString, task);
    QFETCH(QDateTime, begin);
    QFETCH(QDateTime, end);
    QFETCH(QStringList, fields);
    auto d = start();
    choose(d.get(), property, task, begin, end);
    show(d.get());
    QVERIFY(alerts.isEmpty());
    QCOMPARE(fieldTexts(d.get()), fields);
}

void TestCostTab::oneRecordStillPlural()
{
    QVERIFY(writeDataFileArray({sampleLog().first()}, PropertyHistoryFileForKOV));
    auto d = start();
    choose(d.get(), QString(), QString(), local(2026, 1, 1), local(2026, 6, 15, 14, 30));
    show(d.get());
    QCOMPARE(d->ui->howManyDBRecords->text(),
             QStringLiteral("Costs based on 1 qualifying maintenance records"));
    QCOMPARE(d->ui->totalCostTab3->text(), QStringLiteral("$100.00"));
}

void TestCostTab::refusedShowKeepsFigures_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QDateTime>("begin");
    QTest::addColumn<QDateTime>("end");
    QTest::addColumn<QString>("title");
    QTest::newRow("nothing qualifies")
        << QStringLiteral("Nowhere") << local(2026, 1, 1) << local(2026, 6, 1) << noDataTitle;
    QTest::newRow("range before any job")
        << QString() << local(2025, 1, 1) << local(2025, 12, 31) << noDataTitle;
    QTest::newRow("begin after end") << QString() << local(2026, 6, 2) << local(2026, 6, 1) << dateTitle;
}

void TestCostTab::refusedShowKeepsFigures()
{
    QFETCH(QString, property);
    QFETCH(QDateTime, begin);
    QFETCH(QDateTime, end);
    QFETCH(QString, title);
    auto d = start();
    choose(d.get(), lake, QString(), local(2026, 1, 1), local(2026, 3, 1));
    show(d.get());
    const QStringList before = fieldTexts(d.get());
    const QList<MonthCosts> chartBefore = d->costChartTab3->months();
    QCOMPARE(before.first(), QStringLiteral("$250.00"));
    choose(d.get(), property, QString(), begin, end);
    show(d.get());
    QCOMPARE(alerts.size(), 1);
    QCOMPARE(alerts.first().title, title);
    QCOMPARE(fieldTexts(d.get()), before);
    QCOMPARE(d->costChartTab3->months(), chartBefore);
}

void TestCostTab::chartAddsUpToFigures()
{
    auto d = start();
    QVERIFY(d->costChartTab3);
    QCOMPARE(d->costChartTab3->parentWidget(), d->ui->costChartTab3);
    QVERIFY(!d->costChartTab3->isShown());
    choose(d.get(), QString(), QString(), local(2026, 1, 1), local(2026, 6, 15, 14, 30));
    show(d.get());
    const QList<MonthCosts> months = d->costChartTab3->months();
    QCOMPARE(months.size(), 6);
    double parts = 0, labor = 0, tax = 0, total = 0;
    for (const MonthCosts &m : months) {
        parts += m.parts;
        labor += m.labor;
        tax += m.tax;
        total += m.total;
    }
    auto money = [](double v) {
        return copyFormatStringForTextField(v, QStringLiteral("\u00A4###,###,##0.00"));
    };
    QCOMPARE(money(total), d->ui->totalCostTab3->text());
    QCOMPARE(money(parts), d->ui->totalPartsCostTab3->text());
    QCOMPARE(money(labor), d->ui->totalLaborCostTab3->text());
    QCOMPARE(money(tax), d->ui->totalTaxCostTab3->text());
    QCOMPARE(months[0].records, 2);
    QCOMPARE(months[1].records, 1);
    QVERIFY(d->costChartTab3->width() > 200 && d->costChartTab3->height() >= 200);
    // The February bar answers the pointer with its amounts.
    QString tip;
    for (int x = 0; x < d->costChartTab3->width() && tip.isEmpty(); x += 2) {
        const int i = d->costChartTab3->monthAt(QPoint(x, d->costChartTab3->height() / 2));
        if (i == 1)
            tip = d->costChartTab3->toolTipForMonth(i);
    }
    QVERIFY(tip.contains(QStringLiteral("February 2026")));
    QVERIFY(tip.contains(QStringLiteral("$1,000.00")));
}

void TestCostTab::largeTotalKeepsItsCents()
{
    // A single-precision field would show $1,234,567.88.
    QVERIFY(
        writeDataFileArray({job(lake, gutters, local(2026, 1, 5), "1234567.89", ".00", ".00", "1234567.89")},
                           PropertyHistoryFileForKOV));
    auto d = start();
    choose(d.get(), QString(), QString(), local(2026, 1, 1), local(2026, 1, 10));
    show(d.get());
    QVERIFY(alerts.isEmpty());
    QCOMPARE(d->ui->totalCostTab3->text(), QStringLiteral("$1,234,567.89"));
    QCOMPARE(d->ui->avgMonthlyPartsCostTab3->text(), QStringLiteral("$1,234,567.89"));
}

void TestCostTab::cliAgreesWithWindow_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("task");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::newRow("all, dates with times") << QString() << QString() << "2026-01-01T00:00:00"
                                           << "2026-06-15T14:30:00";
    QTest::newRow("Lake House, whole days") << lake << QString() << "2026-01-01"
                                            << "2026-03-15";
    QTest::newRow("one task") << QString() << gutters << "2026-01-01"
                              << "2026-12-31";
}

void TestCostTab::cliAgreesWithWindow()
{
    QFETCH(QString, property);
    QFETCH(QString, task);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QStringList args{QStringLiteral("costs"),    QStringLiteral("--from"), from, QStringLiteral("--to"), to,
                     QStringLiteral("--format"), QStringLiteral("json")};
    args << kov::test::nameOptions(property, task);
    const Cli r = cli(args);
    QCOMPARE(r.status, 0);
    const QJsonObject json = QJsonDocument::fromJson(r.out).object();

    // The window over the same range: whole days run to their last instant.
    auto d = start();
    auto edge = [](const QString &text, bool end) {
        if (text.size() > 10)
            return QDateTime::fromString(text, Qt::ISODate);
        const QDate day = QDate::fromString(text, Qt::ISODate);
        return end ? QDateTime(day.addDays(1), QTime(0, 0)).addMSecs(-1) : QDateTime(day, QTime(0, 0));
    };
    choose(d.get(), property, task, edge(from, false), edge(to, true));
    show(d.get());
    QVERIFY(alerts.isEmpty());
    auto money = [](double v) {
        return copyFormatStringForTextField(v, QStringLiteral("\u00A4###,###,##0.00"));
    };
    const QJsonObject total = json.value(QStringLiteral("total")).toObject();
    const QJsonObject average = json.value(QStringLiteral("average")).toObject();
    const QStringList fromCli{money(total.value(QStringLiteral("total")).toDouble()),
                              money(total.value(QStringLiteral("parts")).toDouble()),
                              money(total.value(QStringLiteral("labor")).toDouble()),
                              money(total.value(QStringLiteral("tax")).toDouble()),
                              money(average.value(QStringLiteral("total")).toDouble()),
                              money(average.value(QStringLiteral("parts")).toDouble()),
                              money(average.value(QStringLiteral("labor")).toDouble()),
                              money(average.value(QStringLiteral("tax")).toDouble()),
                              QStringLiteral("Costs based on %1 qualifying maintenance records")
                                  .arg(json.value(QStringLiteral("records")).toInt())};
    QCOMPARE(fromCli, fieldTexts(d.get()));
    const double months = calcElapsedMonths(d->ui->endDateTab3->dateTime(), d->ui->beginDateTab3->dateTime());
    QVERIFY(std::abs(json.value(QStringLiteral("months")).toDouble() - months) < 1e-6);
}

void TestCostTab::cliRefusals_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("begin after end") << QStringList{"--from", "2026-03-02", "--to", "2026-03-01"} << 2
                                     << "Begin Date must be prior to or equal to End Date";
    QTest::newRow("nothing qualifies")
        << QStringList{"--property", "Nowhere"} << 1 << "no qualifying property maintenance found";
    QTest::newRow("csv is no choice here")
        << QStringList{"--format", "csv"} << 2 << "--format must be text or json";
    QTest::newRow("unknown option") << QStringList{"--colour", "red"} << 2 << "Usage:";
}

void TestCostTab::cliRefusals()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, message);
    const Cli r = cli(QStringList{QStringLiteral("costs")} + args);
    QCOMPARE(r.status, status);
    QVERIFY(r.out.isEmpty());
    QVERIFY2(QString::fromUtf8(r.err).contains(message), r.err.constData());
}

QTEST_MAIN(TestCostTab)
#include "tst_costtab.moc"
