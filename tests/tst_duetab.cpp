// Tab 2 and the pane switch for real on the offscreen platform: the
// selection areas follow the log, Show lists in each mode with its alerts,
// the next date shows red once it has come and "Never" for a task without
// recurrence; kov-cli due lists the same rows.
#include <QAbstractButton>
#include <QBrush>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMainWindow>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "app/alerts.h"
#include "app/kovappdelegate.h"
#include "due/duerules.h"
#include "log/rowtablemodel.h"
#include "storage/clock.h"
#include "storage/datafiles.h"
#include "ui_mainwindow.h"

#include "testsupport.h"
#include "windowsupport.h"

using namespace kov;

namespace {

const QString noHistory = QStringLiteral("There is no property maintenance history to show");

using kov::test::local;

Record job(const QString &property, const QString &task, const QDateTime &day)
{
    return {{PropertyNameKey, property},
            {ProviderNameKey, QStringLiteral("Bob's Gutters")},
            {ServiceTaskNameKey, task},
            {ServiceDateKey, day.toUTC()},
            {TotalCostKey, QStringLiteral("10.00")}};
}

Record taskEvery(const QString &name, qint64 count, qint64 unit)
{
    Record r{{ServiceTaskNameKey, name}, {ServiceTaskTimeUnits, unit}};
    if (unit != UnitNone)
        r.insert(ServiceTaskTimeInUnitsKey, count);
    return r;
}

const QString lake = QStringLiteral("Lake House"), main = QStringLiteral("Main Street");
const QString gutters = QStringLiteral("Clean gutters"), paint = QStringLiteral("Paint fence"),
              daily = QStringLiteral("Water plants"), gone = QStringLiteral("Old task");

RecordList taskList()
{
    return {taskEvery(gutters, 1, UnitYears), taskEvery(paint, 0, UnitNone), taskEvery(daily, 1, UnitDays)};
}

// Now is 2026-06-15 14:30 local.
RecordList sampleLog()
{
    return {job(main, gutters, local(2025, 6, 20)), // next 2026-06-20
            job(lake, gutters, local(2023, 3, 1)),  // older record of the pair
            job(lake, paint, local(2020, 5, 5)),    // never due
            job(lake, gutters, local(2024, 3, 1)),  // next 2025-03-01: overdue
            job(main, daily, local(2026, 6, 14)),   // next earlier today: due
            job(main, gone, local(2026, 1, 2))};    // task deleted: due since its date
}

using Cli = kov::test::CliRun;

} // namespace

class TestDueTab : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void paneSwitchOnEmptyLogDisablesEverything();
    void countLineOnEachPane();
    void addedRecordFillsTabs2To4();
    void latestIsCheckedAtStart();
    void showModes_data();
    void showModes();
    void redNextDate();
    void neverSortsLast();
    void emptyLogKeepsPreviousRows();
    void emptySelectionsAlertAndGoOn();
    void noMatchingRecordCountsZero();
    void badUnitAlertsOnceAndGoesOn();
    void cliAgreesWithWindow_data();
    void cliAgreesWithWindow();
    void cliRefusals_data();
    void cliRefusals();

private:
    std::unique_ptr<KOVAppDelegate> start(int pane = 1);
    void choose(KOVAppDelegate *d, const QString &property, const QString &task, int tag);
    void show(KOVAppDelegate *d);
    QStringList rowsShown(KOVAppDelegate *d);
    QList<AlertRecord> alertsTitled(const QString &titleOrMessage) const;
    Cli cli(const QStringList &args);
    QTemporaryDir *dir = nullptr;
    QList<AlertRecord> alerts;
};

void TestDueTab::initTestCase()
{
    kov::test::setUpWindowTests(this, alerts);
    // kov-cli would warn on standard error about a missing runtime folder.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty()) {
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
}

void TestDueTab::init()
{
    dir = new QTemporaryDir;
    alerts.clear();
    AlertCenter::instance()->modalAnswer = [](const AlertRecord &) { return AlertFirstButtonReturn; };
    kov::test::beginWindowTest(*dir, local(2026, 6, 15, 14, 30));
    copyDataFolderURL();
    QVERIFY(writeDataFileArray({{{PropertyNameKey, main}}, {{PropertyNameKey, lake}}}, PropertyFileForKOV));
    QVERIFY(writeDataFileArray({{{ProviderNameKey, QStringLiteral("Bob's Gutters")}}}, ProviderFileForKOV));
    QVERIFY(writeDataFileArray(taskList(), ServiceTaskFileForKOV));
    QVERIFY(writeDataFileArray(sampleLog(), PropertyHistoryFileForKOV));
}

