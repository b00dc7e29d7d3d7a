// The tab-1 list for real, on the offscreen platform: Show and its alerts,
// the table's cells and header sorting, the pop-up families, the interval
// and count lines; and kov-cli log, which must list what Show lists.
#include <QComboBox>
#include <QDateTimeEdit>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMainWindow>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include "app/alerts.h"
#include "app/kovappdelegate.h"
#include "log/rowtablemodel.h"
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
const QString dateAlertDetail =
    QStringLiteral("Begin Date must be prior to or equal to End Date. Please adjust dates");
const QString maintainItem = QStringLiteral("Maintain Item List\u2026");
const QTimeZone newYork("America/New_York");

QDateTime local(int year, int month, int day, int hour = 0, int minute = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute), newYork);
}

struct Run {
    int status = -1;
    QByteArray out;
    QString err;
};

Run runCli(const QStringList &args)
{
    const kov::test::CliRun r = kov::test::runCli(
        QStringList{QStringLiteral("--data-dir"), dataFolderPath(), QStringLiteral("log")} + args);
    return {r.status, r.out, QString::fromUtf8(r.err)};
}

// RFC 4180: quoted fields may hold commas, doubled quotes and line breaks.
QList<QStringList> parseCsv(const QString &text)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row.append(field);
            field.clear();
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            row.append(field);
            field.clear();
            rows.append(row);
            row.clear();
            ++i;
        } else {
            field += c;
        }
    }
    return rows;
}

QString notesOf(const QJsonArray &rows)
{
    QStringList notes;
    for (const QJsonValue &v : rows)
        notes.append(v.toObject().value(QStringLiteral("note")).toString());
    return notes.join(QLatin1Char('|'));
}

} // namespace

class TestList : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void oddRecordsToldAtStart();
    void showAgreesWithCli_data();
    void showAgreesWithCli();
    void cliCsvMatchesJson();
    void cliTextTable();
    void cliDatesAndStatuses_data();
    void cliDatesAndStatuses();
    void cliDefaultRange();
    void cliUnreadableLog();
    void dateAlertKeepsTable();
    void noDataAlert();
    void headerSortsAndShowRestoresFileOrder();
    void cells();
    void nextDateRed();
    void popUpFamilies();
    void propertyFilterRefillsTasks();
    void intervalLine();
    void emptyProviderList();
    void columnTitles();

private:
    std::unique_ptr<KOVAppDelegate> start();
    static void choose(QComboBox *popup, const QString &title);
    static void show(KOVAppDelegate *d, const QDateTime &begin, const QDateTime &end, const QString &property,
                     const QString &task);
    static QStringList shownNotes(KOVAppDelegate *d);
    static void clickHeader(QTableView *view, int section);
    QTemporaryDir *dir = nullptr;
    QList<AlertRecord> alerts;
};

void TestList::initTestCase()
{
    kov::test::setUpWindowTests(this, alerts);
}

