// The log as CSV and the due dates as iCalendar, read back the way other
// programs read them and compared with kov-cli's JSON for the same folder.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include "export/exportfiles.h"
#include "storage/datafiles.h"

#include "testsupport.h"

using namespace kov;
using namespace Qt::StringLiterals;

namespace {

// RFC 4180: quoted fields may hold commas, doubled quotes and line breaks.
QList<QStringList> readCsv(const QString &text)
{
    QList<QStringList> rows{{}};
    QString cell;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted && c == u'"' && i + 1 < text.size() && text[i + 1] == u'"')
            cell += text[++i];
        else if (c == u'"')
            quoted = !quoted;
        else if (!quoted && c == u',')
            rows.last().append(std::exchange(cell, {}));
        else if (!quoted && c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            rows.last().append(std::exchange(cell, {}));
            rows.append(QStringList());
            ++i;
        } else
            cell += c;
    }
    rows.removeLast();
    return rows;
}

// The events of a calendar as property → value maps, after checking every
// physical line: CRLF, at most 75 octets (a folded line's space included),
// no UTF-8 sequence cut.
QList<QMap<QString, QString>> readCalendar(const QByteArray &ics)
{
    QList<QMap<QString, QString>> events;
    QStringList lines;
    for (const QByteArray &raw : ics.split('\n')) {
        if (raw.isEmpty())
            continue;
        if (!raw.endsWith('\r') || raw.size() - 1 > 75 ||
            QString::fromUtf8(raw).contains(QChar::ReplacementCharacter))
            qFatal("bad line: %s", raw.constData());
        const QString line = QString::fromUtf8(raw.chopped(1));
        if (line.startsWith(u' '))
            lines.last() += line.mid(1);
        else
            lines.append(line);
    }
    for (const QString &line : lines) {
        const qsizetype colon = line.indexOf(u':');
        const QString name = line.left(colon), value = line.mid(colon + 1);
        if (line == "BEGIN:VEVENT"_L1)
            events.append(QMap<QString, QString>());
        else if (!events.isEmpty() && !events.last().contains(u"END"_s))
            events.last().insert(name, value);
    }
    return events;
}

} // namespace

class TestExport : public QObject {
    Q_OBJECT
    QTemporaryDir data;
    // Long enough to fold twice: in two-octet characters, and in one-octet
    // ones, whose lines fill all 75 octets.
    const QString mainSt = u"Main St "_s + QString(70, u'\u00C4'),
                  lake = u"Lake House "_s + QString(140, u'l');

    QByteArray cli(const QStringList &args, const QString &format)
    {
        return test::runCli(QStringList{u"--data-dir"_s, data.path()} + args +
                            QStringList{u"--format="_s + format})
            .out;
    }

    void writeLog(const QDateTime &lakeGutters)
    {
        setDataFolderOverride(data.path());
        RecordList log;
        for (const auto &[property, task, day] :
             {std::tuple(lake, u"Gutters"_s, lakeGutters),
              std::tuple(lake, u"Furnace, gas; filter"_s, test::local(2026, 1, 31)),
              std::tuple(lake, u"Water"_s, test::local(2026, 1, 31)),
              std::tuple(mainSt, u"Septic"_s, test::local(2025, 6, 1)),
              std::tuple(mainSt, u"Paint"_s, test::local(2026, 2, 1)),
              std::tuple(mainSt, u"Unknown task"_s, test::local(2026, 2, 1))})
            log.append({{PropertyNameKey, property},
                        {ServiceTaskNameKey, task},
                        {ServiceDateKey, day},
                        {TotalCostKey, u"12.50"_s},
                        {NoteKey, u"one\n\"two\", three"_s}});
        QVERIFY(writeDataFileArray(log, PropertyHistoryFileForKOV));
        auto task = [](const QString &name, qint64 unit, qint64 count) {
            return Record{
                {ServiceTaskNameKey, name}, {ServiceTaskTimeUnits, unit}, {ServiceTaskTimeInUnitsKey, count}};
        };
        QVERIFY(writeDataFileArray({task(u"Gutters"_s, 1, 3), task(u"Furnace, gas; filter"_s, 0, 45),
                                    task(u"Septic"_s, 2, 2), task(u"Paint"_s, 3, 0), task(u"Water"_s, 1, 0)},
                                   ServiceTaskFileForKOV));
        setDataFolderOverride(QString());
    }

private Q_SLOTS:
    // kov-cli log --format csv reads back, cell for cell, as its JSON.
    void csvAgreesWithJson()
    {
        writeLog(test::local(2026, 3, 10));
        const QStringList log{u"log"_s, u"--from"_s, u"2025-01-01"_s, u"--to"_s, u"2026-12-31"_s};
        const QJsonArray json = QJsonDocument::fromJson(cli(log, u"json"_s)).array();
        const QList<QStringList> rows = readCsv(QString::fromUtf8(cli(log, u"csv"_s)));
        QCOMPARE(rows.size(), 7);
        QCOMPARE(json.size(), 6);
        for (qsizetype r = 1; r < rows.size(); ++r) {
            const QJsonObject object = json[r - 1].toObject();
            for (qsizetype c = 0; c < rows[0].size(); ++c) {
                const QJsonValue v = object.value(rows[0][c]);
                const QString expected = v.isDouble() ? plainAmount(v.toDouble()) : v.toString();
                QCOMPARE(rows[r][c], expected);
            }
        }
    }

