// The window when things go wrong, for real on the offscreen platform:
// writes that fail (a file-size limit, a really full disk, a read-only
// folder), hostile text pasted into every field, and keys written by a newer
// version or another program carried through a Change. The data files are
// read back from disk after every step.
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimeZone>
#include <QTimer>
#include <QXmlStreamReader>

#include "app/kovappdelegate.h"
#include "lists/listrules.h"
#include "log/costrules.h"
#include "log/rowtablemodel.h"
#include "storage/datafiles.h"
#include "storage/plist.h"
#include "storage/rtfd.h"
#include "ui_mainwindow.h"
#include "ui_propertysheet.h"
#include "ui_providersheet.h"
#include "ui_tasksheet.h"

#include "testsupport.h"
#include "windowsupport.h"

using namespace kov;
using kov::test::readAll;

namespace {

const QString maintainItem = QStringLiteral("Maintain Item List\u2026");
const QString allFiles[] = {PropertyHistoryFileForKOV, PropertyFileForKOV, ProviderFileForKOV,
                            ServiceTaskFileForKOV};
const QString nameKeys[] = {QString(), PropertyNameKey, ProviderNameKey, ServiceTaskNameKey};
const QString extraKey = QStringLiteral("FutureFieldKey");

Record job(const QString &property, const QString &note)
{
    return {{PropertyNameKey, property},
            {ProviderNameKey, QStringLiteral("Bob's Gutters")},
            {ServiceTaskNameKey, QStringLiteral("Paint fence")},
            {ServiceDateKey, QDateTime(QDate(2026, 3, 10), QTime(4, 0), Qt::UTC)},
            {TotalCostKey, QStringLiteral("112.50")},
            {PartsCostKey, QStringLiteral("12.50")},
            {LaborCostKey, QStringLiteral("100.00")},
            {TaxCostKey, QStringLiteral(".00")},
            {NoteKey, note}};
}

// What the plist writer stores for a string: XML 1.0 cannot carry C0
// controls other than tab, LF and CR, U+FFFE, U+FFFF or lone surrogates, so
// each becomes U+FFFD.
QString xmlSafe(const QString &s)
{
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) {
            out.append(c).append(s.at(++i));
        } else if ((c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || c.isSurrogate() ||
                   c.unicode() == 0xFFFE || c.unicode() == 0xFFFF) {
            out.append(QChar(0xFFFD));
        } else {
            out.append(c);
        }
    }
    return out;
}

// What a task description keeps of a text: rich text carries no C0 control
// other than tab and line breaks, and no lone surrogate (U+FFFD instead).
QString richTextSafe(const QString &s)
{
    QString out;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate())
            out.append(c).append(s.at(++i));
        else if (c.isSurrogate())
            out.append(QChar(0xFFFD));
        else if (c.unicode() >= 0x20 || c == u'\t' || c == u'\n')
            out.append(c);
    }
    return out;
}

// A file a strict XML reader accepts, that also reads as records.
QString strictReadProblem(const QString &fileName)
{
    const QByteArray bytes = readAll(dataFilePath(fileName));
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd())
        xml.readNext();
    if (xml.hasError())
        return QStringLiteral("%1: line %2: %3").arg(fileName).arg(xml.lineNumber()).arg(xml.errorString());
    QVariant root;
    PlistError error;
    if (!readPlist(bytes, &root, &error))
        return fileName + QStringLiteral(": ") + error.toString();
    return {};
}

