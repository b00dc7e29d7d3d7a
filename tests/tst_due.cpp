// Due dates without widgets: the day count of an interval, the absolute
// shift of whole days across daylight saving, the never-due date, the three
// list modes, the grouping order and the bad unit code. Run under
// America/New_York, America/Los_Angeles and UTC.
#include <QTest>
#include <QTimeZone>

#include "due/duerules.h"
#include "storage/clock.h"
#include "storage/sorting.h"

#include "testsupport.h"

using namespace kov;

namespace {

using kov::test::local;

Record job(const QString &property, const QString &task, const QDateTime &day,
           const QString &provider = QStringLiteral("Bob"))
{
    return {{PropertyNameKey, property},
            {ProviderNameKey, provider},
            {ServiceTaskNameKey, task},
            {ServiceDateKey, day.toUTC()}};
}

Record taskEvery(const QString &name, qint64 count, qint64 unit)
{
    Record r{{ServiceTaskNameKey, name}, {ServiceTaskTimeUnits, unit}};
    if (unit != UnitNone)
        r.insert(ServiceTaskTimeInUnitsKey, count);
    return r;
}

bool zoneKeepsDaylightTime()
{
    return QTimeZone::systemTimeZone().hasDaylightTime();
}

// "property|task|yyyy-MM-dd" per row, the day being the local last date.
QStringList describe(const RecordList &rows)
{
    QStringList out;
    for (const Record &r : rows)
        out.append(
            QStringLiteral("%1|%2|%3")
                .arg(r.value(col::property2).toString(), r.value(col::task2).toString(),
                     r.value(col::lastdate).toDateTime().toLocalTime().toString(Qt::ISODate).left(10)));
    return out;
}

const QString lake = QStringLiteral("Lake House"), main = QStringLiteral("Main Street");
const QString gutters = QStringLiteral("Clean gutters"), paint = QStringLiteral("Paint fence"),
              filter = QStringLiteral("Change filter"), daily = QStringLiteral("Water plants"),
              gone = QStringLiteral("Old task");

RecordList taskList()
{
    return {taskEvery(gutters, 1, UnitYears), taskEvery(paint, 0, UnitNone), taskEvery(filter, 3, UnitMonths),
            taskEvery(daily, 1, UnitDays)};
}

// Now is 2026-06-15 14:30 local.
RecordList sampleLog()
{
    return {job(main, gutters, local(2025, 6, 20)), // next 2026-06-20: not yet
            job(lake, gutters, local(2023, 3, 1)),  // older record of the pair
            job(lake, paint, local(2020, 5, 5)),    // never due
            job(lake, gutters, local(2024, 3, 1)),  // next 2025-03-01: overdue
            job(main, daily, local(2026, 6, 14)),   // next earlier today: due
            job(lake, daily, local(2026, 6, 15)),   // next tomorrow: not yet
            job(main, gone, local(2026, 1, 2)),     // task deleted: next = last, overdue
            job(main, filter, local(2026, 3, 17))}; // 90 days: 2026-06-15 00:00 or so: due
}

QStringList titlesOf(const RecordList &history)
{
    return duePropertyTitles(history);
}

} // namespace

class TestDue : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void convertToDays_data();
    void convertToDays();
    void nextDate_data();
    void nextDate();
    void neverDueIsAfterEverything();
    void neverDueNeverOverflows();
    void overdueAtOrBeforeNow_data();
    void overdueAtOrBeforeNow();
    void modes_data();
    void modes();
    void deletedTaskIsDueAtLastDate();
    void missingCountMeansNoInterval();
    void tiesOnTheLatestDate();
    void allAllGroupsInPopupOrder();
    void namesMatchExactly();
    void badUnitIsNeverDueAndNamedOnce();
    void storedAsOtherNumberKinds_data();
    void storedAsOtherNumberKinds();
};

void TestDue::initTestCase()
{
    // The program runs in the zone its CTest entry names.
    const QByteArray tz = qgetenv("TZ");
    QVERIFY(!tz.isEmpty());
    Clock::setFixed(local(2026, 6, 15, 14, 30));
}

void TestDue::cleanup()
{
    Clock::setFixed(local(2026, 6, 15, 14, 30));
}

