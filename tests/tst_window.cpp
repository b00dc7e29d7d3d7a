// The whole window for what crosses tabs, and the window agreeing with kov-cli
// on the same data folder.
#include <QtWidgets>

#include "due/duetab.h"
#include "log/costrules.h"
#include "log/logtab.h"
#include "testsupport.h"
#include "windowsupport.h"

using namespace kov;
using namespace kov::test;

namespace {

const QString lake = QStringLiteral("Lake House"), mainSt = QStringLiteral("Main Street");
const QString gutters = QStringLiteral("Clean gutters"), furnace = QStringLiteral("Service furnace");

Record job(const QString &property, const QString &task, const QDate &day, const QVariant &total)
{
    Record r{{PropertyNameKey, property}, {ServiceTaskNameKey, task}, {TotalCostKey, total}};
    r.insert(ServiceDateKey, QDateTime(day, QTime(12, 0)).toUTC());
    r.insert(ProviderNameKey, QStringLiteral("Bob's Gutters"));
    return r;
}

// The lists (the task list is the shipped one) and a log out of date order.
void seed(const QDate &today)
{
    QVERIFY(writeDataFileArray(
        {{{PropertyNameKey, mainSt}}, {{PropertyNameKey, lake}}, {{PropertyNameKey, "Hill Cabin"}}},
        PropertyFileForKOV));
    QVERIFY(writeDataFileArray({{{ProviderNameKey, QStringLiteral("Bob's Gutters")}}}, ProviderFileForKOV));
    QVERIFY(writeDataFileArray(
        {job(lake, gutters, today.addDays(-400), "50.00"), job(mainSt, gutters, today.addDays(-10), "100.00"),
         job(mainSt, gutters, today.addDays(-800), "7.10"), job(lake, furnace, today.addDays(-50), "25.50")},
        PropertyHistoryFileForKOV));
}

} // namespace

