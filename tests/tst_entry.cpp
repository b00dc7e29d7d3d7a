// The tab-1 entry form for real, on the offscreen platform: typing into the
// cost fields, the running total, Add, loading a row back by double click,
// Change and Delete, and the history cleaned at start-up. The log file is
// read back from disk after every step.
#include <sys/stat.h>

#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>

#include <QHeaderView>
#include <QTest>
#include <QTimeZone>
#include <QToolButton>

#include <unicode/locid.h>

#include "app/alerts.h"
#include "app/kovappdelegate.h"
#include "log/costrules.h"
#include "storage/clock.h"
#include "storage/datafiles.h"
#include "ui_mainwindow.h"
#include "ui_propertysheet.h"
#include "ui_tasksheet.h"

#include "testsupport.h"
#include "windowsupport.h"

using namespace kov;

namespace {

using kov::test::LocaleScope;

const QString maintainItem = QStringLiteral("Maintain Item List\u2026");
const QString propertyMessage = QStringLiteral("Please select a property name and try again, Thank you");
const QString providerMessage = QStringLiteral("Please enter a provider name and try again, Thank you");
const QString taskMessage = QStringLiteral("Please enter/select a service task and try again, Thank you");
const QString notFoundDetail =
    QStringLiteral("Delete failure\nindex in propertyHistoryArrayFromFile not found");
const QString deleteRefused = QStringLiteral("Delete request failed - not deleted");
const QString changeRefused =
    QStringLiteral("Property Maintenance not found for Change request - not changed");

// The start of a day in March 2026, New York time, as stored.
QDateTime marchDay(int day)
{
    return QDateTime(QDate(2026, 3, day), QTime(0, 0), QTimeZone("America/New_York")).toUTC();
}

// A logged job; costs as stored (canonical strings).
Record job(const QString &property, const QString &note, const QString &parts = QStringLiteral("12.50"),
           const QString &total = QStringLiteral("112.50"), int day = 10)
{
    Record r{{PropertyNameKey, property},
             {ProviderNameKey, QStringLiteral("Bob's Gutters")},
             {ServiceTaskNameKey, QStringLiteral("Paint fence")},
             {ServiceDateKey, marchDay(day)},
             {TotalCostKey, total},
             {PartsCostKey, parts},
             {LaborCostKey, QStringLiteral("100.00")},
             {TaxCostKey, QStringLiteral(".00")}};
    if (!note.isEmpty())
        r.insert(NoteKey, note);
    return r;
}

} // namespace

class TestEntry : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void twelfthCharacterIsTakenAway_data();
    void twelfthCharacterIsTakenAway();
    void editingRules_data();
    void editingRules();
    void pastedTextThatIsNoNumber();
    void purchasePriceTakesTwelve();
    void priceSwitchesItsDate();
    void sheetNumbersReformatted_data();
    void sheetNumbersReformatted();
    void taskInterval_data();
    void taskInterval();
    void totalFollows_data();
    void totalFollows();
    void addWithEmptyCosts();
    void addStoresRecordExactly();
    void decimalCommaKeepsCents();
    void receiptStoredAsFileUrl_data();
    void receiptStoredAsFileUrl();
    void entryChecks_data();
    void entryChecks();
    void doubleClickLoads_data();
    void doubleClickLoads();
    void doubleClickKeepsUnknownProperty();
    void singleClickDisables();
    void sortingOrKeyboardDisables_data();
    void sortingOrKeyboardDisables();
    void changeMovesToEnd();
    void changeKeepsForeignReceipt();
    void deleteWhoseWriteFails();
    void deleteRemovesFirstOfTwoIdentical();
    void deleteLastRecordDisablesShow();
    void recordGoneFromFile_data();
    void recordGoneFromFile();
    void noSelectedRow_data();
    void noSelectedRow();
    void startupCleaning_data();
    void startupCleaning();
    void otherLocaleChangesAndDeletes_data();
    void otherLocaleChangesAndDeletes();

private:
    std::unique_ptr<KOVAppDelegate> start();
    static void type(QLineEdit *field, const QString &text);
    static RecordList history();
    static int rowWithNote(KOVAppDelegate *d, const QString &note);
    static void doubleClickRow(KOVAppDelegate *d, int row);
    QTemporaryDir *dir = nullptr;
    QList<AlertRecord> alerts;
    int beeps = 0;
};

void TestEntry::initTestCase()
{
    kov::test::setUpWindowTests(this, alerts);
    connect(AlertCenter::instance(), &AlertCenter::beeped, this, [this] { ++beeps; });
}

void TestEntry::init()
{
    dir = new QTemporaryDir;
    alerts.clear();
    beeps = 0;
    kov::test::beginWindowTest(*dir,
                               QDateTime(QDate(2026, 6, 15), QTime(14, 30), QTimeZone("America/New_York")));
    copyDataFolderURL();
    QVERIFY(writeDataFileArray({{{PropertyNameKey, QStringLiteral("Main Street")}},
                                {{PropertyNameKey, QStringLiteral("Lake House")}}},
                               PropertyFileForKOV));
    QVERIFY(writeDataFileArray({{{ProviderNameKey, QStringLiteral("Bob's Gutters")}}}, ProviderFileForKOV));
    QVERIFY(writeDataFileArray({{{ServiceTaskNameKey, QStringLiteral("Clean gutters")}},
                                {{ServiceTaskNameKey, QStringLiteral("Paint fence")}}},
                               ServiceTaskFileForKOV));
}

