// The window when things go wrong: malformed data files (through the storage
// layer, kov-cli check and the window), writes made to fail, and hostile text
// typed into fields. The files are read back from disk after every step.
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QtWidgets>

#include "app/datastore.h"
#include "lists/propertysheet.h"
#include "lists/providersheet.h"
#include "log/logtab.h"
#include "testsupport.h"
#include "windowsupport.h"

using namespace kov;
using namespace kov::test;

namespace {

const QStringList allFiles{PropertyFileForKOV, PropertyHistoryFileForKOV, ProviderFileForKOV,
                           ServiceTaskFileForKOV};

RecordList fileRecords(const QString &name)
{
    return readDataFile(dataFilePath(name), nullptr);
}

// The values under `key`, sorted.
QStringList values(const RecordList &records, const QString &key)
{
    QStringList out;
    for (const Record &r : records)
        out << r.value(key).toString();
    out.sort();
    return out;
}

// A list's sheet opened from its tab-1 entry pop-up, as a person does.
QDialog *openSheet(MainWindow *w, const QString &popup, const QString &sheet)
{
    chooseItem(child<QComboBox>(w, popup), QStringLiteral("Maintain Item List\u2026"));
    auto *d = child<QDialog>(w, sheet);
    return QTest::qWaitFor([d] { return d->isVisible(); }) ? d : nullptr;
}

void seed()
{
    Record job{{PropertyNameKey, "Main Street"}, {ProviderNameKey, "Bob"}, {NoteKey, "first"}};
    job.insert(ServiceTaskNameKey, "Clean gutters");
    job.insert(ServiceDateKey, QDateTime(QDate(2026, 3, 10), QTime(4, 0), Qt::UTC));
    QVERIFY(writeDataFileArray({job, job}, PropertyHistoryFileForKOV));
    QVERIFY(writeDataFileArray({{{PropertyNameKey, "Main Street"}}}, PropertyFileForKOV));
    QVERIFY(writeDataFileArray({{{ProviderNameKey, "Bob"}}, {{ProviderNameKey, "Ace"}}}, ProviderFileForKOV));
    QVERIFY(writeDataFileArray({{{ServiceTaskNameKey, "Clean gutters"}}}, ServiceTaskFileForKOV));
}

enum Failure { SizeLimit, FullDisk, ReadOnly };
// Makes writes into the data folder fail: `early` runs before the files are
// seeded, the rest after. Empty, or why it cannot be done here (as root a
// full disk and a read-only mount are made in a mount namespace of our own).
QString breakWrites(Failure f, bool early)
{
    const QByteArray dir = QFile::encodeName(dataFolderPath());
    bool ok = true;
    if (f == SizeLimit && !early) { // fails a write as a full disk would, even for root
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit tiny{16, RLIM_INFINITY};
        ok = setrlimit(RLIMIT_FSIZE, &tiny) == 0;
    } else if (f != SizeLimit && early) {
        if (geteuid() != 0)
            return QStringLiteral("needs root");
        static const bool ns =
            unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        if (!ns)
            return QStringLiteral("no private mount namespace");
        ok = f == ReadOnly || mount("tmpfs", dir.constData(), "tmpfs", 0, "size=256k") == 0;
    } else if (f == FullDisk) {
        QFile filler(QString::fromLocal8Bit(dir + "/filler"));
        ok = filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        while (ok && filler.write(QByteArray(4096, 'x')) > 0) { // the last one short, then none
        }
    } else if (f == ReadOnly) {
        ok = mount(dir.constData(), dir.constData(), nullptr, MS_BIND, nullptr) == 0 &&
             mount(nullptr, dir.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
    }
    return ok ? QString() : QString::fromLocal8Bit(strerror(errno));
}

} // namespace

class Tstrobustness : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    QList<AlertRecord> alerts;
    bool mounted = false; // over the data folder
private Q_SLOTS:
    void initTestCase() { setUpWindowTests(this, alerts); }
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        alerts.clear();
        beginWindowTest(*dir, QDateTime(QDate(2026, 6, 15), QTime(14, 30)));
        copyDataFolderURL();
    }
    void cleanup()
    {
        const rlimit none{RLIM_INFINITY, RLIM_INFINITY}; // writes work again
        setrlimit(RLIMIT_FSIZE, &none);
        if (std::exchange(mounted, false))
            umount2(QFile::encodeName(dataFolderPath()).constData(), MNT_DETACH);
        endWindowTest();
    }
    void badFile_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("told"); // words of the reason (or of the unusable value) told
        QTest::addColumn<bool>("reads");   // a file that reads, with a value KOV cannot use
        int n = 0;
        auto add = [&n](const char *name, const QByteArray &bytes, const char *told, bool reads = false) {
            QTest::newRow(name) << allFiles[n++ % 4] << bytes << QString::fromUtf8(told) << reads;
        };
        auto doc = [](const char *root) {
            return "<?xml version=\"1.0\"?>\n<plist>\n" + QByteArray(root) + "\n</plist>\n";
        };
        for (const char *f :
             {"bad-cut-mid-record", "bad-merge-conflict", "bad-windows-1252", "bad-zero-filled"})
            add(f, readAll(QStringLiteral(KOV_TEST_DATA "/%1.plist").arg(f)), "line");
        add("truncated",
            doc("<array>\n<dict>\n<key>NoteKey</key>\n<string>x</string>\n</dict>\n</array>").left(60),
            "line");
        add("wrong root", doc("<dict/>"), "does not hold a list of records");
        add("record not a dictionary", doc("<array><dict/><string>x</string></array>"),
            "record 2 is not a dictionary");
        add("wrong-kind value",
            doc("<array><dict><key>ServiceTaskNameKey</key><integer>7</integer></dict></array>"),
            "record 1: \"ServiceTaskNameKey\" holds a whole number, not text", true);
    }
    // Guards against a bad file read as empty and then overwritten, the user
    // told nothing (or more than once), and kov-cli check passing it.
    void badFile()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, told);
        QFETCH(bool, reads);
        const QString path = dataFilePath(fileName);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        DataFileStatus st;
        readDataFile(path, &st);
        QCOMPARE(st.state, reads ? DataFileStatus::Ok : DataFileStatus::Unreadable);
        if (!reads) {
            QVERIFY2(st.reason.contains(told), qPrintable(st.reason));
            if (told == QLatin1String("line")) // the place of a parse error
                QVERIFY(st.reason.startsWith(
                    QStringLiteral("line %1, column %2").arg(st.error.line).arg(st.error.column)));
            told = st.reason;
        }
        const CliRun cli = runCli({"--data-dir", dataFolderPath(), "check"});
        QCOMPARE(cli.status, 1);
        QVERIFY2(QString::fromUtf8(cli.out).contains(reads ? told : fileName + ": cannot be read: " + told),
                 cli.out.constData());
        QVERIFY2(QString::fromUtf8(cli.err).contains(path), cli.err.constData());
        {
            auto w = startWindow();
            QCOMPARE(alerts.size(), 1);
            QVERIFY2(alerts[0].title.contains(fileName) && alerts[0].message.contains(told),
                     qPrintable(alerts[0].message));
            // Another list is worked on through its sheet, without a word about this file.
            const bool provider = fileName != ProviderFileForKOV;
            const QString list = provider ? "Provider" : "Property";
            QDialog *sheet = openSheet(w.get(), list.toLower() + "PopTab1", "the" + list + "Sheet");
            QVERIFY(sheet);
            QTest::keyClicks(child<QLineEdit>(sheet, list.toLower() + "Name" + list + "Sheet"), "Zeta");
            child<QPushButton>(sheet, "addBtn" + list + "Sheet")->click();
            QCOMPARE(fileRecords(provider ? ProviderFileForKOV : PropertyFileForKOV).size(), 1);
            QCOMPARE(alerts.size(), 1);
            if (!reads) { // a change to the file itself is refused, and said so once
                QVERIFY(!w->store()->add(fileName, {{NoteKey, "x"}}));
                QCOMPARE(alerts.size(), 2);
                QCOMPARE(alerts[1].title,
                         QStringLiteral("Your change was not saved to \u201c%1\u201d.").arg(fileName));
            }
            QVERIFY(w->close());
        }
        QCOMPARE(readAll(path), bytes);
    }
    void failedWrite_data()
    {
        QTest::addColumn<int>("failure");
        QTest::addColumn<bool>("log"); // an Add on tab 1, or on the provider sheet
        const char *names[] = {"size limit", "full disk", "read-only folder"};
        for (int f : {SizeLimit, FullDisk, ReadOnly})
            for (bool log : {true, false})
                QTest::addRow("%s, %s", names[f], log ? "log" : "provider") << f << log;
    }
    // Guards against a failed write told wrongly (or not at all), a file
    // damaged or a temporary file left, and a screen showing what was never saved.
    void failedWrite()
    {
        QFETCH(int, failure);
        QFETCH(bool, log);
        const Failure f = Failure(failure);
        if (const QString cannot = breakWrites(f, true); !cannot.isEmpty())
            QSKIP(qPrintable(cannot));
        mounted = f != SizeLimit;
        seed();
        const QString fileName = log ? PropertyHistoryFileForKOV : ProviderFileForKOV;
        const QByteArray before = readAll(dataFilePath(fileName));
        auto w = startWindow();
        QDialog *sheet = log ? nullptr : openSheet(w.get(), "providerPopTab1", "theProviderSheet");
        QTest::keyClicks(log ? child<QLineEdit>(w.get(), "noteTab1")
                             : child<QLineEdit>(sheet, "providerNameProviderSheet"),
                         "Never Saved");
        const QString cannot = breakWrites(f, false);
        QVERIFY2(cannot.isEmpty(), qPrintable(cannot));
        child<QPushButton>(w.get(), log ? "addMaintBtn" : "addBtnProviderSheet")->click();
        QCOMPARE(alerts.size(), 1);
        const QString reason[] = {strerror(EFBIG), strerror(ENOSPC),
                                  "is not writable"}; // the system's, or Qt's
        QVERIFY2(alerts[0].title.contains(fileName) && alerts[0].message.contains(reason[f]),
                 qPrintable(alerts[0].title + u'|' + alerts[0].message));
        QCOMPARE(readAll(dataFilePath(fileName)), before);
        QStringList left = QDir(dataFolderPath()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        left.removeOne("filler");
        QCOMPARE(left, allFiles);
        if (log) {
            QCOMPARE(values(w->logTab()->rows(), col::note), values(fileRecords(fileName), NoteKey));
        } else {
            const QStringList names = values(fileRecords(fileName), ProviderNameKey);
            QCOMPARE(values(w->providerSheet()->rows(), col::provname), names);
            QCOMPARE(popupItems(child<QComboBox>(w.get(), "providerPopTab1")).mid(0, names.size() + 1),
                     names + QStringList{"---"});
        }
    }
    void hostileText_data()
    {
        QTest::addColumn<bool>("sheet");
        QTest::addColumn<QString>("input");
        const QString inputs[][2] = {
            {"control characters",
             QStringLiteral("A\u0001\u0008\t\n\u000B\u000C\r\u001B\u001F\u007F\uFFFE\uFFFFZ")},
            {"lone surrogates", QString(QChar(0xD800)) + u'x' + QChar(0xDC00)},
            {"right to left", QStringLiteral("\u202B\u05E9\u05DC\u05D5\u202C \u200F\u0645\u0631\u200E 42")},
            {"emoji", QStringLiteral("\U0001F469\U0001F3FD\u200D\U0001F527 \U0001F44D\U0001F3FF")},
            {"a very long paste",
             QStringLiteral("Stra\u00DFe 5, \u5317\u4EAC, \U0001F527 \u2014 ").repeated(60000)}};
        for (bool sheet : {false, true})
            for (const auto &[name, text] : inputs)
                QTest::addRow("%s, %s", sheet ? "provider name" : "note", qPrintable(name)) << sheet << text;
    }
    // Guards against text a file cannot carry breaking the file, or stored
    // otherwise than shown so the entry cannot be found and deleted again.
    void hostileText()
    {
        QFETCH(bool, sheet); // the provider sheet's name, or tab 1's note
        QFETCH(QString, input);
        seed();
        auto w = startWindow();
        const QString fileName = sheet ? ProviderFileForKOV : PropertyHistoryFileForKOV;
        QWidget *form =
            sheet ? openSheet(w.get(), "providerPopTab1", "theProviderSheet") : w->logTab()->widget();
        QVERIFY(form);
        auto *edit = child<QLineEdit>(form, sheet ? "providerNameProviderSheet" : "noteTab1");
        QTest::keyClicks(edit, "Robust ");
        QApplication::clipboard()->setText(input);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        const qsizetype before = fileRecords(fileName).size();
        child<QPushButton>(form, sheet ? "addBtnProviderSheet" : "addMaintBtn")->click();
        QVERIFY2(alerts.isEmpty(), qPrintable(alerts.value(0).title));
        for (const QString &name : allFiles) // every file still reads (each holds records)
            QVERIFY2(!fileRecords(name).isEmpty(), qPrintable(name));
        const RecordList stored = fileRecords(fileName);
        QCOMPARE(stored.size(), before + 1);
        const QString value = stored.last().value(sheet ? ProviderNameKey : NoteKey).toString();
        const RecordList &rows = sheet ? w->providerSheet()->rows() : w->logTab()->rows();
        qsizetype row = 0;
        while (row < rows.size() && rows[row].value(sheet ? col::provname : col::note).toString() != value)
            ++row;
        QVERIFY2(row < rows.size(), "what the file holds is not on the screen");
        auto *view = child<QTableView>(form, sheet ? "tableViewProviderSheet" : "tableViewTab1");
        const QPoint at = view->visualRect(view->model()->index(int(row), 0)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
        child<QPushButton>(form, sheet ? "deleteBtnProviderSheet" : "deleteBtnTab1")->click();
        QVERIFY2(alerts.isEmpty(), qPrintable(alerts.value(0).title));
        QCOMPARE(fileRecords(fileName).size(), before);
    }
};

QTEST_MAIN(Tstrobustness)
#include "tst_robustness.moc"
