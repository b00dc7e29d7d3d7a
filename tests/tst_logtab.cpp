// kov::LogTab with its own widgets, a DataStore and a DatePopover on a throw-away data folder:
// typed costs, Add, a row loaded back, Change, Delete and Show, the file read back after each; receipts
// dropped (the events synthesized: the offscreen platform runs no drag), stored, shown again, removed.
#include <QDateTimeEdit>
#include <QDropEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfView>
#include <QPdfWriter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTimeZone>
#include <QToolButton>
#include <csignal>
#include <sys/resource.h>

#include "app/datastore.h"
#include "app/datepopover.h"
#include "log/logtab.h"
#include "log/receiptwidgets.h"
#include "testsupport.h"
#include "windowsupport.h"

using namespace kov;

namespace {

const QTimeZone newYork("America/New_York");

// A logged job, costs as stored.
Record job(const QString &note, const QString &property = "Lake House",
           const QString &task = "Paint exterior", QDate date = {2026, 3, 10},
           const QString &total = "112.50")
{
    const QStringList keys{PropertyNameKey, ProviderNameKey, ServiceTaskNameKey, TotalCostKey,
                           PartsCostKey,    LaborCostKey,    TaxCostKey,         NoteKey};
    const QStringList values{property, "Bob's Gutters", task, total, "12.50", "100.00", ".00", note};
    Record r{{ServiceDateKey, QDateTime(date, QTime(0, 0), newYork).toUTC()}}; // local midnight
    for (int i = 0; i < keys.size(); ++i)
        r.insert(keys[i], values[i]);
    return r;
}

// The tab alone, started as the window starts it (tasks: the defaults); the store's problems kept.
struct Tab {
    QWidget host;
    DataStore store;
    DatePopover pop{&host};
    LogTab tab{&store, &pop};
    QList<DataFileProblem> problems;
    Tab()
    {
        QObject::connect(&store, &DataStore::problem, &store,
                         [this](const DataFileProblem &p) { problems.append(p); });
        tab.setPopupsStartingItem(store.copyTaskListSeedingDefaults(), store.records(ProviderFileForKOV),
                                  store.records(PropertyFileForKOV));
        tab.showWholeLog(store.records(PropertyHistoryFileForKOV));
        tab.widget()->resize(1400, 800); // every column in view
        tab.widget()->show();
        (void)QTest::qWaitForWindowExposed(tab.widget());
    }
    template <typename W = QWidget> W *w(const QString &n) const { return tab.widget()->findChild<W *>(n); }
    QString text(const char *field) const { return w<QLineEdit>(field)->text(); }
    QTableView *view() const { return w<QTableView>("tableViewTab1"); }
    QStringList shownNotes() const
    {
        QStringList out;
        for (int r = 0; r < view()->model()->rowCount(); ++r)
            out.append(view()->model()->index(r, 8).data().toString()); // the Note column
        return out;
    }
    void load(const QString &note) const
    {
        const QPoint at = view()->visualRect(view()->model()->index(shownNotes().indexOf(note), 1)).center();
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view()->viewport(), Qt::LeftButton, {}, at);
    }
    void click(const QString &button) const { QTest::mouseClick(w<QPushButton>(button), Qt::LeftButton); }
    void choose(const char *popup, const QString &title) const
    {
        auto *box = w<QComboBox>(popup);
        box->setCurrentIndex(box->findText(title, Qt::MatchExactly | Qt::MatchCaseSensitive));
        Q_EMIT box->activated(box->currentIndex());
    }
    // A click while every write fails, as on a full disk.
    void clickOnFullDisk(const QString &button) const
    {
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit tiny{16, saved.rlim_max};
        auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &tiny);
        click(button);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
    }
};

// A receipt named by its kind: a green PNG, a two-page PDF (a red square on white, then blue),
// text named as a JPEG, or a damaged PNG or PDF.
QString makeReceipt(const QTemporaryDir &dir, const QString &name)
{
    const QString path = dir.filePath(name);
    if (name == "receipt.pdf") {
        QPdfWriter writer(path);
        QPainter painter(&writer);
        const QRect page(0, 0, writer.width(), writer.height());
        painter.fillRect(
            page.adjusted(page.width() / 4, page.height() / 4, -page.width() / 4, -page.height() / 4),
            Qt::red);
        writer.newPage();
        painter.fillRect(page, Qt::blue);
        return path;
    }
    QImage green(40, 30, QImage::Format_RGB32);
    green.fill(Qt::green);
    QByteArray bytes =
        name == "broken.pdf" ? "%PDF-1.7\n1 0 obj << /Type /Catalog /Pages 9 0 R >>\n" : "Paid\n";
    if (name.endsWith(".png") && green.save(path))
        bytes = kov::test::readAll(path).first(name == "truncated.png" ? 60 : QFileInfo(path).size());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? path : QString();
}