void TestEntry::cleanup()
{
    kov::test::endWindowTest();
    delete dir;
}

std::unique_ptr<KOVAppDelegate> TestEntry::start()
{
    return kov::test::startWindow();
}

void TestEntry::type(QLineEdit *field, const QString &text)
{
    field->setCursorPosition(int(field->text().size()));
    QTest::keyClicks(field, text);
}

RecordList TestEntry::history()
{
    DataFileStatus status;
    return readDataFile(dataFilePath(PropertyHistoryFileForKOV), &status);
}

int TestEntry::rowWithNote(KOVAppDelegate *d, const QString &note)
{
    for (int r = 0; r < d->propertyMaintArrayForTV.size(); ++r)
        if (d->propertyMaintArrayForTV[r].value(col::note).toString() == note)
            return r;
    return -1;
}

void TestEntry::doubleClickRow(KOVAppDelegate *d, int row)
{
    QTableView *view = d->ui->tableViewTab1;
    const QRect cell = view->visualRect(view->model()->index(row, 1));
    QVERIFY(cell.isValid());
    // What a person's double click delivers: a click, then the double click.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, cell.center());
}

// ---------------------------------------------------------------------------
// Typing

void TestEntry::twelfthCharacterIsTakenAway_data()
{
    QTest::addColumn<QString>("twelfth");
    QTest::newRow("digit") << "7";
    QTest::newRow("point") << ".";
    QTest::newRow("letter") << "x";
}

void TestEntry::twelfthCharacterIsTakenAway()
{
    QFETCH(QString, twelfth);
    auto d = start();
    type(d->ui->partsCostTab1, QStringLiteral("12345678901"));
    QCOMPARE(beeps, 0);
    type(d->ui->partsCostTab1, twelfth);
    QCOMPARE(d->ui->partsCostTab1->text(), QStringLiteral("12345678901"));
    QCOMPARE(beeps, 1);
}

void TestEntry::editingRules_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("beepsAfter");
    QTest::addColumn<QString>("total");
    QTest::newRow("letter in the middle stays, last goes")
        << "123" << 1 << int(Qt::Key_X) << "1x2" << 1 << "$1.00";
    QTest::newRow("letter at the end goes") << "12" << 2 << int(Qt::Key_X) << "12" << 1 << "$12.00";
    QTest::newRow("digit in the middle") << "12" << 1 << int(Qt::Key_5) << "152" << 0 << "$152.00";
    QTest::newRow("last character deleted") << "5" << 1 << int(Qt::Key_Backspace) << "" << 1 << "$.00";
}

void TestEntry::editingRules()
{
    QFETCH(QString, typed);
    QFETCH(int, cursor);
    QFETCH(int, key);
    QFETCH(QString, after);
    QFETCH(int, beepsAfter);
    QFETCH(QString, total);
    auto d = start();
    type(d->ui->partsCostTab1, typed);
    QCOMPARE(beeps, 0);
    d->ui->partsCostTab1->setCursorPosition(cursor);
    QTest::keyClick(d->ui->partsCostTab1, Qt::Key(key));
    QCOMPARE(d->ui->partsCostTab1->text(), after);
    QCOMPARE(beeps, beepsAfter);
    QCOMPARE(d->ui->totalCostTab1->text(), total);
}

void TestEntry::pastedTextThatIsNoNumber()
{
    auto d = start();
    d->ui->partsCostTab1->insert(QStringLiteral("12ab"));
    QCOMPARE(d->ui->partsCostTab1->text(), QStringLiteral("12a"));
    QCOMPARE(beeps, 1);
}

void TestEntry::purchasePriceTakesTwelve()
{
    auto d = start();
    QLineEdit *price = d->propertySheetUi->propertyPurchaseCostPropertySheet;
    type(price, QStringLiteral("123456789012"));
    QCOMPARE(beeps, 0);
    type(price, QStringLiteral("3"));
    QCOMPARE(price->text(), QStringLiteral("123456789012"));
    QCOMPARE(beeps, 1);
}

void TestEntry::priceSwitchesItsDate()
{
    auto d = start();
    QLineEdit *sale = d->propertySheetUi->propertySaleCostPropertySheet;
    const bool acquiredOn = d->propertySheetUi->dateAcquiredPropertySheet->isEnabled();
    type(sale, QStringLiteral("9"));
    QVERIFY(d->propertySheetUi->dateSoldPropertySheet->isEnabled());
    QVERIFY(d->propertySheetUi->popOverTriggerPropSheetDisDate->isEnabled());
    QTest::keyClick(sale, Qt::Key_Backspace);
    QVERIFY(!d->propertySheetUi->dateSoldPropertySheet->isEnabled());
    QVERIFY(!d->propertySheetUi->popOverTriggerPropSheetDisDate->isEnabled());
    // The other price's date is not touched.
    QCOMPARE(d->propertySheetUi->dateAcquiredPropertySheet->isEnabled(), acquiredOn);
}

