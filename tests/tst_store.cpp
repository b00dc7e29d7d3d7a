// kov::DataStore on a throw-away data folder: a file read once and served from memory until its
// stamp changes, one announced write per action, a file that cannot be read never written over.
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <sys/stat.h>

#include "app/alerts.h"
#include "app/datastore.h"
#include "app/undohistory.h"
#include "testsupport.h"

using namespace kov;
using kov::test::listsEqual;
using kov::test::readAll;

Q_DECLARE_METATYPE(kov::DataFileProblem)

namespace {

// The file as another program rewrites it: `from` becomes `to` (same size),
// in place or renamed over it, modified `laterNs` after the old version.
void rewrite(const QString &path, const QByteArray &from, const QByteArray &to, bool inPlace, long laterNs)
{
    const QByteArray name = QFile::encodeName(path), target = name + (inPlace ? "" : "~");
    struct stat st {};
    QCOMPARE(::stat(name.constData(), &st), 0);
    QFile f(QFile::decodeName(target));
    QVERIFY(f.open(QIODevice::ReadWrite) && f.write(readAll(path).replace(from, to)) > 0);
    f.close();
    const long ns = st.st_mtim.tv_nsec + laterNs;
    const timespec times[2] = {st.st_atim, {st.st_mtim.tv_sec + ns / 1000000000, ns % 1000000000}};
    QCOMPARE(::utimensat(AT_FDCWD, target.constData(), times, 0), 0);
    QCOMPARE(::rename(target.constData(), name.constData()), 0);
}

} // namespace

class TestStore : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    static Record job(const QString &note) { return {{PropertyNameKey, "Lake House"}, {NoteKey, note}}; }
    static QStringList notes(const RecordList &list)
    {
        QStringList out;
        for (const Record &r : list)
            out.append(r.value(NoteKey).toString());
        return out;
    }

