// The data folder and files: nothing the user has is ever lost.
#include <csignal>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include "storage/datafiles.h"
#include "storage/plist.h"

#include "testsupport.h"

using namespace kov;

namespace {
using kov::test::readAll;

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

const QByteArray plistHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                             "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                             "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                             "<plist version=\"1.0\">\n";

Record sampleRecord(const QString &name)
{
    return {{PropertyNameKey, name},
            {ProviderNameKey, QStringLiteral("Bob's Gutters & Roofing")},
            {ServiceTaskNameKey, QStringLiteral("Clean gutters")},
            {ServiceDateKey, QDateTime(QDate(2024, 3, 14), QTime(4, 0), Qt::UTC)},
            {TotalCostKey, QStringLiteral("129.60")}};
}
} // namespace

class TestDataFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void folderFollowsXdgDataHome();
    void missingFileReadsEmpty();
    void writeThenRead();
    void seedsDefaultsWhenEmpty_data();
    void seedsDefaultsWhenEmpty();
    void unreadableFileIsNeverOverwritten_data();
    void unreadableFileIsNeverOverwritten();
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();
    void vanishedFolderIsReported();

private:
    QTemporaryDir *dir = nullptr;
    QList<DataFileProblem> problems;
};

void TestDataFiles::init()
{
    dir = new QTemporaryDir;
    QVERIFY(dir->isValid());
    setDataFolderOverride(dir->filePath(QStringLiteral("Tolvanderwerks")));
    problems.clear();
    setDataFileProblemHandler([this](const DataFileProblem &p) { problems.append(p); });
}

void TestDataFiles::cleanup()
{
    setDataFileProblemHandler(nullptr);
    setDataFolderOverride(QString());
    delete dir;
    dir = nullptr;
}

void TestDataFiles::folderFollowsXdgDataHome()
{
    setDataFolderOverride(QString());
    const QByteArray old = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir->filePath(QStringLiteral("share"))));
    const QString folder = copyDataFolderURL();
    QCOMPARE(folder, dir->filePath(QStringLiteral("share/Tolvanderwerks")));
    // Missing parents are made too.
    QVERIFY(QFileInfo(folder).isDir());
    qputenv("XDG_DATA_HOME", old);
}

void TestDataFiles::missingFileReadsEmpty()
{
    DataFileStatus status;
    QVERIFY(copyDataFileArray(PropertyFileForKOV, &status).isEmpty());
    QCOMPARE(status.state, DataFileStatus::Missing);
    QVERIFY(QFileInfo(dataFolderPath()).isDir());
    QVERIFY(!QFile::exists(dataFilePath(PropertyFileForKOV)));
    QVERIFY(problems.isEmpty());
}

void TestDataFiles::writeThenRead()
{
    copyDataFolderURL();
    const RecordList records{sampleRecord(QStringLiteral("Lake House")), sampleRecord(QStringLiteral("Äpfel & <Birnen>"))};
    QVERIFY(writeDataFileArray(records, PropertyHistoryFileForKOV));
    DataFileStatus status;
    const RecordList back = copyDataFileArray(PropertyHistoryFileForKOV, &status);
    QCOMPARE(status.state, DataFileStatus::Ok);
    QCOMPARE(back.size(), 2);
    QVERIFY(recordsEqual(back[0], records[0]));
    QVERIFY(recordsEqual(back[1], records[1]));
    QVERIFY(readAll(dataFilePath(PropertyHistoryFileForKOV)).startsWith(plistHead));
    // Nothing but the data file is left behind.
    QCOMPARE(QDir(dataFolderPath()).entryList(QDir::Files | QDir::Hidden),
             QStringList{PropertyHistoryFileForKOV});
}

void TestDataFiles::seedsDefaultsWhenEmpty_data()
{
    QTest::addColumn<QByteArray>("existing");
    QTest::newRow("no task file") << QByteArray();
    QTest::newRow("an empty array") << (plistHead + "<array/>\n</plist>\n");
}

void TestDataFiles::seedsDefaultsWhenEmpty()
{
    QFETCH(QByteArray, existing);
    copyDataFolderURL();
    if (!existing.isEmpty())
        writeBytes(dataFilePath(ServiceTaskFileForKOV), existing);
    const RecordList defaults = copyResourceArray(ServiceTaskDefaultsFileName);
    QVERIFY2(defaults.size() >= 18, "the shipped default task list");
    const RecordList tasks = copyTaskListSeedingDefaults();
    QCOMPARE(tasks.size(), defaults.size());
    DataFileStatus status;
    const RecordList onDisk = readDataFile(dataFilePath(ServiceTaskFileForKOV), &status);
    QCOMPARE(status.state, DataFileStatus::Ok);
    QCOMPARE(onDisk.size(), defaults.size());
    for (qsizetype i = 0; i < defaults.size(); ++i)
        QVERIFY(recordsEqual(onDisk[i], defaults[i]));
}