void TestEntry::sheetNumbersReformatted_data()
{
    QTest::addColumn<QString>("fieldName");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("purchase price") << "propertyPurchaseCostPropertySheet"
                                    << "1234.5"
                                    << "$1,234.50";
    QTest::newRow("sale price grouped") << "propertySaleCostPropertySheet"
                                        << "250,000"
                                        << "$250,000.00";
    QTest::newRow("lot size") << "propertyLotSizePropertySheet"
                              << "12345"
                              << "12,345";
    QTest::newRow("interior size") << "propertyInteriorSizePropertySheet"
                                   << "980"
                                   << "980";
}

void TestEntry::sheetNumbersReformatted()
{
    QFETCH(QString, fieldName);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    auto d = start();
    auto *field = d->thePropertySheet->findChild<QLineEdit *>(fieldName);
    QVERIFY(field);
    field->insert(typed);
    Q_EMIT field->editingFinished();
    QCOMPARE(field->text(), shown);
    QCOMPARE(beeps, 0);
    if (shown.startsWith(QLatin1Char('$'))) {
        // With its currency symbol the price is no number, so typing at its
        // end is refused until the symbol goes.
        type(field, QStringLiteral("1"));
        QCOMPARE(field->text(), shown);
        QCOMPARE(beeps, 1);
    }
}

void TestEntry::taskInterval_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<int>("beepsAfter");
    QTest::newRow("12") << "12"
                        << "12" << 0;
    QTest::newRow("-3") << "-3"
                        << "-3" << 0;
    QTest::newRow("spaces around") << " 7 "
                                   << " 7 " << 0;
    QTest::newRow("grouped") << "1,000"
                             << "1,00" << 1;
    QTest::newRow("decimal") << "2.5"
                             << "2." << 1;
}

void TestEntry::taskInterval()
{
    QFETCH(QString, pasted);
    QFETCH(QString, kept);
    QFETCH(int, beepsAfter);
    auto d = start();
    d->taskSheetUi->recurTimeIntervalTaskSheet->insert(pasted);
    QCOMPARE(d->taskSheetUi->recurTimeIntervalTaskSheet->text(), kept);
    QCOMPARE(beeps, beepsAfter);
}

void TestEntry::totalFollows_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("parts");
    QTest::addColumn<QString>("labor");
    QTest::addColumn<QString>("tax");
    QTest::addColumn<QString>("total");
    QTest::addColumn<bool>("pasted");
    QTest::newRow("three fields") << "en_US"
                                  << "12.50"
                                  << "100"
                                  << "7.25"
                                  << "$119.75" << false;
    QTest::newRow("pasted grouping does not end a field") << "en_US"
                                                          << "1,234.5"
                                                          << ""
                                                          << "1"
                                                          << "$1,235.50" << true;
    QTest::newRow("half even") << "en_US"
                               << "0.125"
                               << ""
                               << ""
                               << "$.12" << false;
    QTest::newRow("decimal comma") << "de_DE"
                                   << "12,50"
                                   << "100"
                                   << "7,25" << QStringLiteral("\u20ac119,75") << false;
}

void TestEntry::totalFollows()
{
    QFETCH(QString, locale);
    QFETCH(QString, parts);
    QFETCH(QString, labor);
    QFETCH(QString, tax);
    QFETCH(QString, total);
    QFETCH(bool, pasted);
    LocaleScope scope(locale);
    auto d = start();
    for (auto [field, text] : {std::pair{d->ui->partsCostTab1, parts}, std::pair{d->ui->laborCostTab1, labor},
                               std::pair{d->ui->taxCostTab1, tax}}) {
        if (text.isEmpty())
            continue;
        if (pasted)
            field->insert(text); // as a paste does: one edit
        else
            type(field, text);
    }
    QCOMPARE(d->ui->totalCostTab1->text(), total);
    QCOMPARE(beeps, 0);
}

// ---------------------------------------------------------------------------
// Add

