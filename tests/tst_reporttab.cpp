// Reports end to end: the assembly rules without widgets; tab 4's checkboxes
// and Print, and tab 1's Print, for real on the offscreen platform; kov-cli
// report on a log another program wrote. Documents are read back with QtPdf.
#include <QAbstractButton>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QHeaderView>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMainWindow>
#include <QMessageBox>
#include <QPdfDocument>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "app/alerts.h"
#include "app/kovappdelegate.h"
#include "costs/costcalc.h"
#include "log/rowtablemodel.h"
#include "reports/reportassembly.h"
#include "storage/clock.h"
#include "storage/datafiles.h"
#include "storage/dates.h"
#include "ui_mainwindow.h"

#include "testsupport.h"
#include "windowsupport.h"

using namespace kov;

namespace {

const QString noDataTitle = QStringLiteral(
    "For one or more reports, no qualifying property maintenance found based on selection criteria");
const QString dateTitle = QStringLiteral("Date Input Error");
const QString noReportsTitle = QStringLiteral("No Reports Selected");
const QString maintenanceTitle = QStringLiteral("Property Maintenance Report");
const QList<int> reportTags{1, 2, 3, 4, 5, 6, 10};

using kov::test::local;

Record job(const QString &property, const QString &provider, const QString &task, const QDateTime &day,
           const QString &total)
{
    return {{PropertyNameKey, property}, {ProviderNameKey, provider},     {ServiceTaskNameKey, task},
            {ServiceDateKey, day.toUTC()}, {TotalCostKey, total},         {PartsCostKey, total},
            {LaborCostKey, QStringLiteral(".00")}, {TaxCostKey, QStringLiteral(".00")}};
}

const QString alder = QStringLiteral("Alder Cottage"), birch = QStringLiteral("Birch Lodge"),
              cedar = QStringLiteral("Cedar Farm");
const QString gutters = QStringLiteral("Clean gutters"), fence = QStringLiteral("Paint fence");
const QString bob = QStringLiteral("Bob's Gutters"), ace = QStringLiteral("Ace Painters");

// In file order: Birch, Alder, Cedar, so no order is the file's by chance.
RecordList sampleLog()
{
    return {job(birch, bob, gutters, local(2026, 2, 10), QStringLiteral("100.00")),
            job(alder, ace, fence, local(2026, 1, 20), QStringLiteral("150.00")),
            job(cedar, bob, gutters, local(2026, 3, 5), QStringLiteral("50.00"))};
}

using Cli = kov::test::CliRun;

struct Pdf {
    std::unique_ptr<QPdfDocument> doc = std::make_unique<QPdfDocument>();
    bool ok = false;
    int pages() const { return doc->pageCount(); }
    QString text(int page = 0) const { return doc->getAllText(page).text(); }
    QString all() const
    {
        QString t;
        for (int p = 0; p < pages(); ++p)
            t += text(p);
        return t;
    }
};

Pdf readPdf(const QString &path)
{
    Pdf pdf;
    pdf.ok = pdf.doc->load(path) == QPdfDocument::Error::None;
    return pdf;
}

// The positions of the names in the text, which must all be there.
QList<qsizetype> positions(const QString &text, const QStringList &names)
{
    QList<qsizetype> at;
    for (const QString &name : names)
        at.append(text.indexOf(name));
    return at;
}

bool ascending(const QList<qsizetype> &at)
{
    for (qsizetype i = 0; i < at.size(); ++i)
        if (at[i] < 0 || (i > 0 && at[i] <= at[i - 1]))
            return false;
    return true;
}

} // namespace

class TestReportTab : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    // Rules without widgets.
    void sortLevels_data();
    void sortLevels();
    void report2Figures_data();
    void report2Figures();
    void listReportsReadTheirFile();

    // The window.
    void checkboxCoupling_data();
    void checkboxCoupling();
    void printWithoutBoxes();
    void printAllInReportOrder();
    void printTickedInOrder();
    void reversedDatesStillPrintLists();
    void alertsWaitTheirTurn();
    void reportWithoutRowsSkipped();
    void emptyTableNoDocument();
    void tableAsShown();
    void report2OverTheTabRange();

    // kov-cli.
    void cliAllSix();
    void cliNoDataOthersWritten();
    void cliRefusals_data();
    void cliRefusals();
    void cliWithoutDisplay();