void TestDueTab::cleanup()
{
    kov::test::endWindowTest();
    delete dir;
}

std::unique_ptr<KOVAppDelegate> TestDueTab::start(int pane)
{
    return kov::test::startWindow([pane](KOVAppDelegate *w) { w->ui->theTabView->setCurrentIndex(pane); });
}

void TestDueTab::choose(KOVAppDelegate *d, const QString &property, const QString &task, int tag)
{
    QComboBox *prop = d->ui->propertyPopTab2, *taskPop = d->ui->serTaskPopTab2;
    prop->setCurrentIndex(property.isEmpty() ? prop->count() - 1 : prop->findText(property));
    QVERIFY(prop->currentIndex() >= 0);
    d->propertyPopUpSelected(prop);
    taskPop->setCurrentIndex(task.isEmpty() ? taskPop->count() - 1 : taskPop->findText(task));
    QVERIFY(taskPop->currentIndex() >= 0);
    for (QAbstractButton *b : d->ui->radioBtnTab2->findChildren<QAbstractButton *>())
        if (b->property("tag").toInt() == tag)
            b->click();
    QCOMPARE(d->selectedTagTab2(), tag);
}

void TestDueTab::show(KOVAppDelegate *d)
{
    QVERIFY(d->ui->showBtnTab2->isEnabled());
    QTest::mouseClick(d->ui->showBtnTab2, Qt::LeftButton);
}

// "property|task|last|next" as the table shows them.
QStringList TestDueTab::rowsShown(KOVAppDelegate *d)
{
    QStringList out;
    const QAbstractItemModel *m = d->ui->tableViewTab2->model();
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < m->columnCount(); ++c)
            cells.append(m->index(r, c).data().toString());
        out.append(cells.join(QLatin1Char('|')));
    }
    return out;
}

QList<AlertRecord> TestDueTab::alertsTitled(const QString &text) const
{
    QList<AlertRecord> found;
    for (const AlertRecord &a : alerts)
        if (a.title == text || a.message == text)
            found.append(a);
    return found;
}

Cli TestDueTab::cli(const QStringList &args)
{
    return kov::test::runCli(
        QStringList{QStringLiteral("--data-dir"), dir->filePath(QStringLiteral("Tolvanderwerks"))} + args);
}

// ---------------------------------------------------------------------------
// Panes

void TestDueTab::paneSwitchOnEmptyLogDisablesEverything()
{
    QVERIFY(writeDataFileArray({}, PropertyHistoryFileForKOV));
    auto d = start(0);
    const Ui::MainWindow *ui = d->ui;
    const QList<QList<QWidget *>> areas = {
        {ui->beginDateTab1, ui->endDateTab1, ui->propertyPopForShowTab1, ui->serviceTaskPopForShowTab1,
         ui->showMaintBtn},
        {ui->propertyPopTab2, ui->serTaskPopTab2, ui->showBtnTab2},
        {ui->beginDateTab3, ui->endDateTab3, ui->propertyPopTab3, ui->serTaskPopTab3, ui->showBtnTab3},
        {ui->beginDateTab4, ui->endDateTab4, ui->propertyPopTab4, ui->serTaskPopTab4, ui->printBtnTab4}};
    const QStringList counts = {QStringLiteral("Display Count: 0"), QStringLiteral("Display Count: 0"),
                                QString(), QString()};
    for (int pane : {1, 2, 3, 0, 2, 1}) {
        // Enabled by hand: the switch itself must test the log afresh.
        for (QWidget *w : areas[pane])
            w->setEnabled(true);
        ui->theTabView->setCurrentIndex(pane);
        for (QWidget *w : areas[pane])
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        QCOMPARE(ui->contentCount->text(), counts[pane]);
    }
    // Show reached anyway (a reminder): the alert, nothing listed.
    d->respondToShowBtnPane2();
    QCOMPARE(alertsTitled(noHistory).size(), 1);
    QCOMPARE(alertsTitled(noHistory)[0].title, QString());
    QCOMPARE(d->maintDueArrayForTV.size(), 0);
}