RecordList fileRecords(const QString &fileName)
{
    DataFileStatus status;
    return readDataFile(dataFilePath(fileName), &status);
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

// ---------------------------------------------------------------------------
// Writes made to fail

enum Failure { SizeLimit, FullDisk, ReadOnly };

// Root may mount in a mount namespace of its own; entered once, for the
// main thread (the only one that touches the data files). Empty when usable.
QString privateMountNamespace()
{
    static const QString problem = []() -> QString {
        if (geteuid() != 0)
            return QStringLiteral("needs root");
        if (unshare(CLONE_NEWNS) != 0)
            return QStringLiteral("unshare: ") + QString::fromLocal8Bit(strerror(errno));
        // Nothing mounted here may reach the system's own mount table.
        if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return QStringLiteral("private mounts: ") + QString::fromLocal8Bit(strerror(errno));
        return {};
    }();
    return problem;
}

// One way of making the writes into the data folder fail.
class BrokenWrites {
public:
    BrokenWrites(Failure f, const QString &folder) : failure(f), dir(folder) {}
    ~BrokenWrites()
    {
        disarm();
        if (mounted)
            umount2(QFile::encodeName(dir).constData(), MNT_DETACH);
    }
    // Before the data files are seeded; empty, or why this failure cannot be made here.
    QString prepare()
    {
        if (failure == SizeLimit || (failure == ReadOnly && geteuid() != 0))
            return {};
        const QString problem = privateMountNamespace();
        if (!problem.isEmpty())
            return problem;
        // A small disk of its own for the data folder, filled up when armed.
        if (failure == FullDisk) {
            if (mount("tmpfs", QFile::encodeName(dir).constData(), "tmpfs", 0, "size=256k,mode=0755") != 0)
                return QStringLiteral("tmpfs: ") + QString::fromLocal8Bit(strerror(errno));
            mounted = true;
        }
        return {};
    }
    // Texts of which the alert must show one: the system's reason, or for
    // an existing file that cannot be replaced, QSaveFile's own.
    QStringList reasons() const
    {
        switch (failure) {
        case SizeLimit:
            return {QString::fromLocal8Bit(strerror(EFBIG))};
        case FullDisk:
            return {QString::fromLocal8Bit(strerror(ENOSPC))};
        case ReadOnly:
            break;
        }
        return {QString::fromLocal8Bit(strerror(EROFS)), QString::fromLocal8Bit(strerror(EACCES)),
                QStringLiteral("is not writable")};
    }
    bool arm()
    {
        const QByteArray path = QFile::encodeName(dir);
        armed = true;
        switch (failure) {
        case SizeLimit: {
            // A file-size limit fails the write as a full disk would, even for root.
            getrlimit(RLIMIT_FSIZE, &savedLimit);
            oldHandler = std::signal(SIGXFSZ, SIG_IGN);
            struct rlimit tiny = savedLimit;
            tiny.rlim_cur = 16;
            return setrlimit(RLIMIT_FSIZE, &tiny) == 0;
        }
        case FullDisk: {
            const int fd = ::open(path + "/filler", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
            if (fd < 0)
                return false;
            static const char block[4096] = {};
            while (::write(fd, block, sizeof block) == ssize_t(sizeof block)) {
            }
            while (::write(fd, block, 1) == 1) {
            }
            const bool full = errno == ENOSPC;
            ::close(fd);
            return full;
        }
        case ReadOnly:
            if (geteuid() != 0)
                return chmod(path.constData(), 0555) == 0;
            // Root ignores permissions; a read-only mount stops it too.
            if (mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) != 0)
                return false;
            roBound = true;
            return mount(nullptr, path.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
        }
        return false;
    }
    void disarm()
    {
        if (!armed)
            return;
        armed = false;
        const QByteArray path = QFile::encodeName(dir);
        if (failure == SizeLimit) {
            setrlimit(RLIMIT_FSIZE, &savedLimit);
            std::signal(SIGXFSZ, oldHandler);
        } else if (failure == ReadOnly && roBound) {
            umount2(path.constData(), MNT_DETACH);
            roBound = false;
        } else if (failure == ReadOnly) {
            chmod(path.constData(), 0755);
        }
    }

private:
    Failure failure;
    QString dir;
    bool mounted = false;
    bool roBound = false;
    bool armed = false;
    struct rlimit savedLimit {};
    void (*oldHandler)(int) = nullptr;
};

// The widgets that edit one file: tab 1's entry form or a sheet.
struct Form {
    QDialog *sheet; // none for tab 1
    QComboBox *entryPopup;
    QTableView *table;
    QString nameColumn;
    QLineEdit *name;
    QLineEdit *other; // a field a Change may alter
    QPushButton *add, *change, *remove;
};

Form formOf(KOVAppDelegate *d, int file)
{
    Ui::PropertySheet *p = d->propertySheetUi;
    Ui::ProviderSheet *v = d->providerSheetUi;
    Ui::TaskSheet *t = d->taskSheetUi;
    switch (file) {
    case 0:
        return {nullptr,
                nullptr,
                d->ui->tableViewTab1,
                col::note,
                nullptr,
                d->ui->noteTab1,
                d->ui->addMaintBtn,
                d->ui->changeBtnTab1,
                d->ui->deleteBtnTab1};
    case 1:
        return {d->thePropertySheet,    d->ui->propertyPopTab1,       p->tableViewPropertySheet,
                col::propname,          p->propertyNamePropertySheet, p->propertyAddrPropertySheet,
                p->addBtnPropertySheet, p->changeBtnPropertySheet,    p->deleteBtnPropertySheet};
    case 2:
        return {d->theProviderSheet,    d->ui->providerPopTab1,       v->tableViewProviderSheet,
                col::provname,          v->providerNameProviderSheet, v->providerPhoneProviderSheet,
                v->addBtnProviderSheet, v->changeBtnProviderSheet,    v->deleteBtnProviderSheet};
    }
    return {d->theTaskSheet,    d->ui->serTaskPopTab1, t->tableViewTaskSheet,
            col::taskname,      t->taskNameTaskSheet,  nullptr,
            t->addBtnTaskSheet, t->changeBtnTaskSheet, t->deleteBtnTaskSheet};
}

} // namespace

class TestRobustness : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void failedWriteKeepsFileAndScreen_data();
    void failedWriteKeepsFileAndScreen();
    void hostileTextIsStoredFaithfully_data();
    void hostileTextIsStoredFaithfully();
    void controlCharactersMakeNoTwins();
    void unknownKeysSurviveChange_data();
    void unknownKeysSurviveChange();

private:
    void seed(const Record &extraHistory = {}, const Record &extraList = {}, int extraIn = -1);
    static QDialog *openSheet(KOVAppDelegate *d, int file);
    static void doubleClickRow(QTableView *view, int row);
    static int rowWithNote(KOVAppDelegate *d, const QString &note);
    static QStringList column(QTableView *view, const QString &identifier);
    static QStringList entryNames(const QComboBox *popup);
    QTemporaryDir *dir = nullptr;
    QList<AlertRecord> alerts;
};

