// Tabs 2 to 4, each controller alone with its own widgets, a store and the date
// popover on a throw-away data folder: the right rows in the right widgets, the alerts.
#include <QAbstractButton>
#include <QDateTimeEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPdfDocument>
#include <QTableView>

#include "app/datastore.h"
#include "app/datepopover.h"
#include "costs/costchart.h"
#include "costs/costtab.h"
#include "due/duerules.h"
#include "due/duetab.h"
#include "reports/pagelayout.h"
#include "reports/reportstab.h"

#include "testsupport.h"
#include "windowsupport.h"

using namespace kov;
using kov::test::child;
using kov::test::local;

const QString lake = "Lake House", street = "Main Street", bob = "Bob's Gutters", ace = "Ace Painters";
const QString gutters = "Clean gutters", fence = "Paint fence", water = "Water plants";
const QString noData =
    "For one or more reports, no qualifying property maintenance found based on selection criteria";

static Record job(const QString &property, const QString &provider, const QString &task, const QDateTime &day,
                  const QStringList &costs = {"", "", "", ""}) // parts, labor, tax, total
{
    return {{PropertyNameKey, property},   {ProviderNameKey, provider}, {ServiceTaskNameKey, task},
            {ServiceDateKey, day.toUTC()}, {PartsCostKey, costs[0]},    {LaborCostKey, costs[1]},
            {TaxCostKey, costs[2]},        {TotalCostKey, costs[3]}};
}

// Chooses an item as a person does (empty: "All"), so the task list follows.
static void pick(const QWidget *root, const char *name, const QString &item)
{
    auto *popup = child<QComboBox>(root, name);
    popup->setCurrentIndex(item.isEmpty() ? popup->count() - 1 : popup->findText(item));
    Q_EMIT popup->activated(popup->currentIndex());
}

static QAbstractButton *tagged(const QWidget *root, const char *group, int tag)
{
    for (QAbstractButton *b : child(root, group)->findChildren<QAbstractButton *>())
        if (b->property("tag").toInt() == tag)
            return b;
    qFatal("no button tagged %d", tag);
}

// Shows, and gives tab 2's table as "property|task|last|next", a red cell marked "!".
static QStringList showDue(const DueTab &tab)
{
    child<QAbstractButton>(tab.widget(), "showBtnTab2")->click();
    QStringList out;
    const QAbstractItemModel *m = child<QTableView>(tab.widget(), "tableViewTab2")->model();
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < m->columnCount(); ++c) {
            const bool red = m->index(r, c).data(Qt::ForegroundRole).value<QBrush>().color() == Qt::red;
            cells.append(m->index(r, c).data().toString() + (red ? "!" : ""));
        }
        out.append(cells.join(QLatin1Char('|')));
    }
    return out;
}

// Shows, and gives tab 3's eight figures, its count line and the records charted per month.
static QString showCosts(const CostTab &tab, const QString &prop, const QDateTime &b, const QDateTime &e)
{
    pick(tab.widget(), "propertyPopTab3", prop);
    child<QDateTimeEdit>(tab.widget(), "beginDateTab3")->setDateTime(b);
    child<QDateTimeEdit>(tab.widget(), "endDateTab3")->setDateTime(e);
    child<QAbstractButton>(tab.widget(), "showBtnTab3")->click();
    QStringList out;
    for (const char *f : {"total", "avgMonthly"})
        for (const char *p : {"", "Parts", "Labor", "Tax"})
            out.append(child<QLineEdit>(tab.widget(), qPrintable(f + QString(p) + "CostTab3"))->text());
    out.append(u'/' + child<QLabel>(tab.widget(), "howManyDBRecords")->text() + u'/');
    for (const MonthCosts &m : tab.chart()->months())
        out.append(QString::number(m.records));
    return out.join(u' ');
}

// A one-page document whose text holds the names in this order.
static bool onePageInOrder(const QString &path, const QStringList &names)
{
    QPdfDocument doc;
    const QString text = doc.load(path) == QPdfDocument::Error::None ? doc.getAllText(0).text() : QString();
    qsizetype at = -1;
    for (const QString &name : names)
        if ((at = text.indexOf(name, at + 1)) < 0)
            return false;
    return doc.pageCount() == 1;
}

class TestTabs : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<DataStore> store;
    QWidget host;
    DatePopover *pop = new DatePopover(&host);
    QList<AlertRecord> alerts;
    QStringList docs; // the documents opened, in order

    QStringList alertTitles() const
    {
        QStringList out;
        for (const AlertRecord &a : alerts)
            out.append(a.title.isEmpty() ? a.message : a.title);
        return out;
    }