void TestDueTab::countLineOnEachPane()
{
    auto d = start(0);
    const Ui::MainWindow *ui = d->ui;
    QCOMPARE(ui->contentCount->text(), QStringLiteral("Display Count: 6"));
    ui->theTabView->setCurrentIndex(1);
    QCOMPARE(ui->contentCount->text(), QStringLiteral("Display Count: 0"));
    QVERIFY(ui->showBtnTab2->isEnabled() && ui->propertyPopTab2->isEnabled() &&
            ui->serTaskPopTab2->isEnabled());
    choose(d.get(), QString(), QString(), 1);
    show(d.get());
    QCOMPARE(ui->contentCount->text(), QStringLiteral("Display Count: 5"));
    ui->theTabView->setCurrentIndex(2);
    QCOMPARE(ui->contentCount->text(), QString());
    QVERIFY(ui->showBtnTab3->isEnabled());
    ui->theTabView->setCurrentIndex(3);
    QCOMPARE(ui->contentCount->text(), QString());
    QVERIFY(ui->printBtnTab4->isEnabled());
    ui->theTabView->setCurrentIndex(1);
    QCOMPARE(ui->contentCount->text(), QStringLiteral("Display Count: 5"));
    ui->theTabView->setCurrentIndex(0);
    QCOMPARE(ui->contentCount->text(), QStringLiteral("Display Count: 6"));
    d->setPane1();
    QCOMPARE(ui->contentCount->text(), QStringLiteral("Display Count: 6"));
}

void TestDueTab::addedRecordFillsTabs2To4()
{
    QVERIFY(writeDataFileArray({}, PropertyHistoryFileForKOV));
    auto d = start(0);
    const Ui::MainWindow *ui = d->ui;
    const QList<QPair<QComboBox *, QComboBox *>> filters = {{ui->propertyPopTab2, ui->serTaskPopTab2},
                                                            {ui->propertyPopTab3, ui->serTaskPopTab3},
                                                            {ui->propertyPopTab4, ui->serTaskPopTab4}};
    for (const auto &[prop, task] : filters) {
        QCOMPARE(prop->findText(main), -1);
        QCOMPARE(prop->currentText(), QStringLiteral("All"));
    }
    ui->propertyPopTab1->setCurrentText(main);
    ui->serTaskPopTab1->setCurrentText(paint);
    QTest::mouseClick(ui->addMaintBtn, Qt::LeftButton);
    QCOMPARE(copyDataFileArray(PropertyHistoryFileForKOV).size(), 1);
    for (const auto &[prop, task] : filters) {
        QCOMPARE(prop->itemText(0), main);
        QCOMPARE(prop->findText(lake), -1); // nothing recorded for it yet
        QCOMPARE(prop->currentIndex(), prop->count() - 1);
        QCOMPARE(prop->currentText(), QStringLiteral("All"));
        QCOMPARE(task->itemText(0), paint);
        QCOMPARE(task->currentText(), QStringLiteral("All"));
    }
    ui->theTabView->setCurrentIndex(1);
    QVERIFY(ui->showBtnTab2->isEnabled());
    show(d.get());
    QCOMPARE(d->maintDueArrayForTV.size(), 1);
    QVERIFY(rowsShown(d.get())[0].endsWith(QLatin1String("|Never")));
}

void TestDueTab::latestIsCheckedAtStart()
{
    auto d = start();
    QCOMPARE(d->selectedTagTab2(), 1);
}