void TestRobustness::initTestCase()
{
    kov::test::setUpWindowTests(this, alerts);
}

void TestRobustness::init()
{
    dir = new QTemporaryDir;
    alerts.clear();
    kov::test::beginWindowTest(*dir,
                               QDateTime(QDate(2026, 6, 15), QTime(14, 30), QTimeZone("America/New_York")));
    copyDataFolderURL();
}

void TestRobustness::cleanup()
{
    kov::test::endWindowTest();
    delete dir;
}

// The four files, with `extra` merged into the first history record (or the
// first record of list `extraIn`).
void TestRobustness::seed(const Record &extraHistory, const Record &extraList, int extraIn)
{
    RecordList lists[4] = {
        {job(QStringLiteral("Main Street"), QStringLiteral("first")),
         job(QStringLiteral("Lake House"), QStringLiteral("second"))},
        {{{PropertyNameKey, QStringLiteral("Main Street")},
          {PropertyAddressKey, QStringLiteral("1 Main St")}},
         {{PropertyNameKey, QStringLiteral("Lake House")}}},
        {{{ProviderNameKey, QStringLiteral("Bob's Gutters")}, {ProviderPhoneKey, QStringLiteral("555-0100")}},
         {{ProviderNameKey, QStringLiteral("Ace Roofing")}}},
        {{{ServiceTaskNameKey, QStringLiteral("Paint fence")},
          {ServiceTaskDescriptionKey, rtfdFromPlainText(QStringLiteral("Both sides"))},
          {ServiceTaskTimeUnits, 3LL}},
         {{ServiceTaskNameKey, QStringLiteral("Clean gutters")},
          {ServiceTaskDescriptionKey, rtfdFromPlainText(QStringLiteral("Clean out"))},
          {ServiceTaskTimeUnits, 1LL},
          {ServiceTaskTimeInUnitsKey, 6LL}}}};
    lists[0][0].insert(extraHistory);
    if (extraIn > 0)
        lists[extraIn][0].insert(extraList);
    for (int i = 0; i < 4; ++i)
        QVERIFY(writeDataFileArray(lists[i], allFiles[i]));
}