private:
    std::unique_ptr<KOVAppDelegate> start();
    void choose(KOVAppDelegate *d, const QString &property, const QDateTime &begin, const QDateTime &end);
    QAbstractButton *box(KOVAppDelegate *d, int tag);
    void tick(KOVAppDelegate *d, const QList<int> &tags);
    QStringList alertTitles() const;
    QStringList openedTitles() const;
    Cli cli(const QStringList &args, const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment());
    void useLogFromPython();
    QTemporaryDir *dir = nullptr;
    QList<AlertRecord> alerts;
    QStringList opened; // local paths, in the order they were opened
};

void TestReportTab::initTestCase()
{
    kov::test::setUpWindowTests(this, alerts);
    // As in a desktop session, whose runtime folder exists.
    QDir().mkpath(qEnvironmentVariable("XDG_RUNTIME_DIR"));
}

void TestReportTab::init()
{
    dir = new QTemporaryDir;
    setDataFolderOverride(dir->filePath(QStringLiteral("Tolvanderwerks")));
    QDir(reportsFolder()).removeRecursively();
    QSettings().clear();
    alerts.clear();
    opened.clear();
    AlertCenter::instance()->showSheets = false;
    AlertCenter::instance()->urlOpener = [this](const QUrl &url) {
        opened.append(url.toLocalFile());
        return true;
    };
    Clock::setFixed(local(2026, 6, 15, 14, 30));
    copyDataFolderURL();
    QVERIFY(writeDataFileArray({{{PropertyNameKey, cedar}, {PropertyAddressKey, QStringLiteral("3 Oak Road")}},
                                {{PropertyNameKey, alder}, {PropertyAddressKey, QStringLiteral("1 Elm Street")}},
                                {{PropertyNameKey, birch}, {PropertyAddressKey, QStringLiteral("2 Ash Lane")}}},
                               PropertyFileForKOV));
    QVERIFY(writeDataFileArray({{{ProviderNameKey, bob}}, {{ProviderNameKey, ace}}}, ProviderFileForKOV));
    QVERIFY(writeDataFileArray({{{ServiceTaskNameKey, gutters}}, {{ServiceTaskNameKey, fence}}},
                               ServiceTaskFileForKOV));
    QVERIFY(writeDataFileArray(sampleLog(), PropertyHistoryFileForKOV));
}

void TestReportTab::cleanup()
{
    kov::test::endWindowTest();
    delete dir;
}

std::unique_ptr<KOVAppDelegate> TestReportTab::start()
{
    auto d = kov::test::startWindow(
        [](KOVAppDelegate *w) { w->ui->theTabView->setCurrentWidget(w->ui->tabReports); });
    alerts.clear();
    return d;
}

void TestReportTab::choose(KOVAppDelegate *d, const QString &property, const QDateTime &begin,
                           const QDateTime &end)
{
    // The filters as the pane fills them: the logged names, then "All".
    d->loadThisPopupButton(d->ui->propertyPopTab4, {alder, birch, cedar, QStringLiteral("Nowhere")}, false,
                           true);
    d->loadThisPopupButton(d->ui->serTaskPopTab4, {gutters, fence}, false, true);
    QComboBox *p = d->ui->propertyPopTab4;
    p->setCurrentIndex(property.isEmpty() ? p->count() - 1 : p->findText(property));
    QVERIFY(p->currentIndex() >= 0);
    d->ui->serTaskPopTab4->setCurrentIndex(d->ui->serTaskPopTab4->count() - 1);
    d->ui->beginDateTab4->setDateTime(begin);
    d->ui->endDateTab4->setDateTime(end);
}

QAbstractButton *TestReportTab::box(KOVAppDelegate *d, int tag)
{
    for (QAbstractButton *b : d->ui->reportsTab4->findChildren<QAbstractButton *>())
        if (b->property("tag").toInt() == tag)
            return b;
    return nullptr;
}

void TestReportTab::tick(KOVAppDelegate *d, const QList<int> &tags)
{
    for (int tag : tags) {
        QAbstractButton *b = box(d, tag);
        QVERIFY(b);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    }
}