void TestEntry::addWithEmptyCosts()
{
    auto d = start();
    QVERIFY(!d->ui->changeBtnTab1->isEnabled());
    QVERIFY(!d->ui->showMaintBtn->isEnabled());
    QTest::mouseClick(d->ui->addMaintBtn, Qt::LeftButton);
    QVERIFY(alerts.isEmpty());

    const RecordList h = history();
    QCOMPARE(h.size(), 1);
    const Record expected{{PropertyNameKey, QStringLiteral("Lake House")},
                          {ProviderNameKey, QStringLiteral("Bob's Gutters")},
                          {ServiceTaskNameKey, QStringLiteral("Clean gutters")},
                          {ServiceDateKey, QDateTime(QDate(2026, 6, 15), QTime(4, 0), Qt::UTC)},
                          {TotalCostKey, QStringLiteral(".00")},
                          {PartsCostKey, QStringLiteral(".00")},
                          {LaborCostKey, QStringLiteral(".00")},
                          {TaxCostKey, QStringLiteral(".00")}};
    QVERIFY2(recordsEqual(h[0], expected), qPrintable(QStringList(h[0].keys()).join(',')));

    QCOMPARE(d->propertyMaintArrayForTV.size(), 1);
    QCOMPARE(d->ui->contentCount->text(), QStringLiteral("Display Count: 1"));
    QVERIFY(d->ui->showMaintBtn->isEnabled());
    QVERIFY(d->ui->beginDateTab1->isEnabled());
    QCOMPARE(d->ui->propertyPopForShowTab1->currentText(), QStringLiteral("All"));
    QVERIFY(d->ui->propertyPopForShowTab1->findText(QStringLiteral("Lake House")) >= 0);
    QVERIFY(d->ui->serviceTaskPopForShowTab1->findText(QStringLiteral("Clean gutters")) >= 0);
    QVERIFY(!d->ui->changeBtnTab1->isEnabled());
    QVERIFY(!d->ui->deleteBtnTab1->isEnabled());
}

void TestEntry::addStoresRecordExactly()
{
    auto d = start();
    d->ui->propertyPopTab1->setCurrentText(QStringLiteral("Main Street"));
    d->ui->serTaskPopTab1->setCurrentText(QStringLiteral("Paint fence"));
    d->ui->serviceDateTab1->setDateTime(QDateTime(QDate(2026, 3, 14), QTime(15, 42)));
    type(d->ui->partsCostTab1, QStringLiteral("12.5"));
    type(d->ui->laborCostTab1, QStringLiteral("1,100"));
    type(d->ui->taxCostTab1, QStringLiteral("7.25"));
    type(d->ui->noteTab1, QStringLiteral("Two coats"));
    QCOMPARE(d->ui->totalCostTab1->text(), QStringLiteral("$1,119.75"));
    QTest::mouseClick(d->ui->addMaintBtn, Qt::LeftButton);

    const RecordList h = history();
    QCOMPARE(h.size(), 1);
    const Record expected{{PropertyNameKey, QStringLiteral("Main Street")},
                          {ProviderNameKey, QStringLiteral("Bob's Gutters")},
                          {ServiceTaskNameKey, QStringLiteral("Paint fence")},
                          // Local midnight of 14 March (daylight time) in UTC.
                          {ServiceDateKey, QDateTime(QDate(2026, 3, 14), QTime(4, 0), Qt::UTC)},
                          {TotalCostKey, QStringLiteral("1119.75")},
                          {PartsCostKey, QStringLiteral("12.50")},
                          {LaborCostKey, QStringLiteral("1100.00")},
                          {TaxCostKey, QStringLiteral("7.25")},
                          {NoteKey, QStringLiteral("Two coats")}};
    QVERIFY(recordsEqual(h[0], expected));

    // The form is emptied; the pop-ups keep their choices.
    for (QLineEdit *f : {d->ui->partsCostTab1, d->ui->laborCostTab1, d->ui->taxCostTab1, d->ui->totalCostTab1,
                         d->ui->noteTab1})
        QVERIFY(f->text().isEmpty());
    QCOMPARE(d->ui->serviceDateTab1->dateTime(), QDateTime(QDate(2026, 6, 15), QTime(14, 30)));
    QCOMPARE(d->ui->propertyPopTab1->currentText(), QStringLiteral("Main Street"));
    QCOMPARE(d->propertyMaintArrayForTV[0].value(col::cost).toDouble(), 1119.75);
}

void TestEntry::decimalCommaKeepsCents()
{
    LocaleScope scope(QStringLiteral("de_DE"));
    auto d = start();
    type(d->ui->partsCostTab1, QStringLiteral("12,50"));
    type(d->ui->taxCostTab1, QStringLiteral("7,25"));
    QTest::mouseClick(d->ui->addMaintBtn, Qt::LeftButton);
    const RecordList h = history();
    QCOMPARE(h.size(), 1);
    QCOMPARE(h[0].value(PartsCostKey).toString(), QStringLiteral("12,50"));
    QCOMPARE(h[0].value(TaxCostKey).toString(), QStringLiteral("7,25"));
    QCOMPARE(h[0].value(LaborCostKey).toString(), QStringLiteral(",00"));
    QCOMPARE(h[0].value(TotalCostKey).toString(), QStringLiteral("19,75"));
    QCOMPARE(d->propertyMaintArrayForTV[0].value(col::cost).toDouble(), 19.75);
}

void TestEntry::receiptStoredAsFileUrl_data()
{
    QTest::addColumn<QUrl>("receipt");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("file") << QUrl::fromLocalFile(QStringLiteral("/home/me/receipts/roof 1.pdf"))
                          << QByteArray("file:///home/me/receipts/roof%201.pdf");
    QTest::newRow("not a file") << QUrl(QStringLiteral("https://example.com/r.pdf")) << QByteArray();
}