QDialog *TestRobustness::openSheet(KOVAppDelegate *d, int file)
{
    const Form form = formOf(d, file);
    const int index = form.entryPopup->findText(maintainItem);
    if (index < 0)
        return nullptr;
    form.entryPopup->setCurrentIndex(index);
    Q_EMIT form.entryPopup->activated(index);
    // Shown one turn of the event loop later.
    return QTest::qWaitFor([&form] { return form.sheet->isVisible(); }) ? form.sheet : nullptr;
}

void TestRobustness::doubleClickRow(QTableView *view, int row)
{
    const QRect cell = view->visualRect(view->model()->index(row, 0));
    QVERIFY(cell.isValid());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, cell.center());
}

int TestRobustness::rowWithNote(KOVAppDelegate *d, const QString &note)
{
    for (int r = 0; r < d->propertyMaintArrayForTV.size(); ++r)
        if (d->propertyMaintArrayForTV[r].value(col::note).toString() == note)
            return r;
    return -1;
}

QStringList TestRobustness::column(QTableView *view, const QString &identifier)
{
    auto *model = qobject_cast<RowTableModel *>(view->model());
    QStringList out;
    for (int r = 0; model && r < model->rowCount(); ++r)
        out.append(model->index(r, model->columnOf(identifier)).data().toString());
    return out;
}

// The names an entry pop-up offers, without its separator and last item.
QStringList TestRobustness::entryNames(const QComboBox *popup)
{
    QStringList out = kov::test::popupItems(popup);
    out.removeAll(QStringLiteral("---"));
    out.removeAll(maintainItem);
    return out;
}

// ---------------------------------------------------------------------------
// A write that fails: the user is told, the file stays, the screen shows it

void TestRobustness::failedWriteKeepsFileAndScreen_data()
{
    QTest::addColumn<int>("file"); // index into allFiles
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("failure");
    const char *fileNames[] = {"history", "property", "provider", "task"};
    const char *failureNames[] = {"size limit", "full disk", "read-only folder"};
    for (int failure : {SizeLimit, FullDisk, ReadOnly})
        for (int file = 0; file < 4; ++file)
            for (const char *action : {"add", "change", "delete"})
                QTest::addRow("%s %s, %s", fileNames[file], action, failureNames[failure])
                    << file << QString::fromLatin1(action) << failure;
}

