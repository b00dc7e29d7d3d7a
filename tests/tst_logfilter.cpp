// Which records a selection lists, without widgets: day boundaries, "All",
// exact names, records without a date; the interval label; the command
// line's dates and CSV fields.
#include <QTest>
#include <QTimeZone>

#include "cli/clioutput.h"
#include "lists/tasklabel.h"
#include "log/logfilter.h"

using namespace kov;

Q_DECLARE_METATYPE(kov::NameChoice)

namespace {

const QTimeZone newYork("America/New_York");

QDateTime local(int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return QDateTime(QDate(2026, month, day), QTime(hour, minute, second), newYork).toUTC();
}

Record job(const QString &property, const QString &task, const QDateTime &date, const QString &note)
{
    Record r{{PropertyNameKey, property}, {ServiceTaskNameKey, task}, {NoteKey, note}};
    if (date.isValid())
        r.insert(ServiceDateKey, date);
    return r;
}

QStringList notes(const RecordList &records)
{
    QStringList out;
    for (const Record &r : records)
        out.append(r.value(NoteKey).toString());
    return out;
}

// A log with a job done in the afternoon (as another program may store it)
// and names that differ only in case.
RecordList sampleLog()
{
    return {
        job(QStringLiteral("Main Street"), QStringLiteral("Clean gutters"), local(3, 10, 14, 30),
            QStringLiteral("a")),
        job(QStringLiteral("Lake House"), QStringLiteral("Paint fence"), local(3, 12), QStringLiteral("b")),
        job(QStringLiteral("main street"), QStringLiteral("Clean gutters"), local(4, 1), QStringLiteral("c")),
        job(QStringLiteral("Main Street"), QStringLiteral("Paint fence"), local(4, 2), QStringLiteral("d")),
        job(QStringLiteral("Main Street"), QStringLiteral("Clean gutters"), QDateTime(),
            QStringLiteral("no date")),
        job(QStringLiteral("Lake House"), QStringLiteral("Clean gutters"), local(3, 11),
            QStringLiteral("e"))};
}

} // namespace

class TestLogFilter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void dayBoundaries_data();
    void dayBoundaries();
    void names_data();
    void names();
    void missingOrForeignValuesNeverMatch_data();
    void missingOrForeignValuesNeverMatch();
    void withoutDatesKeepsUndatedRecords();
    void cleansedCopyKeepsRowKeysOnly();
    void beginEndCheck_data();
    void beginEndCheck();
    void tasksOfOneProperty();
    void distinctNamesInFirstOrder();
    void intervalLabel_data();
    void intervalLabel();
    void dateOption_data();
    void dateOption();
    void csvFields_data();
    void csvFields();
};

void TestLogFilter::dayBoundaries_data()
{
    QTest::addColumn<QDateTime>("begin");
    QTest::addColumn<QDateTime>("end");
    QTest::addColumn<bool>("listed");
    // The job of 10 March was done at 14:30; it counts from 00:00 that day.
    QTest::newRow("begin at 00:00 of the day") << local(3, 10) << local(3, 31) << true;
    QTest::newRow("begin one second later") << local(3, 10, 0, 0, 1) << local(3, 31) << false;
    QTest::newRow("begin after the job's own time") << local(3, 10, 15) << local(3, 31) << false;
    QTest::newRow("end at 00:00 of the day") << local(1, 1) << local(3, 10) << true;
    QTest::newRow("end at 23:59:59 of the day") << local(1, 1) << local(3, 10, 23, 59, 59) << true;
    QTest::newRow("end before the job's own time") << local(1, 1) << local(3, 10, 9) << true;
    QTest::newRow("end the evening before") << local(1, 1) << local(3, 9, 23, 59, 59) << false;
    QTest::newRow("begin and end on the same instant") << local(3, 10) << local(3, 10) << true;
}

void TestLogFilter::dayBoundaries()
{
    QFETCH(QDateTime, begin);
    QFETCH(QDateTime, end);
    QFETCH(bool, listed);
    const RecordList log = {job(QStringLiteral("Main Street"), QStringLiteral("Clean gutters"),
                                local(3, 10, 14, 30), QStringLiteral("a"))};
    const RecordList kept = copyFilteredLog(log, LogFilter{std::nullopt, std::nullopt, begin, end});
    QCOMPARE(kept.size(), listed ? 1 : 0);
    if (listed)
        QCOMPARE(kept.first().value(ServiceDateKey).toDateTime(), local(3, 10));
}

