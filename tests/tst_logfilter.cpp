// Which records a selection lists; kov-cli's dates and CSV fields.
#include <QTest>
#include <QTimeZone>

#include "cli/clioutput.h"
#include "log/logfilter.h"

using namespace kov;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(kov::NameChoice)

namespace {

QDateTime local(int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return QDateTime(QDate(2026, month, day), QTime(hour, minute, second), QTimeZone("America/New_York"));
}

Record job(const QVariant &property, const QVariant &date, const QString &note,
           const QString &task = u"Clean gutters"_s)
{
    return {{PropertyNameKey, property}, {ServiceTaskNameKey, task}, {NoteKey, note}, {ServiceDateKey, date}};
}

QStringList notes(const RecordList &records)
{
    QStringList out;
    for (const Record &r : records)
        out.append(r.value(NoteKey).toString());
    return out;
}

// Job "a" was done at 14:30, as another program may store it; "x" and "y"
// hold a number for a name and text for a date.
RecordList sampleLog()
{
    Record b = job(u"Lake House"_s, local(3, 12), u"b"_s, u"Paint fence"_s);
    b.insert(u"Extra"_s, 1); // a key of another program's: no filtered copy holds it
    return {job(u"Main Street"_s, local(3, 10, 14, 30), u"a"_s),
            b,
            job(u"main street"_s, local(4, 1), u"c"_s),
            job(u"Main Street"_s, local(4, 2), u"d"_s, u"Paint fence"_s),
            job(u"Main Street"_s, QVariant(), u"no date"_s),
            job(QString(), local(3, 11), u"e"_s),
            job(12.0, local(3, 11), u"x"_s),
            job(u"Main Street"_s, u"2026-03-10"_s, u"y"_s)};
}

} // namespace

class TestLogFilter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Names match exactly; "All" matches any name present, never a missing or
    // foreign value. A record counts from 00:00 of its day, whatever its time.
    void selection_data()
    {
        QTest::addColumn<NameChoice>("property");
        QTest::addColumn<NameChoice>("task");
        QTest::addColumn<QDateTime>("begin");
        QTest::addColumn<QDateTime>("end");
        QTest::addColumn<QStringList>("listed");
        const NameChoice all, gutters = u"Clean gutters"_s, main = u"Main Street"_s, lower = u"main street"_s;
        const QDateTime jan = local(1, 1), dec = local(12, 31);
        const QStringList a{"a"}, none;
        QTest::newRow("All, file order") << all << all << jan << dec << QStringList{"a", "b", "c", "d", "e"};
        QTest::newRow("All and a task") << all << gutters << jan << dec << QStringList{"a", "c", "e"};
        QTest::newRow("a property and All") << main << all << jan << dec << QStringList{"a", "d"};
        QTest::newRow("letter case counts") << lower << all << jan << dec << QStringList{"c"};
        QTest::newRow("begin 00:00") << main << all << local(3, 10) << local(3, 10, 23, 59, 59) << a;
        QTest::newRow("begin 00:00:01") << main << all << local(3, 10, 0, 0, 1) << local(3, 10, 23) << none;
        QTest::newRow("end 00:00") << main << all << jan << local(3, 10) << a;
        QTest::newRow("end the evening before") << main << all << jan << local(3, 9, 23, 59, 59) << none;
    }
    void selection()
    {
        QFETCH(NameChoice, property);
        QFETCH(NameChoice, task);
        QFETCH(QDateTime, begin);
        QFETCH(QDateTime, end);
        const RecordList kept = copyFilteredLog(sampleLog(), {property, task, begin, end});
        QTEST(notes(kept), "listed");
        for (const Record &r : kept) { // cut to the start of the day
            QCOMPARE(r.value(ServiceDateKey).toDateTime().toLocalTime().time(), QTime(0, 0));
            QVERIFY(!r.contains(u"Extra"_s));
        }
    }

    // Without dates (the due list, one property's tasks) undated records pass.
    void namesOnly()
    {
        QCOMPARE(notes(copyAllTasksForOneProperty(sampleLog(), u"Main Street"_s)),
                 (QStringList{"a", "d", "no date", "y"}));
        QVERIFY(areBeginEndDatesOK(local(3, 10, 9), local(3, 10, 9)));
        QVERIFY(!areBeginEndDatesOK(local(3, 10, 9, 0, 1), local(3, 10, 9)));
        QVERIFY(!areBeginEndDatesOK(local(3, 10), QDateTime()));
        // The pop-ups hold no empty name.
        QCOMPARE(distinctNames(sampleLog(), PropertyNameKey),
                 (QStringList{"Main Street", "Lake House", "main street"}));
    }

    // A day is the whole local day (also that of the spring change); a day
    // that does not exist is refused, not rolled over.
    void dateOption()
    {
        using cli::parseDateOption, cli::RangeEdge;
        QCOMPARE(parseDateOption(u"2026-03-10"_s, RangeEdge::Begin).value(), local(3, 10));
        QCOMPARE(parseDateOption(u"2026-03-08"_s, RangeEdge::End).value(), local(3, 9).addMSecs(-1));
        QCOMPARE(parseDateOption(u"2026-03-10T17:00:00Z"_s, RangeEdge::Begin).value(), local(3, 10, 13));
        QVERIFY(!parseDateOption(u"2026-02-30"_s, RangeEdge::Begin));
    }

    void csvFields()
    {
        QCOMPARE(cli::csvField(u"Main Street"_s), u"Main Street"_s);
        QCOMPARE(cli::csvField(u"a, \"b\""_s), u"\"a, \"\"b\"\"\""_s);
        QCOMPARE(cli::csvField(u"one\rtwo"_s), u"\"one\rtwo\""_s);
        QCOMPARE(cli::csvField(u"one\ntwo"_s), u"\"one\ntwo\""_s);
    }
};

QTEST_GUILESS_MAIN(TestLogFilter)
#include "tst_logfilter.moc"