void TestEntry::receiptStoredAsFileUrl()
{
    QFETCH(QUrl, receipt);
    QFETCH(QByteArray, stored);
    auto d = start();
    d->setImageFilePathURL(receipt);
    QTest::mouseClick(d->ui->addMaintBtn, Qt::LeftButton);
    const RecordList h = history();
    QCOMPARE(h.size(), 1);
    QCOMPARE(h[0].value(BookMarkDataKeyForReceipt).toByteArray(), stored);
    QVERIFY(d->imageFilePathURL.isEmpty());
    if (stored.isEmpty()) {
        QCOMPARE(alerts.size(), 1);
        QCOMPARE(alerts[0].title, QStringLiteral("Failed to retrieve receipt image file"));
        QVERIFY(!h[0].contains(BookMarkDataKeyForReceipt));
        return;
    }
    QVERIFY(alerts.isEmpty());
    // Loaded back with its row, and the row still finds its record.
    doubleClickRow(d.get(), 0);
    QCOMPARE(d->imageFilePathURL, receipt);
    QTest::mouseClick(d->ui->deleteBtnTab1, Qt::LeftButton);
    QVERIFY(history().isEmpty());
}

void TestEntry::entryChecks_data()
{
    QTest::addColumn<bool>("badProperty");
    QTest::addColumn<bool>("badProvider");
    QTest::addColumn<bool>("badTask");
    QTest::addColumn<QString>("message");
    QTest::newRow("all three: the task's message only") << true << true << true << taskMessage;
    QTest::newRow("property and provider") << true << true << false << providerMessage;
    QTest::newRow("property") << true << false << false << propertyMessage;
    QTest::newRow("provider") << false << true << false << providerMessage;
    QTest::newRow("task") << false << false << true << taskMessage;
}

void TestEntry::entryChecks()
{
    QFETCH(bool, badProperty);
    QFETCH(bool, badProvider);
    QFETCH(bool, badTask);
    QFETCH(QString, message);
    auto d = start();
    if (badProperty)
        d->ui->propertyPopTab1->setCurrentText(maintainItem);
    if (badProvider)
        d->ui->providerPopTab1->setCurrentIndex(d->ui->providerPopTab1->count() - 2); // the separator
    if (badTask)
        d->ui->serTaskPopTab1->setCurrentText(maintainItem);
    type(d->ui->partsCostTab1, QStringLiteral("5"));
    QTest::mouseClick(d->ui->addMaintBtn, Qt::LeftButton);

    QCOMPARE(alerts.size(), 1);
    QCOMPARE(alerts[0].title, message);
    QCOMPARE(alerts[0].message, QString());
    QCOMPARE(alerts[0].window.data(), d->window);
    QCOMPARE(beeps, 1);
    QVERIFY(!QFile::exists(dataFilePath(PropertyHistoryFileForKOV)));
    QCOMPARE(d->ui->partsCostTab1->text(), QStringLiteral("5"));
}

// ---------------------------------------------------------------------------
// Loading a row back

void TestEntry::doubleClickLoads_data()
{
    QTest::addColumn<QString>("parts");
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("partsShown");
    QTest::addColumn<QString>("totalShown");
    QTest::newRow("thousands") << "1234.50"
                               << "1334.50"
                               << "1234.50"
                               << "$1,334.50";
    QTest::newRow("zero") << ".00"
                          << ".00"
                          << ".00"
                          << "$0.00";
    QTest::newRow("cents only") << ".50"
                                << "100.50"
                                << ".50"
                                << "$100.50";
    QTest::newRow("unreadable total") << "12.50"
                                      << "abc"
                                      << "12.50"
                                      << "";
}

void TestEntry::doubleClickLoads()
{
    QFETCH(QString, parts);
    QFETCH(QString, total);
    QFETCH(QString, partsShown);
    QFETCH(QString, totalShown);
    QVERIFY(
        writeDataFileArray({job(QStringLiteral("Main Street"), QStringLiteral("east side"), parts, total, 9)},
                           PropertyHistoryFileForKOV));
    auto d = start();
    QCOMPARE(d->ui->propertyPopTab1->currentText(), QStringLiteral("Lake House"));
    doubleClickRow(d.get(), 0);
    QCOMPARE(d->ui->propertyPopTab1->currentText(), QStringLiteral("Main Street"));
    QCOMPARE(d->ui->serTaskPopTab1->currentText(), QStringLiteral("Paint fence"));
    QCOMPARE(d->ui->partsCostTab1->text(), partsShown);
    QCOMPARE(d->ui->laborCostTab1->text(), QStringLiteral("100.00"));
    QCOMPARE(d->ui->taxCostTab1->text(), QStringLiteral(".00"));
    QCOMPARE(d->ui->totalCostTab1->text(), totalShown);
    QCOMPARE(d->ui->noteTab1->text(), QStringLiteral("east side"));
    QCOMPARE(d->ui->serviceDateTab1->date(), QDate(2026, 3, 9));
    QVERIFY(d->ui->changeBtnTab1->isEnabled());
    QVERIFY(d->ui->deleteBtnTab1->isEnabled());
    QVERIFY(alerts.isEmpty());
}

