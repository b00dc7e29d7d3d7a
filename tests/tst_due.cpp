// Due dates without widgets: intervals, calendar days across daylight saving time,
// never due, the list modes. Run under Europe/Berlin, America/Los_Angeles and UTC.
#include <QTest>
#include <QTimeZone>

#include "due/duerules.h"
#include "storage/sorting.h"

#include "testsupport.h"

using namespace kov;
using namespace Qt::StringLiterals;
using kov::test::local;

namespace {

Record job(const QString &property, const QString &task, const QDateTime &day)
{
    return {{PropertyNameKey, property}, {ServiceTaskNameKey, task}, {ServiceDateKey, day.toUTC()}};
}

// A task named "Gutters" (or another name); no count or unit for an invalid one.
Record taskEvery(const QVariant &count, const QVariant &unit, const QString &name = u"Gutters"_s)
{
    Record r{{ServiceTaskNameKey, name}, {ServiceTaskTimeUnits, unit}, {ServiceTaskTimeInUnitsKey, count}};
    r.removeIf([](const auto &it) { return !it.value().isValid(); });
    return r;
}

// "property|task|yyyy-MM-dd" per row, the day being the local last date.
QStringList describe(const RecordList &rows)
{
    QStringList out;
    for (const Record &r : rows)
        out.append(r.value(col::property2).toString() + u'|' + r.value(col::task2).toString() + u'|' +
                   r.value(col::lastdate).toDateTime().toLocalTime().toString(Qt::ISODate).left(10));
    return out;
}

const QString lake = u"Lake"_s, main = u"Main"_s, gutters = u"Gutters"_s, paint = u"Paint"_s,
              filter = u"Filter"_s, daily = u"Water"_s, gone = u"Gone"_s;

const RecordList tasks = {taskEvery(1LL, UnitYears), taskEvery(0LL, UnitNone, paint),
                          taskEvery(3LL, UnitMonths, filter), taskEvery(1LL, UnitDays, daily)};

const QDateTime now = local(2026, 6, 15, 14, 30);

} // namespace