void TestList::init()
{
    dir = new QTemporaryDir;
    alerts.clear();
    kov::test::beginWindowTest(*dir, local(2026, 6, 15, 14, 30));
    copyDataFolderURL();
    QVERIFY(writeDataFileArray({{{PropertyNameKey, QStringLiteral("Unit 10")}},
                                {{PropertyNameKey, QStringLiteral("Main Street")}},
                                {{PropertyNameKey, maintainItem}},
                                {{PropertyNameKey, QStringLiteral("Unit 9")}},
                                {{PropertyNameKey, QStringLiteral("Lake House")}}},
                               PropertyFileForKOV));
    QVERIFY(writeDataFileArray({{{ProviderNameKey, QStringLiteral("Bob's Gutters")}}}, ProviderFileForKOV));
    QVERIFY(writeDataFileArray({{{ServiceTaskNameKey, QStringLiteral("Paint fence")},
                                 {ServiceTaskTimeUnits, 2LL},
                                 {ServiceTaskTimeInUnitsKey, 1LL}},
                                {{ServiceTaskNameKey, QStringLiteral("Clean gutters")},
                                 {ServiceTaskTimeUnits, 1LL},
                                 {ServiceTaskTimeInUnitsKey, 6LL}},
                                {{ServiceTaskNameKey, QStringLiteral("Check alarms")}}},
                               ServiceTaskFileForKOV));
    // The log as Python's plistlib wrote it.
    QVERIFY(QFile::copy(QStringLiteral(KOV_TEST_DATA "/log-python.plist"),
                        dataFilePath(PropertyHistoryFileForKOV)));
    QFile::setPermissions(dataFilePath(PropertyHistoryFileForKOV),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void TestList::cleanup()
{
    kov::test::endWindowTest();
    delete dir;
}

std::unique_ptr<KOVAppDelegate> TestList::start()
{
    auto d = kov::test::startWindow();
    // The plistlib log holds records KOV cannot fully use, on purpose;
    // oddRecordsToldAtStart checks what the user is told about them.
    alerts.removeIf([](const AlertRecord &a) { return a.title.startsWith(QLatin1String("Some records in")); });
    return d;
}

void TestList::oddRecordsToldAtStart()
{
    auto d = kov::test::startWindow();
    QCOMPARE(alerts.size(), 1);
    QCOMPARE(alerts[0].title, QStringLiteral("Some records in \u201CPropertyHistoryFileForKOV\u201D hold values "
                                             "KOV cannot use"));
    QVERIFY2(alerts[0].message.startsWith(QStringLiteral("record 5: no \"ServiceDateKey\"\n"
                                                         "record 7: \"TotalCostKey\" holds a number, not text\n")),
             qPrintable(alerts[0].message));
    // Telling is all: the file is not touched.
    QCOMPARE(kov::test::readAll(dataFilePath(PropertyHistoryFileForKOV)),
             kov::test::readAll(QStringLiteral(KOV_TEST_DATA "/log-python.plist")));
}

// What a person's choice in the menu delivers: the item, then the action.
void TestList::choose(QComboBox *popup, const QString &title)
{
    const int index = popup->findText(title, Qt::MatchExactly | Qt::MatchCaseSensitive);
    QVERIFY2(index >= 0, qPrintable(title));
    popup->setCurrentIndex(index);
    Q_EMIT popup->activated(index);
}

void TestList::show(KOVAppDelegate *d, const QDateTime &begin, const QDateTime &end, const QString &property,
                    const QString &task)
{
    d->ui->beginDateTab1->setDateTime(begin);
    d->ui->endDateTab1->setDateTime(end);
    choose(d->ui->propertyPopForShowTab1, property);
    choose(d->ui->serviceTaskPopForShowTab1, task);
    QTest::mouseClick(d->ui->showMaintBtn, Qt::LeftButton);
}

// The notes as the table shows them, top to bottom.
QStringList TestList::shownNotes(KOVAppDelegate *d)
{
    const QAbstractItemModel *model = d->ui->tableViewTab1->model();
    const int noteColumn = d->modelTab1->columnOf(col::note);
    QStringList notes;
    for (int r = 0; r < model->rowCount(); ++r)
        notes.append(model->index(r, noteColumn).data().toString());
    return notes;
}

void TestList::clickHeader(QTableView *view, int section)
{
    QHeaderView *header = view->horizontalHeader();
    const int x = header->sectionViewportPosition(section) + header->sectionSize(section) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
}

// ---------------------------------------------------------------------------
// Show and kov-cli log on the same log

void TestList::showAgreesWithCli_data()
{
    QTest::addColumn<QDateTime>("begin");
    QTest::addColumn<QDateTime>("end");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("task");
    QTest::addColumn<QStringList>("cliArgs");
    QTest::addColumn<QStringList>("expected");
    const QString all = QStringLiteral("All");
    const QString ladder = QStringLiteral("Ladder, the \"tall\" one");
    const QString june = QStringLiteral("Zweite Zeile\nsecond line, caf\u00e9");
    QTest::newRow("everything this year until now")
        << local(2026, 1, 1) << local(2026, 6, 15, 14, 30) << all << all
        << QStringList{"--from", "2026-01-01", "--to", "2026-06-15"}
        << QStringList{ladder, "afternoon job", "lower case", "named All", june};
    QTest::newRow("one property, exact case")
        << local(2026, 1, 1) << local(2026, 6, 15, 14, 30) << "Main Street" << all
        << QStringList{"--property", "Main Street", "--from", "2026-01-01", "--to", "2026-06-15"}
        << QStringList{ladder, june};
    QTest::newRow("the lower-case property")
        << local(2026, 1, 1) << local(2026, 6, 15, 14, 30) << "main street" << all
        << QStringList{"--property", "main street", "--from", "2026-01-01", "--to", "2026-06-15"}
        << QStringList{"lower case"};
    QTest::newRow("every property, one task")
        << local(2026, 1, 1) << local(2026, 6, 15, 14, 30) << all << "Paint fence"
        << QStringList{"--task", "Paint fence", "--from", "2026-01-01", "--to", "2026-06-15"}
        << QStringList{"afternoon job", "named All"};
    QTest::newRow("begin at noon of a job's day")
        << local(2026, 3, 10, 12) << local(2026, 6, 15, 14, 30) << all << all
        << QStringList{"--from", "2026-03-10T12:00:00", "--to", "2026-06-15"}
        << QStringList{"lower case", "named All", june};
    QTest::newRow("end on a job's day at 00:00")
        << local(2025, 1, 1) << local(2026, 3, 10) << all << all
        << QStringList{"--from", "2025-01-01", "--to", "2026-03-10T00:00:00"}
        << QStringList{ladder, "afternoon job", "last year"};
    QTest::newRow("a property and a task, to the end of June")
        << local(2026, 1, 1) << local(2026, 6, 30, 23, 59) << "Lake House"
        << "Clean gutters" << QStringList{"--property", "Lake House", "--task", "Clean gutters",
                                          "--from",     "2026-01-01", "--to",   "2026-06-30"}
        << QStringList{"end of June"};
}

void TestList::showAgreesWithCli()
{
    QFETCH(QDateTime, begin);
    QFETCH(QDateTime, end);
    QFETCH(QString, property);
    QFETCH(QString, task);
    QFETCH(QStringList, cliArgs);
    QFETCH(QStringList, expected);
    auto d = start();
    show(d.get(), begin, end, property, task);
    QCOMPARE(shownNotes(d.get()), expected);
    QCOMPARE(d->ui->contentCount->text(), QStringLiteral("Display Count: %1").arg(expected.size()));
    QVERIFY(alerts.isEmpty());

    const Run r = runCli(cliArgs + QStringList{"--format", "json"});
    QCOMPARE(r.status, 0);
    QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
    const QJsonArray rows = QJsonDocument::fromJson(r.out).array();
    QCOMPARE(rows.size(), d->propertyMaintArrayForTV.size());
    for (int i = 0; i < rows.size(); ++i) {
        const QJsonObject o = rows[i].toObject();
        const Record &row = d->propertyMaintArrayForTV[i];
        QCOMPARE(o.value("property").toString(), row.value(col::property).toString());
        QCOMPARE(o.value("provider").toString(), row.value(col::provider).toString());
        QCOMPARE(o.value("task").toString(), row.value(col::task).toString());
        QCOMPARE(o.value("note").toString(), row.value(col::note).toString());
        QCOMPARE(o.value("date").toString(),
                 row.value(col::propmaintdate).toDateTime().toTimeZone(newYork).date().toString(Qt::ISODate));
        for (const auto &[field, column] : {std::pair{"total", col::cost}, std::pair{"parts", col::parts},
                                            std::pair{"labor", col::labor}, std::pair{"tax", col::tax}}) {
            if (row.contains(column))
                QCOMPARE(o.value(field).toDouble(), row.value(column).toDouble());
            else
                QVERIFY(o.value(field).isNull());
        }
    }
}

void TestList::cliCsvMatchesJson()
{
    const QStringList args{"--from", "2025-01-01", "--to", "2026-12-31"};
    const Run json = runCli(args + QStringList{"--format", "json"});
    const Run csv = runCli(args + QStringList{"--format=csv"});
    QCOMPARE(json.status, 0);
    QCOMPARE(csv.status, 0);
    const QJsonArray rows = QJsonDocument::fromJson(json.out).array();
    QCOMPARE(rows.size(), 7); // all but the undated job
    QVERIFY(csv.out.endsWith("\r\n"));
    const QList<QStringList> table = parseCsv(QString::fromUtf8(csv.out));
    QCOMPARE(table.size(), rows.size() + 1);
    const QStringList header = table.first();
    QCOMPARE(header, (QStringList{"property", "provider", "task", "date", "total", "parts", "labor", "tax",
                                  "note", "receipt"}));
    for (int i = 0; i < rows.size(); ++i) {
        const QJsonObject o = rows[i].toObject();
        QCOMPARE(table[i + 1].size(), header.size());
        for (int c = 0; c < header.size(); ++c) {
            const QJsonValue v = o.value(header[c]);
            const QString expected = v.isNull()     ? QString()
                                     : v.isDouble() ? QString::number(v.toDouble(), 'f', 2)
                                                    : v.toString();
            QCOMPARE(table[i + 1][c], expected);
        }
    }
    // The job of 15 June: a real-number total, an unreadable tax, a note over
    // two lines, a receipt on this computer; the end of June: a receipt from
    // another platform, which cannot be shown as a path.
    const QJsonObject juneJob = rows[5].toObject();
    QCOMPARE(juneJob.value("date").toString(), QStringLiteral("2026-06-15"));
    QCOMPARE(juneJob.value("total").toDouble(), 212.5);
    QVERIFY(juneJob.value("tax").isNull());
    QCOMPARE(juneJob.value("receipt").toString(), QStringLiteral("/home/user/receipts/r\u00e9cu 1.pdf"));
    QVERIFY(rows[6].toObject().value("receipt").isNull());
    QCOMPARE(rows[4].toObject().value("date").toString(), QStringLiteral("2025-12-31"));
    QCOMPARE(notesOf(rows).count(QStringLiteral("no date")), 0);
}

void TestList::cliTextTable()
{
    const Run r = runCli({"--property", "Main Street", "--from", "2026-01-01", "--to", "2026-12-31"});
    QCOMPARE(r.status, 0);
    const QStringList lines = QString::fromUtf8(r.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines[0].startsWith(QStringLiteral("property")));
    // Columns line up: each field starts at the same place on every line.
    const qsizetype dateColumn = lines[0].indexOf(QStringLiteral("date"));
    QCOMPARE(lines[1].indexOf(QStringLiteral("2026-03-10")), dateColumn);
    QCOMPARE(lines[2].indexOf(QStringLiteral("2026-06-15")), dateColumn);
    QVERIFY(lines[1].contains(QStringLiteral("112.50")));
}

void TestList::cliDatesAndStatuses_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QString>("err");
    QTest::newRow("begin after end") << QStringList{"--from", "2026-03-11", "--to", "2026-03-10"} << 2
                                     << QByteArray() << dateAlertDetail + "\n";
    QTest::newRow("same day as begin and end: that whole day")
        << QStringList{"--from", "2026-03-10", "--to", "2026-03-10", "--format", "csv"} << 0
        << QByteArray("property,provider,task,date,total,parts,labor,tax,note,receipt\r\n"
                      "Main Street,Bob's Gutters,Clean gutters,2026-03-10,112.50,12.50,100.00,0.00,"
                      "\"Ladder, the \"\"tall\"\" one\",\r\n"
                      "Lake House,Ace Painters,Paint "
                      "fence,2026-03-10,1500.00,300.00,1100.00,100.00,afternoon job,\r\n")
        << QString();
    QTest::newRow("no rows, json") << QStringList{"--property", "Nowhere", "--format", "json"} << 0
                                   << QByteArray("[\n]\n") << QString();
    QTest::newRow("no rows, csv") << QStringList{"--property", "Nowhere", "--format", "csv"} << 0
                                  << QByteArray() << QString();
    QTest::newRow("no rows, text") << QStringList{"--property", "Nowhere"} << 0 << QByteArray() << QString();
    QTest::newRow("a property named All is a name here")
        << QStringList{"--property", "All", "--from", "2026-01-01", "--to", "2026-12-31", "--format", "csv"}
        << 0
        << QByteArray("property,provider,task,date,total,parts,labor,tax,note,receipt\r\n"
                      "All,Ace Painters,Paint fence,2026-05-20,9.99,,,,named All,\r\n")
        << QString();
}

void TestList::cliDatesAndStatuses()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QByteArray, out);
    QFETCH(QString, err);
    const Run r = runCli(args);
    QCOMPARE(r.status, status);
    QCOMPARE(r.out, out);
    QCOMPARE(r.err, err);
}