QStringList TestReportTab::alertTitles() const
{
    QStringList titles;
    for (const AlertRecord &r : alerts)
        titles.append(r.title);
    return titles;
}

// The title of each opened document, from its first page.
QStringList TestReportTab::openedTitles() const
{
    static const QStringList titles{maintenanceTitle, QStringLiteral("Property List Report"),
                                    QStringLiteral("Provider List Report"), QStringLiteral("Task List Report"),
                                    QStringLiteral("Maintenance Table Contents")};
    QStringList found;
    for (const QString &path : opened) {
        const Pdf pdf = readPdf(path);
        QString title = QStringLiteral("?");
        for (const QString &t : titles)
            if (pdf.ok && pdf.text().contains(t))
                title = t;
        found.append(title);
    }
    return found;
}

Cli TestReportTab::cli(const QStringList &args, const QProcessEnvironment &env)
{
    return kov::test::runCli(
        QStringList{QStringLiteral("--data-dir"), dir->filePath(QStringLiteral("Tolvanderwerks"))} + args,
        env);
}

void TestReportTab::useLogFromPython()
{
    QFile::remove(dataFilePath(PropertyHistoryFileForKOV));
    QVERIFY(QFile::copy(QStringLiteral(KOV_TEST_DATA "/log-python.plist"),
                        dataFilePath(PropertyHistoryFileForKOV)));
    QFile::setPermissions(dataFilePath(PropertyHistoryFileForKOV),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// ---------------------------------------------------------------------------
// Rules without widgets

void TestReportTab::sortLevels_data()
{
    QTest::addColumn<unsigned>("which");
    QTest::addColumn<RecordList>("rows");
    QTest::addColumn<QStringList>("order"); // the "id" of each row, sorted
    auto m = [](const char *id, const char *property, const char *provider, const char *task, int day) {
        return Record{{QStringLiteral("id"), QString::fromLatin1(id)},
                      {PropertyNameKey, QString::fromUtf8(property)},
                      {ProviderNameKey, QString::fromUtf8(provider)},
                      {ServiceTaskNameKey, QString::fromUtf8(task)},
                      {ServiceDateKey, local(2026, 3, day).toUTC()}};
    };
    QTest::newRow("1: property, task, newer visit first")
        << 1u
        << RecordList{m("a", "Unit 10", "P", "Roof", 1), m("b", "Unit 9", "P", "Roof", 1),
                      m("c", "Unit 9", "P", "Gutters", 2), m("d", "Unit 9", "P", "Roof", 20),
                      m("e", "unit 9", "P", "Attic", 5)}
        << QStringList{"e", "c", "d", "b", "a"};
    QTest::newRow("2: newest first, then property, then task")
        << 2u
        << RecordList{m("a", "B", "P", "X", 1), m("b", "A", "P", "Y", 1), m("c", "A", "P", "X", 1),
                      m("d", "Z", "P", "X", 9)}
        << QStringList{"d", "c", "b", "a"};
    QTest::newRow("3: provider, property, newer first")
        << 3u
        << RecordList{m("a", "B", "Zed", "X", 1), m("b", "B", "acme", "X", 1), m("c", "A", "acme", "X", 1),
                      m("d", "B", "acme", "X", 3)}
        << QStringList{"c", "d", "b", "a"};
    auto p = [](const char *id, const char *name, const char *address, const char *city) {
        return Record{{QStringLiteral("id"), QString::fromLatin1(id)},
                      {PropertyNameKey, QString::fromUtf8(name)},
                      {PropertyAddressKey, QString::fromUtf8(address)},
                      {PropertyCityKey, QString::fromUtf8(city)}};
    };
    QTest::newRow("4: name, address, city")
        << 4u
        << RecordList{p("a", "Home", "2 Elm", "Bath"), p("b", "Home", "10 Elm", "Ayr"),
                      p("c", "Home", "2 Elm", "Ayr"), p("d", "Cabin", "9 Elm", "Zug")}
        << QStringList{"d", "c", "a", "b"};
    auto v = [](const char *id, const char *name, const char *address) {
        Record r{{QStringLiteral("id"), QString::fromLatin1(id)}, {ProviderNameKey, QString::fromUtf8(name)}};
        if (*address)
            r.insert(ProviderAddressKey, QString::fromUtf8(address));
        return r;
    };
    QTest::newRow("5: name, address; no address first")
        << 5u << RecordList{v("a", "Bob", "Main"), v("b", "Ace", "x"), v("c", "Bob", ""), v("d", "Bob", "Alt")}
        << QStringList{"b", "c", "d", "a"};
    auto t = [](const char *id, const char *name) {
        return Record{{QStringLiteral("id"), QString::fromLatin1(id)},
                      {ServiceTaskNameKey, QString::fromUtf8(name)}};
    };
    QTest::newRow("6: name only, equal names keep their order")
        << 6u << RecordList{t("a", "Roof"), t("b", "Attic"), t("c", "Roof"), t("d", "Éaves")}
        << QStringList{"b", "d", "a", "c"};
    QTest::newRow("99: as given") << 99u << RecordList{t("a", "Roof"), t("b", "Attic")}
                                  << QStringList{"a", "b"};
}

void TestReportTab::sortLevels()
{
    QFETCH(unsigned, which);
    QFETCH(RecordList, rows);
    sortReportRows(which, rows);
    QStringList order;
    for (const Record &r : rows)
        order.append(r.value(QStringLiteral("id")).toString());
    QTEST(order, "order");
}

void TestReportTab::report2Figures_data()
{
    QTest::addColumn<unsigned>("which");
    QTest::addColumn<double>("months");
    QTest::addColumn<double>("total");
    QTest::addColumn<double>("average");
    QTest::newRow("2: two mean months, 300.00") << 2u << 2.0 << 300.0 << 150.0;
    QTest::newRow("2: below a month the average is the total") << 2u << 0.5 << 300.0 << 300.0;
    QTest::newRow("1: no figures") << 1u << 2.0 << 0.0 << 0.0;
    QTest::newRow("3: no figures") << 3u << 2.0 << 0.0 << 0.0;
}

void TestReportTab::report2Figures()
{
    QFETCH(unsigned, which);
    QFETCH(double, months);
    const QDateTime begin = local(2026, 1, 1);
    const QDateTime end = begin.addMSecs(qint64(months * MeanMonthSeconds * 1000));
    const RecordList rows{job(alder, bob, gutters, local(2026, 1, 5), QStringLiteral("100.00")),
                          job(birch, bob, gutters, local(2026, 1, 6), QStringLiteral("200.00")),
                          job(cedar, bob, gutters, local(2026, 1, 7), QStringLiteral("no amount"))};
    const AssembledReport report = assembleReport(which, rows, begin, end);
    QCOMPARE(report.rows.size(), 3);
    QCOMPARE(report.whichReport, which);
    QTEST(report.total, "total");
    QFETCH(double, average);
    QVERIFY2(qAbs(report.average - average) < 1e-6, qPrintable(QString::number(report.average)));
}

void TestReportTab::listReportsReadTheirFile()
{
    // The filter never narrows a list report; it narrows the log.
    const LogFilter onlyAlder{alder, std::nullopt, local(2026, 1, 1), local(2026, 12, 31)};
    QCOMPARE(copyReportRows(ReportPropertyList, onlyAlder).size(), 3);
    QCOMPARE(copyReportRows(ReportProviderList, onlyAlder).size(), 2);
    QCOMPARE(copyReportRows(ReportTaskList, onlyAlder).size(), 2);
    const RecordList log = copyReportRows(ReportByDate, onlyAlder);
    QCOMPARE(log.size(), 1);
    QCOMPARE(log.first().value(PropertyNameKey).toString(), alder);
    QCOMPARE(reportDataFile(ReportByProvider), PropertyHistoryFileForKOV);
    QCOMPARE(reportDataFile(ReportTaskList), ServiceTaskFileForKOV);
}

// ---------------------------------------------------------------------------
// The window

void TestReportTab::checkboxCoupling_data()
{
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<QString>("states"); // tags 1 to 6 and 10, 1 for ticked
    QTest::newRow("ticking the sixth ticks All") << QList<int>{1, 2, 3, 4, 5, 6} << "1111111";
    QTest::newRow("five leave All off") << QList<int>{6, 5, 4, 3, 2} << "0111110";
    QTest::newRow("unticking one unticks All only") << QList<int>{1, 2, 3, 4, 5, 6, 3} << "1101110";
    QTest::newRow("All ticks every box") << QList<int>{10} << "1111111";
    QTest::newRow("All off unticks every box") << QList<int>{2, 10, 10} << "0000000";
    QTest::newRow("All, off one, on again") << QList<int>{10, 4, 4} << "1111111";
    QTest::newRow("one box on and off") << QList<int>{2, 2} << "0000000";
}

void TestReportTab::checkboxCoupling()
{
    QFETCH(QList<int>, clicks);
    QFETCH(QString, states);
    auto d = start();
    tick(d.get(), clicks);
    QString now;
    for (int tag : reportTags)
        now += box(d.get(), tag)->isChecked() ? QLatin1Char('1') : QLatin1Char('0');
    QCOMPARE(now, states);
    QCOMPARE(d->areAllCheckBoxesON(), states.left(6) == QLatin1String("111111"));
    QVERIFY(alerts.isEmpty());
}

void TestReportTab::printWithoutBoxes()
{
    auto d = start();
    QTest::mouseClick(d->ui->printBtnTab4, Qt::LeftButton);
    QCOMPARE(alertTitles(), QStringList{noReportsTitle});
    QCOMPARE(alerts.first().message, QStringLiteral("Use Checkboxes to select reports"));
    QVERIFY(opened.isEmpty());
    QVERIFY(QDir(reportsFolder()).entryList(QDir::Files).isEmpty());
}

void TestReportTab::printAllInReportOrder()
{
    auto d = start();
    choose(d.get(), QString(), local(2026, 1, 1), local(2026, 6, 15));
    tick(d.get(), {10, 2}); // "All" decides, whatever the boxes say
    QVERIFY(!box(d.get(), 2)->isChecked());
    box(d.get(), 10)->setChecked(true);
    QTest::mouseClick(d->ui->printBtnTab4, Qt::LeftButton);
    QVERIFY2(alerts.isEmpty(), qPrintable(alertTitles().join(u'|')));
    QCOMPARE(openedTitles(), (QStringList{maintenanceTitle, maintenanceTitle, maintenanceTitle,
                                          QStringLiteral("Property List Report"),
                                          QStringLiteral("Provider List Report"),
                                          QStringLiteral("Task List Report")}));
    // Each its own new document in KOV's folder.
    QCOMPARE(QSet<QString>(opened.cbegin(), opened.cend()).size(), 6);
    for (const QString &path : opened)
        QCOMPARE(QFileInfo(path).absolutePath(), QDir(reportsFolder()).absolutePath());

    // Reports 1 to 3 by their own sort levels; 2 with its figures.
    const QString byProperty = readPdf(opened[0]).text();
    QVERIFY(ascending(positions(byProperty, {alder, birch, cedar})));
    const QString byDate = readPdf(opened[1]).text();
    QVERIFY(ascending(positions(byDate, {cedar, birch, alder})));
    QVERIFY(byDate.contains(QStringLiteral("Total Service Costs")));
    QVERIFY(byDate.contains(QStringLiteral("$300.00")));
    const QString byProvider = readPdf(opened[2]).text();
    QVERIFY(ascending(positions(byProvider, {ace, bob})));
    QVERIFY(ascending(positions(readPdf(opened[3]).text(), {alder, birch, cedar})));
    QVERIFY(ascending(positions(readPdf(opened[4]).text(), {ace, bob})));
    QVERIFY(ascending(positions(readPdf(opened[5]).text(), {gutters, fence})));
}

void TestReportTab::printTickedInOrder()
{
    auto d = start();
    choose(d.get(), QString(), local(2026, 1, 1), local(2026, 6, 15));
    tick(d.get(), {5, 3});
    QTest::mouseClick(d->ui->printBtnTab4, Qt::LeftButton);
    QVERIFY(alerts.isEmpty());
    QCOMPARE(openedTitles(), (QStringList{maintenanceTitle, QStringLiteral("Provider List Report")}));
    QVERIFY(readPdf(opened[0]).text().contains(QStringLiteral("Provider")));
}

void TestReportTab::reversedDatesStillPrintLists()
{
    auto d = start();
    choose(d.get(), QString(), local(2026, 6, 2), local(2026, 6, 1));
    tick(d.get(), {10});
    QTest::mouseClick(d->ui->printBtnTab4, Qt::LeftButton);
    QCOMPARE(alertTitles(), (QStringList{dateTitle, dateTitle, dateTitle}));
    QCOMPARE(openedTitles(),
             (QStringList{QStringLiteral("Property List Report"), QStringLiteral("Provider List Report"),
                          QStringLiteral("Task List Report")}));
}

void TestReportTab::alertsWaitTheirTurn()
{
    // Reversed dates and no providers: three date alerts and a no-data
    // alert, yet one box at a time, each different one once.
    QVERIFY(writeDataFileArray({}, ProviderFileForKOV));
    AlertCenter::instance()->showSheets = true;
    auto d = start();
    choose(d.get(), QString(), local(2026, 6, 2), local(2026, 6, 1));
    tick(d.get(), {10});
    QTest::mouseClick(d->ui->printBtnTab4, Qt::LeftButton);
    QCOMPARE(alertTitles(), (QStringList{dateTitle, dateTitle, dateTitle, noDataTitle}));
    QCOMPARE(opened.size(), 2);

    auto visibleBoxes = [&d] {
        QList<QMessageBox *> visible;
        for (QMessageBox *b : d->window->findChildren<QMessageBox *>())
            if (b->isVisible())
                visible.append(b);
        return visible;
    };
    QStringList shown;
    for (QList<QMessageBox *> boxes = visibleBoxes(); !boxes.isEmpty() && shown.size() < 5;
         boxes = visibleBoxes()) {
        QCOMPARE(boxes.size(), 1);
        shown.append(boxes.first()->text());
        QTest::mouseClick(boxes.first()->buttons().first(), Qt::LeftButton);
        // The next one comes up once this one has gone.
        QCoreApplication::processEvents();
    }
    QCOMPARE(shown, (QStringList{dateTitle, noDataTitle}));
}

void TestReportTab::reportWithoutRowsSkipped()
{
    QVERIFY(writeDataFileArray({}, ProviderFileForKOV));
    auto d = start();
    tick(d.get(), {4, 5, 6});
    QTest::mouseClick(d->ui->printBtnTab4, Qt::LeftButton);
    QCOMPARE(alertTitles(), QStringList{noDataTitle});
    QCOMPARE(alerts.first().message, QStringLiteral("Adjusting the selection criteria might help."));
    QCOMPARE(openedTitles(),
             (QStringList{QStringLiteral("Property List Report"), QStringLiteral("Task List Report")}));
}

void TestReportTab::emptyTableNoDocument()
{
    // Show over a range before any job empties the table.
    auto d = start();
    d->ui->theTabView->setCurrentIndex(0);
    d->ui->beginDateTab1->setDateTime(local(2025, 1, 1));
    d->ui->endDateTab1->setDateTime(local(2025, 2, 1));
    d->ui->showMaintBtn->setEnabled(true);
    QTest::mouseClick(d->ui->showMaintBtn, Qt::LeftButton);
    QCOMPARE(d->modelTab1->rowCount(), 0);
    alerts.clear();
    QTest::mouseClick(d->ui->printBtnTab1, Qt::LeftButton);
    QCOMPARE(alertTitles(), QStringList{noDataTitle});
    QVERIFY(opened.isEmpty());
    QVERIFY(QDir(reportsFolder()).entryList(QDir::Files).isEmpty());
}

void TestReportTab::tableAsShown()
{
    auto d = start();
    d->ui->theTabView->setCurrentIndex(0);
    d->ui->beginDateTab1->setDateTime(local(2026, 1, 1));
    d->ui->endDateTab1->setDateTime(local(2026, 6, 15));
    d->ui->showMaintBtn->setEnabled(true);
    QTest::mouseClick(d->ui->showMaintBtn, Qt::LeftButton);
    QCOMPARE(d->modelTab1->rowCount(), 3);
    // Sorted on screen by property, Z to A; the file has Birch, Alder, Cedar.
    const int propertyColumn = d->modelTab1->columnOf(col::property);
    d->ui->tableViewTab1->sortByColumn(propertyColumn, Qt::DescendingOrder);
    QCOMPARE(d->modelTab1->index(0, propertyColumn).data().toString(), cedar);
    alerts.clear();

    QTest::mouseClick(d->ui->printBtnTab1, Qt::LeftButton);
    QVERIFY(alerts.isEmpty());
    QCOMPARE(openedTitles(), QStringList{QStringLiteral("Maintenance Table Contents")});
    const QString text = readPdf(opened.first()).text();
    QVERIFY(ascending(positions(text, {cedar, birch, alder})));
    // The headings are the column titles on screen.
    const QStringList titles = d->copyColumnTitlesOnTab1();
    QCOMPARE(titles.size(), 6);
    const QString table = text.mid(text.indexOf(QStringLiteral("Page: 1")));
    QVERIFY2(ascending(positions(table, titles)), qPrintable(titles.join(u'|') + QStringLiteral(" in ") + table));
    QVERIFY(text.contains(QStringLiteral("$150.00")));
    // Tab 4's boxes play no part.
    QVERIFY(!box(d.get(), 10)->isChecked());
}

void TestReportTab::report2OverTheTabRange()
{
    // Over two mean months: $250.00 in all, $125.00 a month; Cedar Farm's
    // March job lies outside the range.
    auto d = start();
    const QDateTime begin = local(2026, 1, 1);
    choose(d.get(), QString(), begin, begin.addSecs(qint64(2 * MeanMonthSeconds)));
    tick(d.get(), {2});
    QTest::mouseClick(d->ui->printBtnTab4, Qt::LeftButton);
    QVERIFY(alerts.isEmpty());
    QCOMPARE(opened.size(), 1);
    const Pdf pdf = readPdf(opened.first());
    QCOMPARE(pdf.pages(), 1);
    const QString text = pdf.text();
    QVERIFY(!text.contains(cedar));
    QVERIFY2(ascending(positions(text, {QStringLiteral("Total Service Costs"), QStringLiteral("$250.00"),
                                        QStringLiteral("Average Monthly Cost"), QStringLiteral("$125.00")})),
             qPrintable(text));
}

// ---------------------------------------------------------------------------
// kov-cli

void TestReportTab::cliAllSix()
{
    useLogFromPython();
    const QString out = dir->filePath(QStringLiteral("out"));
    const QStringList range{QStringLiteral("--from"), QStringLiteral("2026-01-01"), QStringLiteral("--to"),
                            QStringLiteral("2026-06-30")};
    const Cli r = cli(QStringList{QStringLiteral("report"), QStringLiteral("all"), QStringLiteral("--output"), out} +
                      range);
    QVERIFY2(r.status == 0, r.err.constData());
    QVERIFY2(r.err.isEmpty(), r.err.constData());
    const QStringList paths = QString::fromUtf8(r.out).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(paths.size(), 6);
    QCOMPARE(QDir(out).entryList(QDir::Files).size(), 6);
    const QStringList titles{maintenanceTitle,
                             maintenanceTitle,
                             maintenanceTitle,
                             QStringLiteral("Property List Report"),
                             QStringLiteral("Provider List Report"),
                             QStringLiteral("Task List Report")};
    std::vector<Pdf> pdfs;
    for (int i = 0; i < 6; ++i) {
        pdfs.push_back(readPdf(paths[i]));
        QVERIFY2(pdfs[i].ok, qPrintable(paths[i]));
        QCOMPARE(pdfs[i].pages(), 1);
        const QString text = pdfs[i].text();
        QVERIFY2(QFileInfo(paths[i]).fileName().startsWith(titles[i]), qPrintable(paths[i]));
        for (const QString &s : {QStringLiteral("Today's Date:"), titles[i], QStringLiteral("Page: 1")})
            QVERIFY2(text.contains(s), qPrintable(s + QStringLiteral(" in ") + text));
    }
    // Rows in the report's order: by property (Unit 9 before Unit 10 where
    // present), by date newest first, by provider.
    auto shortDate = [](int y, int m, int day) { return NSDateUtilities::shortStyleFromDate(local(y, m, day)); };
    const QString byDateText = pdfs[1].text();
    const QString byDate = byDateText.mid(byDateText.indexOf(QStringLiteral("Service Cost")));
    QVERIFY(ascending(positions(byDate, {shortDate(2026, 6, 30), shortDate(2026, 6, 15),
                                         shortDate(2026, 5, 20), shortDate(2026, 4, 1),
                                         shortDate(2026, 3, 10)})));
    QVERIFY(!byDate.contains(shortDate(2025, 12, 31)));
    QVERIFY(ascending(positions(pdfs[2].text(), {ace, bob})));

    // Report 2's figures are those of kov-cli costs over the same range.
    const Cli costs = cli(QStringList{QStringLiteral("costs"), QStringLiteral("--format"), QStringLiteral("json")} +
                          range);
    QCOMPARE(costs.status, 0);
    const QJsonObject json = QJsonDocument::fromJson(costs.out).object();
    const QString total =
        formatReportCurrency(json.value(QStringLiteral("total")).toObject().value(QStringLiteral("total")).toDouble());
    const QString average = formatReportCurrency(
        json.value(QStringLiteral("average")).toObject().value(QStringLiteral("total")).toDouble());
    QVERIFY(ascending(positions(byDate, {QStringLiteral("Total Service Costs"), total,
                                         QStringLiteral("Average Monthly Cost"), average})));
}

void TestReportTab::cliNoDataOthersWritten()
{
    const QString out = dir->filePath(QStringLiteral("out"));
    const Cli r = cli({QStringLiteral("report"), QStringLiteral("4"), QStringLiteral("1"), QStringLiteral("--property"),
                       QStringLiteral("Nowhere"), QStringLiteral("--output"), out});
    QCOMPARE(r.status, 1);
    QVERIFY(QString::fromUtf8(r.err).contains(QStringLiteral("no qualifying property maintenance found")));
    const QStringList paths = QString::fromUtf8(r.out).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(paths.size(), 1);
    QVERIFY(QFileInfo(paths.first()).fileName().startsWith(QStringLiteral("Property List Report")));
}

void TestReportTab::cliRefusals_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("written");
    QTest::addColumn<QString>("message");
    QTest::newRow("reversed dates: the list report still written")
        << QStringList{"2", "6", "--from", "2026-03-02", "--to", "2026-03-01", "--output", "OUT"} << 1 << 1
        << "Begin Date must be prior to or equal to End Date";
    QTest::newRow("no report named") << QStringList{"--output", "OUT"} << 2 << 0 << "which reports?";
    QTest::newRow("no such report") << QStringList{"7", "--output", "OUT"} << 2 << 0 << "\"7\" is no report";
    QTest::newRow("report 99 is the window's") << QStringList{"99", "--output", "OUT"} << 2 << 0 << "is no report";
    QTest::newRow("no output folder") << QStringList{"all"} << 2 << 0 << "--output DIR is needed";
    QTest::newRow("unknown option") << QStringList{"1", "--colour", "red", "--output", "OUT"} << 2 << 0
                                    << "Usage:";
    QTest::newRow("bad date") << QStringList{"1", "--from", "March", "--output", "OUT"} << 2 << 0
                              << "a date must be";
}

void TestReportTab::cliRefusals()
{
    QFETCH(QStringList, args);
    QFETCH(int, written);
    QFETCH(QString, message);
    const QString out = dir->filePath(QStringLiteral("out"));
    args.replaceInStrings(QStringLiteral("OUT"), out);
    const Cli r = cli(QStringList{QStringLiteral("report")} + args);
    QTEST(r.status, "status");
    QVERIFY2(QString::fromUtf8(r.err).contains(message), r.err.constData());
    QCOMPARE(QString::fromUtf8(r.out).split(u'\n', Qt::SkipEmptyParts).size(), written);
    QCOMPARE(QDir(out).entryList(QDir::Files).size(), written);
}

void TestReportTab::cliWithoutDisplay()
{
    // No platform named and no display: kov-cli picks the offscreen one.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QString::fromLatin1(name));
    const QString out = dir->filePath(QStringLiteral("out"));
    const Cli r = cli({QStringLiteral("report"), QStringLiteral("6"), QStringLiteral("--output"), out}, env);
    QVERIFY2(r.status == 0, r.err.constData());
    QCOMPARE(QDir(out).entryList(QDir::Files).size(), 1);
}

QTEST_MAIN(TestReportTab)
#include "tst_reporttab.moc"