void TestDueTab::showModes_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("task");
    QTest::addColumn<int>("tag");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("All/All latest") << QString() << QString() << 1
                                    << QStringList{"Lake House|Clean gutters|3/1/24|3/1/25",
                                                   "Lake House|Paint fence|5/5/20|Never",
                                                   "Main Street|Clean gutters|6/20/25|6/20/26",
                                                   "Main Street|Water plants|6/14/26|6/15/26",
                                                   "Main Street|Old task|1/2/26|1/2/26"};
    QTest::newRow("All/All every record")
        << QString() << QString() << 2
        << QStringList{"Main Street|Clean gutters|6/20/25|6/20/26", "Lake House|Clean gutters|3/1/23|2/29/24",
                       "Lake House|Paint fence|5/5/20|Never",       "Lake House|Clean gutters|3/1/24|3/1/25",
                       "Main Street|Water plants|6/14/26|6/15/26",  "Main Street|Old task|1/2/26|1/2/26"};
    QTest::newRow("All/All due now") << QString() << QString() << 3
                                     << QStringList{"Lake House|Clean gutters|3/1/24|3/1/25",
                                                    "Main Street|Water plants|6/14/26|6/15/26",
                                                    "Main Street|Old task|1/2/26|1/2/26"};
    QTest::newRow("Lake House, gutters, every record")
        << lake << gutters << 2
        << QStringList{"Lake House|Clean gutters|3/1/23|2/29/24", "Lake House|Clean gutters|3/1/24|3/1/25"};
    QTest::newRow("Lake House latest")
        << lake << QString() << 1
        << QStringList{"Lake House|Clean gutters|3/1/24|3/1/25", "Lake House|Paint fence|5/5/20|Never"};
    QTest::newRow("Main Street, gutters, due now") << main << gutters << 3 << QStringList{};
}

void TestDueTab::showModes()
{
    QFETCH(QString, property);
    QFETCH(QString, task);
    QFETCH(int, tag);
    QFETCH(QStringList, rows);
    auto d = start();
    choose(d.get(), property, task, tag);
    show(d.get());
    QCOMPARE(rowsShown(d.get()), rows);
    QCOMPARE(d->ui->contentCount->text(), QStringLiteral("Display Count: %1").arg(rows.size()));
    QVERIFY(alerts.isEmpty());
}

void TestDueTab::redNextDate()
{
    auto d = start();
    choose(d.get(), QString(), QString(), 2);
    show(d.get());
    const QAbstractItemModel *m = d->ui->tableViewTab2->model();
    const int next = d->modelTab2->columnOf(col::nextdate);
    QStringList red;
    for (int r = 0; r < m->rowCount(); ++r) {
        const QVariant fg = m->index(r, next).data(Qt::ForegroundRole);
        if (fg.isValid()) {
            QCOMPARE(fg.value<QBrush>().color(), QColor(Qt::red));
            red.append(m->index(r, 0).data().toString() + QLatin1Char('|') +
                       m->index(r, 1).data().toString() + QLatin1Char('|') +
                       m->index(r, next).data().toString());
        }
        // Only the next date is coloured.
        QVERIFY(!m->index(r, d->modelTab2->columnOf(col::lastdate)).data(Qt::ForegroundRole).isValid());
    }
    // Today's next date (00:00, now 14:30) is red; the deleted task's too;
    // never the one without recurrence.
    QCOMPARE(red, (QStringList{"Lake House|Clean gutters|2/29/24", "Lake House|Clean gutters|3/1/25",
                               "Main Street|Water plants|6/15/26", "Main Street|Old task|1/2/26"}));
    // As time passes the red follows "now".
    Clock::setFixed(local(2026, 6, 20, 0, 0));
    QVERIFY(m->index(0, next).data(Qt::ForegroundRole).isValid());
    Clock::setFixed(QDateTime(QDate(250000000, 1, 1), QTime(0, 0), Qt::UTC));
    QVERIFY(!m->index(2, next).data(Qt::ForegroundRole).isValid());
    QCOMPARE(m->index(2, next).data().toString(), QStringLiteral("Never"));
}

void TestDueTab::neverSortsLast()
{
    auto d = start();
    choose(d.get(), QString(), QString(), 2);
    show(d.get());
    const int next = d->modelTab2->columnOf(col::nextdate);
    d->ui->tableViewTab2->sortByColumn(next, Qt::AscendingOrder);
    QStringList shown = rowsShown(d.get());
    QVERIFY2(shown.last().endsWith(QLatin1String("|Never")), qPrintable(shown.join(' ')));
    QVERIFY(shown.first().endsWith(QLatin1String("|1/2/26")) ||
            shown.first().endsWith(QLatin1String("|2/29/24")));
    QCOMPARE(shown.first(), QStringLiteral("Lake House|Clean gutters|3/1/23|2/29/24"));
    d->ui->tableViewTab2->sortByColumn(next, Qt::DescendingOrder);
    QVERIFY(rowsShown(d.get()).first().endsWith(QLatin1String("|Never")));
}