void TestList::cliDefaultRange()
{
    // kov-cli reads the real clock: from 1 January of this year until now.
    Clock::setFixed(QDateTime());
    const QDateTime today = NSDateUtilities::cleanseDate(QDateTime::currentDateTimeUtc());
    const QDateTime lastYear = NSDateUtilities::cleanseDate(startOfCurrentYearLocal().addSecs(-3600));
    const QDateTime nextWeek = NSDateUtilities::dateByAddingDays(today, 7, 0, 0);
    auto at = [](const QDateTime &date, const QString &note) {
        return Record{{PropertyNameKey, QStringLiteral("P")},
                      {ServiceTaskNameKey, QStringLiteral("T")},
                      {ServiceDateKey, date},
                      {NoteKey, note}};
    };
    QVERIFY(writeDataFileArray({at(lastYear, "last year"), at(startOfCurrentYearLocal(), "new year"),
                                at(today, "today"), at(nextWeek, "next week")},
                               PropertyHistoryFileForKOV));
    const Run r = runCli({"--format", "json"});
    QCOMPARE(r.status, 0);
    QCOMPARE(notesOf(QJsonDocument::fromJson(r.out).array()), QStringLiteral("new year|today"));
    QVERIFY(runCli({"--from", "2026-01-01", "--bogus", "1"}).status == 2);
    QVERIFY(runCli({"--from", "01/02/2026"}).status == 2);
    QVERIFY(runCli({"--format", "xml"}).status == 2);
}

