// kov-cli as a script sees it: a real process, its output and exit status.
#include <QDir>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>

#include "storage/datafiles.h"

#include "testsupport.h"

using namespace kov;
using namespace Qt::StringLiterals;

class TestCli : public QObject {
    Q_OBJECT
    QTemporaryDir data; // a data folder: a small log, two tasks and a property

private Q_SLOTS:
    void initTestCase()
    {
        setDataFolderOverride(data.path());
        const QDateTime day(QDate(2026, 3, 10), QTime(0, 0));
        RecordList log;
        for (const auto &[task, cost] :
             {std::pair(u"Paint"_s, u"1234.50"_s), std::pair(u"Gutters"_s, u"1000000.00"_s)})
            log.append({{PropertyNameKey, u"Lake House"_s},
                        {ServiceTaskNameKey, task},
                        {ServiceDateKey, day},
                        {TotalCostKey, cost}});
        log[0].insert(NoteKey, u"a, \"b\""_s);
        log[1].insert(NoteKey, u"tab\there \\ \u00e9 \U0001F600\r\n"_s);
        QVERIFY(writeDataFileArray(log, PropertyHistoryFileForKOV));
        QVERIFY(writeDataFileArray({{{ServiceTaskNameKey, u"Gutters"_s},
                                     {ServiceTaskTimeUnits, 1LL},
                                     {ServiceTaskTimeInUnitsKey, 3LL}},
                                    {{ServiceTaskNameKey, u"Paint"_s}, {ServiceTaskTimeUnits, 3LL}}},
                                   ServiceTaskFileForKOV));
        QVERIFY(writeDataFileArray(
            {{{PropertyNameKey, u"Lake House"_s}, {PropertyPurchaseCostKey, 250000.5}}}, PropertyFileForKOV));
        setDataFolderOverride(QString());
    }

    // Exit status 0 when done, 1 when there is nothing to show, 2 for a usage
    // error (with a message); the formats as scripts read them.
    void commands_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out"); // a part of what it writes
        const QStringList year{"--from", "2026-01-01", "--to", "2026-12-31"},
            past{"--from", "2020-01-01", "--to", "2020-12-31"};
        const QString output = u"--output="_s + data.filePath(u"reports"_s);
        QTest::newRow("version") << QStringList{"--version"} << 0 << u"kov-cli "_s;
        QTest::newRow("no command") << QStringList{} << 2 << QString();
        QTest::newRow("unknown command") << QStringList{"frobnicate"} << 2 << QString();
        QTest::newRow("--data-dir without folder") << QStringList{"check", "--data-dir"} << 2 << QString();
        QTest::newRow("list tasks") << QStringList{"list", "tasks", "--format=json"} << 0
                                    << u"\"interval\": \"3 months\""_s;
        QTest::newRow("list tasks text") << QStringList{"list", "tasks"} << 0 << u"   1      3  3 months\n"_s;
        QTest::newRow("list properties") << QStringList{"list", "properties", "--format=json"} << 0
                                         << u"\"propertyPurchaseCost\": 250000.5"_s;
        QTest::newRow("unknown list") << QStringList{"list", "houses"} << 2 << QString();
        QTest::newRow("log csv") << QStringList{"log", "--format=csv"} + year << 0
                                 << u"property,provider,task,date,total,parts,labor,tax,note,receipt\r\n"
                                    "Lake House,,Paint,2026-03-10,1234.50,,,,\"a, \"\"b\"\"\",\r\n"_s;
        QTest::newRow("log json") << QStringList{"log", "--format", "json"} + year << 0
                                  << u"\"total\": 1234.5"_s;
        QTest::newRow("log: dates reversed")
            << QStringList{"log", "--from", "2026-03-10", "--to", "2026-03-09"} << 2 << QString();
        QTest::newRow("costs") << QStringList{"costs"} + year << 0 << u"Costs based on 2 qualifying"_s;
        QTest::newRow("costs: none qualify") << QStringList{"costs"} + past << 1 << QString();
        QTest::newRow("costs: no csv") << QStringList{"costs", "--format", "csv"} + year << 2 << QString();
        QTest::newRow("due: never") << QStringList{"due", "--format", "csv"} << 0
                                    << u"Lake House,Paint,2026-03-10T00:00:00-04:00,never,false\r\n"_s;
        QTest::newRow("due: unknown mode") << QStringList{"due", "--mode", "soon"} << 2 << QString();
        QTest::newRow("report 7") << QStringList{"report", "7", output} << 2 << QString();
        QTest::newRow("report: no data") << QStringList{"report", "1", output} + past << 1 << QString();
    }
    void commands()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, out);
        const test::CliRun r = test::runCli(QStringList{"--data-dir", data.path()} + args);
        QTEST(r.status, "status");
        QVERIFY2(QString::fromUtf8(r.out).contains(out), r.out.constData());
        QCOMPARE(r.err.isEmpty(), r.status == 0);
        // JSON byte for byte as Qt's own writer puts it.
        if (args.join(u' ').contains(u"json"_s))
            QCOMPARE(QJsonDocument::fromJson(r.out).toJson(), r.out);
    }

    // A first check writes the shipped tasks, nothing else; a bad file: status 1, kept as it is.
    void check()
    {
        QTemporaryDir home;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_DATA_HOME"_s, home.path());
        QCOMPARE(test::runCli({u"check"_s}, env).status, 0);
        const QDir folder(home.filePath(u"Tolvanderwerks"_s));
        QCOMPARE(readDataFile(folder.filePath(ServiceTaskFileForKOV), nullptr).size(),
                 copyResourceArray(ServiceTaskDefaultsFileName).size());
        QCOMPARE(folder.entryList(QDir::Files), QStringList{ServiceTaskFileForKOV});
        const QByteArray corrupt = "<?xml version=\"1.0\"?>\n<plist version=\"1.0\">\n<array>\n<dict>\n"
                                   "<key>PropertyNameKey</key>\n<string>Lake House</strin>\n";
        QFile history(folder.filePath(PropertyHistoryFileForKOV));
        QVERIFY(history.open(QIODevice::WriteOnly) && history.write(corrupt) == corrupt.size());
        history.close();
        const test::CliRun r = test::runCli({u"check"_s}, env);
        QCOMPARE(r.status, 1);
        QVERIFY2(r.out.contains("PropertyHistoryFileForKOV: cannot be read: line 6"), r.out.constData());
        QCOMPARE(test::readAll(history.fileName()), corrupt);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
