// Writes each data file while being killed: a helper process rewrites one
// file in a loop and is sent SIGKILL at a random moment, over and over. After
// every kill each data file must read and hold one of the two lists the
// writer alternates between (or be missing, before its first completed
// write), and nothing else in the folder may be taken for a data file.
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <array>
#include <memory>
#include <numeric>

#include "crashlists.h"
#include "storage/datafiles.h"

#include "testsupport.h"

using namespace kov;

namespace {

const QStringList &dataFileNames()
{
    static const QStringList names = {PropertyFileForKOV, ProviderFileForKOV, ServiceTaskFileForKOV,
                                      PropertyHistoryFileForKOV};
    return names;
}

using kov::test::listsEqual;

} // namespace

class TestCrashSafety : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void killedWriterLeavesOldOrNew_data();
    void killedWriterLeavesOldOrNew();
};

void TestCrashSafety::killedWriterLeavesOldOrNew_data()
{
    QTest::addColumn<int>("kills");
    // At least 1,000 kills, spread evenly over the four files, all in one
    // folder so that each round also checks that a file nobody writes is
    // left alone.
    QTest::newRow("1000 kills over the four files") << 1000;
}

void TestCrashSafety::killedWriterLeavesOldOrNew()
{
    QFETCH(int, kills);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath(QStringLiteral("Tolvanderwerks"));
    QVERIFY(QDir().mkpath(folder));

    const QString writer = QCoreApplication::applicationDirPath() + QStringLiteral("/crashwriter");
    QVERIFY2(QFileInfo(writer).isExecutable(), qPrintable(writer));

    quint32 seed = QRandomGenerator::global()->generate();
    if (qEnvironmentVariableIsSet("KOV_CRASH_SEED"))
        seed = quint32(qEnvironmentVariableIntValue("KOV_CRASH_SEED"));
    qInfo("seed %u (set KOV_CRASH_SEED to repeat)", seed);
    QRandomGenerator rng(seed);

    QHash<QString, RecordList> big, small;
    QHash<QString, bool> written;
    QHash<QString, int> seenBig, seenSmall;
    QHash<QString, const RecordList *> held; // what each file held before the round
    int keptOld = 0, gotNew = 0;
    for (const QString &name : dataFileNames()) {
        big.insert(name, crash::bigList(name));
        small.insert(name, crash::smallList(name));
    }
    QSet<QString> leftovers;
    int killedBeforeFirstWrite = 0;

    // Three writers at a time, on three different files, each killed at its
    // own random moment; the fourth file must not change. (Starting the
    // writers is most of the cost; three at a time keep two cores busy.)
    constexpr int kAtOnce = 3;
    QHash<QString, QByteArray> bytesBefore;
    int killed = 0;
    for (int round = 0; killed < kills; ++round) {
        QStringList names;
        std::array<std::unique_ptr<QProcess>, kAtOnce> procs;
        std::array<QByteArray, kAtOnce> outs;
        for (int k = 0; k < kAtOnce; ++k) {
            names.append(dataFileNames().at((round * kAtOnce + k) % dataFileNames().size()));
            procs[k] = std::make_unique<QProcess>();
            procs[k]->setProgram(writer);
            procs[k]->setArguments({folder, names[k]});
            procs[k]->start();
        }
        // The delays start once the writers are about to write.
        for (int k = 0; k < kAtOnce; ++k) {
            QProcess &p = *procs[k];
            QVERIFY2(p.waitForStarted(30000), qPrintable(p.errorString()));
            while (!outs[k].contains("ready\n") && p.waitForReadyRead(30000))
                outs[k] += p.readAllStandardOutput();
            QVERIFY2(outs[k].contains("ready\n"), qPrintable(QString::fromLocal8Bit(p.readAllStandardError())));
        }
        std::array<qint64, kAtOnce> delays; // 0-30 ms, in microseconds
        for (qint64 &d : delays)
            d = rng.bounded(30001);
        QElapsedTimer clock;
        clock.start();
        std::array<int, kAtOnce> order;
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(), [&delays](int a, int b) { return delays[a] < delays[b]; });
        for (int k : order) {
            const qint64 wait = delays[k] - clock.nsecsElapsed() / 1000;
            if (wait > 0)
                QThread::usleep(quint64(wait));
            procs[k]->kill(); // SIGKILL on Unix
        }
        for (int k = 0; k < kAtOnce; ++k) {
            QProcess &p = *procs[k];
            QVERIFY(p.waitForFinished(30000));
            outs[k] += p.readAllStandardOutput();
            QVERIFY2(p.exitStatus() == QProcess::CrashExit,
                     qPrintable(QStringLiteral("round %1: the writer of %2 stopped by itself (exit %3): %4")
                                    .arg(round)
                                    .arg(names[k])
                                    .arg(p.exitCode())
                                    .arg(QString::fromLocal8Bit(p.readAllStandardError()))));
            if (outs[k].contains("written"))
                written[names[k]] = true;
            ++killed;
        }

        for (const QString &n : dataFileNames()) {
            const QString where = QStringLiteral("round %1, file %2").arg(round).arg(n);
            const QString path = QDir(folder).filePath(n);
            if (!names.contains(n)) {
                // Not written this round: byte for byte what it was.
                QFile f(path);
                const QByteArray now = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
                QVERIFY2(now == bytesBefore.value(n, "<missing>"),
                         qPrintable(where + QStringLiteral(": changed by another file's writer")));
                continue;
            }
            DataFileStatus status;
            const RecordList records = readDataFile(path, &status);
            if (status.state == DataFileStatus::Missing) {
                // Only before the first write of that file has completed.
                QVERIFY2(!written.value(n), qPrintable(where + QStringLiteral(": missing after a completed write")));
                ++killedBeforeFirstWrite;
                continue;
            }
            QVERIFY2(status.state == DataFileStatus::Ok, qPrintable(where + QStringLiteral(": ") + status.reason));
            // A file that reads was written completely at least once, even if
            // the writer died before it could say so.
            written[n] = true;
            const RecordList *now = nullptr;
            if (listsEqual(records, big[n])) {
                now = &big[n];
            } else {
                QVERIFY2(listsEqual(records, small[n]),
                         qPrintable(where + QStringLiteral(": holds neither list (%1 records)").arg(records.size())));
                now = &small[n];
            }
            ++(now == &big[n] ? seenBig : seenSmall)[n];
            if (held.value(n) == now)
                ++keptOld;
            else
                ++gotNew;
            held[n] = now;
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            bytesBefore[n] = f.readAll();
        }

        // Whatever else is in the folder is a leftover of an interrupted
        // write. Only the four names are ever read, so a leftover is never
        // taken for data as long as it is not named like a data file: it
        // must be QSaveFile's "<data file name>.XXXXXX".
        static const QRegularExpression leftoverName(
            QStringLiteral("^(%1)\\.[A-Za-z0-9]{6}$").arg(dataFileNames().join(QLatin1Char('|'))));
        const QFileInfoList entries =
            QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        for (const QFileInfo &e : entries) {
            if (dataFileNames().contains(e.fileName())) {
                QVERIFY2(e.isFile() && !e.isSymLink(), qPrintable(e.filePath()));
                continue;
            }
            QVERIFY2(leftoverName.match(e.fileName()).hasMatch(), qPrintable(e.filePath()));
            leftovers.insert(e.fileName());
        }
    }

    // Both contents must have been seen on disk after a kill, for every file,
    // and kills must have fallen both before and after a completed write;
    // otherwise the moments were not random enough to prove anything.
    QVERIFY2(keptOld > 0 && gotNew > 0, qPrintable(QStringLiteral("old kept %1, new %2").arg(keptOld).arg(gotNew)));
    qInfo("after a kill the file held its old contents %d times, new ones %d times", keptOld, gotNew);
    for (const QString &n : dataFileNames()) {
        QVERIFY2(seenBig.value(n) > 0 && seenSmall.value(n) > 0,
                 qPrintable(QStringLiteral("%1: big %2 times, small %3 times")
                                .arg(n)
                                .arg(seenBig.value(n))
                                .arg(seenSmall.value(n))));
        qInfo("%s: after its kills held the big list %d times, the small list %d times", qPrintable(n),
              seenBig.value(n), seenSmall.value(n));
    }
    qInfo("%d kills, %d of them before the first completed write of the file", killed, killedBeforeFirstWrite);
    QStringList names = leftovers.values();
    names.sort();
    // What they hold, for the record: QSaveFile names its already synced
    // unnamed temporary file just before renaming it over the data file.
    int complete = 0;
    for (const QString &leftover : std::as_const(names)) {
        DataFileStatus status;
        const RecordList records = readDataFile(QDir(folder).filePath(leftover), &status);
        const QString owner = leftover.section(QLatin1Char('.'), 0, 0);
        if (status.state == DataFileStatus::Ok && (listsEqual(records, big[owner]) || listsEqual(records, small[owner])))
            ++complete;
    }
    qInfo("files left behind by interrupted writes: %lld (%d of them a complete list)%s%s",
          qlonglong(names.size()), complete, names.isEmpty() ? "" : ", e.g. ",
          qPrintable(names.mid(0, 5).join(QStringLiteral(", "))));
}

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