void TestDueTab::emptyLogKeepsPreviousRows()
{
    auto d = start();
    choose(d.get(), QString(), QString(), 1);
    show(d.get());
    const QStringList before = rowsShown(d.get());
    QCOMPARE(before.size(), 5);
    QVERIFY(QFile::remove(dataFilePath(PropertyHistoryFileForKOV)));
    show(d.get());
    QCOMPARE(alertsTitled(noHistory).size(), 1);
    QCOMPARE(rowsShown(d.get()), before);
    QCOMPARE(d->ui->contentCount->text(), QStringLiteral("Display Count: 5"));
}

void TestDueTab::emptySelectionsAlertAndGoOn()
{
    auto d = start();
    d->ui->propertyPopTab2->clear();
    d->ui->serTaskPopTab2->clear();
    d->respondToShowBtnPane2();
    const QList<AlertRecord> p =
        alertsTitled(QStringLiteral("No Property Selected. Please select a property. "));
    const QList<AlertRecord> t = alertsTitled(QStringLiteral("No Task Selected. Please choose a task"));
    QCOMPARE(p.size(), 1);
    QCOMPARE(t.size(), 1);
    QCOMPARE(p[0].title, QString());
    QCOMPARE(p[0].window.data(), d->window);
    QCOMPARE(alerts.size(), 2);
    // Computed from the pop-ups as they stand: nothing chosen, nothing listed.
    QCOMPARE(d->maintDueArrayForTV.size(), 0);
    QCOMPARE(d->ui->contentCount->text(), QStringLiteral("Display Count: 0"));
}

void TestDueTab::noMatchingRecordCountsZero()
{
    auto d = start();
    choose(d.get(), QString(), QString(), 1);
    show(d.get());
    // Lake House with a task only Main Street had.
    choose(d.get(), lake, QString(), 2);
    d->loadThisPopupButton(d->ui->serTaskPopTab2, {daily}, false, true);
    d->ui->serTaskPopTab2->setCurrentIndex(0);
    show(d.get());
    QCOMPARE(d->maintDueArrayForTV.size(), 0);
    QCOMPARE(d->ui->contentCount->text(), QStringLiteral("Display Count: 0"));
}

void TestDueTab::badUnitAlertsOnceAndGoesOn()
{
    QVERIFY(
        writeDataFileArray({taskEvery(gutters, 1, 9), taskEvery(daily, 1, -4), taskEvery(paint, 0, UnitNone)},
                           ServiceTaskFileForKOV));
    auto d = start();
    choose(d.get(), QString(), QString(), 2);
    for (int round = 1; round <= 2; ++round) {
        show(d.get());
        const QList<AlertRecord> bad = alertsTitled(QStringLiteral("Function ConvertToDays() used default."));
        QCOMPARE(bad.size(), round);
        QCOMPARE(bad.last().kind, AlertRecord::Modal);
        QCOMPARE(bad.last().style, AlertStyle::Informational);
        QCOMPARE(bad.last().message, QStringLiteral("This is an error. Notify Developer."));
        QCOMPARE(bad.last().buttons, QStringList{QStringLiteral("OK")});
        QCOMPARE(d->maintDueArrayForTV.size(), 6);
    }
    const QStringList shown = rowsShown(d.get());
    QCOMPARE(shown[0], QStringLiteral("Main Street|Clean gutters|6/20/25|Never"));
    QCOMPARE(shown[4], QStringLiteral("Main Street|Water plants|6/14/26|Never"));
    QCOMPARE(shown[5], QStringLiteral("Main Street|Old task|1/2/26|1/2/26"));
    QVERIFY(d->window->isVisible());
    // The overdue mode drops them like any never-due row.
    choose(d.get(), QString(), QString(), 3);
    show(d.get());
    QCOMPARE(rowsShown(d.get()), QStringList{QStringLiteral("Main Street|Old task|1/2/26|1/2/26")});
}

// ---------------------------------------------------------------------------
// kov-cli due

void TestDueTab::cliAgreesWithWindow_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("task");
    QTest::addColumn<int>("tag");
    const char *modes[] = {"", "latest", "all", "overdue"};
    for (int tag = 1; tag <= 3; ++tag) {
        QTest::addRow("All/All %s", modes[tag]) << QString() << QString() << tag;
        QTest::addRow("Lake House %s", modes[tag]) << lake << QString() << tag;
        QTest::addRow("All/gutters %s", modes[tag]) << QString() << gutters << tag;
    }
}