private Q_SLOTS:
    void init()
    {
        dir.reset(new QTemporaryDir);
        setDataFolderOverride(dir->filePath(QStringLiteral("Tolvanderwerks")));
        copyDataFolderURL();
    }
    void cleanup() { setDataFolderOverride(QString()); }

    void eachActionThenAnotherWriter_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("action");    // with the index it takes
        QTest::addColumn<QStringList>("after"); // the file's notes; none: nothing written
        // Then another program turns "a" into "z": in place or renamed over the file, with the same
        // size and `laterNs` later; under the same stamp the store serves the list from memory.
        QTest::addColumn<bool>("inPlace");
        QTest::addColumn<int>("laterNs");
        const QString log = PropertyHistoryFileForKOV, tasks = ServiceTaskFileForKOV;
        QTest::newRow("add") << log << "add" << QStringList{"a", "b", "c", "x"} << true << 0;
        QTest::newRow("change puts it last") << log << "change 0" << QStringList{"b", "c", "x"} << true << 0;
        QTest::newRow("remove") << log << "remove 1" << QStringList{"a", "c"} << true << 1;
        QTest::newRow("list: change") << tasks << "change 2" << QStringList{"a", "b", "x"} << false << 0;
        QTest::newRow("list: write") << tasks << "write" << QStringList{"x"} << true << 0;
        QTest::newRow("change out of range") << log << "change 3" << QStringList{} << true << 1000000000;
        QTest::newRow("remove out of range") << tasks << "remove -1" << QStringList{} << true << 0;
        QTest::newRow("tasks there: not seeded") << tasks << "seed" << QStringList{} << false << 0;
    }
    // Guards against a wrong index, a lost or doubled announcement, defaults seeded over tasks, a
    // cache blind to a part of the stamp, and one that keeps the list from before its own write.
    void eachActionThenAnotherWriter()
    {
        QFETCH(QString, file);
        QFETCH(QString, action);
        QFETCH(QStringList, after);
        QFETCH(bool, inPlace);
        QFETCH(int, laterNs);
        QVERIFY(writeDataFileArray({job("a"), job("b"), job("c")}, file));
        DataStore store;
        QSignalSpy history(&store, &DataStore::historyChanged), lists(&store, &DataStore::listChanged);
        Record x = job("x"); // its time to the millisecond, where the file keeps whole seconds
        x.insert(ServiceDateKey, QDateTime::fromMSecsSinceEpoch(1772355600250));
        const int index = action.section(' ', 1).toInt();
        const bool ok = action == "add"               ? store.add(file, x)
                        : action.startsWith("change") ? store.change(file, index, x)
                        : action.startsWith("remove") ? store.remove(file, index)
                        : action == "write"           ? store.write(file, {job("x")})
                                                      : store.copyTaskListSeedingDefaults().size() != 3;
        QCOMPARE(ok, !after.isEmpty());
        const RecordList written = readDataFile(dataFilePath(file), nullptr);
        QCOMPARE(notes(written), (ok ? after : QStringList{"a", "b", "c"}));
        QCOMPARE(history.size() + lists.size(), int(ok));
        QCOMPARE(lists.value(0).value(0).toString(), ok && file != PropertyHistoryFileForKOV ? file : "");
        rewrite(dataFilePath(file), "<string>a</string>", "<string>z</string>", inPlace, laterNs);
        const RecordList seen = store.records(file);
        if (inPlace && !laterNs) // the same stamp: from memory, as the file held it
            QVERIFY(listsEqual(seen, written));
        else
            QCOMPARE(notes(seen), notes(written).replaceInStrings("a", "z"));
    }

    void unreadableFileIsNeverWritten_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("add") << "add";
        QTest::newRow("write") << "write";
        QTest::newRow("seed the task list") << "seed";
    }
    // Guards against a write that skips its check on a file known unreadable,
    // a read problem told on every use, and defaults seeded over it.
    void unreadableFileIsNeverWritten()
    {
        QFETCH(QString, action);
        const QString file = action == "seed" ? ServiceTaskFileForKOV : PropertyHistoryFileForKOV;
        const QByteArray unreadable("<?xml version=\"1.0\"?><plist><array><dict>");
        QFile f(dataFilePath(file));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(unreadable) == unreadable.size());
        f.close();
        DataStore store;
        QSignalSpy problems(&store, &DataStore::problem), history(&store, &DataStore::historyChanged);
        QVERIFY(store.records(file).isEmpty() && store.records(file).isEmpty());
        const bool ok = action == "add"     ? store.add(file, job("x"))
                        : action == "write" ? store.write(file, {job("x")})
                                            : !store.copyTaskListSeedingDefaults().isEmpty();
        QVERIFY(!ok);
        QCOMPARE(readAll(dataFilePath(file)), unreadable);
        QCOMPARE(history.size(), 0);
        const bool refused = action != "seed";
        QCOMPARE(problems.size(), refused ? 2 : 1); // the read told once
        QCOMPARE(problems[0][0].value<DataFileProblem>().kind, DataFileProblem::ReadFailed);
        QCOMPARE(problems.last()[0].value<DataFileProblem>().kind,
                 refused ? DataFileProblem::WriteRefused : DataFileProblem::ReadFailed);
        QCOMPARE(problems.last()[0].value<DataFileProblem>().fileName, file);
    }

    void undoRedo_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("underneath"); // another program changes the log after the action
        for (const char *action : {"add", "change", "remove", "log and list"}) {
            QTest::addRow("%s", action) << action << false;
            QTest::addRow("%s, changed underneath", action) << action << true;
        }
    }
    // Guards against an undo or redo that does not give back the very file, one that
    // writes over a change made since, a history kept after a refusal, and a step split.
    void undoRedo()
    {
        QFETCH(QString, action);
        QFETCH(bool, underneath);
        const QString log = dataFilePath(PropertyHistoryFileForKOV),
                      tasks = dataFilePath(ServiceTaskFileForKOV);
        QVERIFY(writeDataFileArray({job("a"), job("b"), job("c")}, PropertyHistoryFileForKOV));
        QVERIFY(writeDataFileArray({job("t")}, ServiceTaskFileForKOV));
        DataStore store;
        UndoHistory *history = UndoHistory::of(&store);
        {
            const UndoStep first(&store, "First");
            QVERIFY(store.add(ServiceTaskFileForKOV, job("u")));
        }
        const QByteArray before = readAll(log) + readAll(tasks);
        QStringList told;
        AlertCenter::instance()->showSheets = false;
        connect(AlertCenter::instance(), &AlertCenter::alertShown, history,
                [&](auto &a) { told << a.title; });
        {
            const UndoStep step(&store, "Act");
            {
                const UndoStep inner(&store, "Inner");
                QVERIFY(action == "add"      ? store.add(PropertyHistoryFileForKOV, job("x"))
                        : action == "change" ? store.change(PropertyHistoryFileForKOV, 0, job("x"))
                                             : store.remove(PropertyHistoryFileForKOV, 1));
            }
            QVERIFY(action != "log and list" || store.remove(ServiceTaskFileForKOV, 0));
        }
        const QByteArray after = readAll(log) + readAll(tasks);
        QCOMPARE(history->undoName(), "Act");
        if (underneath) {
            rewrite(log, "<string>c</string>", "<string>y</string>", false, 1000);
            const QByteArray changed = readAll(log) + readAll(tasks);
            QVERIFY(!history->undo());
            QCOMPARE(readAll(log) + readAll(tasks), changed);
            QVERIFY(!history->canUndo() && !history->canRedo());
            QCOMPARE(told, QStringList{"\u201CAct\u201D can no longer be undone."});
            return;
        }
        QVERIFY(history->undo() && history->undoName() == "First");
        QCOMPARE(readAll(log) + readAll(tasks), before);
        QVERIFY(history->redo() && !history->canRedo());
        QCOMPARE(readAll(log) + readAll(tasks), after);
        QVERIFY(history->undo());
        QVERIFY(store.add(PropertyHistoryFileForKOV, job("z"))); // a write no action names
        QVERIFY(!history->canRedo() && told.isEmpty());
    }
};

QTEST_MAIN(TestStore)
#include "tst_store.moc"
