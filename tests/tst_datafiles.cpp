// The data folder and files: nothing the user has is ever lost.
#include <csignal>
#include <sys/resource.h>

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "storage/datafiles.h"
#include "testsupport.h"

using namespace kov;
using namespace Qt::StringLiterals;

class TestDataFiles : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    QList<DataFileProblem::Kind> problems;
    QStringList files() const { return QDir(dataFolderPath()).entryList(QDir::Files | QDir::Hidden); }

private Q_SLOTS:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        setDataFolderOverride(dir->filePath(u"Tolvanderwerks"_s));
        problems.clear();
        setDataFileProblemHandler([this](const DataFileProblem &p) { problems.append(p.kind); });
    }
    void cleanup() { setDataFileProblemHandler(nullptr); }

    // The folder is made in XDG_DATA_HOME on first use; files read back as
    // written, leave nothing else behind; an empty task list gets the defaults.
    void folderAndRoundTrip()
    {
        setDataFolderOverride(QString());
        const QByteArray old = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir->filePath(u"share"_s)));
        DataFileStatus status;
        QVERIFY(copyDataFileArray(PropertyHistoryFileForKOV, &status).isEmpty() &&
                status.state == DataFileStatus::Missing);
        QCOMPARE(dataFolderPath(), dir->filePath(u"share/Tolvanderwerks"_s));
        const RecordList records{{{PropertyNameKey, u"Äpfel & <Birnen>"_s}}, {{TotalCostKey, 129.6}}};
        QVERIFY(writeDataFileArray(records, PropertyHistoryFileForKOV));
        QVERIFY(test::listsEqual(copyDataFileArray(PropertyHistoryFileForKOV, &status), records));
        QCOMPARE(files(), QStringList{PropertyHistoryFileForKOV});
        const RecordList defaults = copyResourceArray(ServiceTaskDefaultsFileName);
        QVERIFY(defaults.size() >= 18 && test::listsEqual(copyTaskListSeedingDefaults(), defaults));
        QVERIFY(test::listsEqual(readDataFile(dataFilePath(ServiceTaskFileForKOV), &status), defaults));
        QVERIFY(problems.isEmpty());
        qputenv("XDG_DATA_HOME", old);
    }

    // A file that does not read is reported and neither written nor seeded over.
    void unreadableFileIsNeverOverwritten_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // null: a folder in its place
        QTest::newRow("zero bytes") << QByteArray("");
        QTest::newRow("cut mid-record") << QByteArray("<array>\n\t<dict>\n\t\t<key>PropertyNameKey</key>\n");
        QTest::newRow("root is a dictionary") << QByteArray("<dict/>");
        QTest::newRow("record is not a dictionary") << QByteArray("<array><string>Gutters</string></array>");
        QTest::newRow("a folder in its place") << QByteArray();
    }
    void unreadableFileIsNeverOverwritten()
    {
        QFETCH(QByteArray, bytes);
        const QString path = dataFilePath(ServiceTaskFileForKOV);
        QFile file(path);
        QVERIFY(bytes.isNull() ? QDir().mkpath(path)
                               : QDir().mkpath(dataFolderPath()) && file.open(QIODevice::WriteOnly) &&
                                     file.write(bytes) == bytes.size());
        file.close();
        QVERIFY(copyTaskListSeedingDefaults().isEmpty());
        QVERIFY(!writeDataFileArray({{{PropertyNameKey, u"New"_s}}}, ServiceTaskFileForKOV));
        DataFileStatus status;
        QVERIFY(readDataFile(path, &status).isEmpty() && status.state == DataFileStatus::Unreadable);
        QCOMPARE(problems, (QList{DataFileProblem::ReadFailed, DataFileProblem::WriteRefused}));
        QVERIFY(bytes.isNull() ? QFileInfo(path).isDir() : test::readAll(path) == bytes);
    }

    // A write cut short (a full disk; here a size limit, which binds root too)
    // or into a vanished folder leaves the old file and nothing else.
    void failedWriteKeepsOldFile()
    {
        copyDataFolderURL();
        QVERIFY(writeDataFileArray({{{PropertyNameKey, u"Old"_s}}}, PropertyHistoryFileForKOV));
        const QByteArray before = test::readAll(dataFilePath(PropertyHistoryFileForKOV));
        RecordList big;
        for (int i = 0; i < 200; ++i)
            big.append({{PropertyNameKey, u"Record %1"_s.arg(i)}});
        rlimit saved;
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        for (const rlim_t limit : {16, 4096}) {
            const rlimit small = {limit, saved.rlim_max};
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
            const bool ok = writeDataFileArray(limit < 100 ? big.mid(0, 2) : big, PropertyHistoryFileForKOV);
            setrlimit(RLIMIT_FSIZE, &saved);
            QVERIFY(!ok);
        }
        std::signal(SIGXFSZ, oldHandler);
        QCOMPARE(test::readAll(dataFilePath(PropertyHistoryFileForKOV)), before);
        QCOMPARE(files(), QStringList{PropertyHistoryFileForKOV});
        QVERIFY(QDir(dataFolderPath()).removeRecursively());
        QVERIFY(!writeDataFileArray(big, PropertyHistoryFileForKOV));
        QCOMPARE(problems, QList<DataFileProblem::Kind>(3, DataFileProblem::WriteFailed));
    }
};

QTEST_GUILESS_MAIN(TestDataFiles)
#include "tst_datafiles.moc"