    // kov-cli due --format ics: one event per recurring pair, on the day
    // its JSON names, repeating by the task's unit; the UID stays when the
    // date moves on, so a calendar updates the event.
    void calendarAgreesWithJson()
    {
        QMap<QString, QString> firstUids;
        for (const QDateTime &gutters : {test::local(2026, 3, 10), test::local(2026, 5, 2)}) {
            writeLog(gutters);
            const QJsonArray json = QJsonDocument::fromJson(cli({u"due"_s}, u"json"_s)).array();
            const QByteArray ics = cli({u"due"_s}, u"ics"_s);
            QVERIFY(ics.startsWith("BEGIN:VCALENDAR\r\nVERSION:2.0\r\n"));
            const QList<QMap<QString, QString>> events = readCalendar(ics);
            // Paint never recurs, Water every 0 months, the unknown task has no interval.
            QCOMPARE(events.size(), 3);
            const QMap<QString, QString> rules{{u"Gutters"_s, u"FREQ=MONTHLY;INTERVAL=3"_s},
                                               {u"Furnace\\, gas\\; filter"_s, u"FREQ=DAILY;INTERVAL=45"_s},
                                               {u"Septic"_s, u"FREQ=YEARLY;INTERVAL=2"_s}};
            for (const QJsonValue &row : json) {
                const QJsonObject o = row.toObject();
                const QString summary =
                    icalText(o[u"task"_s].toString() + u": "_s + o[u"property"_s].toString());
                const auto event = std::find_if(events.cbegin(), events.cend(), [&](const auto &e) {
                    return e.value(u"SUMMARY"_s) == summary;
                });
                QCOMPARE(event != events.cend(), rules.contains(icalText(o[u"task"_s].toString())));
                if (event == events.cend())
                    continue;
                const QDate next = QDateTime::fromString(o[u"next"_s].toString(), Qt::ISODate).date();
                QCOMPARE(event->value(u"DTSTART;VALUE=DATE"_s), next.toString(u"yyyyMMdd"_s));
                QCOMPARE(event->value(u"DTEND;VALUE=DATE"_s), next.addDays(1).toString(u"yyyyMMdd"_s));
                QCOMPARE(event->value(u"RRULE"_s), rules.value(icalText(o[u"task"_s].toString())));
                const QString uid = event->value(u"UID"_s);
                QCOMPARE(firstUids.value(summary, uid), uid);
                firstUids.insert(summary, uid);
            }
        }
        QCOMPARE(QSet<QString>(firstUids.cbegin(), firstUids.cend()).size(), 3);
    }

    void escaping() { QCOMPARE(icalText(u"a,b;c\\d\r\ne\nf"_s), u"a\\,b\\;c\\\\d\\ne\\nf"_s); }
};

QTEST_GUILESS_MAIN(TestExport)
#include "tst_export.moc"
