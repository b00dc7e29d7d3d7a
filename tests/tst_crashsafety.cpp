// Writes each data file while being killed: a helper process rewrites one
// file in a loop and is sent SIGKILL at a random moment, over and over. After
// every kill each data file must read and hold one of the two lists the
// writer alternates between (or be missing, before its first completed
// write), and nothing else in the folder may be taken for a data file.
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <array>
#include <memory>

#include "crashlists.h"
#include "storage/datafiles.h"
#include "testsupport.h"

using namespace kov;

class TestCrashSafety : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void killedWriterLeavesOldOrNew();
};

void TestCrashSafety::killedWriterLeavesOldOrNew()
{
    constexpr int kKills = 1000; // spread evenly over the four files
    constexpr int kAtOnce = 3;   // writers at a time, on three files; the fourth must not change
    const QStringList files{PropertyFileForKOV, ProviderFileForKOV, ServiceTaskFileForKOV,
                            PropertyHistoryFileForKOV};
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("Tolvanderwerks"));
    QVERIFY(QDir().mkpath(folder));
    const QString writer = QCoreApplication::applicationDirPath() + QStringLiteral("/crashwriter");

    quint32 seed = QRandomGenerator::global()->generate();
    if (qEnvironmentVariableIsSet("KOV_CRASH_SEED"))
        seed = quint32(qEnvironmentVariableIntValue("KOV_CRASH_SEED"));
    qInfo("seed %u (set KOV_CRASH_SEED to repeat)", seed);
    QRandomGenerator rng(seed);

    QHash<QString, bool> written;      // a write of the file has completed
    QHash<QString, QByteArray> before; // what each file held after the last round
    QHash<QString, QList<bool>> seen;  // per file, after each kill: held the big list
    int keptOld = 0, gotNew = 0;
    // QSaveFile's temporary files, "<data file name>.XXXXXX": never read as data.
    static const QRegularExpression leftover(QStringLiteral("^(%1)\\.[A-Za-z0-9]{6}$").arg(files.join(u'|')));

    for (int round = 0; round * kAtOnce < kKills; ++round) {
        QStringList names;
        std::array<std::unique_ptr<QProcess>, kAtOnce> procs;
        for (int k = 0; k < kAtOnce; ++k) {
            names << files.at((round * kAtOnce + k) % files.size());
            procs[k] = std::make_unique<QProcess>();
            procs[k]->start(writer, {folder, names[k]});
        }
        // The random delays start once every writer is about to write.
        for (auto &p : procs) {
            QByteArray out;
            while (!out.contains("ready\n") && p->waitForReadyRead(30000))
                out = p->peek(p->bytesAvailable());
            QVERIFY2(out.contains("ready\n"), qPrintable(p->errorString() + p->readAllStandardError()));
        }
        std::array<int, kAtOnce> delays; // 0-30 ms, in microseconds, in increasing order
        for (int &d : delays)
            d = int(rng.bounded(30001));
        std::array<int, kAtOnce> order{0, 1, 2};
        std::sort(order.begin(), order.end(), [&delays](int a, int b) { return delays[a] < delays[b]; });
        QElapsedTimer clock;
        clock.start();
        for (int k : order) {
            const qint64 wait = delays[k] - clock.nsecsElapsed() / 1000;
            if (wait > 0)
                QThread::usleep(quint64(wait));
            procs[k]->kill(); // SIGKILL
        }
        for (int k = 0; k < kAtOnce; ++k) {
            QVERIFY(procs[k]->waitForFinished(30000));
            QVERIFY2(procs[k]->exitStatus() == QProcess::CrashExit,
                     qPrintable(names[k] + QStringLiteral(": the writer stopped by itself: ") +
                                procs[k]->readAllStandardError()));
            if (procs[k]->readAllStandardOutput().contains("written"))
                written[names[k]] = true;
        }

        for (const QString &n : files) {
            const QString where = QStringLiteral("round %1, %2: ").arg(round).arg(n);
            const QString path = QDir(folder).filePath(n);
            const QByteArray now = test::readAll(path);
            if (!names.contains(n)) {
                QVERIFY2(now == before.value(n),
                         qPrintable(where + QStringLiteral("changed by another writer")));
                continue;
            }
            DataFileStatus status;
            const RecordList records = readDataFile(path, &status);
            if (status.state == DataFileStatus::Missing) {
                QVERIFY2(!written.value(n),
                         qPrintable(where + QStringLiteral("missing after a completed write")));
                continue;
            }
            QVERIFY2(status.state == DataFileStatus::Ok, qPrintable(where + status.reason));
            const bool big = test::listsEqual(records, crash::bigList(n));
            QVERIFY2(big || test::listsEqual(records, crash::smallList(n)),
                     qPrintable(where + QStringLiteral("holds neither list")));
            written[n] = true; // even if the writer died before it could say so
            seen[n].append(big);
            ++(before.value(n) == now ? keptOld : gotNew);
            before[n] = now;
        }
        for (const QFileInfo &e : QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                                             QDir::NoDotAndDotDot)) {
            const bool dataFile = files.contains(e.fileName()) && e.isFile() && !e.isSymLink();
            QVERIFY2(dataFile || leftover.match(e.fileName()).hasMatch(), qPrintable(e.filePath()));
        }
    }

    // Kills must have left each file with either content, and fallen both
    // before and after completed writes; else the moments were not random.
    qInfo("after a kill a file held its old contents %d times, new ones %d times", keptOld, gotNew);
    QVERIFY(keptOld > 0 && gotNew > 0);
    for (const QString &n : files)
        QVERIFY2(seen[n].contains(true) && seen[n].contains(false), qPrintable(n));
}

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