void TestRobustness::failedWriteKeepsFileAndScreen()
{
    QFETCH(int, file);
    QFETCH(QString, action);
    QFETCH(int, failure);
    BrokenWrites broken(Failure(failure), dataFolderPath());
    const QString cannot = broken.prepare();
    if (!cannot.isEmpty())
        QSKIP(qPrintable(QStringLiteral("no private mount namespace (%1)").arg(cannot)));
    seed();
    if (QTest::currentTestFailed())
        return;
    const QString fileName = allFiles[file];
    const QByteArray before = readAll(dataFilePath(fileName));
    auto d = kov::test::startWindow();

    const Form form = formOf(d.get(), file);
    if (file != 0)
        QVERIFY(openSheet(d.get(), file));
    QPushButton *press = action == QLatin1String("add")      ? form.add
                         : action == QLatin1String("change") ? form.change
                                                             : form.remove;
    if (action != QLatin1String("add"))
        doubleClickRow(form.table, file == 0 ? rowWithNote(d.get(), QStringLiteral("first")) : 0);
    else if (form.name)
        form.name->setText(QStringLiteral("Never Saved"));
    if (file == 3) {
        d->taskSheetUi->taskDescTaskSheet->setPlainText(QStringLiteral("changed"));
        d->taskSheetUi->daysMonthsYearsOnTaskSheet->setCurrentIndex(UnitNone);
    } else {
        form.other->setText(QStringLiteral("changed"));
    }
    QVERIFY(press->isEnabled());
    QVERIFY(alerts.isEmpty());

    QVERIFY2(broken.arm(), strerror(errno));
    QTest::mouseClick(press, Qt::LeftButton);
    broken.disarm();

    // One alert naming the file and the reason.
    QCOMPARE(alerts.size(), 1);
    const QString shown = alerts[0].title + QLatin1Char('|') + alerts[0].message;
    QVERIFY2(alerts[0].title.contains(fileName), qPrintable(shown));
    const QStringList reasons = broken.reasons();
    const bool reasonShown = std::any_of(reasons.cbegin(), reasons.cend(),
                                         [&](const QString &r) { return alerts[0].message.contains(r); });
    QVERIFY2(reasonShown, qPrintable(shown));
    // The file as it was.
    QCOMPARE(readAll(dataFilePath(fileName)), before);
    // No temporary file left beside the data files.
    QStringList left = QDir(dataFolderPath()).entryList(QDir::Files | QDir::Hidden);
    left.removeOne(QStringLiteral("filler"));
    QCOMPARE(sorted(left), sorted(QStringList(std::begin(allFiles), std::end(allFiles))));
    // The screen shows what the file holds.
    const RecordList stored = fileRecords(fileName);
    QCOMPARE(form.table->model()->rowCount(), int(stored.size()));
    if (file == 0) {
        QStringList notes;
        for (const Record &r : stored)
            notes.append(r.value(NoteKey).toString());
        QCOMPARE(sorted(column(form.table, col::note)), sorted(notes));
    } else {
        QStringList names;
        for (const Record &r : stored)
            names.append(r.value(nameKeys[file]).toString());
        QCOMPARE(sorted(column(form.table, form.nameColumn)), sorted(names));
        QCOMPARE(sorted(entryNames(form.entryPopup)), sorted(names));
    }
}

// ---------------------------------------------------------------------------
// Hostile text in every field

namespace {

enum Stored { AsText, AsCost, AsPrice, AsInterval, AsRichText };

struct Field {
    const char *name;
    int file; // index into allFiles
    Stored stored;
    QString key;
    QString prefix; // typed first, so the entry can be saved whatever the paste leaves
};

const QList<Field> &fields()
{
    static const QList<Field> all = {
        {"partsCostTab1", 0, AsCost, PartsCostKey, "12"},
        {"laborCostTab1", 0, AsCost, LaborCostKey, "12"},
        {"taxCostTab1", 0, AsCost, TaxCostKey, "12"},
        {"totalCostTab1", 0, AsCost, TotalCostKey, "12"},
        {"noteTab1", 0, AsText, NoteKey, "Robust "},
        {"propertyNamePropertySheet", 1, AsText, PropertyNameKey, "Robust "},
        {"propertyAddrPropertySheet", 1, AsText, PropertyAddressKey, "Robust "},
        {"propertyCityPropertySheet", 1, AsText, PropertyCityKey, "Robust "},
        {"propertyStatePropetySheet", 1, AsText, PropertyStateKey, "Robust "},
        {"propertyZIPPropertySheet", 1, AsText, PropertyZipKey, "Robust "},
        {"propertyLotSizePropertySheet", 1, AsText, PropertyLotSizeKey, "3"},
        {"propertyInteriorSizePropertySheet", 1, AsText, PropertyIntSizeKey, "3"},
        {"propertyPurchaseCostPropertySheet", 1, AsPrice, PropertyPurchaseCostKey, "1200"},
        {"propertySaleCostPropertySheet", 1, AsPrice, PropertySaleCostKey, "1200"},
        {"propertyNotePropertySheet", 1, AsText, PropertyNoteKey, "Robust "},
        {"providerNameProviderSheet", 2, AsText, ProviderNameKey, "Robust "},
        {"providerAddrProviderSheet", 2, AsText, ProviderAddressKey, "Robust "},
        {"providerPhoneProviderSheet", 2, AsText, ProviderPhoneKey, "Robust "},
        {"providerEmailProviderSheet", 2, AsText, ProviderEmailKey, "Robust "},
        {"providerWebPageProviderSheet", 2, AsText, ProviderWebPageKey, "Robust "},
        {"providerNoteProviderSheet", 2, AsText, ProviderNoteKey, "Robust "},
        {"taskNameTaskSheet", 3, AsText, ServiceTaskNameKey, "Robust "},
        {"taskDescTaskSheet", 3, AsRichText, ServiceTaskDescriptionKey, "Robust "},
        {"recurTimeIntervalTaskSheet", 3, AsInterval, ServiceTaskTimeInUnitsKey, "3"},
    };
    return all;
}

QString controlCharacters()
{
    QString s = QStringLiteral("A");
    for (char16_t c = 0; c < 0x20; ++c)
        s.append(QChar(c));
    s.append(QChar(0x7F)).append(QChar(0xFFFE)).append(QChar(0xFFFF));
    s.append(QChar(0xD800)).append(u'x').append(QChar(0xDC00));
    return s.append(u'Z');
}

// About 1.5 MB of mixed scripts, in lines.
QString megabytes()
{
    const QString line =
        QStringLiteral("Gutters cleaned, Stra\u00DFe 5, \u5317\u4EAC, \u05E9\u05DC\u05D5\u05DD, "
                       "\U0001F527 $1,234.56 \u2014 line\n");
    QString s;
    s.reserve(line.size() * 24000);
    for (int i = 0; i < 24000; ++i)
        s.append(line);
    return s;
}

} // namespace