class Tstwindow : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    QList<AlertRecord> alerts;
private Q_SLOTS:
    void initTestCase() { setUpWindowTests(this, alerts); }
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        alerts.clear();
        beginWindowTest(*dir, QDateTime(QDate(2026, 6, 15), QTime(14, 30)));
        copyDataFolderURL();
    }
    void cleanup() { endWindowTest(); }
    void startUp_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("expected");
        const std::pair<QVariant, int> rows[] = {{QVariant(), 0}, {3, 3}, {4, 0}, {258, 2}, {"reports", 0}};
        for (const auto &[stored, expected] : rows)
            QTest::addRow("tab %s", qPrintable(stored.toString())) << stored << expected;
    }
    // Guards against no default tasks, odd records passed over or "fixed", and
    // the tab read from the wrong key, trusted when bad, or not kept on close.
    void startUp()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, expected);
        const QString key = QStringLiteral("Pane last used when window closed");
        if (stored.isValid())
            QSettings().setValue(key, stored);
        QVERIFY(writeDataFileArray({job(lake, gutters, QDate(2026, 5, 1), 12.5)}, PropertyHistoryFileForKOV));
        const QByteArray before = readAll(dataFilePath(PropertyHistoryFileForKOV));
        auto w = startWindow();
        QCOMPARE(readDataFile(dataFilePath(ServiceTaskFileForKOV), nullptr).size(),
                 copyResourceArray(ServiceTaskDefaultsFileName).size());
        QCOMPARE(alerts.size(), 1);
        QCOMPARE(alerts[0].title,
                 "Some records in \u201CPropertyHistoryFileForKOV\u201D hold values KOV cannot use");
        QVERIFY2(alerts[0].message.startsWith("record 1: \"TotalCostKey\" holds a number, not text"),
                 qPrintable(alerts[0].message));
        auto *tabs = child<QTabWidget>(w.get(), "theTabView");
        QCOMPARE(tabs->currentIndex(), expected);
        tabs->setCurrentIndex((expected + 2) % 4);
        QVERIFY(w->close());
        QCOMPARE(QSettings().value(key).toInt(), (expected + 2) % 4);
        QCOMPARE(readAll(dataFilePath(PropertyHistoryFileForKOV)), before);
    }
    // Guards against the log shown in file order, a count line that does not
    // follow the tab, and tabs 2 to 4 keeping their filters after an Add.
    void logAndAddAcrossTabs()
    {
        seed(QDate(2026, 6, 15));
        auto w = startWindow();
        QCOMPARE(w->logTab()->rows().first().value(col::propmaintdate).toDate(), QDate(2026, 6, 5));
        QCOMPARE(w->logTab()->rows().last().value(col::propmaintdate).toDate(), QDate(2024, 4, 6));
        auto *count = child<QLabel>(w.get(), "contentCount");
        auto *tabs = child<QTabWidget>(w.get(), "theTabView");
        QCOMPARE(count->text(), QStringLiteral("Display Count: 4"));
        tabs->setCurrentIndex(2);
        QCOMPARE(count->text(), QString());
        tabs->setCurrentIndex(1);
        QCOMPARE(count->text(), QStringLiteral("Display Count: %1").arg(w->dueTab()->rows().size()));
        QWidget *tab1 = w->logTab()->widget();
        chooseItem(child<QComboBox>(tab1, "propertyPopTab1"), QStringLiteral("Hill Cabin"));
        chooseItem(child<QComboBox>(tab1, "serTaskPopTab1"), furnace);
        child<QPushButton>(tab1, "addMaintBtn")->click();
        for (const char *name : {"propertyPopTab2", "propertyPopTab3", "propertyPopTab4"})
            QVERIFY2(popupItems(child<QComboBox>(w.get(), name)).contains("Hill Cabin"), name);
        tabs->setCurrentIndex(0);
        QCOMPARE(count->text(), QStringLiteral("Display Count: 5"));
    }
    void maintainItemList_data()
    {
        QTest::addColumn<QString>("names"); // the pop-up, the sheet, its name field, its Add
        for (const char *n :
             {"propertyPopTab1 thePropertySheet propertyNamePropertySheet addBtnPropertySheet",
              "providerPopTab1 theProviderSheet providerNameProviderSheet addBtnProviderSheet",
              "serTaskPopTab1 theTaskSheet taskNameTaskSheet addBtnTaskSheet"})
            QTest::newRow(n) << QString::fromLatin1(n);
    }
    // Guards against the wrong sheet opened, and a new entry missing from tab 1.
    void maintainItemList()
    {
        QFETCH(QString, names);
        const QList<QByteArray> n = names.toLatin1().split(' ');
        seed(QDate(2026, 6, 15));
        auto w = startWindow();
        auto *entry = child<QComboBox>(w->logTab()->widget(), n[0]);
        chooseItem(entry, QStringLiteral("Maintain Item List\u2026"));
        QTRY_VERIFY(child<QDialog>(w.get(), n[1])->isVisible());
        QTest::keyClicks(child<QLineEdit>(w.get(), n[2]), QStringLiteral("Zeta"));
        if (n[1] == "theTaskSheet") { // a task needs a description and an interval
            child<QTextEdit>(w.get(), "taskDescTaskSheet")->setPlainText("Every spring");
            child<QLineEdit>(w.get(), "recurTimeIntervalTaskSheet")->setText("365");
        }
        child<QPushButton>(w.get(), n[3])->click();
        QVERIFY(popupItems(entry).contains(QStringLiteral("Zeta")));
    }
    void agreesWithCli_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<bool>("filtered"); // Main Street and its gutters, or all
        for (int tab : {0, 1, 2})
            for (bool filtered : {false, true})
                QTest::addRow("tab %d%s", tab + 1, filtered ? ", filtered" : "") << tab << filtered;
    }
    // Guards against the window and kov-cli reading the same folder differently
    // (tab 2 shows the latest of each, as kov-cli due does by default).
    void agreesWithCli()
    {
        QFETCH(int, tab);
        QFETCH(bool, filtered);
        Clock::setFixed(QDateTime()); // kov-cli reads the real clock
        const QDate today = QDate::currentDate(), from = today.addYears(-3);
        seed(today);
        auto w = startWindow();
        const QString page = QStringLiteral("Tab%1").arg(tab + 1);
        auto pop = [&](const QString &name) { return child<QComboBox>(w.get(), name + page); };
        if (filtered)
            chooseItem(pop(tab ? "propertyPop" : "propertyPopForShow"), mainSt),
                chooseItem(pop(tab ? "serTaskPop" : "serviceTaskPopForShow"), gutters);
        QStringList args{"--data-dir", dataFolderPath(), "due", "--format", "json"};
        if (tab != 1) {
            child<QDateTimeEdit>(w.get(), "beginDate" + page)->setDateTime(QDateTime(from, QTime(0, 0)));
            child<QDateTimeEdit>(w.get(), "endDate" + page)
                ->setDateTime(QDateTime(today, QTime(23, 59, 59, 999)));
            args.replace(2, tab ? "costs" : "log");
            args << "--from" << from.toString(Qt::ISODate) << "--to" << today.toString(Qt::ISODate);
        }
        child<QPushButton>(w.get(), tab ? "showBtn" + page : "showMaintBtn")->click();
        const auto r =
            runCli(args + nameOptions(filtered ? mainSt : QString(), filtered ? gutters : QString()));
        QVERIFY2(r.status == 0, r.err.constData());
        const QJsonDocument json = QJsonDocument::fromJson(r.out);
        QStringList shown, fromCli, parts{"", "Parts", "Labor", "Tax"},
            keys{"total", "parts", "labor", "tax"};
        for (int i = 0; tab == 2 && i < 8; ++i) { // tab 3: the total and the monthly average of each cost
            const QString part = parts[i % 4], field = (i < 4 ? "total" : "avgMonthly") + part + "CostTab3";
            shown << QString::number(costValue(child<QLineEdit>(w.get(), field)->text()), 'f', 2);
            fromCli << QString::number(json[i < 4 ? "total" : "average"][keys[i % 4]].toDouble(), 'f', 2);
        }
        auto day = [](const QVariant &v) { return v.toDateTime().toLocalTime().toString("yyyy-MM-dd"); };
        for (const Record &x : tab == 2 ? RecordList() : tab ? w->dueTab()->rows() : w->logTab()->rows())
            shown << QStringList{x.value(tab ? col::property2 : col::property).toString(),
                                 x.value(tab ? col::task2 : col::task).toString(),
                                 day(x.value(tab ? col::nextdate : col::propmaintdate))}
                         .join(u'|');
        for (const QJsonValue &v : json.array()) // the log's day, the due list's next date
            fromCli << QStringList{v["property"].toString(), v["task"].toString(),
                                   v[tab ? "next" : "date"].toString().left(10)}
                           .join(u'|');
        QVERIFY(!shown.isEmpty());
        QCOMPARE(shown, fromCli);
    }
};

QTEST_MAIN(Tstwindow)
#include "tst_window.moc"
