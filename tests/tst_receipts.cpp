// Tab 1's receipt: files dropped on the receipt button and on the popover's view (the events
// synthesized: the offscreen platform runs no drag), stored with a record, shown again, removed.
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfView>
#include <QPdfWriter>
#include <QTableView>
#include <QToolButton>

#include "app/datastore.h"
#include "app/datepopover.h"
#include "log/logtab.h"
#include "log/receiptwidgets.h"
#include "testsupport.h"
#include "windowsupport.h"

using namespace kov;

namespace {

// A receipt named by its kind: a green PNG, a two-page PDF (a red square on white, then blue),
// text, or a damaged PNG or PDF.
QString makeReceipt(const QTemporaryDir &dir, const QString &name)
{
    const QString path = dir.filePath(name);
    QImage green(40, 30, QImage::Format_RGB32);
    green.fill(Qt::green);
    QByteArray bytes;
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
    if (name.endsWith(".png")) {
        green.save(path);
        bytes = kov::test::readAll(path);
        if (name == "truncated.png")
            bytes.truncate(bytes.size() / 2);
    } else {
        bytes =
            name == "broken.pdf" ? "%PDF-1.7\n1 0 obj << /Type /Catalog /Pages 9 0 R >>\n" : "Paid in full\n";
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? path : QString();
}

struct Tab {
    QWidget host;
    DataStore store;
    DatePopover pop{&host};
    LogTab tab{&store, &pop};
    Tab()
    {
        tab.setPopupsStartingItem(store.copyTaskListSeedingDefaults(), store.records(ProviderFileForKOV),
                                  store.records(PropertyFileForKOV));
        tab.showWholeLog(store.records(PropertyHistoryFileForKOV));
        tab.widget()->show();
    }
    template <typename W = QWidget> W *w(const char *name) const
    {
        return kov::test::child<W>(tab.widget(), name);
    }
    KOVDropButton *button() const { return w<KOVDropButton>("dropButton"); }
    QImage picture() const { return button()->icon().pixmap(176).toImage(); }
    QStringList shown() const
    {
        QStringList names;
        for (const QObject *o : w("dropView")->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
            names.append(o->objectName());
        return names;
    }
};

} // namespace

class TestReceipts : public QObject {
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
        kov::test::beginWindowTest(*dir, QDateTime(QDate(2026, 6, 15), QTime(14, 30)));
        copyDataFolderURL();
        QVERIFY(writeDataFileArray({{{PropertyNameKey, "Main Street"}}}, PropertyFileForKOV));
        QVERIFY(writeDataFileArray({{{ProviderNameKey, "Bob's Gutters"}}}, ProviderFileForKOV));
    }
    void cleanup() { kov::test::endWindowTest(); }

    void dropped_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("onButton");
        QTest::addColumn<QString>("shown");       // what the popover's view holds; none: refused
        QTest::addColumn<QStringList>("colours"); // the button's picture: centre, corner; or the line told
        QTest::newRow("png on the button")
            << "receipt.png" << true << "receiptImage" << QStringList{"#00ff00", "#00ff00"};
        QTest::newRow("pdf in the view")
            << "receipt.pdf" << false << "receiptPdf" << QStringList{"#ff0000", "#ffffff"};
        QTest::newRow("text refused") << "notes.txt" << true << "" << QStringList{};
        QTest::newRow("broken pdf") << "broken.pdf" << false << "receiptProblem"
                                    << QStringList{"the PDF is damaged"};
        QTest::newRow("truncated png")
            << "truncated.png" << true << "receiptProblem" << QStringList{"the image is damaged"};
    }
    // Guards against a refused type taken, a move offered to the file manager, the popover not opened
    // or opened by the view, the wrong page on the button, a transparent thumbnail, a damaged file untold.
    void dropped()
    {
        QFETCH(QString, file);
        QFETCH(bool, onButton);
        QFETCH(QString, shown);
        QFETCH(QStringList, colours);
        Tab t;
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(makeReceipt(*dir, file))});
        QWidget *target = onButton ? t.button() : t.w("dropView");
        QDragEnterEvent enter({20, 20}, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &mime,
                              Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &enter);
        QCOMPARE(enter.isAccepted(), !shown.isEmpty());
        QCOMPARE(t.button()->isDragInside(), onButton && !shown.isEmpty());
        if (shown.isEmpty()) {
            QVERIFY(t.button()->icon().isNull() && t.shown().isEmpty() &&
                    !t.w("removeReceiptBtn")->isEnabled());
            return;
        }
        QCOMPARE(enter.dropAction(), Qt::LinkAction);
        QDropEvent drop({20, 20}, enter.possibleActions(), &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &drop);
        QVERIFY(drop.isAccepted());
        QCoreApplication::processEvents();
        QCOMPARE(t.w("receiptPopover")->isVisible(), onButton);
        QVERIFY(!t.button()->isDragInside() && t.w("removeReceiptBtn")->isEnabled());
        QCOMPARE(t.shown(), QStringList{shown});
        QVERIFY(!t.button()->icon().isNull());
        if (shown == "receiptProblem")
            QVERIFY(t.w<QLabel>("receiptProblem")->text().contains(colours[0]));
        else if (shown == "receiptPdf")
            QCOMPARE(t.w<QPdfView>("receiptPdf")->document()->pageCount(), 2);
        if (colours.size() == 2) {
            const QImage picture = t.picture();
            QCOMPARE(picture.pixelColor(picture.rect().center()).name(), colours[0]);
            QCOMPARE(picture.pixelColor(1, 1).name(), colours[1]);
        }
    }

    // Guards against a dropped receipt not stored as its file: URL, kept after Add, not shown again.
    void storedAndShownAgain()
    {
        const QString path = makeReceipt(*dir, "receipt.pdf");
        Tab t;
        ReceiptNotifier::instance()->post(QUrl::fromLocalFile(path));
        QTest::mouseClick(t.w<QPushButton>("addMaintBtn"), Qt::LeftButton);
        QCOMPARE(history().value(0).value(BookMarkDataKeyForReceipt).toByteArray(),
                 QUrl::fromLocalFile(path).toEncoded());
        QVERIFY(t.button()->icon().isNull() && t.shown().isEmpty());
        t.tab.respondToTableViewDblClickTab1(0);
        QCOMPARE(t.shown(), QStringList{"receiptPdf"});
        QCOMPARE(t.picture().pixelColor(t.picture().rect().center()).name(), "#ff0000");
    }

    void throughChange_data()
    {
        QTest::addColumn<QByteArray>("stored"); // "FILE": a PNG that exists
        QTest::addColumn<bool>("remove");
        QTest::addColumn<QByteArray>("after");
        const QByteArray moved = "file:///nowhere/receipt.png", mac("book\0\0\2\0mark", 12);
        QTest::newRow("moved file kept") << moved << false << moved;
        QTest::newRow("another platform's bookmark kept") << mac << false << mac;
        QTest::newRow("moved file removed") << moved << true << QByteArray();
        QTest::newRow("file kept") << QByteArray("FILE") << false << QByteArray("FILE");
        QTest::newRow("file removed") << QByteArray("FILE") << true << QByteArray();
    }
    // Guards against an unresolvable receipt lost or told, a stale picture, a Remove that Change undoes.
    void throughChange()
    {
        QFETCH(QByteArray, stored);
        QFETCH(bool, remove);
        QFETCH(QByteArray, after);
        const QByteArray file = QUrl::fromLocalFile(makeReceipt(*dir, "receipt.png")).toEncoded();
        const QDateTime day(QDate(2026, 3, 10), QTime(0, 0));
        QVERIFY(writeDataFileArray({{{PropertyNameKey, "Main Street"},
                                     {ProviderNameKey, "Bob's Gutters"},
                                     {ServiceTaskNameKey, "Clean gutters"},
                                     {ServiceDateKey, day.toUTC()},
                                     {BookMarkDataKeyForReceipt, stored == "FILE" ? file : stored}}},
                                   PropertyHistoryFileForKOV));
        Tab t;
        ReceiptNotifier::instance()->post(
            QUrl::fromLocalFile(makeReceipt(*dir, "receipt.pdf"))); // shown before
        t.w<QTableView>("tableViewTab1")->selectRow(0);
        t.tab.respondToTableViewDblClickTab1(0);
        QCOMPARE(t.shown(), stored == "FILE" ? QStringList{"receiptImage"} : QStringList{});
        QCOMPARE(t.button()->icon().isNull(), stored != "FILE");
        QVERIFY(t.w("removeReceiptBtn")->isEnabled());
        if (remove)
            QTest::mouseClick(t.w<QToolButton>("removeReceiptBtn"), Qt::LeftButton);
        QTest::mouseClick(t.w<QPushButton>("changeBtnTab1"), Qt::LeftButton);
        QCOMPARE(alerts.size(), 0);
        QCOMPARE(history().size(), 1);
        QCOMPARE(history()[0].contains(BookMarkDataKeyForReceipt), !after.isEmpty());
        QCOMPARE(history()[0].value(BookMarkDataKeyForReceipt).toByteArray(), after == "FILE" ? file : after);
    }
};

QTEST_MAIN(TestReceipts)
#include "tst_receipts.moc"