void TestList::cliUnreadableLog()
{
    QFile file(dataFilePath(PropertyHistoryFileForKOV));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("<?xml version=\"1.0\"?><plist><array><dict>");
    file.close();
    const Run r = runCli({"--format", "json"});
    QCOMPARE(r.status, 1);
    QVERIFY(r.out.isEmpty());
    QVERIFY2(r.err.contains(QStringLiteral("PropertyHistoryFileForKOV")), qPrintable(r.err));
}

// ---------------------------------------------------------------------------
// Show's alerts

void TestList::dateAlertKeepsTable()
{
    auto d = start();
    show(d.get(), local(2026, 1, 1), local(2026, 6, 15, 14, 30), QStringLiteral("All"),
         QStringLiteral("All"));
    const QStringList before = shownNotes(d.get());
    QCOMPARE(before.size(), 5);
    d->ui->changeBtnTab1->setEnabled(true);
    d->ui->deleteBtnTab1->setEnabled(true);
    alerts.clear();

    show(d.get(), local(2026, 3, 2), local(2026, 3, 1), QStringLiteral("Main Street"), QStringLiteral("All"));
    QCOMPARE(alerts.size(), 1);
    QCOMPARE(alerts[0].title, QStringLiteral("Date Input Error"));
    QCOMPARE(alerts[0].message, dateAlertDetail);
    QCOMPARE(alerts[0].window.data(), d->window);
    QCOMPARE(shownNotes(d.get()), before);
    QCOMPARE(d->ui->contentCount->text(), QStringLiteral("Display Count: 5"));
    QVERIFY(!d->ui->changeBtnTab1->isEnabled());
    QVERIFY(!d->ui->deleteBtnTab1->isEnabled());

    // The same instant for both passes.
    alerts.clear();
    show(d.get(), local(2026, 3, 10), local(2026, 3, 10), QStringLiteral("All"), QStringLiteral("All"));
    QVERIFY(alerts.isEmpty());
    QCOMPARE(shownNotes(d.get()).size(), 2);
}