void TestEntry::doubleClickKeepsUnknownProperty()
{
    QVERIFY(writeDataFileArray({job(QStringLiteral("Sold Cabin"), QString())}, PropertyHistoryFileForKOV));
    auto d = start();
    d->ui->propertyPopTab1->setCurrentText(QStringLiteral("Main Street"));
    doubleClickRow(d.get(), 0);
    QCOMPARE(d->ui->propertyPopTab1->currentText(), QStringLiteral("Main Street"));
    QCOMPARE(d->ui->noteTab1->text(), QString());
    QVERIFY(d->ui->deleteBtnTab1->isEnabled());
}

void TestEntry::singleClickDisables()
{
    QVERIFY(writeDataFileArray({job(QStringLiteral("Lake House"), QStringLiteral("a"))},
                               PropertyHistoryFileForKOV));
    auto d = start();
    doubleClickRow(d.get(), 0);
    QVERIFY(d->ui->changeBtnTab1->isEnabled());
    QTableView *view = d->ui->tableViewTab1;
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(view->model()->index(0, 2)).center());
    QVERIFY(!d->ui->changeBtnTab1->isEnabled());
    QVERIFY(!d->ui->deleteBtnTab1->isEnabled());
    // Cells are not edited in place.
    QCOMPARE(view->model()->flags(view->model()->index(0, 2)) & Qt::ItemIsEditable, Qt::ItemFlags());
}

void TestEntry::sortingOrKeyboardDisables_data()
{
    QTest::addColumn<bool>("byHeader");
    QTest::newRow("header click") << true;
    QTest::newRow("arrow key") << false;
}