void TestDue::convertToDays_data()
{
    QTest::addColumn<qint64>("count");
    QTest::addColumn<qint64>("unit");
    QTest::addColumn<qint64>("days");
    QTest::addColumn<bool>("bad");
    QTest::newRow("10 days") << qint64(10) << qint64(0) << qint64(10) << false;
    QTest::newRow("3 months") << qint64(3) << qint64(1) << qint64(90) << false;
    QTest::newRow("2 years") << qint64(2) << qint64(2) << qint64(730) << false;
    QTest::newRow("None with a count") << qint64(5) << qint64(3) << qint64(-1) << false;
    QTest::newRow("0 months") << qint64(0) << qint64(1) << qint64(0) << false;
    QTest::newRow("unit 4") << qint64(1) << qint64(4) << qint64(-1) << true;
    QTest::newRow("unit -1") << qint64(1) << qint64(-1) << qint64(-1) << true;
    QTest::newRow("negative count") << qint64(-2) << qint64(0) << qint64(-1) << false;
    QTest::newRow("count overflows") << std::numeric_limits<qint64>::max() / 100 << qint64(2) << qint64(-1)
                                     << false;
}

void TestDue::convertToDays()
{
    QFETCH(qint64, count);
    QFETCH(qint64, unit);
    QFETCH(qint64, days);
    QFETCH(bool, bad);
    bool badUnit = !bad;
    QCOMPARE(ConvertToDays(count, unit, &badUnit), days);
    QCOMPARE(badUnit, bad);
}

void TestDue::nextDate_data()
{
    QTest::addColumn<QDateTime>("last");
    QTest::addColumn<qint64>("count");
    QTest::addColumn<qint64>("unit");
    QTest::addColumn<QDateTime>("next");
    const bool dst = zoneKeepsDaylightTime();
    QTest::newRow("1 month from 31 January")
        << local(2024, 1, 31) << qint64(1) << qint64(UnitMonths) << local(2024, 3, 1);
    // Across the end of daylight time the absolute shift lands an hour early.
    QTest::newRow("6 months from 1 June") << local(2023, 6, 1) << qint64(6) << qint64(UnitMonths)
                                          << (dst ? local(2023, 11, 27, 23) : local(2023, 11, 28));
    QTest::newRow("1 year across 29 February")
        << local(2024, 1, 15) << qint64(1) << qint64(UnitYears) << local(2025, 1, 14);
    // Across its start, an hour late.
    QTest::newRow("1 month from 1 March 2024") << local(2024, 3, 1) << qint64(1) << qint64(UnitMonths)
                                               << (dst ? local(2024, 3, 31, 1) : local(2024, 3, 31));
    QTest::newRow("0 days") << local(2024, 7, 4) << qint64(0) << qint64(UnitDays) << local(2024, 7, 4);
}

void TestDue::nextDate()
{
    QFETCH(QDateTime, last);
    QFETCH(qint64, count);
    QFETCH(qint64, unit);
    QFETCH(QDateTime, next);
    const QDateTime got = nextDueDate(last.toUTC(), ConvertToDays(count, unit));
    QCOMPARE(got.toLocalTime(), next);
    // Exactly whole days of 86,400 seconds.
    QCOMPARE(last.secsTo(got) % 86400, 0);

    // The same through the rows, from the task list.
    const RecordList rows = buildDueItems({job(lake, gutters, last)}, {taskEvery(gutters, count, unit)});
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].value(col::nextdate).toDateTime(), got);
    QCOMPARE(rows[0].value(col::lastdate).toDateTime(), last.toUTC());
}

void TestDue::neverDueIsAfterEverything()
{
    const QDateTime never = nextDueDate(local(2020, 1, 1).toUTC(), ConvertToDays(7, UnitNone));
    QVERIFY(never.isValid());
    QVERIFY(isNeverDue(never));
    QVERIFY(!isNeverDue(local(9999, 12, 31)));
    QVERIFY(never > QDateTime(QDate(200000000, 1, 1), QTime(0, 0), Qt::UTC));
    QVERIFY(compareValues(never, QDateTime(QDate(9999, 1, 1), QTime(0, 0), Qt::UTC), SortSelector::compare) >
            0);

    // A header sort puts it after every real date, ascending.
    RecordList rows = {{{col::nextdate, never}},
                       {{col::nextdate, local(2030, 1, 1).toUTC()}},
                       {{col::nextdate, local(2001, 1, 1).toUTC()}}};
    doSortWithArray(rows, col::nextdate, true, SortSelector::localizedStandardCompare);
    QCOMPARE(rows.last().value(col::nextdate).toDateTime(), never);

    // Never red, however late now is.
    QVERIFY(!isOverdue(never, QDateTime(QDate(250000000, 1, 1), QTime(0, 0), Qt::UTC)));
}

void TestDue::neverDueNeverOverflows()
{
    // A date near the end of what a date holds, plus years: never due, not
    // a wrapped-round date in the past.
    const QDateTime farLast =
        QDateTime::fromMSecsSinceEpoch(std::numeric_limits<qint64>::max() - 1000, Qt::UTC);
    QVERIFY(isNeverDue(nextDueDate(farLast, 365)));
    QVERIFY(isNeverDue(nextDueDate(local(2020, 1, 1).toUTC(), std::numeric_limits<qint64>::max())));
    QVERIFY(isNeverDue(nextDueDate(local(2020, 1, 1).toUTC(), -5)));
    QVERIFY(!nextDueDate(QDateTime(), 3).isValid());
}