void TestRobustness::hostileTextIsStoredFaithfully_data()
{
    QTest::addColumn<QString>("fieldName");
    QTest::addColumn<QString>("input");
    const QString rtl =
        QStringLiteral("\u202B\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD\u202C "
                       "\u200F\u0645\u0631\u062D\u0628\u0627 \u0628\u0627\u0644\u0639\u0627\u0644\u0645"
                       "\u200E 42 \u2067\u05E2\u05D1\u05E8\u05D9\u05EA\u2069\u061C");
    const QString emoji =
        QString::fromUtf8("\xF0\x9F\x91\xA9\xF0\x9F\x8F\xBD\xE2\x80\x8D\xF0\x9F\x94\xA7 " // 👩🏽‍🔧
                          "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F"
                          "\x91\xA7\xE2\x80\x8D\xF0\x9F\x91\xA6 "                     // family
                          "\xF0\x9F\x8F\xB3\xEF\xB8\x8F\xE2\x80\x8D\xF0\x9F\x8C\x88 " // rainbow flag
                          "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBF");                        // 👍🏿
    const QString big = megabytes();
    // Megabytes go to one field of each kind; the other inputs to every field.
    const QStringList bigFields{"partsCostTab1",
                                "noteTab1",
                                "propertyNamePropertySheet",
                                "propertyLotSizePropertySheet",
                                "providerNoteProviderSheet",
                                "taskDescTaskSheet",
                                "recurTimeIntervalTaskSheet"};
    for (const Field &f : fields()) {
        QTest::addRow("%s, control characters", f.name) << QString::fromLatin1(f.name) << controlCharacters();
        QTest::addRow("%s, right to left", f.name) << QString::fromLatin1(f.name) << rtl;
        QTest::addRow("%s, emoji", f.name) << QString::fromLatin1(f.name) << emoji;
        if (bigFields.contains(QLatin1String(f.name)))
            QTest::addRow("%s, megabytes", f.name) << QString::fromLatin1(f.name) << big;
    }
}