void TestDataFiles::unreadableFileIsNeverOverwritten_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("folder");
    QTest::newRow("zero bytes") << QByteArray() << false;
    QTest::newRow("not xml") << QByteArray("PropertyNameKey=Lake House\n") << false;
    QTest::newRow("truncated") << (plistHead + "<array>\n\t<dict>\n\t\t<key>PropertyNameKey</key>\n") << false;
    QTest::newRow("root is a dictionary") << (plistHead + "<dict/>\n</plist>\n") << false;
    QTest::newRow("record is not a dictionary")
        << (plistHead + "<array>\n\t<string>Lake House</string>\n</array>\n</plist>\n") << false;
    QTest::newRow("binary plist") << QByteArray("bplist00\xd0\x08\x00\x00\x00\x00\x00\x00\x01\x01", 18) << false;
    QTest::newRow("a folder in its place") << QByteArray() << true;
}

void TestDataFiles::unreadableFileIsNeverOverwritten()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, folder);
    copyDataFolderURL();
    const QString path = dataFilePath(PropertyHistoryFileForKOV);
    if (folder)
        QVERIFY(QDir().mkpath(path));
    else
        writeBytes(path, bytes);

    DataFileStatus status;
    const RecordList records = copyDataFileArray(PropertyHistoryFileForKOV, &status);
    QVERIFY(records.isEmpty());
    QCOMPARE(status.state, DataFileStatus::Unreadable);
    QVERIFY(!status.reason.isEmpty());
    QCOMPARE(problems.size(), 1);
    QCOMPARE(problems[0].kind, DataFileProblem::ReadFailed);
    QCOMPARE(problems[0].fileName, PropertyHistoryFileForKOV);

    // The next write would destroy what the user has: it is refused.
    QVERIFY(!writeDataFileArray({sampleRecord(QStringLiteral("New"))}, PropertyHistoryFileForKOV));
    QCOMPARE(problems.size(), 2);
    QCOMPARE(problems[1].kind, DataFileProblem::WriteRefused);
    if (folder)
        QVERIFY(QFileInfo(path).isDir());
    else
        QCOMPARE(readAll(path), bytes);
}

void TestDataFiles::failedWriteKeepsOldFile_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("limit");
    // A small file fails inside the write buffer, a large one on its way
    // through it; neither may reach the data file's name.
    QTest::newRow("small file, tiny limit") << 2 << 16;
    QTest::newRow("large file") << 200 << 4096;
}

void TestDataFiles::failedWriteKeepsOldFile()
{
    QFETCH(int, records);
    QFETCH(int, limit);
    copyDataFolderURL();
    const RecordList old{sampleRecord(QStringLiteral("Old"))};
    QVERIFY(writeDataFileArray(old, PropertyHistoryFileForKOV));
    const QByteArray before = readAll(dataFilePath(PropertyHistoryFileForKOV));

    // A file-size limit makes the write fail as a full disk would, even for
    // root, who ignores folder permissions.
    RecordList big;
    for (int i = 0; i < records; ++i)
        big.append(sampleRecord(QStringLiteral("Record %1").arg(i)));
    struct rlimit saved;
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = rlim_t(limit);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = writeDataFileArray(big, PropertyHistoryFileForKOV);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!written);
    QCOMPARE(problems.size(), 1);
    QCOMPARE(problems[0].kind, DataFileProblem::WriteFailed);
    QVERIFY(!problems[0].reason.isEmpty());
    QCOMPARE(readAll(dataFilePath(PropertyHistoryFileForKOV)), before);
    QCOMPARE(QDir(dataFolderPath()).entryList(QDir::Files | QDir::Hidden),
             QStringList{PropertyHistoryFileForKOV});
}

void TestDataFiles::vanishedFolderIsReported()
{
    QVERIFY(!QFileInfo::exists(dataFolderPath()));
    QVERIFY(!writeDataFileArray({sampleRecord(QStringLiteral("A"))}, ProviderFileForKOV));
    QCOMPARE(problems.size(), 1);
    QCOMPARE(problems[0].kind, DataFileProblem::WriteFailed);
}

QTEST_GUILESS_MAIN(TestDataFiles)
#include "tst_datafiles.moc"