void TestDue::overdueAtOrBeforeNow_data()
{
    QTest::addColumn<QVariant>("next");
    QTest::addColumn<bool>("overdue");
    const QDateTime now = Clock::now();
    QTest::newRow("now") << QVariant(now) << true;
    QTest::newRow("a second ago") << QVariant(now.addSecs(-1)) << true;
    QTest::newRow("in a second") << QVariant(now.addSecs(1)) << false;
    QTest::newRow("never") << QVariant(neverDueDate()) << false;
    QTest::newRow("no date") << QVariant() << false;
    QTest::newRow("not a date") << QVariant(QStringLiteral("2020-01-01")) << false;
}

void TestDue::overdueAtOrBeforeNow()
{
    QFETCH(QVariant, next);
    QFETCH(bool, overdue);
    QCOMPARE(isOverdue(next, Clock::now()), overdue);
}

void TestDue::modes_data()
{
    QTest::addColumn<int>("tag");
    QTest::addColumn<QStringList>("rows");
    // Latest: properties in sorted order, tasks in the order first logged.
    const QStringList latest = {"Lake House|Clean gutters|2024-03-01", "Lake House|Paint fence|2020-05-05",
                                "Lake House|Water plants|2026-06-15",  "Main Street|Clean gutters|2025-06-20",
                                "Main Street|Water plants|2026-06-14", "Main Street|Old task|2026-01-02",
                                "Main Street|Change filter|2026-03-17"};
    QTest::newRow("1 latest") << 1 << latest;
    QTest::newRow("2 every record, file order")
        << 2 << QStringList{"Main Street|Clean gutters|2025-06-20", "Lake House|Clean gutters|2023-03-01",
                            "Lake House|Paint fence|2020-05-05",    "Lake House|Clean gutters|2024-03-01",
                            "Main Street|Water plants|2026-06-14",  "Lake House|Water plants|2026-06-15",
                            "Main Street|Old task|2026-01-02",      "Main Street|Change filter|2026-03-17"};
    QTest::newRow("3 due now") << 3
                               << QStringList{"Lake House|Clean gutters|2024-03-01",
                                              "Main Street|Water plants|2026-06-14",
                                              "Main Street|Old task|2026-01-02",
                                              "Main Street|Change filter|2026-03-17"};
    QTest::newRow("any other tag lists all") << 0 << QStringList{} /* checked against tag 2 */;
}

void TestDue::modes()
{
    QFETCH(int, tag);
    QFETCH(QStringList, rows);
    const RecordList history = sampleLog();
    const RecordList got =
        copyDueList(history, taskList(), LogFilter{}, dueModeFromTag(tag), titlesOf(history), Clock::now());
    if (tag == 0) {
        QCOMPARE(describe(got), describe(copyDueList(history, taskList(), LogFilter{}, DueMode::All,
                                                     titlesOf(history), Clock::now())));
        return;
    }
    QCOMPARE(describe(got), rows);
    for (const Record &row : got)
        QCOMPARE(row.size(), 4);
}

void TestDue::deletedTaskIsDueAtLastDate()
{
    const RecordList rows = buildDueItems({job(main, gone, local(2026, 1, 2))}, taskList());
    QCOMPARE(rows[0].value(col::nextdate), rows[0].value(col::lastdate));
    QVERIFY(isOverdue(rows[0].value(col::nextdate), Clock::now()));
}

void TestDue::missingCountMeansNoInterval()
{
    const Record noCount{{ServiceTaskNameKey, gutters}, {ServiceTaskTimeUnits, qint64(UnitMonths)}};
    const RecordList rows = buildDueItems({job(main, gutters, local(2026, 1, 2))}, {noCount});
    QCOMPARE(rows[0].value(col::nextdate), rows[0].value(col::lastdate));
}

void TestDue::tiesOnTheLatestDate()
{
    const RecordList history = {job(lake, gutters, local(2024, 3, 1), QStringLiteral("Ann")),
                                job(lake, gutters, local(2022, 3, 1)),
                                job(lake, gutters, local(2024, 3, 1), QStringLiteral("Bob"))};
    const RecordList got =
        copyDueList(history, taskList(), LogFilter{}, DueMode::Latest, titlesOf(history), Clock::now());
    QCOMPARE(describe(got), QStringList{"Lake House|Clean gutters|2024-03-01"});
    QCOMPARE(got[0].value(col::nextdate).toDateTime().toLocalTime().date(), QDate(2025, 3, 1));
}