class TestDue : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QVERIFY(!qgetenv("TZ").isEmpty()); } // the zone its CTest entry names

    // Days ×1, months ×30, years ×365, as calendar days at the same local
    // time, daylight saving time or not (a time the spring change skips lands
    // after the gap). A count below 0 or too large, an unknown unit (named
    // once): never due. Numbers stored as reals or text count; no unit is
    // days, no count (or no task) none.
    void nextDate_data()
    {
        QTest::addColumn<QDateTime>("last");
        QTest::addColumn<Record>("task");
        QTest::addColumn<QDateTime>("next"); // invalid: never due
        QTest::addColumn<bool>("badUnit");
        const bool la = QTimeZone::systemTimeZoneId() == "America/Los_Angeles";
        const QDateTime jan = local(2024, 1, 1), never;
        QTest::newRow("1 month from 31 January")
            << local(2024, 1, 31) << taskEvery(1LL, UnitMonths) << local(2024, 3, 1) << false;
        QTest::newRow("6 months from 1 June, autumn change")
            << local(2023, 6, 1, 9, 15) << taskEvery(6LL, UnitMonths) << local(2023, 11, 28, 9, 15) << false;
        QTest::newRow("45 days from 21 October")
            << local(2024, 10, 21) << taskEvery(45LL, UnitDays) << local(2024, 12, 5) << false;
        QTest::newRow("2 years, spring change")
            << local(2026, 3, 9, 23, 59) << taskEvery(2LL, UnitYears) << local(2028, 3, 8, 23, 59) << false;
        QTest::newRow("1 year across 29 February")
            << local(2024, 1, 15, 8) << taskEvery(1LL, UnitYears) << local(2025, 1, 14, 8) << false;
        QTest::newRow("into the spring gap") << local(2024, 3, 9, 2, 30) << taskEvery(1LL, UnitDays)
                                             << local(2024, 3, 10, la ? 3 : 2, 30) << false;
        QTest::newRow("unit 4") << jan << taskEvery(1LL, 4LL) << never << true;
        QTest::newRow("negative count") << jan << taskEvery(-2LL, UnitDays) << never << false;
        QTest::newRow("count overflows")
            << jan << taskEvery(std::numeric_limits<qint64>::max() / 100, UnitYears) << never << false;
        QTest::newRow("reals") << jan << taskEvery(2.0, 1.0) << local(2024, 3, 1) << false;
        QTest::newRow("text, no unit") << jan << taskEvery(u" 2"_s, QVariant()) << local(2024, 1, 3) << false;
        QTest::newRow("no count") << jan << taskEvery(QVariant(), UnitMonths) << jan << false;
        QTest::newRow("task deleted") << jan << Record{} << jan << false;
    }
    void nextDate()
    {
        QFETCH(QDateTime, last);
        QFETCH(Record, task);
        QFETCH(QDateTime, next);
        QStringList bad;
        const RecordList rows =
            buildDueItems({job(lake, gutters, last), job(main, gutters, last)}, {task}, &bad);
        QCOMPARE(rows[0].value(col::lastdate).toDateTime(), last);
        const QDateTime got = rows[0].value(col::nextdate).toDateTime();
        QCOMPARE(isNeverDue(got), !next.isValid());
        if (next.isValid())
            QCOMPARE(got, next);
        QFETCH(bool, badUnit);
        QCOMPARE(bad, badUnit ? QStringList{gutters} : QStringList{});
    }

    // Never due: after every real date, also in a header sort, never overdue,
    // no overflow into the past. Due: at or before now, and only a date.
    void neverAndOverdue()
    {
        const QDateTime never = nextDueDate(local(2020, 1, 1).toUTC(), ConvertToDays(7, UnitNone));
        QVERIFY(isNeverDue(never));
        RecordList rows = {{{col::nextdate, never}}, {{col::nextdate, local(2030, 1, 1).toUTC()}}};
        doSortWithArray(rows, col::nextdate, true, SortSelector::localizedStandardCompare);
        QCOMPARE(rows.last().value(col::nextdate).toDateTime(), never);
        QVERIFY(!isOverdue(never, QDateTime(QDate(250000000, 1, 1), QTime(0, 0), Qt::UTC)));
        const QDateTime farLast =
            QDateTime::fromMSecsSinceEpoch(std::numeric_limits<qint64>::max() - 1000, Qt::UTC);
        QVERIFY(isNeverDue(nextDueDate(farLast, 365)));
        QVERIFY(isOverdue(now, now));
        QVERIFY(!isOverdue(now.addSecs(1), now));
        QVERIFY(!isOverdue(QVariant(), now));
        QVERIFY(!isOverdue(u"2020-01-01"_s, now));
    }

    // Latest: properties in the pop-up's order, tasks in the order first
    // logged; due now: the latest rows at or before now. A deleted task is due
    // at its last date, a task without recurrence never.
    void modes_data()
    {
        QTest::addColumn<int>("tag");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("1 latest") << 1 << QStringList{"Lake|Gutters|2024-03-01", "Lake|Paint|2020-05-05",
                                                      "Lake|Water|2026-06-15",   "Main|Gutters|2025-06-20",
                                                      "Main|Water|2026-06-14",   "Main|Gone|2026-01-02",
                                                      "Main|Filter|2026-03-17"};
        QTest::newRow("3 due now") << 3
                                   << QStringList{"Lake|Gutters|2024-03-01", "Main|Water|2026-06-14",
                                                  "Main|Gone|2026-01-02", "Main|Filter|2026-03-17"};
        QTest::newRow("any other tag: every record, file order") << 0 << QStringList{};
    }
    void modes()
    {
        QFETCH(int, tag);
        QFETCH(QStringList, rows);
        const RecordList history = {
            job(main, gutters, local(2025, 6, 20)), job(lake, gutters, local(2023, 3, 1)),
            job(lake, paint, local(2020, 5, 5)),    job(lake, gutters, local(2024, 3, 1)),
            job(main, daily, local(2026, 6, 14)),   job(lake, daily, local(2026, 6, 15)),
            job(main, gone, local(2026, 1, 2)),     job(main, filter, local(2026, 3, 17))};
        const RecordList got =
            copyDueList(history, tasks, {}, dueModeFromTag(tag), duePropertyTitles(history), now);
        QCOMPARE(describe(got), tag ? rows : describe(buildDueItems(history, tasks)));
    }

    // Numbers in names by value; a property called "All" closes the pop-up;
    // a title listed twice lists its rows once.
    void allGroupsInPopupOrder()
    {
        const RecordList history = {
            job(u"Unit 10"_s, gutters, local(2024, 1, 1)), job(u"All"_s, gutters, local(2024, 1, 1)),
            job(u"Unit 2"_s, paint, local(2024, 1, 1)), job(u"barn"_s, gutters, local(2024, 1, 1))};
        const QStringList titles = duePropertyTitles(history);
        QCOMPARE(titles, (QStringList{"barn", "Unit 2", "Unit 10", QString(), "All"}));
        QCOMPARE(describe(copyDueList(history, tasks, {}, DueMode::Latest, titles, now)),
                 (QStringList{"barn|Gutters|2024-01-01", "Unit 2|Paint|2024-01-01",
                              "Unit 10|Gutters|2024-01-01", "All|Gutters|2024-01-01"}));
        QCOMPARE(latestPerPropertyTask(buildDueItems(history, tasks), {"barn", "barn"}).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestDue)
#include "tst_due.moc"