private Q_SLOTS:
    void initTestCase() { kov::test::setUpWindowTests(this, alerts); }

    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        alerts.clear();
        docs.clear();
        kov::test::beginWindowTest(*dir, local(2026, 6, 15, 14, 30));
        QDir(reportsFolder()).removeRecursively();
        AlertCenter::instance()->urlOpener = [this](auto &u) { return docs.append(u.toLocalFile()), true; };
        copyDataFolderURL();
        auto per = [](const QString &t, qint64 u) {
            return Record{{ServiceTaskNameKey, t}, {ServiceTaskTimeUnits, u}, {ServiceTaskTimeInUnitsKey, 1}};
        };
        // Now is 2026-06-15 14:30. No order wanted is the file's by chance.
        const QList<QPair<QString, RecordList>> files{
            {PropertyFileForKOV, {{{PropertyNameKey, street}}, {{PropertyNameKey, lake}}}},
            {ProviderFileForKOV, {{{ProviderNameKey, bob}}, {{ProviderNameKey, ace}}}},
            {ServiceTaskFileForKOV, {per(gutters, UnitYears), per(fence, UnitNone), per(water, UnitDays)}},
            {PropertyHistoryFileForKOV,
             {job(street, bob, gutters, local(2025, 6, 20), {"60.00", "30.00", "10.00", "100.00"}),
              job(lake, bob, gutters, local(2024, 3, 1), {"30.00", "15.00", "5.00", "50.00"}),
              job(lake, ace, fence, local(2026, 1, 20), {"90.00", "45.00", "15.00", "150.00"}),
              job(lake, bob, gutters, local(2023, 3, 1), {"12.00", "6.00", "2.00", "20.00"}),
              job(street, bob, water, local(2026, 2, 10), {"600.00", "300.00", "100.00", "1000.00"})}}};
        for (const auto &[file, records] : files)
            QVERIFY(writeDataFileArray(records, file));
        store = std::make_unique<DataStore>();
    }

    void cleanup() { kov::test::endWindowTest(); }

    void dueModes_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<QString>("task");
        QTest::addColumn<int>("tag");
        QTest::addColumn<QStringList>("rows");
        const QString lg = "Lake House|Clean gutters|3/1/24|3/1/25!",
                      lf = "Lake House|Paint fence|1/20/26|Never",
                      mg = "Main Street|Clean gutters|6/20/25|6/20/26",
                      mw = "Main Street|Water plants|2/10/26|2/11/26!",
                      old = "Lake House|Clean gutters|3/1/23|2/29/24!";
        QTest::newRow("latest") << QString() << QString() << 1 << QStringList{lg, lf, mg, mw};
        QTest::newRow("every record") << QString() << QString() << 2 << QStringList{mg, lg, lf, old, mw};
        QTest::newRow("due now, never the fence") << QString() << QString() << 3 << QStringList{lg, mw};
        QTest::newRow("one pair, every record") << lake << gutters << 2 << QStringList{lg, old};
        QTest::newRow("one task, due now") << QString() << gutters << 3 << QStringList{lg};
    }

    // Guards against a mode, filter, row order or red date lost between buttons and table.
    void dueModes()
    {
        QFETCH(QString, property);
        QFETCH(QString, task);
        QFETCH(int, tag);
        QFETCH(QStringList, rows);
        DueTab tab(store.get());
        tab.setPane2();
        pick(tab.widget(), "propertyPopTab2", property);
        pick(tab.widget(), "serTaskPopTab2", task);
        tagged(tab.widget(), "radioBtnTab2", tag)->click();
        QCOMPARE(showDue(tab), rows);
        QVERIFY(alerts.isEmpty());
    }

    // Guards against filters stale after a write, and a silent Show on an empty log.
    void dueFollowsTheLog()
    {
        DueTab tab(store.get());
        tab.setPane2();
        auto *prop = child<QComboBox>(tab.widget(), "propertyPopTab2");
        auto *task = child<QComboBox>(tab.widget(), "serTaskPopTab2");
        QCOMPARE(kov::test::popupItems(prop), (QStringList{lake, street, "---", "All"}));
        pick(tab.widget(), "propertyPopTab2", street);
        QCOMPARE(kov::test::popupItems(task), (QStringList{gutters, water, "---", "All"}));
        QVERIFY(store->add(PropertyHistoryFileForKOV, job("Cabin", bob, "Sweep", local(2026, 5, 1))));
        QCOMPARE(kov::test::popupItems(prop), (QStringList{"Cabin", lake, street, "---", "All"}));
        QCOMPARE(prop->currentText(), QStringLiteral("All"));
        QCOMPARE(kov::test::popupItems(task), (QStringList{gutters, fence, "Sweep", water, "---", "All"}));
        QCOMPARE(task->currentText(), QStringLiteral("All"));
        QCOMPARE(showDue(tab).size(), 5);
        QVERIFY(store->write(PropertyHistoryFileForKOV, {}));
        QCOMPARE(showDue(tab).size(), 5);
        QCOMPARE(alertTitles(), QStringList{"There is no property maintenance history to show"});
    }

    void costFigures_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("property");
        QTest::addColumn<QString>("shown"); // totals, averages / count line / records per month charted
        QTest::newRow("one property, en_US") << "en_US" << lake
                                             << "$150.00 $90.00 $45.00 $15.00 $75.00 $45.00 $22.50 $7.50 "
                                                "/Costs based on 1 qualifying maintenance records/ 1 0 0";
        QTest::newRow("everything, de_DE") << "de_DE" << QString()
                                           << "\u20AC1.150,00 \u20AC690,00 \u20AC345,00 \u20AC115,00 "
                                              "\u20AC575,00 \u20AC345,00 \u20AC172,50 \u20AC57,50 "
                                              "/Costs based on 2 qualifying maintenance records/ 1 1 0";
    }

    // Guards against misplaced figures, the chart left behind, and silent or clearing refusals.
    void costFigures()
    {
        QFETCH(QString, locale);
        QFETCH(QString, property);
        QFETCH(QString, shown);
        kov::test::LocaleScope scope(locale);
        CostTab tab(store.get(), pop);
        tab.setPane3();
        const QDateTime jan = local(2026, 1, 1);
        QCOMPARE(showCosts(tab, property, jan, jan.addSecs(qint64(2 * MeanMonthSeconds))), shown);
        showCosts(tab, QString(), local(2026, 6, 16), local(2026, 6, 15));
        QCOMPARE(showCosts(tab, street, local(2026, 3, 1), local(2026, 6, 15)), shown);
        QCOMPARE(alertTitles(), (QStringList{"Date Input Error", noData}));
    }

    void printTicked_data()
    {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QString>("states");        // tags 1 to 6 and 10, 1 for ticked
        QTest::addColumn<QStringList>("documents"); // each the file's first words, then its text in order
        const QString m = "Property Maintenance Report", m1 = m + ">Lake House>Main Street",
                      props = "Property List Report>Lake House>Main Street",
                      provs = "Provider List Report>Ace Painters>Bob's Gutters",
                      tasks = "Task List Report>Clean gutters>Paint fence>Water plants";
        QTest::newRow("All off clears every box") << QList<int>{10, 10} << "0000000" << QStringList{};
        QTest::newRow("two, in report order") << QList<int>{5, 3} << "0010100" << QStringList{m, provs};
        QTest::newRow("the sixth ticks All")
            << QList<int>{1, 2, 3, 4, 5, 6} << "1111111" << QStringList{m1, m, m, props, provs, tasks};
        QTest::newRow("clearing one clears All")
            << QList<int>{10, 3} << "1101110" << QStringList{m1, m, props, provs, tasks};
    }

    // Guards against boxes apart from "All", a report lost, doubled or misplaced, a silent Print.
    void printTicked()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(QString, states);
        QFETCH(QStringList, documents);
        ReportsTab tab(store.get(), pop);
        tab.setPane4();
        for (int tag : clicks)
            tagged(tab.widget(), "reportsTab4", tag)->click();
        QString now;
        for (int tag : {1, 2, 3, 4, 5, 6, 10})
            now += tagged(tab.widget(), "reportsTab4", tag)->isChecked() ? u'1' : u'0';
        QCOMPARE(now, states);
        QCOMPARE(tab.areAllCheckBoxesON(), states.startsWith(QLatin1String("111111")));
        child<QAbstractButton>(tab.widget(), "printBtnTab4")->click();
        QCOMPARE(alertTitles(),
                 QStringList{documents.isEmpty()     ? "No Reports Selected"
                             : documents.size() == 1 ? "KOV saved the report as a PDF document."
                                                     : "KOV saved the reports as PDF documents."});
        QCOMPARE(docs.size(), documents.size());
        QCOMPARE(QDir(reportsFolder()).entryList(QDir::Files).size(), documents.size());
        for (qsizetype i = 0; i < docs.size(); ++i) {
            const QStringList want = documents[i].split(u'>');
            QVERIFY2(QFileInfo(docs[i]).fileName().startsWith(want[0]), qPrintable(docs[i]));
            QVERIFY2(onePageInOrder(docs[i], want.mid(1)), qPrintable(docs[i]));
        }
    }

    // Guards against tab 1's Print sorting its rows again, losing titles, or printing nothing.
    void printTableAsGiven()
    {
        ReportsTab tab(store.get(), pop);
        const QStringList titles{"Where", "Who", "What", "Note", "When", "Cost"};
        const RecordList rows{{{col::property, street}, {col::cost, 1000}},
                              {{col::property, lake}, {col::cost, 150}},
                              {{col::property, "Cabin"}, {col::cost, 5}}};
        tab.printMaintenanceTable(rows, titles);
        QCOMPARE(docs.size(), 1);
        QVERIFY(QFileInfo(docs[0]).fileName().startsWith(QStringLiteral("Maintenance Table Contents")));
        QVERIFY(onePageInOrder(docs[0],
                               titles + QStringList{street, "$1,000.00", lake, "$150.00", "Cabin", "$5.00"}));
        tab.printMaintenanceTable({}, titles);
        QCOMPARE(alertTitles(), (QStringList{"KOV saved the report as a PDF document.", noData}));
        QCOMPARE(QDir(reportsFolder()).entryList(QDir::Files).size(), 1);
    }
};

QTEST_MAIN(TestTabs)
#include "tst_tabs.moc"