void TestEntry::sortingOrKeyboardDisables()
{
    // After a sort or a keyboard move another record sits under the
    // selection; Delete must not remove it in place of the loaded one.
    QFETCH(bool, byHeader);
    QVERIFY(writeDataFileArray({job(QStringLiteral("Lake House"), QStringLiteral("b")),
                                job(QStringLiteral("Lake House"), QStringLiteral("a"))},
                               PropertyHistoryFileForKOV));
    auto d = start();
    doubleClickRow(d.get(), 0);
    QVERIFY(d->ui->deleteBtnTab1->isEnabled());
    QTableView *view = d->ui->tableViewTab1;
    if (byHeader) {
        QHeaderView *header = view->horizontalHeader();
        const int section = header->logicalIndexAt(header->width() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
    } else {
        view->setFocus();
        QTest::keyClick(view, Qt::Key_Down);
    }
    QVERIFY(!d->ui->changeBtnTab1->isEnabled());
    QVERIFY(!d->ui->deleteBtnTab1->isEnabled());
}

// ---------------------------------------------------------------------------
// Change and delete

void TestEntry::changeMovesToEnd()
{
    const Record a = job(QStringLiteral("Lake House"), QStringLiteral("a"), QStringLiteral("1.00"),
                         QStringLiteral("101.00"), 2);
    const Record b = job(QStringLiteral("Main Street"), QStringLiteral("b"));
    const Record c = job(QStringLiteral("Lake House"), QStringLiteral("c"), QStringLiteral("3.00"),
                         QStringLiteral("103.00"), 4);
    QVERIFY(writeDataFileArray({a, b, c}, PropertyHistoryFileForKOV));
    auto d = start();
    doubleClickRow(d.get(), rowWithNote(d.get(), QStringLiteral("b")));
    d->ui->partsCostTab1->clear();
    type(d->ui->partsCostTab1, QStringLiteral("20"));
    d->ui->noteTab1->setText(QStringLiteral("b again"));
    QTest::mouseClick(d->ui->changeBtnTab1, Qt::LeftButton);
    QVERIFY(alerts.isEmpty());

    const RecordList h = history();
    QCOMPARE(h.size(), 3);
    QVERIFY(recordsEqual(h[0], a));
    QVERIFY(recordsEqual(h[1], c));
    Record changed = b;
    changed.insert(NoteKey, QStringLiteral("b again"));
    changed.insert(PartsCostKey, QStringLiteral("20.00"));
    changed.insert(TotalCostKey, QStringLiteral("120.00"));
    QVERIFY(recordsEqual(h[2], changed));

    // The table shows the whole file in file order, the changed record last.
    QCOMPARE(d->propertyMaintArrayForTV.size(), 3);
    QCOMPARE(d->propertyMaintArrayForTV[2].value(col::note).toString(), QStringLiteral("b again"));
    QVERIFY(d->ui->partsCostTab1->text().isEmpty());
    QVERIFY(!d->ui->changeBtnTab1->isEnabled());
}

void TestEntry::changeKeepsForeignReceipt()
{
    // Receipt data written on another platform names no file here; a
    // Change must not drop it from the record.
    Record b = job(QStringLiteral("Main Street"), QStringLiteral("b"));
    const QByteArray foreign("book\x00\x02mark from a Mac", 20);
    b.insert(BookMarkDataKeyForReceipt, foreign);
    QVERIFY(writeDataFileArray({b}, PropertyHistoryFileForKOV));
    auto d = start();
    doubleClickRow(d.get(), 0);
    d->ui->noteTab1->setText(QStringLiteral("b again"));
    QTest::mouseClick(d->ui->changeBtnTab1, Qt::LeftButton);
    QVERIFY(alerts.isEmpty());
    const RecordList h = history();
    QCOMPARE(h.size(), 1);
    QCOMPARE(h[0].value(NoteKey).toString(), QStringLiteral("b again"));
    QCOMPARE(h[0].value(BookMarkDataKeyForReceipt).toByteArray(), foreign);
}

void TestEntry::deleteWhoseWriteFails()
{
    QVERIFY(writeDataFileArray({job(QStringLiteral("Lake House"), QStringLiteral("a")),
                                job(QStringLiteral("Lake House"), QStringLiteral("b"))},
                               PropertyHistoryFileForKOV));
    const RecordList before = history();
    auto d = start();
    doubleClickRow(d.get(), 0);
    // A file-size limit fails the write as a full disk would, even for root.
    struct rlimit saved;
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tiny = saved;
    tiny.rlim_cur = 16;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    QTest::mouseClick(d->ui->deleteBtnTab1, Qt::LeftButton);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    // One alert, the write's own; the row and the file stay as they were.
    QCOMPARE(alerts.size(), 1);
    QVERIFY2(alerts[0].title.contains(PropertyHistoryFileForKOV), qPrintable(alerts[0].title + QLatin1Char('|') + alerts[0].message));
    QCOMPARE(d->propertyMaintArrayForTV.size(), 2);
    const RecordList after = history();
    QCOMPARE(after.size(), before.size());
    for (qsizetype i = 0; i < after.size(); ++i)
        QVERIFY(recordsEqual(after[i], before[i]));
}

void TestEntry::deleteRemovesFirstOfTwoIdentical()
{
    const Record x = job(QStringLiteral("Lake House"), QStringLiteral("x"));
    const Record y = job(QStringLiteral("Main Street"), QStringLiteral("y"), QStringLiteral("2.00"),
                         QStringLiteral("102.00"), 11);
    QVERIFY(writeDataFileArray({x, y, x}, PropertyHistoryFileForKOV));
    auto d = start();
    doubleClickRow(d.get(), rowWithNote(d.get(), QStringLiteral("x")));
    QTest::mouseClick(d->ui->deleteBtnTab1, Qt::LeftButton);
    QVERIFY(alerts.isEmpty());

    const RecordList h = history();
    QCOMPARE(h.size(), 2);
    QVERIFY(recordsEqual(h[0], y));
    QVERIFY(recordsEqual(h[1], x));
    QCOMPARE(d->propertyMaintArrayForTV.size(), 2);
    QCOMPARE(d->ui->contentCount->text(), QStringLiteral("Display Count: 2"));
    QVERIFY(!d->ui->deleteBtnTab1->isEnabled());
    QVERIFY(d->ui->showMaintBtn->isEnabled());
}

void TestEntry::deleteLastRecordDisablesShow()
{
    QVERIFY(writeDataFileArray({job(QStringLiteral("Lake House"), QStringLiteral("x"))},
                               PropertyHistoryFileForKOV));
    auto d = start();
    QVERIFY(d->ui->showMaintBtn->isEnabled());
    doubleClickRow(d.get(), 0);
    QTest::mouseClick(d->ui->deleteBtnTab1, Qt::LeftButton);
    QVERIFY(history().isEmpty());
    QVERIFY(QFile::exists(dataFilePath(PropertyHistoryFileForKOV)));
    QVERIFY(!d->ui->showMaintBtn->isEnabled());
    QVERIFY(!d->ui->propertyPopForShowTab1->isEnabled());
    QCOMPARE(d->ui->contentCount->text(), QStringLiteral("Display Count: 0"));
}

void TestEntry::recordGoneFromFile_data()
{
    QTest::addColumn<bool>("change");
    QTest::addColumn<QString>("title");
    QTest::newRow("delete") << false << deleteRefused;
    QTest::newRow("change") << true << changeRefused;
}

void TestEntry::recordGoneFromFile()
{
    QFETCH(bool, change);
    QFETCH(QString, title);
    const Record x = job(QStringLiteral("Lake House"), QStringLiteral("x"));
    const Record y = job(QStringLiteral("Main Street"), QStringLiteral("y"));
    QVERIFY(writeDataFileArray({x, y}, PropertyHistoryFileForKOV));
    auto d = start();
    doubleClickRow(d.get(), rowWithNote(d.get(), QStringLiteral("x")));
    // Changed elsewhere after the table was filled.
    QVERIFY(writeDataFileArray({y}, PropertyHistoryFileForKOV));
    QTest::mouseClick(change ? d->ui->changeBtnTab1 : d->ui->deleteBtnTab1, Qt::LeftButton);

    // One alert that says both, never two on top of each other.
    QCOMPARE(alerts.size(), 1);
    QCOMPARE(alerts[0].title, title);
    QCOMPARE(alerts[0].message, notFoundDetail);
    QCOMPARE(beeps, 0);
    const RecordList h = history();
    QCOMPARE(h.size(), 1);
    QVERIFY(recordsEqual(h[0], y));
    QVERIFY(d->ui->changeBtnTab1->isEnabled());
    QVERIFY(d->ui->deleteBtnTab1->isEnabled());
    QCOMPARE(d->ui->noteTab1->text(), QStringLiteral("x"));
}

void TestEntry::noSelectedRow_data()
{
    QTest::addColumn<bool>("change");
    QTest::addColumn<QString>("title");
    QTest::newRow("delete") << false << deleteRefused;
    QTest::newRow("change") << true << changeRefused;
}

void TestEntry::noSelectedRow()
{
    QFETCH(bool, change);
    QFETCH(QString, title);
    QVERIFY(writeDataFileArray({job(QStringLiteral("Lake House"), QStringLiteral("x"))},
                               PropertyHistoryFileForKOV));
    auto d = start();
    if (change)
        d->changeMaintFromList(d->ui->changeBtnTab1);
    else
        d->doMaintDeleteDriver(d->ui->deleteBtnTab1);
    QCOMPARE(alerts.size(), 1);
    QCOMPARE(alerts[0].title, title);
    QCOMPARE(alerts[0].message, QString());
    QCOMPARE(history().size(), 1);
}

// ---------------------------------------------------------------------------
// Start-up and other locales

void TestEntry::startupCleaning_data()
{
    QTest::addColumn<Record>("stored");
    QTest::addColumn<bool>("written");
    Record emptyNote = job(QStringLiteral("Lake House"), QString());
    emptyNote.insert(NoteKey, QString());
    QTest::newRow("empty note removed") << emptyNote << true;
    Record emptyProvider = job(QStringLiteral("Lake House"), QStringLiteral("n"));
    emptyProvider.insert(ProviderNameKey, QString());
    QTest::newRow("empty provider removed") << emptyProvider << true;
    QTest::newRow("nothing to remove") << job(QStringLiteral("Lake House"), QStringLiteral("n")) << false;
}

void TestEntry::startupCleaning()
{
    QFETCH(Record, stored);
    QFETCH(bool, written);
    QVERIFY(writeDataFileArray({stored}, PropertyHistoryFileForKOV));
    struct stat before {};
    QCOMPARE(::stat(QFile::encodeName(dataFilePath(PropertyHistoryFileForKOV)).constData(), &before), 0);
    auto d = start();
    struct stat after {};
    QCOMPARE(::stat(QFile::encodeName(dataFilePath(PropertyHistoryFileForKOV)).constData(), &after), 0);
    // Every write replaces the file, so a new inode means it was written.
    QCOMPARE(after.st_ino != before.st_ino, written);
    const RecordList h = history();
    QCOMPARE(h.size(), 1);
    for (auto it = h[0].cbegin(); it != h[0].cend(); ++it)
        QVERIFY2(!(it.value().typeId() == QMetaType::QString && it.value().toString().isEmpty()),
                 qPrintable(it.key()));
    QCOMPARE(d->propertyMaintArrayForTV.size(), 1);
}

void TestEntry::otherLocaleChangesAndDeletes_data()
{
    QTest::addColumn<bool>("change");
    QTest::newRow("change") << true;
    QTest::newRow("delete") << false;
}

void TestEntry::otherLocaleChangesAndDeletes()
{
    QFETCH(bool, change);
    // Written where "." is the decimal point, read where it groups digits.
    const Record x = job(QStringLiteral("Lake House"), QStringLiteral("x"), QStringLiteral("1234.50"),
                         QStringLiteral("1334.50"));
    const Record y = job(QStringLiteral("Main Street"), QStringLiteral("y"));
    QVERIFY(writeDataFileArray({x, y}, PropertyHistoryFileForKOV));
    LocaleScope scope(QStringLiteral("de_DE"));
    auto d = start();
    const int row = rowWithNote(d.get(), QStringLiteral("x"));
    QCOMPARE(d->propertyMaintArrayForTV[row].value(col::parts).toDouble(), 1234.5);
    doubleClickRow(d.get(), row);
    QCOMPARE(d->ui->partsCostTab1->text(), QStringLiteral("1234,50"));
    QCOMPARE(d->ui->totalCostTab1->text(), QStringLiteral("\u20ac1.334,50"));
    if (change) {
        d->ui->noteTab1->setText(QStringLiteral("x again"));
        QTest::mouseClick(d->ui->changeBtnTab1, Qt::LeftButton);
    } else {
        QTest::mouseClick(d->ui->deleteBtnTab1, Qt::LeftButton);
    }
    QVERIFY(alerts.isEmpty());
    const RecordList h = history();
    QCOMPARE(h.size(), change ? 2 : 1);
    QVERIFY(recordsEqual(h[0], y));
    if (change) {
        QCOMPARE(h[1].value(NoteKey).toString(), QStringLiteral("x again"));
        QCOMPARE(h[1].value(PartsCostKey).toString(), QStringLiteral("1234,50"));
        QCOMPARE(h[1].value(TotalCostKey).toString(), QStringLiteral("1334,50"));
    }
}

QTEST_MAIN(TestEntry)
#include "tst_entry.moc"
