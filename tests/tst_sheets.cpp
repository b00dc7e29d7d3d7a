// The three list sheets, each over a host widget with its own store and date
// popover: fields typed into, buttons pressed, the data files read back.
#include "app/datastore.h"
#include "app/dateentry.h"
#include "app/datepopover.h"
#include "app/undohistory.h"
#include "lists/propertysheet.h"
#include "lists/providersheet.h"
#include "lists/tasksheet.h"
#include "storage/rtfd.h"
#include "testsupport.h"
#include "windowsupport.h"
#include <QtWidgets>
using namespace kov;
using namespace kov::test;
using Emitted = std::tuple<QString, RecordList, QString>; // file, list, name
namespace {
const QString files[] = {PropertyFileForKOV, ProviderFileForKOV, ServiceTaskFileForKOV,
                         PropertyHistoryFileForKOV};
const QString nameKeys[] = {PropertyNameKey, ProviderNameKey, ServiceTaskNameKey};
const QString suffixes[] = {"PropertySheet", "ProviderSheet", "TaskSheet"};
const QString nameFields[] = {"propertyName", "providerName", "taskName"};
const QString firstNames[] = {"Main St", "Bob's", "gutters"};
const QString twinTitle[] = {"Duplicate PropertyName - not added", "Duplicate Provider Name - not added",
                             "Duplicate Service Task Name - not added"};
// "key=value|..." as a record: "#12" an integer, "#1.5" a real, "@" and an ISO
// time a date, anything else text.
Record rec(const QString &text)
{
    Record r;
    for (const QString &pair : text.split('|', Qt::SkipEmptyParts)) {
        const QString v = pair.section('=', 1), n = v.mid(1);
        r.insert(pair.section('=', 0, 0), v.startsWith('@') ? QVariant(QDateTime::fromString(n, Qt::ISODate))
                                          : !v.startsWith('#') ? QVariant(v)
                                          : n.contains('.')    ? QVariant(n.toDouble())
                                                               : QVariant(n.toLongLong()));
    }
    return r;
}
// A row of a table. Fields are "objectName=typed>shown|...", the sheet's
// suffix left off; shown is a line edit's text, another field's "on"/"off".
struct Case {
    int which = 0;
    QString fields, title; // title: of the refusal, or the key a Change sets
    Record expected = {};  // the entry stored, but its empty texts and description
    QString locale = "en_US";
};
// One sheet, opened over its own host, store and popover.
struct Rig {
    QWidget host;
    DataStore store;
    DatePopover pop{&host};
    std::unique_ptr<ReferenceSheet> s;
    int which;
    QList<Emitted> added, gone; // what entryAdded and entryDeleted told
    explicit Rig(int w) : which(w)
    {
        s.reset(w == 0   ? static_cast<ReferenceSheet *>(new PropertySheet(&store, &pop, &host))
                : w == 1 ? static_cast<ReferenceSheet *>(new ProviderSheet(&store, &pop, &host))
                         : new TaskSheet(&store, &pop, &host));
        QObject::connect(s.get(), &ReferenceSheet::entryAdded, [this](auto &...a) { added.append({a...}); });
        QObject::connect(s.get(), &ReferenceSheet::entryDeleted, [this](auto &...a) { gone.append({a...}); });
        host.show();
        s->showOneSheet();
        (void)QTest::qWaitFor([this] { return s->sheet()->isVisible(); }); // a double click needs it shown
    }
    static RecordList stored(const QString &file) { return readDataFile(dataFilePath(file), nullptr); }
    QWidget *w(const QString &name) const { return child(s->sheet(), qPrintable(name + suffixes[which])); }
    void press(const QString &button) const { static_cast<QAbstractButton *>(w(button))->click(); }
    void fill(const QString &fields) const
    {
        for (const QString &field : fields.split('|', Qt::SkipEmptyParts)) {
            const qsizetype eq = field.indexOf('='), gt = field.indexOf('>');
            QWidget *widget = w(field.left(eq >= 0 ? eq : gt));
            auto *edit = qobject_cast<QLineEdit *>(widget);
            const QString typed = field.mid(eq + 1, gt < 0 ? -1 : gt - eq - 1);
            if (eq >= 0 && edit) {
                edit->clear();
                QTest::keyClicks(edit, typed);
                Q_EMIT edit->editingFinished();
            } else if (eq >= 0) {
                QVERIFY(widget->metaObject()->userProperty().write(widget, typed));
            }
            if (gt >= 0)
                QCOMPARE(edit ? edit->text() : widget->isEnabled() ? "on" : "off", field.mid(gt + 1));
        }
    }
    void doubleClick(const QString &name) const
    {
        auto *table = static_cast<QTableView *>(w("tableView"));
        const auto at = table->model()->match(table->model()->index(0, 0), Qt::DisplayRole, name).value(0);
        const QPoint point = table->visualRect(at).center();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, point); // a double click starts with a press
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, point);
    }
};
} // namespace
Q_DECLARE_METATYPE(Case)
class TestSheets : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    QList<AlertRecord> alerts;
    QStringList told; // alert titles and beeps, in turn