void TestList::noDataAlert()
{
    auto d = start();
    show(d.get(), local(2024, 1, 1), local(2024, 12, 31), QStringLiteral("All"), QStringLiteral("All"));
    QCOMPARE(alerts.size(), 1);
    QCOMPARE(alerts[0].title, noDataTitle);
    QCOMPARE(alerts[0].message, QStringLiteral("Adjusting the selection criteria might help."));
    QCOMPARE(d->ui->tableViewTab1->model()->rowCount(), 0);
    QCOMPARE(d->ui->contentCount->text(), QStringLiteral("Display Count: 0"));
}

// ---------------------------------------------------------------------------
// The table

void TestList::headerSortsAndShowRestoresFileOrder()
{
    QVERIFY(writeDataFileArray({{{PropertyNameKey, QStringLiteral("Unit 10")},
                                 {ServiceTaskNameKey, QStringLiteral("T")},
                                 {ServiceDateKey, local(2026, 2, 1).toUTC()},
                                 {TotalCostKey, QStringLiteral("9.00")},
                                 {NoteKey, QStringLiteral("a")}},
                                {{PropertyNameKey, QStringLiteral("unit 2")},
                                 {ServiceTaskNameKey, QStringLiteral("T")},
                                 {ServiceDateKey, local(2025, 12, 1).toUTC()},
                                 {TotalCostKey, QStringLiteral("100.00")},
                                 {NoteKey, QStringLiteral("b")}},
                                {{PropertyNameKey, QStringLiteral("Unit 9")},
                                 {ServiceTaskNameKey, QStringLiteral("T")},
                                 {ServiceDateKey, local(2026, 1, 15).toUTC()},
                                 {TotalCostKey, QStringLiteral("10.00")},
                                 {NoteKey, QStringLiteral("c")}}},
                               PropertyHistoryFileForKOV));
    auto d = start();
    QTableView *view = d->ui->tableViewTab1;
    QHeaderView *header = view->horizontalHeader();
    show(d.get(), local(2025, 1, 1), local(2026, 6, 15), QStringLiteral("All"), QStringLiteral("All"));
    QCOMPARE(shownNotes(d.get()), (QStringList{"a", "b", "c"}));

    // Amounts by value, not by text ("100.00" would come first).
    const int total = d->modelTab1->columnOf(col::cost);
    clickHeader(view, total);
    QCOMPARE(header->sortIndicatorSection(), total);
    const Qt::SortOrder first = header->sortIndicatorOrder();
    const QStringList up{"a", "c", "b"}, down{"b", "c", "a"};
    QCOMPARE(shownNotes(d.get()), first == Qt::AscendingOrder ? up : down);
    clickHeader(view, total);
    QVERIFY(header->sortIndicatorOrder() != first);
    QCOMPARE(shownNotes(d.get()), first == Qt::AscendingOrder ? down : up);

    // Dates by instant; names as people order them (9 before 10, case aside).
    auto sortedBy = [&](const QString &column, Qt::SortOrder order) {
        const int section = d->modelTab1->columnOf(column);
        clickHeader(view, section);
        if (header->sortIndicatorOrder() != order)
            clickHeader(view, section);
        return shownNotes(d.get());
    };
    QCOMPARE(sortedBy(col::propmaintdate, Qt::AscendingOrder), (QStringList{"b", "c", "a"}));
    QCOMPARE(sortedBy(col::property, Qt::AscendingOrder), (QStringList{"b", "c", "a"}));
    QCOMPARE(sortedBy(col::property, Qt::DescendingOrder), (QStringList{"a", "c", "b"}));
    // The stored rows follow the table, so Change and Delete find their record.
    QCOMPARE(d->propertyMaintArrayForTV.first().value(col::note).toString(), QStringLiteral("a"));

    QTest::mouseClick(d->ui->showMaintBtn, Qt::LeftButton);
    QCOMPARE(shownNotes(d.get()), (QStringList{"a", "b", "c"}));
    QCOMPARE(header->sortIndicatorSection(), -1);
}

