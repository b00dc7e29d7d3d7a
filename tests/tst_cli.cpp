// kov-cli as a script sees it: a real process, its output and exit status.
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "storage/datafiles.h"

#include "testsupport.h"

using namespace kov;

namespace {
struct Run {
    int status = -1;
    QString out;
    QString err;
};

Run runCli(const QStringList &args, const QString &xdgDataHome)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), xdgDataHome);
    const kov::test::CliRun r = kov::test::runCli(args, env);
    return {r.status, QString::fromUtf8(r.out), QString::fromUtf8(r.err)};
}

using kov::test::readAll;
} // namespace

class TestCli : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void version();
    void checkSeedsTasksOnFirstRun();
    void checkReportsCorruptFileAndLeavesIt();
    void dataDirOption();
    void listTasksAndProperties();
    void usageErrors_data();
    void usageErrors();
};

void TestCli::version()
{
    QTemporaryDir home;
    const Run r = runCli({QStringLiteral("--version")}, home.path());
    QCOMPARE(r.status, 0);
    QVERIFY2(r.out.startsWith(QStringLiteral("kov-cli ")), qPrintable(r.out));
}

void TestCli::checkSeedsTasksOnFirstRun()
{
    QTemporaryDir home;
    const Run r = runCli({QStringLiteral("check")}, home.path());
    QCOMPARE(r.status, 0);
    const QString taskFile = home.filePath(QStringLiteral("Tolvanderwerks/ServiceTaskFileForKOV"));
    QVERIFY(QFile::exists(taskFile));
    DataFileStatus status;
    const RecordList tasks = readDataFile(taskFile, &status);
    QCOMPARE(status.state, DataFileStatus::Ok);
    QCOMPARE(tasks.size(), copyResourceArray(ServiceTaskDefaultsFileName).size());
    QVERIFY2(r.out.contains(QStringLiteral("ServiceTaskFileForKOV: %1 records").arg(tasks.size())), qPrintable(r.out));
    QVERIFY2(r.out.contains(QStringLiteral("PropertyHistoryFileForKOV: no file yet")), qPrintable(r.out));
    // The other three files appear only with their first record.
    QVERIFY(!QFile::exists(home.filePath(QStringLiteral("Tolvanderwerks/PropertyHistoryFileForKOV"))));
}

void TestCli::checkReportsCorruptFileAndLeavesIt()
{
    QTemporaryDir home;
    QDir().mkpath(home.filePath(QStringLiteral("Tolvanderwerks")));
    const QString history = home.filePath(QStringLiteral("Tolvanderwerks/PropertyHistoryFileForKOV"));
    const QByteArray corrupt = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<array>\n"
                               "\t<dict>\n\t\t<key>PropertyNameKey</key>\n\t\t<string>Lake House</strin>\n";
    {
        QFile f(history);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(corrupt);
    }
    const Run r = runCli({QStringLiteral("check")}, home.path());
    QCOMPARE(r.status, 1);
    QVERIFY2(r.out.contains(QStringLiteral("PropertyHistoryFileForKOV: cannot be read: line 6")), qPrintable(r.out));
    QVERIFY2(r.err.contains(QStringLiteral("PropertyHistoryFileForKOV")), qPrintable(r.err));
    QCOMPARE(readAll(history), corrupt);
}

void TestCli::dataDirOption()
{
    QTemporaryDir home;
    QTemporaryDir other;
    const Run r = runCli({QStringLiteral("--data-dir"), other.path(), QStringLiteral("paths")}, home.path());
    QCOMPARE(r.status, 0);
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines[0], other.path());
    QCOMPARE(lines[4], QDir(other.path()).filePath(QStringLiteral("PropertyHistoryFileForKOV")));

    const Run c = runCli({QStringLiteral("check"), QStringLiteral("--data-dir"), other.path()}, home.path());
    QCOMPARE(c.status, 0);
    QVERIFY(QFile::exists(QDir(other.path()).filePath(QStringLiteral("ServiceTaskFileForKOV"))));
    QVERIFY(!QFile::exists(home.filePath(QStringLiteral("Tolvanderwerks"))));
}

void TestCli::listTasksAndProperties()
{
    QTemporaryDir home;
    setDataFolderOverride(home.filePath(QStringLiteral("Tolvanderwerks")));
    copyDataFolderURL();
    QFile blob(QStringLiteral(KOV_TEST_DATA "/rtfd-macos.bin"));
    QVERIFY(blob.open(QIODevice::ReadOnly));
    const Record task{{ServiceTaskNameKey, QStringLiteral("Clean stove hood")},
                      {ServiceTaskDescriptionKey, blob.readAll()},
                      {ServiceTaskTimeUnits, qlonglong(1)},
                      {ServiceTaskTimeInUnitsKey, qlonglong(3)}};
    QVERIFY(writeDataFileArray({task}, ServiceTaskFileForKOV));
    const Record property{{PropertyNameKey, QStringLiteral("Lake House")},
                          {PropertyZipKey, QStringLiteral("04101")},
                          {PropertyPurchaseCostKey, 250000.5}};
    QVERIFY(writeDataFileArray({property}, PropertyFileForKOV));
    setDataFolderOverride(QString());

    const Run tasks = runCli({QStringLiteral("list"), QStringLiteral("tasks"), QStringLiteral("--format"),
                              QStringLiteral("json")},
                             home.path());
    QCOMPARE(tasks.status, 0);
    const QJsonArray t = QJsonDocument::fromJson(tasks.out.toUtf8()).array();
    QCOMPARE(t.size(), 1);
    QCOMPARE(t[0][QStringLiteral("name")].toString(), QStringLiteral("Clean stove hood"));
    QCOMPARE(t[0][QStringLiteral("description")].toString(), QStringLiteral("Caf\u00e9 stove: clean hood filters\nmonthly"));
    QCOMPARE(t[0][QStringLiteral("unit")].toInt(), 1);
    QCOMPARE(t[0][QStringLiteral("count")].toInt(), 3);
    QCOMPARE(t[0][QStringLiteral("interval")].toString(), QStringLiteral("3 months"));

    const Run props = runCli({QStringLiteral("list"), QStringLiteral("properties"), QStringLiteral("--format"),
                              QStringLiteral("json")},
                             home.path());
    QCOMPARE(props.status, 0);
    const QJsonObject p = QJsonDocument::fromJson(props.out.toUtf8()).array().at(0).toObject();
    QCOMPARE(p[QStringLiteral("propertyName")].toString(), QStringLiteral("Lake House"));
    QCOMPARE(p[QStringLiteral("propertyZip")].toString(), QStringLiteral("04101"));
    QCOMPARE(p[QStringLiteral("propertyPurchaseCost")].toDouble(), 250000.5);

    const Run bad = runCli({QStringLiteral("list"), QStringLiteral("houses")}, home.path());
    QCOMPARE(bad.status, 2);
}

void TestCli::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("no command") << QStringList();
    QTest::newRow("unknown command") << QStringList{QStringLiteral("frobnicate")};
    QTest::newRow("data-dir without folder") << QStringList{QStringLiteral("check"), QStringLiteral("--data-dir")};
}

void TestCli::usageErrors()
{
    QFETCH(QStringList, args);
    QTemporaryDir home;
    const Run r = runCli(args, home.path());
    QCOMPARE(r.status, 2);
    QVERIFY(!r.err.isEmpty());
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