void TestRobustness::hostileTextIsStoredFaithfully()
{
    QFETCH(QString, fieldName);
    QFETCH(QString, input);
    const Field &f = *std::find_if(fields().cbegin(), fields().cend(),
                                   [&](const Field &x) { return fieldName == QLatin1String(x.name); });
    seed();
    auto d = kov::test::startWindow();
    if (f.file != 0)
        QVERIFY(openSheet(d.get(), f.file));
    // Whatever the sheet needs besides the field under test.
    if (f.file != 0)
        formOf(d.get(), f.file).name->setText(QStringLiteral("Robust"));
    if (f.file == 3) {
        d->taskSheetUi->taskDescTaskSheet->setPlainText(QStringLiteral("Robust"));
        d->taskSheetUi->daysMonthsYearsOnTaskSheet->setCurrentIndex(UnitMonths);
        d->taskSheetUi->recurTimeIntervalTaskSheet->setText(QStringLiteral("3"));
    }

    QWidget *widget = d->window->findChild<QWidget *>(fieldName);
    QVERIFY(widget);
    auto *line = qobject_cast<QLineEdit *>(widget);
    auto *rich = qobject_cast<QTextEdit *>(widget);
    QVERIFY(line || rich);
    // The prefix typed, then the input pasted after it.
    if (line) {
        line->clear();
        QTest::keyClicks(line, f.prefix);
        line->end(false);
    } else {
        rich->setPlainText(f.prefix);
        rich->moveCursor(QTextCursor::End);
    }
    QApplication::clipboard()->setText(input);
    QTest::keyClick(widget, Qt::Key_V, Qt::ControlModifier);
    if (line) {
        QVERIFY2(line->text().startsWith(f.prefix), qPrintable(line->text().left(40)));
        QVERIFY(line->text().size() > f.prefix.size());
        // Leaving the field, as a person would before pressing Add.
        Q_EMIT line->editingFinished();
    } else {
        QVERIFY(rich->toPlainText().size() > f.prefix.size());
    }
    const QString held = line ? line->text() : rich->toPlainText();

    QTest::mouseClick(formOf(d.get(), f.file).add, Qt::LeftButton);
    QVERIFY2(alerts.isEmpty(), qPrintable(alerts.isEmpty() ? QString() : alerts[0].title));

    for (const QString &name : allFiles)
        QVERIFY2(strictReadProblem(name).isEmpty(), qPrintable(strictReadProblem(name)));
    const RecordList list = fileRecords(allFiles[f.file]);
    QCOMPARE(list.size(), 3);
    // Add appends.
    const QVariant value = list.last().value(f.key);
    switch (f.stored) {
    case AsText:
        QCOMPARE(value.typeId(), int(QMetaType::QString));
        QVERIFY(value.toString() == xmlSafe(held));
        break;
    case AsCost:
        QCOMPARE(value.toString(), cleanFormatCostStr(held));
        QCOMPARE(value.toString(), QStringLiteral("12.00"));
        break;
    case AsPrice:
        QCOMPARE(value.toDouble(), costValue(held));
        QCOMPARE(value.toDouble(), 1200.0);
        break;
    case AsInterval:
        QCOMPARE(value.toLongLong(), 3LL);
        break;
    case AsRichText:
        QVERIFY(plainTextOfRichText(value.toByteArray()) == richTextSafe(held));
        break;
    }
    // What the screen shows is what the file holds, so the new entry is
    // found again: it can be deleted without a "not found".
    if (f.stored == AsText && (f.file == 0 || f.key == nameKeys[f.file])) {
        const Form form = formOf(d.get(), f.file);
        const QString stored = value.toString();
        const QStringList shown = column(form.table, f.file == 0 ? col::note : form.nameColumn);
        const qsizetype row = shown.indexOf(stored);
        QVERIFY2(row >= 0, "the stored text is not on the screen");
        doubleClickRow(form.table, int(row));
        QVERIFY(form.remove->isEnabled());
        QTest::mouseClick(form.remove, Qt::LeftButton);
        QVERIFY2(alerts.isEmpty(), qPrintable(alerts.isEmpty() ? QString() : alerts[0].title));
        QCOMPARE(fileRecords(allFiles[f.file]).size(), 2);
    }
    // The window is still answering.
    bool turned = false;
    QTimer::singleShot(0, this, [&turned] { turned = true; });
    QTRY_VERIFY(turned);
}

// Two names that differ only in characters a file cannot hold would be
// stored alike; the second is refused as the duplicate it would be.
void TestRobustness::controlCharactersMakeNoTwins()
{
    seed();
    auto d = kov::test::startWindow();
    QVERIFY(openSheet(d.get(), 1));
    const Form form = formOf(d.get(), 1);
    const qsizetype before = fileRecords(PropertyFileForKOV).size();
    form.name->setText(QStringLiteral("Twin\u0001"));
    QTest::mouseClick(form.add, Qt::LeftButton);
    QVERIFY(alerts.isEmpty());
    QCOMPARE(fileRecords(PropertyFileForKOV).size(), before + 1);
    form.name->setText(QStringLiteral("Twin\u0002"));
    QTest::mouseClick(form.add, Qt::LeftButton);
    QCOMPARE(alerts.size(), 1);
    QCOMPARE(alerts[0].title, QStringLiteral("Duplicate PropertyName - not added"));
    QCOMPARE(fileRecords(PropertyFileForKOV).size(), before + 1);
}