void TestList::cells()
{
    auto d = start();
    show(d.get(), local(2026, 1, 1), local(2026, 6, 30, 23, 0), QStringLiteral("All"), QStringLiteral("All"));
    const QAbstractItemModel *model = d->ui->tableViewTab1->model();
    const int last = model->rowCount() - 1;
    QCOMPARE(last, 5);
    auto cell = [&](int row, const QString &column, int role = Qt::DisplayRole) {
        return model->index(row, d->modelTab1->columnOf(column)).data(role);
    };
    QCOMPARE(cell(0, col::propmaintdate).toString(), QStringLiteral("3/10/26"));
    QCOMPARE(cell(0, col::cost).toString(), QStringLiteral("$112.50"));
    QCOMPARE(cell(0, col::tax).toString(), QStringLiteral("$0.00"));
    QCOMPARE(cell(1, col::cost).toString(), QStringLiteral("$1,500.00"));
    QCOMPARE(cell(0, col::cost, Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));
    // An unreadable stored cost shows nothing.
    QCOMPARE(cell(4, col::tax).toString(), QString());
    // The receipt as an icon, its file named in the tooltip.
    QVERIFY(cell(0, col::receipt, Qt::DecorationRole).isNull());
    QVERIFY(!cell(4, col::receipt, Qt::DecorationRole).value<QIcon>().isNull());
    QCOMPARE(cell(4, col::receipt).toString(), QString());
    QCOMPARE(cell(4, col::receipt, Qt::ToolTipRole).toString(), QStringLiteral("r\u00e9cu 1.pdf"));
    QVERIFY(!cell(last, col::receipt, Qt::DecorationRole).value<QIcon>().isNull());
    // Cells cannot be edited.
    for (int c = 0; c < model->columnCount(); ++c)
        QVERIFY(!(model->flags(model->index(0, c)) & Qt::ItemIsEditable));
    QCOMPARE(d->ui->tableViewTab1->editTriggers(), QAbstractItemView::NoEditTriggers);
}