void TestDue::allAllGroupsInPopupOrder()
{
    // Numbers in names by value; a property called "All" is the pop-up's
    // closing item and comes last.
    const RecordList history = {job(QStringLiteral("Unit 10"), gutters, local(2024, 1, 1)),
                                job(QStringLiteral("All"), gutters, local(2024, 1, 1)),
                                job(QStringLiteral("Unit 2"), paint, local(2024, 1, 1)),
                                job(QStringLiteral("Unit 2"), gutters, local(2023, 1, 1)),
                                job(QStringLiteral("barn"), gutters, local(2024, 1, 1))};
    const QStringList titles = titlesOf(history);
    QCOMPARE(titles, (QStringList{"barn", "Unit 2", "Unit 10", QString(), "All"}));
    const RecordList got =
        copyDueList(history, taskList(), LogFilter{}, DueMode::Latest, titles, Clock::now());
    QCOMPARE(describe(got), (QStringList{"barn|Clean gutters|2024-01-01", "Unit 2|Clean gutters|2023-01-01",
                                         "Unit 2|Paint fence|2024-01-01", "Unit 10|Clean gutters|2024-01-01",
                                         "All|Clean gutters|2024-01-01"}));
    // A title listed twice lists its rows once.
    QCOMPARE(latestPerPropertyTask(buildDueItems(history, taskList()), {"barn", "barn"}).size(), 1);
}

void TestDue::namesMatchExactly()
{
    const RecordList history = {job(lake, gutters, local(2024, 1, 1)),
                                job(QStringLiteral("lake house"), gutters, local(2025, 1, 1))};
    const RecordList got =
        copyDueList(history, taskList(), LogFilter{lake, std::nullopt, std::nullopt, std::nullopt},
                    DueMode::All, titlesOf(history), Clock::now());
    QCOMPARE(describe(got), QStringList{"Lake House|Clean gutters|2024-01-01"});
    // Dates stay as stored, time of day included.
    const RecordList timed = buildDueItems({job(lake, gutters, local(2024, 1, 1, 13, 5))}, taskList());
    QCOMPARE(timed[0].value(col::lastdate).toDateTime(), local(2024, 1, 1, 13, 5).toUTC());
}

void TestDue::badUnitIsNeverDueAndNamedOnce()
{
    const RecordList tasks = {taskEvery(gutters, 1, 7), taskEvery(paint, 2, UnitDays)};
    QStringList bad;
    const RecordList rows =
        buildDueItems({job(lake, gutters, local(2024, 1, 1)), job(main, gutters, local(2024, 2, 1)),
                       job(lake, paint, local(2024, 1, 1))},
                      tasks, &bad);
    QCOMPARE(bad, QStringList{gutters});
    QCOMPARE(rows.size(), 3);
    QVERIFY(isNeverDue(rows[0].value(col::nextdate).toDateTime()));
    QVERIFY(isNeverDue(rows[1].value(col::nextdate).toDateTime()));
    QCOMPARE(rows[2].value(col::nextdate).toDateTime(), local(2024, 1, 3).toUTC());
    RecordList due = rows;
    overDueOnly(due, Clock::now());
    QCOMPARE(describe(due), QStringList{"Lake House|Paint fence|2024-01-01"});
}

void TestDue::storedAsOtherNumberKinds_data()
{
    QTest::addColumn<QVariant>("count");
    QTest::addColumn<QVariant>("unit");
    QTest::addColumn<int>("days");
    QTest::newRow("integers") << QVariant(qint64(2)) << QVariant(qint64(UnitMonths)) << 60;
    QTest::newRow("reals") << QVariant(2.0) << QVariant(1.0) << 60;
    QTest::newRow("text") << QVariant(QStringLiteral("2")) << QVariant(QStringLiteral("1")) << 60;
    QTest::newRow("missing count") << QVariant() << QVariant(qint64(UnitYears)) << 0;
    QTest::newRow("missing unit is days") << QVariant(qint64(9)) << QVariant() << 9;
}

void TestDue::storedAsOtherNumberKinds()
{
    QFETCH(QVariant, count);
    QFETCH(QVariant, unit);
    QFETCH(int, days);
    Record task{{ServiceTaskNameKey, gutters}};
    if (count.isValid())
        task.insert(ServiceTaskTimeInUnitsKey, count);
    if (unit.isValid())
        task.insert(ServiceTaskTimeUnits, unit);
    const QDateTime last = local(2024, 1, 1).toUTC();
    const RecordList rows = buildDueItems({job(lake, gutters, last)}, {task});
    QCOMPARE(rows[0].value(col::nextdate).toDateTime(), last.addSecs(qint64(days) * 86400));
}

QTEST_GUILESS_MAIN(TestDue)
#include "tst_due.moc"