void TestDueTab::cliAgreesWithWindow()
{
    QFETCH(QString, property);
    QFETCH(QString, task);
    QFETCH(int, tag);
    // kov-cli reads the real clock: so does the window here, and every date
    // is days away from now.
    Clock::setFixed(QDateTime());
    const QDateTime today = QDateTime(QDate::currentDate(), QTime(0, 0));
    QVERIFY(
        writeDataFileArray({job(main, gutters, today.addDays(-10)), job(lake, gutters, today.addDays(-800)),
                            job(lake, paint, today.addDays(-50)), job(lake, gutters, today.addDays(-400)),
                            job(main, daily, today.addDays(-3)), job(lake, gone, today.addDays(-5)),
                            job(QStringLiteral("All"), daily, today.addDays(-2))},
                           PropertyHistoryFileForKOV));
    auto d = start();
    d->setPane2();
    choose(d.get(), property, task, tag);
    show(d.get());

    QStringList args{QStringLiteral("due"), QStringLiteral("--format"), QStringLiteral("json"),
                     QStringLiteral("--mode"),
                     QString::fromLatin1(tag == 1   ? "latest"
                                         : tag == 2 ? "all"
                                                    : "overdue")};
    args << kov::test::nameOptions(property, task);
    const Cli r = cli(args);
    QCOMPARE(r.status, 0);
    QVERIFY2(r.err.isEmpty(), r.err.constData());
    const QJsonArray rows = QJsonDocument::fromJson(r.out).array();
    const RecordList &window = d->maintDueArrayForTV;
    QVERIFY(!window.isEmpty() || tag == 3);
    QCOMPARE(rows.size(), window.size());
    static const QRegularExpression iso(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d:\\d\\d$"));
    const int nextColumn = d->modelTab2->columnOf(col::nextdate);
    for (int i = 0; i < rows.size(); ++i) {
        const QJsonObject o = rows[i].toObject();
        QCOMPARE(o.keys(), (QStringList{"last", "next", "overdue", "property", "task"}));
        QCOMPARE(o.value("property").toString(), window[i].value(col::property2).toString());
        QCOMPARE(o.value("task").toString(), window[i].value(col::task2).toString());
        QVERIFY(iso.match(o.value("last").toString()).hasMatch());
        QCOMPARE(QDateTime::fromString(o.value("last").toString(), Qt::ISODate),
                 window[i].value(col::lastdate).toDateTime());
        const QDateTime next = window[i].value(col::nextdate).toDateTime();
        if (isNeverDue(next)) {
            QVERIFY(o.value("next").isNull());
        } else {
            QVERIFY(iso.match(o.value("next").toString()).hasMatch());
            QCOMPARE(QDateTime::fromString(o.value("next").toString(), Qt::ISODate), next);
        }
        const bool red = d->modelTab2->index(i, nextColumn).data(Qt::ForegroundRole).isValid();
        QCOMPARE(o.value("overdue").toBool(), red);
        QVERIFY(o.value("overdue").isBool());
    }
}

void TestDueTab::cliRefusals_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("emptyLog");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("err");
    QTest::newRow("empty log") << QStringList{"due"} << true << 1 << noHistory + "\n";
    QTest::newRow("empty log, json") << QStringList{"due", "--format", "json"} << true << 1
                                     << noHistory + "\n";
    QTest::newRow("unknown mode") << QStringList{"due", "--mode", "soon"} << false << 2
                                  << QStringLiteral("kov-cli due: --mode must be latest, all or overdue\n");
    QTest::newRow("unknown format") << QStringList{"due", "--format", "xml"} << false << 2
                                    << QStringLiteral("kov-cli due: --format must be text, csv or json\n");
}

void TestDueTab::cliRefusals()
{
    QFETCH(QStringList, args);
    QFETCH(bool, emptyLog);
    QFETCH(int, status);
    QFETCH(QString, err);
    if (emptyLog)
        QVERIFY(writeDataFileArray({}, PropertyHistoryFileForKOV));
    const Cli r = cli(args);
    QCOMPARE(r.status, status);
    QCOMPARE(QString::fromUtf8(r.err), err);
    QVERIFY(r.out.isEmpty());
}

QTEST_MAIN(TestDueTab)
#include "tst_duetab.moc"