// The names of what the receipt popover's view holds.
QStringList receiptShown(const QWidget *page)
{
    QStringList names;
    for (const QObject *o : kov::test::child(page, "dropView")->children())
        if (o->isWidgetType())
            names.append(o->objectName());
    return names;
}

void row(const char *name, std::initializer_list<QStringList> columns)
{
    QTestData &data = QTest::newRow(name);
    for (const QStringList &column : columns)
        data << column;
}

} // namespace

class TestLogTab : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    QList<AlertRecord> alerts;
    static RecordList history() { return readDataFile(dataFilePath(PropertyHistoryFileForKOV), nullptr); }

private Q_SLOTS:
    void initTestCase() { kov::test::setUpWindowTests(this, alerts); }
    void init()
    {
        dir.reset(new QTemporaryDir);
        alerts.clear();
        kov::test::beginWindowTest(*dir, QDateTime(QDate(2026, 6, 15), QTime(14, 30), newYork));
        copyDataFolderURL();
        QVERIFY(writeDataFileArray({{{PropertyNameKey, "Main Street"}}, {{PropertyNameKey, "Lake House"}}},
                                   PropertyFileForKOV));
        QVERIFY(writeDataFileArray({{{ProviderNameKey, "Bob's Gutters"}}}, ProviderFileForKOV));
    }
    void cleanup() { kov::test::endWindowTest(); }

    void typedCostsAreStored_data()
    {
        QTest::addColumn<QStringList>("typed");  // the locale; parts, labor, tax as typed, then as shown
        QTest::addColumn<QStringList>("stored"); // total as shown; total, parts, labor, tax as stored
        row("three fields", {{"en_US", "12.5", "100", "7.25", "12.5", "100", "7.25"},
                             {"$119.75", "119.75", "12.50", "100.00", "7.25"}});
        row("twelfth character", {{"en_US", "123456789017", "", "", "12345678901", "", ""},
                                  {"$12,345,678,901.00", "12345678901.00", "12345678901.00", ".00", ".00"}});
        row("decimal comma, a letter", {{"de_DE", "12,50", "3x", "7,2", "12,50", "3", "7,2"},
                                        {"\u20ac22,70", "22,70", "12,50", "3,00", "7,20"}});
    }
    // Guards against a keystroke unchecked, a total missing a field, an Add
    // stored other than the file holds it, and a table or filter not refreshed.
    void typedCostsAreStored()
    {
        QFETCH(QStringList, typed);
        QFETCH(QStringList, stored);
        kov::test::LocaleScope scope(typed[0]);
        Tab t;
        const char *fields[] = {"partsCostTab1", "laborCostTab1", "taxCostTab1"};
        for (int i = 0; i < 3; ++i)
            QTest::keyClicks(t.w<QLineEdit>(fields[i]), typed[i + 1]);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(t.text(fields[i]), typed[i + 4]);
        QCOMPARE(t.text("totalCostTab1"), stored[0]);

        t.w<QComboBox>("serTaskPopTab1")->setCurrentText("Paint exterior");
        t.w<QDateTimeEdit>("serviceDateTab1")->setDateTime(QDateTime(QDate(2026, 3, 14), QTime(15, 42)));
        QTest::keyClicks(t.w<QLineEdit>("noteTab1"), "Two coats");
        t.click("addMaintBtn");
        Record expected = job("Two coats", "Lake House", "Paint exterior", QDate(2026, 3, 14), stored[1]);
        for (int i = 2; i < 5; ++i)
            expected.insert(QStringList{PartsCostKey, LaborCostKey, TaxCostKey}[i - 2], stored[i]);
        QVERIFY(history().size() == 1 && recordsEqual(history()[0], expected));
        QCOMPARE(t.shownNotes(), QStringList{"Two coats"});
        QCOMPARE(t.view()->selectionModel()->selectedRows().value(0).row(), 0); // the new row
        QCOMPARE(kov::test::popupItems(t.w<QComboBox>("propertyPopForShowTab1")),
                 (QStringList{"Lake House", "---", "All"}));
        QVERIFY(t.text("partsCostTab1").isEmpty() && t.text("noteTab1").isEmpty());
    }

    void eachButtonOnALoadedRow_data()
    {
        // The locale, the button, the row loaded (by its note), what stands in the way (a pop-up left on its
        // separator, the record gone from the file, a full disk), the alert it gives ("": the store's
        // problem), and a column whose title is clicked `clicks` times before (a row loaded before each).
        QTest::addColumn<QStringList>("c");
        // b's total in the file; parts, labor, tax, total as loaded; the total a Change stores.
        QTest::addColumn<QStringList>("costs");
        QTest::addColumn<QStringList>("left"); // the notes in the file after
        const QStringList us{"1334.50", "12.50", "100.00", ".00", "$1,334.50", "1334.50"};
        const QStringList all{"x", "b", "z", "x"};
        const QString change = "changeBtnTab1", del = "deleteBtnTab1", add = "addMaintBtn";
        auto ask = [](const char *what) { return QString("Please %1 and try again, Thank you").arg(what); };
        const QString notChanged = "Property Maintenance not found for Change request - not changed";
        row("change", {{"en_US", change, "b", "", ""}, us, {"x", "z", "x", "b again"}});
        row("change, decimal comma", {{"de_DE", change, "b", "", ""},
                                      {"1334.50", "12,50", "100,00", ",00", "\u20ac1.334,50", "1334,50"},
                                      {"x", "z", "x", "b again"}});
        row("delete, first of two alike", {{"en_US", del, "x", "", ""}, us, {"b", "z", "x"}});
        row("delete, sorted by total", {{"en_US", del, "b", "", "", "7", "1"}, us, {"x", "z", "x"}});
        row("delete, by property twice", {{"en_US", del, "z", "", "", "1", "2"}, us, {"x", "b", "x"}});
        row("no property", {{"en_US", add, "b", "propertyPopTab1", ask("select a property name")}, us, all});
        row("no provider", {{"en_US", add, "b", "providerPopTab1", ask("enter a provider name")}, us, all});
        row("no task",
            {{"en_US", change, "b", "serTaskPopTab1", ask("enter/select a service task")}, us, all});
        row("delete, gone",
            {{"en_US", del, "x", "gone", "Delete request failed - not deleted"}, us, {"b", "z"}});
        row("change, gone", {{"en_US", change, "x", "gone", notChanged}, us, {"b", "z"}});
        row("add, disk full", {{"en_US", add, "b", "full", ""}, us, all});
        row("delete, disk full", {{"en_US", del, "x", "full", ""}, us, all});
    }
    // Guards against a field not loaded, a Change in place or losing keys, a Delete of the row's place, a
    // sort leaving the buttons armed, a record gone acted on, a failed write seen, a refusal told twice or
    // never.
    void eachButtonOnALoadedRow()
    {
        QFETCH(QStringList, c);
        QFETCH(QStringList, costs);
        QFETCH(QStringList, left);
        const QString &button = c[1], &obstacle = c[3], change = "changeBtnTab1";
        Record b = job("b", "Main Street", "Clean gutters", QDate(2026, 3, 9), costs[0]);
        b.insert("KeyOfANewerVersion", "kept");
        const Record z = job("z", "Unit 9", "Paint exterior", QDate(2026, 3, 12), "900.00");
        QVERIFY(writeDataFileArray({job("x"), b, z, job("x")}, PropertyHistoryFileForKOV));
        kov::test::LocaleScope scope(c[0]);
        Tab t;
        QHeaderView *titles = t.view()->horizontalHeader();
        for (int i = 0; i < c.value(6).toInt(); ++i) {
            t.load("x");
            const QPoint at(titles->sectionViewportPosition(c.value(5).toInt()) + 5, titles->height() / 2);
            QTest::mouseClick(titles->viewport(), Qt::LeftButton, {}, at);
            QVERIFY(!t.w("deleteBtnTab1")->isEnabled());
        }
        t.load(c[2]);
        const QStringList fields{"partsCostTab1", "laborCostTab1", "taxCostTab1", "totalCostTab1"};
        for (int i = 0; i < 4 && c[2] == "b"; ++i)
            QCOMPARE(t.w<QLineEdit>(fields[i])->text(), costs[i + 1]);
        t.w<QLineEdit>("noteTab1")->setText("b again");
        if (obstacle == "gone") // by another program
            QVERIFY(writeDataFileArray({b, z}, PropertyHistoryFileForKOV));
        if (obstacle.endsWith("Tab1")) // the separator before the last item
            t.w<QComboBox>(obstacle)->setCurrentIndex(t.w<QComboBox>(obstacle)->count() - 2);
        const QStringList shownBefore = t.shownNotes();
        obstacle == "full" ? t.clickOnFullDisk(button) : t.click(button);
        QStringList inFile;
        for (const Record &r : history())
            inFile.append(r.value(NoteKey).toString());
        QCOMPARE(inFile, left);
        QCOMPARE(alerts.size() + t.problems.size(), int(!obstacle.isEmpty()));
        if (obstacle.isEmpty()) {
            const QStringList keys{PartsCostKey, LaborCostKey, TaxCostKey, TotalCostKey, NoteKey};
            for (int i = 0; i < 5; ++i)
                b.insert(keys[i], (costs.mid(1, 3) << costs[5] << "b again")[i]);
            QVERIFY(button == "deleteBtnTab1" || recordsEqual(history().last(), b));
            const QStringList shown = t.shownNotes(); // in the order the table had
            QVERIFY(shown.size() == left.size() &&
                    std::is_permutation(shown.begin(), shown.end(), left.begin()));
            const QModelIndexList chosen = t.view()->selectionModel()->selectedRows(); // a change: its row
            QCOMPARE(chosen.size() == 1 ? shown[chosen[0].row()] : "", button == change ? "b again" : "");
            QVERIFY(!t.w("changeBtnTab1")->isEnabled() && !t.w("deleteBtnTab1")->isEnabled());
            return;
        }
        QCOMPARE(t.shownNotes(), shownBefore);
        QCOMPARE(t.text("noteTab1"), QStringLiteral("b again"));
        QCOMPARE(alerts.value(0).title, c[4]);
        QVERIFY(!c[4].isEmpty() || t.problems.value(0).kind == DataFileProblem::WriteFailed);
        const QString detail = "Delete failure\nindex in propertyHistoryArrayFromFile not found";
        QCOMPARE(alerts.value(0).message, obstacle == "gone" ? detail : QString());
    }

    void dropped_data()
    {
        // The file, dropped on the button or the view; what the view shows (none: refused); the button's
        // picture at its centre and corner, or the line told.
        QTest::addColumn<QStringList>("c");
        QTest::newRow("png on the button")
            << QStringList{"receipt.png", "button", "receiptImage", "#00ff00", "#00ff00"};
        QTest::newRow("pdf in the view")
            << QStringList{"receipt.pdf", "view", "receiptPdf", "#ff0000", "#ffffff"};
        QTest::newRow("text refused") << QStringList{"notes.jpg", "button", ""};
        QTest::newRow("broken pdf") << QStringList{"broken.pdf", "view", "receiptProblem",
                                                   "the PDF is damaged"};
        QTest::newRow("truncated png")
            << QStringList{"truncated.png", "button", "receiptProblem", "the image is damaged"};
    }
    // Guards against a refused type taken, a move offered to the file manager, the popover not opened
    // or opened by the view, the wrong page on the button, a transparent thumbnail, a damaged file untold, a
    // receipt no viewer opens untold.
    void dropped()
    {
        QFETCH(QStringList, c);
        Tab t;
        auto *button = t.w<KOVDropButton>("dropButton");
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(makeReceipt(*dir, c[0]))});
        const bool onButton = c[1] == "button", refused = c[2].isEmpty();
        QWidget *target = onButton ? button : t.w("dropView");
        QDragEnterEvent enter({20, 20}, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &mime,
                              Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &enter);
        QVERIFY(enter.isAccepted() != refused && button->isDragInside() == (onButton && !refused));
        QDropEvent drop({20, 20}, enter.possibleActions(), &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &drop);
        QCoreApplication::processEvents();
        QCOMPARE(receiptShown(t.tab.widget()), refused ? QStringList{} : QStringList{c[2]});
        QCOMPARE(button->icon().isNull() || !t.w("removeReceiptBtn")->isEnabled(), refused);
        if (refused)
            return;
        QCOMPARE(enter.dropAction(), Qt::LinkAction);
        QVERIFY(!button->isDragInside() && t.w("receiptPopover")->isVisible() == onButton);
        if (c[2] == "receiptProblem")
            QVERIFY(t.w<QLabel>("receiptProblem")->text().contains(c[3]));
        else if (c[2] == "receiptPdf")
            QCOMPARE(t.w<QPdfView>("receiptPdf")->document()->pageCount(), 2);
        const QImage picture = button->icon().pixmap(176).toImage();
        if (c.size() == 5)
            QCOMPARE(picture.pixelColor(picture.rect().center()).name() + picture.pixelColor(1, 1).name(),
                     c[3] + c[4]);
        AlertCenter::instance()->urlOpener = [](const QUrl &) { return false; }; // no viewer answers
        QTest::mouseClick(t.w<QPushButton>("openReceiptBtn"), Qt::LeftButton);
        QCOMPARE(alerts.value(0).message, "You find it at " + mime.urls()[0].toLocalFile());
    }

    void throughChange_data()
    {
        QTest::addColumn<QByteArray>("stored"); // PNG, PDF: the file: URL of a file that exists
        QTest::addColumn<QString>("action");
        QTest::addColumn<QByteArray>("after");
        const QByteArray moved = "file:///nowhere/receipt.png", mac("book\0\0\2\0mark", 12);
        QTest::newRow("moved file kept") << moved << "" << moved;
        QTest::newRow("another platform's bookmark kept") << mac << "" << mac;
        QTest::newRow("moved file removed") << moved << "remove" << QByteArray();
        QTest::newRow("moved file replaced") << moved << "PDF" << QByteArray("PDF");
        QTest::newRow("file kept") << QByteArray("PNG") << "" << QByteArray("PNG");
        QTest::newRow("file removed") << QByteArray("PNG") << "remove" << QByteArray();
    }
    // Guards against a receipt not stored as its file: URL, not shown again, an unresolvable one lost or
    // told, a stale picture, a Remove that Change undoes, a drop that does not replace, a form kept after.
    void throughChange()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, action);
        QFETCH(QByteArray, after);
        QMap<QByteArray, QByteArray> url;
        for (const QByteArray kind : {"PNG", "PDF"})
            url[kind] = QUrl::fromLocalFile(makeReceipt(*dir, "receipt." + kind.toLower())).toEncoded();
        const QDateTime day(QDate(2026, 3, 10), QTime(0, 0));
        QVERIFY(writeDataFileArray({{{PropertyNameKey, "Main Street"},
                                     {ProviderNameKey, "Bob's Gutters"},
                                     {ServiceTaskNameKey, "Clean gutters"},
                                     {ServiceDateKey, day.toUTC()},
                                     {BookMarkDataKeyForReceipt, url.value(stored, stored)}}},
                                   PropertyHistoryFileForKOV));
        Tab t;
        auto *button = t.w<KOVDropButton>("dropButton");
        ReceiptNotifier::instance()->post(QUrl::fromEncoded(url["PDF"])); // shown before
        t.w<QTableView>("tableViewTab1")->selectRow(0);
        t.tab.respondToTableViewDblClickTab1(0);
        QCOMPARE(receiptShown(t.tab.widget()), stored == "PNG" ? QStringList{"receiptImage"} : QStringList{});
        QCOMPARE(button->icon().isNull(), stored != "PNG");
        QVERIFY(t.w("removeReceiptBtn")->isEnabled());
        if (action == "PDF")
            ReceiptNotifier::instance()->post(QUrl::fromEncoded(url["PDF"]));
        else if (!action.isEmpty())
            QTest::mouseClick(t.w<QToolButton>("removeReceiptBtn"), Qt::LeftButton);
        QTest::mouseClick(t.w<QPushButton>("changeBtnTab1"), Qt::LeftButton);
        QVERIFY(alerts.isEmpty() && receiptShown(t.tab.widget()).isEmpty() && button->icon().isNull());
        QCOMPARE(history().size(), 1);
        QCOMPARE(history()[0].contains(BookMarkDataKeyForReceipt), !after.isEmpty());
        QCOMPARE(history()[0].value(BookMarkDataKeyForReceipt).toByteArray(), url.value(after, after));
    }
    void showFilters_data()
    {
        QTest::addColumn<QStringList>("c"); // property, task, begin (none: as set), the alert
        QTest::addColumn<QStringList>("shown");
        row("all of this year", {{"All", "All", "", ""}, {"a", "b", "c"}});
        row("one property", {{"Lake House", "All", "", ""}, {"a", "c"}});
        row("one task", {{"All", "Clean gutters", "", ""}, {"b", "c"}});
        row("from a job's day", {{"All", "All", "2026-04-01", ""}, {"b", "c"}});
        row("begin after end", {{"All", "All", "2026-07-01", "Date Input Error"}, {"c", "b", "a", "d"}});
        const QString none = "For one or more reports, no qualifying property maintenance found based on "
                             "selection criteria";
        row("nothing found", {{"Main Street", "Paint exterior", "", none}, {}});
    }
    // Guards against a filter ignored, dates unchecked, an empty Show untold.
    void showFilters()
    {
        QFETCH(QStringList, c);
        QFETCH(QStringList, shown);
        QVERIFY(writeDataFileArray({job("a"), job("b", "Main Street", "Clean gutters", QDate(2026, 4, 1)),
                                    job("c", "Lake House", "Clean gutters", QDate(2026, 5, 20)),
                                    job("d", "Main Street", "Paint exterior", QDate(2025, 12, 31))},
                                   PropertyHistoryFileForKOV));
        Tab t;
        t.choose("propertyPopForShowTab1", c[0]);
        t.choose("serviceTaskPopForShowTab1", c[1]);
        if (!c[2].isEmpty())
            t.w<QDateTimeEdit>("beginDateTab1")->setDate(QDate::fromString(c[2], Qt::ISODate));
        t.click("showMaintBtn");
        QCOMPARE(t.shownNotes(), shown);
        QCOMPARE(alerts.size(), c[3].isEmpty() ? 0 : 1);
        QCOMPARE(alerts.value(0).title, c[3]);
    }

    // Guards against a header sort that mixes up the records behind the rows
    // (a cost that reads as no amount sorts first), a filter that misses a Change.
    void headerSort()
    {
        const QDate day(2026, 3, 10);
        QVERIFY(writeDataFileArray({job("a", "Lake House", "Paint exterior", day, "112.50"),
                                    job("b", "Lake House", "Paint exterior", day, "9.00"),
                                    job("c", "Lake House", "Paint exterior", day, "n/a")},
                                   PropertyHistoryFileForKOV));
        Tab t;
        t.click("showMaintBtn");
        for (const auto &[order, notes] : {std::pair(Qt::AscendingOrder, QStringList{"c", "b", "a"}),
                                           std::pair(Qt::DescendingOrder, QStringList{"a", "b", "c"})}) {
            t.view()->sortByColumn(7, order); // Total
            QCOMPARE(t.shownNotes(), notes);
        }
        t.load("b");
        QCOMPARE(t.text("noteTab1"), QStringLiteral("b"));
        // A Change leaves as many records, and the filter follows it.
        t.choose("propertyPopTab1", "Main Street");
        t.click("changeBtnTab1");
        QCOMPARE(kov::test::popupItems(t.w<QComboBox>("propertyPopForShowTab1")),
                 (QStringList{"Lake House", "Main Street", "---", "All"}));
    }

    // Guards against the last item of a pop-up asking for another list's sheet.
    void maintainItemRequestsTheSheet()
    {
        Tab t;
        QSignalSpy requests(&t.tab, &LogTab::maintainListRequested);
        t.choose("serTaskPopTab1", "Clean gutters");
        for (const char *popup : {"propertyPopTab1", "providerPopTab1", "serTaskPopTab1"})
            t.choose(popup, "Maintain Item List\u2026");
        const QList<QVariantList> expected{
            {PropertyFileForKOV}, {ProviderFileForKOV}, {ServiceTaskFileForKOV}};
        QCOMPARE(static_cast<const QList<QVariantList> &>(requests), expected);
    }
};

QTEST_MAIN(TestLogTab)
#include "tst_logtab.moc"