private Q_SLOTS:
    void initTestCase()
    {
        setUpWindowTests(this, alerts);
        connect(AlertCenter::instance(), &AlertCenter::alertShown, [this](auto &a) { told << a.title; });
        connect(AlertCenter::instance(), &AlertCenter::beeped, [this] { told << "beep"; });
    }
    void cleanup() { endWindowTest(); }
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        told.clear();
        beginWindowTest(*dir, QDateTime(QDate(2026, 6, 15), QTime(14, 30)));
        copyDataFolderURL();
        // Each first entry used by the log, with a key of a newer version; 9: a unit unknown here.
        const QString kept = "|KeyOfANewerVersion=kept";
        RecordList lists[] = {
            {rec("PropertyNameKey=Main St|PropertyAddressKey=1 Main" + kept), rec("PropertyNameKey=Attic")},
            {rec("ProviderNameKey=Bob's|ProviderPhoneKey=555-01" + kept), rec("ProviderNameKey=ace")},
            {rec("ServiceTaskNameKey=gutters|ServiceTaskTimeUnits=#1|ServiceTaskTimeInUnitsKey=#6" + kept),
             rec("ServiceTaskNameKey=Paint fence|ServiceTaskTimeUnits=#3"),
             rec("ServiceTaskNameKey=Odd unit|ServiceTaskTimeUnits=#9|ServiceTaskTimeInUnitsKey=#2")},
            {rec("PropertyNameKey=Main St|ProviderNameKey=Bob's|ServiceTaskNameKey=gutters")}};
        for (Record &task : lists[2])
            task.insert(ServiceTaskDescriptionKey, rtfdFromPlainText("Clean out"));
        for (int i = 0; i < 4; ++i)
            QVERIFY(writeDataFileArray(lists[i], files[i]));
    }
    void addOrRefuse_data()
    {
        QTest::addColumn<Case>("c");
        const QString house =
            "propertyPurchaseCost=%1|dateAcquired>on|propertyName=Cabin|propertyCity=Troy|"
            "propertyInteriorSize=1a5>15|propertyStatus=Rental|dateAcquired=2001-02-03T14:30:00|"
            "propertySaleCost=5\b|dateSold>off|propertyLotSize=12b000>12%2";
        const QString cabin = "PropertyNameKey=Cabin|PropertyCityKey=Troy|PropertyIntSizeKey=15|"
                              "PropertyCurrentStatusKey=Rental|"
                              "PropertyConstDateKey=@2026-06-15T18:30:00Z|PropertyPurchaseCostKey=#950.5|"
                              "PropertyPurchaseDateKey=@2001-02-03T19:30:00Z|PropertyLotSizeKey=12";
        const QString sweep = "taskName=Sweep|taskDesc=Chimney|recurTimeInterval=1500|daysMonthsYearsOn=";
        const QString swept = "ServiceTaskNameKey=Sweep|ServiceTaskTimeUnits=";
        QTest::newRow("property") << Case(0, house.arg("9x50.5>$950.50", ",000"), {}, rec(cabin + ",000"));
        QTest::newRow("de_DE") << Case(0, house.arg("9x50,5>\u20AC950,50", ".000"), {}, rec(cabin + ".000"),
                                       "de_DE");
        QTest::newRow("provider") << Case(1, "providerName=Zed|providerEmail=z@example.com", {},
                                          rec("ProviderNameKey=Zed|ProviderEmailKey=z@example.com"));
        QTest::newRow("task") << Case(2, sweep + "Months", {},
                                      rec(swept + "#1|ServiceTaskTimeInUnitsKey=#1500"));
        QTest::newRow("task without recurrence") << Case(2, sweep + "None", {}, rec(swept + "#3"));
        const QString task = "taskName=New|taskDesc=x|daysMonthsYearsOn=", missing = "Task Data Missing";
        QTest::newRow("property twin") << Case(0, "propertyName=Attic", twinTitle[0]);
        QTest::newRow("provider twin") << Case(1, "providerName=ace", twinTitle[1]);
        QTest::newRow("task twin") << Case(2, task + "None|taskName=Paint fence", twinTitle[2]);
        QTest::newRow("property no name") << Case(0, "propertyCity=Troy", "Property Data Missing");
        QTest::newRow("provider no name") << Case(1, "providerPhone=1", "Provider Data Missing");
        QTest::newRow("task no description") << Case(2, task + "None|taskDesc=", missing);
        QTest::newRow("task no interval")
            << Case(2, task + "Days", "No Time Interval entered( or was zero )");
    }
    // Guards against an entry stored other than typed or not appended, letters kept in
    // numbers, numbers unformatted, a price's date off, local dates, tab 1 told of
    // another list than the file's; a refusal written anyway, mistitled or silent.
    void addOrRefuse()
    {
        QFETCH(Case, c);
        LocaleScope scope(c.locale);
        const QString file = files[c.which];
        const RecordList before = Rig::stored(file);
        Rig r(c.which);
        r.fill(c.fields);
        told.clear();
        r.press("addBtn");
        if (!c.title.isEmpty()) {
            QCOMPARE(told, QStringList({c.title, "beep"}));
            QVERIFY(Rig::stored(file) == before && r.added.isEmpty() && r.gone.isEmpty());
            return;
        }
        const RecordList list = Rig::stored(file);
        QCOMPARE(list.mid(0, before.size()), before);
        Record last = list.value(before.size());
        last.removeIf([](Record::iterator it) { return it.value() == QVariant(QString()); });
        last.remove(ServiceTaskDescriptionKey);
        QCOMPARE(last, c.expected);
        QCOMPARE(r.added, QList<Emitted>({{file, list, c.expected[nameKeys[c.which]].toString()}}));
        r.fill(nameFields[c.which] + ">");
        QVERIFY(told.isEmpty());
    }
    void changeThenDelete_data()
    {
        QTest::addColumn<Case>("c");
        QTest::newRow("property") << Case(0, "propertyAddr>1 Main|propertyAddr=2 Main", PropertyAddressKey);
        QTest::newRow("provider") << Case(1, "providerPhone>555-01|providerPhone=555-02", ProviderPhoneKey);
        QTest::newRow("task") << Case(2, "recurTimeInterval>6|recurTimeInterval=8",
                                      ServiceTaskTimeInUnitsKey);
    }
    // Guards against a double click loading another entry; Change taking a twin's
    // name, losing the entry, its unknown keys or its place at the end; Delete
    // removing the wrong one; and no warning while the log still uses the name.
    void changeThenDelete()
    {
        QFETCH(Case, c);
        const QString file = files[c.which], name = firstNames[c.which];
        const QString warning = "property/task/provider named: " + name;
        const RecordList before = Rig::stored(file);
        Rig r(c.which);
        QVERIFY(writeDataFileArray(before + before.mid(0, 1), file)); // a twin: refused
        r.doubleClick(name);
        r.press("changeBtn");
        QVERIFY(writeDataFileArray(before, file));
        r.doubleClick(name);
        r.fill(nameFields[c.which] + '>' + name + '|' + c.fields);
        r.press("changeBtn");
        const RecordList list = Rig::stored(file);
        QCOMPARE(list.mid(0, before.size() - 1), before.mid(1));
        QCOMPARE(list.last()[c.title].toString(), c.fields.section('=', -1));
        QCOMPARE(list.last()["KeyOfANewerVersion"], QVariant("kept"));
        QCOMPARE(r.gone, QList<Emitted>({{file, before.mid(1), name}}));
        QCOMPARE(r.added, QList<Emitted>({{file, list, name}}));
        r.doubleClick(name);
        AlertCenter::instance()->modalAnswer = [](auto &) { return AlertSecondButtonReturn; }; // Delete
        r.press("deleteBtn");
        QCOMPARE(Rig::stored(file), before.mid(1));
        // A name not in the list; then one the log never used.
        const QString unused = before[1][nameKeys[c.which]].toString();
        r.doubleClick(unused);
        r.fill(nameFields[c.which] + '=' + name);
        r.press("deleteBtn");
        r.doubleClick(unused);
        r.press("deleteBtn");
        QCOMPARE(Rig::stored(file), before.mid(2));
        QCOMPARE(told,
                 QStringList({twinTitle[c.which], "beep", warning,
                              "\u201C" + name + "\u201D is used by 1 maintenance record. Delete it anyway?",
                              warning, "Delete request failed - not deleted"}));
    }
    void askRenameUndo_data()
    {
        QTest::addColumn<int>("which");
        QTest::newRow("property") << 0;
        QTest::newRow("provider") << 1;
        QTest::newRow("task") << 2;
    }
    // Guards against a delete of a used entry without the question (or with a wrong count,
    // or Cancel deleting), a rename that misses a log record, takes a twin's name or an
    // empty one, or is more than one undo step; and an undo that does not give the files back.
    void askRenameUndo()
    {
        QFETCH(int, which);
        const QString file = files[which], key = nameKeys[which], name = firstNames[which];
        RecordList log = Rig::stored(PropertyHistoryFileForKOV);
        log << log[0] << log[0] << Record{{key, name + ' '}};
        QVERIFY(writeDataFileArray(log, PropertyHistoryFileForKOV));
        auto bytes = [&] {
            return readAll(dataFilePath(file)) + readAll(dataFilePath(PropertyHistoryFileForKOV));
        };
        const QByteArray before = bytes();
        Rig r(which);
        UndoHistory *undo = UndoHistory::of(&r.store);
        AlertCenter::instance()->modalAnswer = [](auto &) { return AlertFirstButtonReturn; }; // Cancel
        r.doubleClick(name);
        told.clear();
        r.press("deleteBtn");
        QCOMPARE(told,
                 QStringList{"\u201C" + name + "\u201D is used by 3 maintenance records. Delete it anyway?"});
        QCOMPARE(bytes(), before);
        const QString other = Rig::stored(file)[1][key].toString();
        QVERIFY(!r.s->renameEntry(name, other) && !r.s->renameEntry(name, "") && !undo->canUndo());
        QVERIFY(r.s->renameEntry(name, "Renamed"));
        QCOMPARE(Rig::stored(file)[0][key], "Renamed");
        const RecordList renamedLog = Rig::stored(PropertyHistoryFileForKOV);
        QCOMPARE(renamedLog.size(), 4);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(renamedLog[i][key], i < 3 ? QString("Renamed") : name + ' ');
        QCOMPARE(undo->undoName(), "Rename " + QString(which == 0   ? "Property"
                                                       : which == 1 ? "Provider"
                                                                    : "Task"));
        QVERIFY(undo->undo() && !undo->canUndo());
        QCOMPARE(bytes(), before);
        QCOMPARE(told.mid(1),
                 QStringList({twinTitle[which], "beep", "Rename request failed - not renamed", "beep"}));
    }
    void typedDates_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("cursor"); // -1: the whole text selected
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("end");    // the key that ends the typing
        QTest::addColumn<QDate>("date"); // invalid: refused, 12/4/2024 stays
        const QDate march15(2024, 3, 15);
        QTest::newRow("whole") << "en_US" << -1 << "3/15/2024" << int(Qt::Key_Return) << march15;
        QTest::newRow("two-digit year") << "en_US" << -1 << "3/15/24" << int(Qt::Key_Tab) << march15;
        QTest::newRow("from the day") << "en_US" << 3 << "15" << int(Qt::Key_Return) << QDate(2024, 12, 15);
        QTest::newRow("30 February") << "en_US" << -1 << "2/30/2024" << int(Qt::Key_Return) << QDate();
        QTest::newRow("not a date, left") << "en_US" << -1 << "3/15/x" << int(Qt::Key_Tab) << QDate();
        QTest::newRow("de_DE whole") << "de_DE" << -1 << "15.03.2024" << int(Qt::Key_Enter) << march15;
        QTest::newRow("de_DE from the month")
            << "de_DE" << 4 << "03.2025" << int(Qt::Key_Return) << QDate(2025, 3, 4);
    }
    // Guards against a date typed over the field read in parts, in another locale's
    // order, with sections not typed lost, or half-applied when it cannot be read.
    void typedDates()
    {
        QFETCH(QString, locale);
        QFETCH(int, cursor);
        LocaleScope scope(locale);
        QWidget host;
        auto *field = new QDateTimeEdit(&host);
        auto *next = new QLineEdit(&host);
        new QVBoxLayout(&host);
        host.layout()->addWidget(field), host.layout()->addWidget(next);
        field->setDisplayFormat(
            QLocale().dateFormat(QLocale::ShortFormat).replace("yy", "yyyy").replace("yyyyyyyy", "yyyy"));
        field->setDateTime(QDateTime(QDate(2024, 12, 4), QTime(9, 30)));
        enableTypedDates(field);
        host.show();
        QApplication::setActiveWindow(&host);
        field->setFocus();
        auto *inner = field->findChild<QLineEdit *>(QString(), Qt::FindDirectChildrenOnly);
        cursor < 0 ? inner->selectAll() : inner->setCursorPosition(cursor);
        told.clear();
        QFETCH(QString, typed);
        QTest::keyClicks(field, typed);
        QFETCH(int, end);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(end));
        QFETCH(QDate, date);
        QCOMPARE(field->dateTime(), QDateTime(date.isValid() ? date : QDate(2024, 12, 4), QTime(9, 30)));
        QCOMPARE(field->property(refusedDateProperty).toBool(), !date.isValid());
        QCOMPARE(told, date.isValid() ? QStringList{} : QStringList{"beep"});
        QVERIFY(end != Qt::Key_Tab || QApplication::focusWidget() == next); // on to the next field
    }
    // Guards against styles lost on the way to the file or back, and an unknown unit shown as no unit.
    void taskStylesAndUnits()
    {
        Rig r(2);
        auto *desc = static_cast<QTextEdit *>(r.w("taskDesc"));
        r.fill("taskName=Sweep|daysMonthsYearsOn=Months|recurTimeInterval=3");
        for (const QString style : {"bold", "italic", "underline"}) {
            r.press(style + "Btn");
            QTest::keyClicks(desc, style);
            r.press(style + "Btn");
        }
        r.press("addBtn");
        r.doubleClick("Sweep");
        QTextCursor at(desc->document());
        for (const int position : {2, 7, 15}) {
            at.setPosition(position);
            QCOMPARE(at.charFormat().fontWeight() > QFont::Normal, position == 2);
            QCOMPARE(at.charFormat().fontItalic(), position == 7);
            QCOMPARE(at.charFormat().fontUnderline(), position == 15);
        }
        r.doubleClick("Odd unit");
        r.fill("recurTimeInterval>2");
        QCOMPARE(static_cast<QComboBox *>(r.w("daysMonthsYearsOn"))->currentIndex(), 0);
    }
};
QTEST_MAIN(TestSheets)
#include "tst_sheets.moc"