void TestList::nextDateRed()
{
    auto d = start();
    const QDateTime now = Clock::now();
    d->maintDueArrayForTV = {{{col::property2, QStringLiteral("P")}, {col::nextdate, now.addSecs(-86400)}},
                             {{col::property2, QStringLiteral("P")}, {col::nextdate, now}},
                             {{col::property2, QStringLiteral("P")}, {col::nextdate, now.addSecs(1)}}};
    d->modelTab2->reload();
    const QAbstractItemModel *model = d->ui->tableViewTab2->model();
    const int next = d->modelTab2->columnOf(col::nextdate);
    const int property = d->modelTab2->columnOf(col::property2);
    QCOMPARE(model->index(0, next).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::red));
    QCOMPARE(model->index(1, next).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::red));
    QVERIFY(model->index(2, next).data(Qt::ForegroundRole).isNull());
    QVERIFY(model->index(0, property).data(Qt::ForegroundRole).isNull());
    d->maintDueArrayForTV.clear();
    d->modelTab2->reload();
}

// ---------------------------------------------------------------------------
// Pop-ups and the lines under them

void TestList::popUpFamilies()
{
    auto d = start();
    // Entry: the whole property list, people's order; a name equal to the
    // closing item merges with it.
    QCOMPARE(kov::test::popupItems(d->ui->propertyPopTab1),
             (QStringList{"Lake House", "Main Street", "Unit 9", "Unit 10", "---", maintainItem}));
    QCOMPARE(d->ui->propertyPopTab1->currentText(), QStringLiteral("Lake House"));
    QCOMPARE(kov::test::popupItems(d->ui->providerPopTab1), (QStringList{"Bob's Gutters", "---", maintainItem}));
    QCOMPARE(kov::test::popupItems(d->ui->serTaskPopTab1),
             (QStringList{"Check alarms", "Clean gutters", "Paint fence", "---", maintainItem}));
    // Filters: only the names in the log; the property named "All" merges
    // with the closing "All", which is selected.
    QCOMPARE(kov::test::popupItems(d->ui->propertyPopForShowTab1),
             (QStringList{"Lake House", "main street", "Main Street", "---", "All"}));
    QCOMPARE(d->ui->propertyPopForShowTab1->currentIndex(), d->ui->propertyPopForShowTab1->count() - 1);
    QCOMPARE(kov::test::popupItems(d->ui->serviceTaskPopForShowTab1),
             (QStringList{"Clean gutters", "Paint fence", "---", "All"}));
    QCOMPARE(d->ui->serviceTaskPopForShowTab1->currentText(), QStringLiteral("All"));

    // A name repeated in the list shows once.
    d->loadThisPopupButton(d->ui->propertyPopTab2, {"B", "A", "B", "All"}, false, true);
    QCOMPARE(kov::test::popupItems(d->ui->propertyPopTab2), (QStringList{"A", "B", "---", "All"}));
    // A filter of an empty log: the separator and "All" only.
    d->loadThisPopupButton(d->ui->propertyPopTab2, {}, false, true);
    QCOMPARE(kov::test::popupItems(d->ui->propertyPopTab2), (QStringList{"---", "All"}));
}