void TestLogFilter::names_data()
{
    QTest::addColumn<NameChoice>("property");
    QTest::addColumn<NameChoice>("task");
    QTest::addColumn<QStringList>("expected");
    const NameChoice all;
    QTest::newRow("All and All, file order") << all << all << QStringList{"a", "b", "c", "d", "e"};
    QTest::newRow("All and a task") << all << NameChoice(QStringLiteral("Clean gutters"))
                                    << QStringList{"a", "c", "e"};
    QTest::newRow("a property and All")
        << NameChoice(QStringLiteral("Main Street")) << all << QStringList{"a", "d"};
    QTest::newRow("a property and a task") << NameChoice(QStringLiteral("Lake House"))
                                           << NameChoice(QStringLiteral("Paint fence")) << QStringList{"b"};
    QTest::newRow("letter case counts")
        << NameChoice(QStringLiteral("main street")) << all << QStringList{"c"};
    QTest::newRow("a name nobody logged") << NameChoice(QStringLiteral("Main St")) << all << QStringList{};
    QTest::newRow("a task with other case")
        << all << NameChoice(QStringLiteral("clean gutters")) << QStringList{};
}

void TestLogFilter::names()
{
    QFETCH(NameChoice, property);
    QFETCH(NameChoice, task);
    QFETCH(QStringList, expected);
    const RecordList kept =
        copyFilteredLog(sampleLog(), LogFilter{property, task, local(1, 1), local(12, 31)});
    QCOMPARE(notes(kept), expected);
}

void TestLogFilter::missingOrForeignValuesNeverMatch_data()
{
    QTest::addColumn<Record>("record");
    const QDateTime day = local(3, 10);
    QTest::newRow("no service date") << job(QStringLiteral("P"), QStringLiteral("T"), QDateTime(),
                                            QStringLiteral("x"));
    QTest::newRow("no property") << Record{{ServiceTaskNameKey, QStringLiteral("T")}, {ServiceDateKey, day}};
    QTest::newRow("no task") << Record{{PropertyNameKey, QStringLiteral("P")}, {ServiceDateKey, day}};
    QTest::newRow("property is a number")
        << Record{{PropertyNameKey, 12.0}, {ServiceTaskNameKey, QStringLiteral("T")}, {ServiceDateKey, day}};
    QTest::newRow("date is a string") << Record{{PropertyNameKey, QStringLiteral("P")},
                                                {ServiceTaskNameKey, QStringLiteral("T")},
                                                {ServiceDateKey, QStringLiteral("2026-03-10")}};
}

void TestLogFilter::missingOrForeignValuesNeverMatch()
{
    QFETCH(Record, record);
    // Even "All" and the widest range list only what is present.
    const LogFilter any{std::nullopt, std::nullopt, local(1, 1).addYears(-100), local(12, 31).addYears(100)};
    QVERIFY(copyFilteredLog({record}, any).isEmpty());
}

void TestLogFilter::withoutDatesKeepsUndatedRecords()
{
    // The due list asks by names only.
    const LogFilter names{QStringLiteral("Main Street"), QStringLiteral("Clean gutters"), std::nullopt,
                          std::nullopt};
    RecordList kept;
    for (const Record &r : sampleLog())
        if (recordMatchesFilter(r, names))
            kept.append(r);
    QCOMPARE(notes(kept), (QStringList{"a", "no date"}));
}

void TestLogFilter::cleansedCopyKeepsRowKeysOnly()
{
    Record r = job(QStringLiteral("P"), QStringLiteral("T"), local(3, 10, 14, 30), QStringLiteral("n"));
    r.insert(ProviderNameKey, QStringLiteral("Prov"));
    r.insert(TotalCostKey, QStringLiteral("1.00"));
    r.insert(BookMarkDataKeyForReceipt, QByteArray("file:///r.pdf"));
    r.insert(QStringLiteral("SomethingElse"), 3);
    const RecordList copy = copyArrayCleanseDate({r});
    QCOMPARE(copy.size(), 1);
    Record expected = r;
    expected.remove(QStringLiteral("SomethingElse"));
    expected.insert(ServiceDateKey, local(3, 10));
    QVERIFY(recordsEqual(copy.first(), expected));
}

void TestLogFilter::beginEndCheck_data()
{
    QTest::addColumn<QDateTime>("begin");
    QTest::addColumn<QDateTime>("end");
    QTest::addColumn<bool>("ok");
    QTest::newRow("equal") << local(3, 10, 9) << local(3, 10, 9) << true;
    QTest::newRow("before") << local(3, 10, 9) << local(3, 10, 9, 0, 1) << true;
    QTest::newRow("one second after") << local(3, 10, 9, 0, 1) << local(3, 10, 9) << false;
    QTest::newRow("invalid end") << local(3, 10) << QDateTime() << false;
}

void TestLogFilter::beginEndCheck()
{
    QFETCH(QDateTime, begin);
    QFETCH(QDateTime, end);
    QFETCH(bool, ok);
    QCOMPARE(areBeginEndDatesOK(begin, end), ok);
}