// ---------------------------------------------------------------------------
// Keys KOV does not know stay through a Change

void TestRobustness::unknownKeysSurviveChange_data()
{
    QTest::addColumn<int>("file");
    QTest::addColumn<QVariant>("extra");
    QTest::addColumn<bool>("remove");
    const QVariant text = QStringLiteral("from a newer KOV \u2014 \u00E9t\u00E9");
    const QVariant dict =
        QVariantMap{{QStringLiteral("Nested"), QStringLiteral("x")},
                    {QStringLiteral("When"), QDateTime(QDate(1921, 5, 1), QTime(0, 0), Qt::UTC)},
                    {QStringLiteral("Blob"), QByteArray("\x00\x01\xFF", 3)},
                    {QStringLiteral("List"), QVariantList{7LL, 2.5, true}}};
    const char *fileNames[] = {"history", "property", "provider", "task"};
    for (int file = 0; file < 4; ++file) {
        QTest::addRow("%s, string", fileNames[file]) << file << text << false;
        QTest::addRow("%s, dict", fileNames[file]) << file << dict << false;
    }
    QTest::addRow("history delete") << 0 << dict << true;
}

void TestRobustness::unknownKeysSurviveChange()
{
    QFETCH(int, file);
    QFETCH(QVariant, extra);
    QFETCH(bool, remove);
    const Record extraEntry{{extraKey, extra}};
    seed(file == 0 ? extraEntry : Record(), extraEntry, file);
    const QByteArray extraBytes = writePlist(extra);
    const QString fileName = allFiles[file];
    auto d = kov::test::startWindow();

    const Form form = formOf(d.get(), file);
    const QString changed = QStringLiteral("changed \u00E9");
    const QString key = file == 0   ? NoteKey
                        : file == 1 ? PropertyAddressKey
                        : file == 2 ? ProviderPhoneKey
                                    : ServiceTaskDescriptionKey;
    if (file == 0) {
        doubleClickRow(form.table, rowWithNote(d.get(), QStringLiteral("first")));
    } else {
        QVERIFY(openSheet(d.get(), file));
        // The record with the extra key is the first in the file.
        const QString name = fileRecords(fileName).first().value(nameKeys[file]).toString();
        doubleClickRow(form.table, int(column(form.table, form.nameColumn).indexOf(name)));
    }
    if (file == 3)
        d->taskSheetUi->taskDescTaskSheet->setPlainText(changed);
    else
        form.other->setText(changed);
    QPushButton *press = remove ? form.remove : form.change;
    QVERIFY(press->isEnabled());
    QTest::mouseClick(press, Qt::LeftButton);
    // The Change of a property the log uses warns about the log; nothing else.
    for (const AlertRecord &a : std::as_const(alerts))
        QVERIFY2(a.title.startsWith(QStringLiteral("property/task/provider named")), qPrintable(a.title));

    const RecordList list = fileRecords(fileName);
    QCOMPARE(list.size(), remove ? 1 : 2);
    if (remove) {
        QVERIFY(!list[0].contains(extraKey));
        return;
    }
    // Change moves the record to the end, with the new value and the old extra key.
    const Record &record = list.last();
    if (key == ServiceTaskDescriptionKey)
        QCOMPARE(plainTextOfRichText(record.value(key).toByteArray()), changed);
    else
        QCOMPARE(record.value(key).toString(), changed);
    QVERIFY(record.contains(extraKey));
    QVERIFY(valuesEqual(record.value(extraKey), extra));
    QCOMPARE(writePlist(record.value(extraKey)), extraBytes);
    QVERIFY(!list.first().contains(extraKey));
}

QTEST_MAIN(TestRobustness)
#include "tst_robustness.moc"