void TestList::propertyFilterRefillsTasks()
{
    auto d = start();
    QComboBox *tasks = d->ui->serviceTaskPopForShowTab1;
    choose(d->ui->serviceTaskPopForShowTab1, QStringLiteral("Paint fence"));
    choose(d->ui->propertyPopForShowTab1, QStringLiteral("main street"));
    QCOMPARE(kov::test::popupItems(tasks), (QStringList{"Clean gutters", "---", "All"}));
    QCOMPARE(tasks->currentText(), QStringLiteral("All"));
    choose(d->ui->propertyPopForShowTab1, QStringLiteral("Main Street"));
    // Tasks of dated and undated jobs alike.
    QCOMPARE(kov::test::popupItems(tasks), (QStringList{"Clean gutters", "Paint fence", "---", "All"}));
    choose(d->ui->propertyPopForShowTab1, QStringLiteral("All"));
    QCOMPARE(kov::test::popupItems(tasks), (QStringList{"Clean gutters", "Paint fence", "---", "All"}));

    // The other tabs' filters refill their own partners.
    d->loadAPopUpButtonUsingKey(d->ui->propertyPopTab3, PropertyNameKey, {}, false, true);
    QCOMPARE(kov::test::popupItems(d->ui->propertyPopTab3), kov::test::popupItems(d->ui->propertyPopForShowTab1));
    choose(d->ui->propertyPopTab3, QStringLiteral("Lake House"));
    QCOMPARE(kov::test::popupItems(d->ui->serTaskPopTab3), (QStringList{"Clean gutters", "Paint fence", "---", "All"}));
    QCOMPARE(kov::test::popupItems(tasks), (QStringList{"Clean gutters", "Paint fence", "---", "All"}));
}

void TestList::intervalLine()
{
    auto d = start();
    QLabel *line = d->ui->taskDescUnderPopupTab1;
    QCOMPARE(line->text(), QStringLiteral("Recurring task interval: None"));
    choose(d->ui->serTaskPopTab1, QStringLiteral("Clean gutters"));
    QCOMPARE(line->text(), QStringLiteral("Recurring task interval: 6 months"));
    choose(d->ui->serTaskPopTab1, QStringLiteral("Paint fence"));
    QCOMPARE(line->text(), QStringLiteral("Recurring task interval: 1 year"));
    // Opening the list keeps the line as it was.
    choose(d->ui->serTaskPopTab1, maintainItem);
    QCOMPARE(line->text(), QStringLiteral("Recurring task interval: 1 year"));
    QCOMPARE(d->copyFormatTimeForTask(QStringLiteral("Gone"), ServiceTaskNameKey,
                                      copyDataFileArray(ServiceTaskFileForKOV)),
             QStringLiteral("None"));
}

void TestList::emptyProviderList()
{
    QVERIFY(writeDataFileArray({}, ProviderFileForKOV));
    auto d = start();
    QCOMPARE(kov::test::popupItems(d->ui->providerPopTab1), (QStringList{"---", maintainItem}));
    QCOMPARE(d->ui->providerPopTab1->currentText(), maintainItem);
    // The task pop-up set the line; the provider list does not touch it.
    QCOMPARE(d->ui->taskDescUnderPopupTab1->text(), QStringLiteral("Recurring task interval: None"));
}

void TestList::columnTitles()
{
    auto d = start();
    QCOMPARE(d->copyColumnTitlesOnTab1(),
             (QStringList{"Property", "Provider", "Task", "Note", "Date", "Total"}));
}

QTEST_MAIN(TestList)
#include "tst_list.moc"