void TestLogFilter::tasksOfOneProperty()
{
    QCOMPARE(notes(copyAllTasksForOneProperty(sampleLog(), QStringLiteral("Main Street"))),
             (QStringList{"a", "d", "no date"}));
    QCOMPARE(copyAllTasksForOneProperty(sampleLog(), std::nullopt).size(), sampleLog().size());
}

void TestLogFilter::distinctNamesInFirstOrder()
{
    RecordList log = sampleLog();
    log.append(Record{{PropertyNameKey, QString()}});
    log.append(Record{{PropertyNameKey, 4.0}});
    QCOMPARE(distinctNames(log, PropertyNameKey), (QStringList{"Main Street", "Lake House", "main street"}));
}

void TestLogFilter::intervalLabel_data()
{
    QTest::addColumn<QVariant>("units");
    QTest::addColumn<QVariant>("count");
    QTest::addColumn<QString>("label");
    QTest::newRow("3 months") << QVariant(1LL) << QVariant(3LL) << "3 months";
    QTest::newRow("1 day") << QVariant(0LL) << QVariant(1LL) << "1 day";
    QTest::newRow("2 years") << QVariant(2LL) << QVariant(2LL) << "2 years";
    QTest::newRow("count 0: no count text") << QVariant(0LL) << QVariant(0LL) << " day";
    QTest::newRow("unit None with a count") << QVariant(3LL) << QVariant(0LL) << " None";
    QTest::newRow("grouped thousands") << QVariant(0LL) << QVariant(1500LL) << "1,500 days";
    QTest::newRow("no unit") << QVariant() << QVariant(3LL) << "None";
    QTest::newRow("no count") << QVariant(1LL) << QVariant() << "None";
    QTest::newRow("unknown unit code") << QVariant(7LL) << QVariant(3LL) << "None";
}

void TestLogFilter::intervalLabel()
{
    QFETCH(QVariant, units);
    QFETCH(QVariant, count);
    QFETCH(QString, label);
    Record task{{ServiceTaskNameKey, QStringLiteral("T")}};
    if (units.isValid())
        task.insert(ServiceTaskTimeUnits, units);
    if (count.isValid())
        task.insert(ServiceTaskTimeInUnitsKey, count);
    QCOMPARE(copyTaskDescAndTimeLabel(task), label);
    QCOMPARE(copyTaskDescAndTimeLabel(std::nullopt), QStringLiteral("None"));
}

void TestLogFilter::dateOption_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isEnd");
    QTest::addColumn<QDateTime>("expected");
    QTest::newRow("day as begin: 00:00 local") << "2026-03-10" << false << local(3, 10);
    QTest::newRow("day as end: its last instant") << "2026-03-10" << true << local(3, 11).addMSecs(-1);
    QTest::newRow("day of the spring change") << "2026-03-08" << true << local(3, 9).addMSecs(-1);
    QTest::newRow("date-time as given") << "2026-03-10T09:15:00" << true << local(3, 10, 9, 15);
    QTest::newRow("date-time with offset")
        << "2026-03-10T12:00:00Z" << false << QDateTime(QDate(2026, 3, 10), QTime(12, 0), QTimeZone::utc());
    QTest::newRow("no such day") << "2026-02-30" << false << QDateTime();
    QTest::newRow("not a date") << "yesterday" << false << QDateTime();
}

void TestLogFilter::dateOption()
{
    QFETCH(QString, text);
    QFETCH(bool, isEnd);
    QFETCH(QDateTime, expected);
    const std::optional<QDateTime> parsed =
        cli::parseDateOption(text, isEnd ? cli::RangeEdge::End : cli::RangeEdge::Begin);
    QCOMPARE(parsed.has_value(), expected.isValid());
    if (parsed)
        QCOMPARE(parsed->toUTC(), expected.toUTC());
}

void TestLogFilter::csvFields_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");
    QTest::newRow("plain") << "Main Street"
                           << "Main Street";
    QTest::newRow("comma") << "a, b"
                           << "\"a, b\"";
    QTest::newRow("quote") << "the \"tall\" one"
                           << "\"the \"\"tall\"\" one\"";
    QTest::newRow("line break") << "one\ntwo"
                                << "\"one\ntwo\"";
    QTest::newRow("carriage return") << "one\rtwo"
                                     << "\"one\rtwo\"";
    QTest::newRow("empty") << ""
                           << "";
}

void TestLogFilter::csvFields()
{
    QFETCH(QString, text);
    QFETCH(QString, field);
    QCOMPARE(cli::csvField(text), field);
}

QTEST_GUILESS_MAIN(TestLogFilter)
#include "tst_logfilter.moc"
