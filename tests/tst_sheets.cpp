// The property, provider and task sheets for real, on the offscreen
// platform: opened from the tab-1 pop-ups, typed into, Add, Change and
// Delete pressed, the data files read back after each step.
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimeZone>
#include <QToolButton>

#include "app/alerts.h"
#include "app/kovappdelegate.h"
#include "storage/clock.h"
#include "storage/datafiles.h"
#include "storage/rtfd.h"
#include "ui_mainwindow.h"
#include "ui_propertysheet.h"
#include "ui_providersheet.h"
#include "ui_tasksheet.h"

#include "windowsupport.h"

using namespace kov;

namespace {

const QString maintainItem = QStringLiteral("Maintain Item List\u2026");
const QDateTime pinnedNow = QDateTime(QDate(2026, 6, 15), QTime(14, 30), QTimeZone("America/New_York"));

const QString mismatchMessage = QStringLiteral(
    "was deleted or changed.\r\rChanging the name or deleting the property/task/provider name  may cause "
    "mismatched data between the property/task/provider data and the property maintenance data\r\rIf it was "
    "deleted, please re-add. If it was changed make sure the *name* stays the same");

QStringList names(const RecordList &list, const QString &key)
{
    QStringList out;
    for (const Record &r : list)
        out.append(r.value(key).toString());
    return out;
}

Record job(const QString &property, const QString &provider, const QString &task)
{
    return {{PropertyNameKey, property},
            {ProviderNameKey, provider},
            {ServiceTaskNameKey, task},
            {ServiceDateKey, QDateTime(QDate(2026, 3, 10), QTime(4, 0), Qt::UTC)},
            {TotalCostKey, QStringLiteral("10.00")},
            {PartsCostKey, QStringLiteral("10.00")},
            {LaborCostKey, QStringLiteral(".00")},
            {TaxCostKey, QStringLiteral(".00")}};
}

} // namespace

class TestSheets : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void opensWindowModalAndSorted_data();
    void opensWindowModalAndSorted();
    void closeSavesNothing();
    void addRefusals_data();
    void addRefusals();
    void duplicatesByExactName_data();
    void duplicatesByExactName();
    void taskRecordAndStyles();
    void taskNoneStoresNoCount();
    void propertyCostsOnlyWhenTyped_data();
    void propertyCostsOnlyWhenTyped();
    void addRefreshesPopups();
    void changeRewritesAtEnd();
    void changeRefusals();
    void deleteAndMismatchWarning_data();
    void deleteAndMismatchWarning();
    void deleteLastPropertyLeavesMaintainItem();
    void doubleClickLoads();
    void doubleClickMissingRecord();
    void reopenKeepsFieldsDatesNow();
    void fromEmptyStart();
    void screenshots();

private:
    std::unique_ptr<KOVAppDelegate> start();
    static QDialog *open(KOVAppDelegate *d, QComboBox *popup, QDialog *sheet);
    static void setText(QLineEdit *field, const QString &text);
    static void doubleClickRow(QTableView *view, int row);
    static QStringList column(QTableView *view, int column);
    QList<AlertRecord> alertsAfter(qsizetype from) const { return alerts.mid(from); }
    QTemporaryDir *dir = nullptr;
    QList<AlertRecord> alerts;
    int beeps = 0;
};

void TestSheets::initTestCase()
{
    kov::test::setUpWindowTests(this, alerts);
    connect(AlertCenter::instance(), &AlertCenter::beeped, this, [this] { ++beeps; });
}

void TestSheets::init()
{
    dir = new QTemporaryDir;
    alerts.clear();
    beeps = 0;
    kov::test::beginWindowTest(*dir, pinnedNow);
    copyDataFolderURL();
    if (QByteArray(QTest::currentTestFunction()) == "fromEmptyStart")
        return;
    QVERIFY(writeDataFileArray({{{PropertyNameKey, QStringLiteral("Main Street")},
                                 {PropertyAddressKey, QStringLiteral("1 Main St")}},
                                {{PropertyNameKey, QStringLiteral("lake House")},
                                 {PropertyAddressKey, QStringLiteral("9 Shore Rd")}},
                                {{PropertyNameKey, QStringLiteral("Attic Flat")}}},
                               PropertyFileForKOV));
    QVERIFY(writeDataFileArray({{{ProviderNameKey, QStringLiteral("Bob's Gutters")},
                                 {ProviderAddressKey, QString()},
                                 {ProviderNoteKey, QString()},
                                 {ProviderEmailKey, QString()},
                                 {ProviderWebPageKey, QString()},
                                 {ProviderPhoneKey, QStringLiteral("555-0100")}},
                                {{ProviderNameKey, QStringLiteral("ace Roofing")}}},
                               ProviderFileForKOV));
    QVERIFY(writeDataFileArray({{{ServiceTaskNameKey, QStringLiteral("gutters")},
                                 {ServiceTaskDescriptionKey, rtfdFromPlainText(QStringLiteral("Clean out"))},
                                 {ServiceTaskTimeUnits, 1LL},
                                 {ServiceTaskTimeInUnitsKey, 6LL}},
                                {{ServiceTaskNameKey, QStringLiteral("Paint fence")},
                                 {ServiceTaskDescriptionKey, rtfdFromPlainText(QStringLiteral("Both sides"))},
                                 {ServiceTaskTimeUnits, 3LL}}},
                               ServiceTaskFileForKOV));
    QVERIFY(writeDataFileArray({job(QStringLiteral("Main Street"), QStringLiteral("Bob's Gutters"),
                                    QStringLiteral("gutters"))},
                               PropertyHistoryFileForKOV));
}

void TestSheets::cleanup()
{
    kov::test::endWindowTest();
    delete dir;
}

std::unique_ptr<KOVAppDelegate> TestSheets::start()
{
    return kov::test::startWindow();
}

QDialog *TestSheets::open(KOVAppDelegate *d, QComboBox *popup, QDialog *sheet)
{
    const int index = popup->findText(maintainItem);
    if (index < 0)
        return nullptr;
    popup->setCurrentIndex(index);
    Q_EMIT popup->activated(index);
    // Shown one turn of the event loop later.
    if (!QTest::qWaitFor([sheet] { return sheet->isVisible(); }))
        return nullptr;
    Q_UNUSED(d);
    return sheet;
}

void TestSheets::setText(QLineEdit *field, const QString &text)
{
    field->selectAll();
    field->del();
    QTest::keyClicks(field, text);
    Q_EMIT field->editingFinished();
}

void TestSheets::doubleClickRow(QTableView *view, int row)
{
    const QRect cell = view->visualRect(view->model()->index(row, 0));
    QVERIFY(cell.isValid());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, cell.center());
}

QStringList TestSheets::column(QTableView *view, int c)
{
    QStringList out;
    for (int r = 0; r < view->model()->rowCount(); ++r)
        out.append(view->model()->index(r, c).data().toString());
    return out;
}

// ---------------------------------------------------------------------------

void TestSheets::opensWindowModalAndSorted_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("property") << 0 << QStringList{"Attic Flat", "lake House", "Main Street"};
    QTest::newRow("provider") << 1 << QStringList{"ace Roofing", "Bob's Gutters"};
    QTest::newRow("task") << 2 << QStringList{"gutters", "Paint fence"};
}

void TestSheets::opensWindowModalAndSorted()
{
    QFETCH(int, which);
    QFETCH(QStringList, rows);
    auto d = start();
    QComboBox *popups[] = {d->ui->propertyPopTab1, d->ui->providerPopTab1, d->ui->serTaskPopTab1};
    QDialog *sheets[] = {d->thePropertySheet, d->theProviderSheet, d->theTaskSheet};
    QTableView *tables[] = {d->propertySheetUi->tableViewPropertySheet, d->providerSheetUi->tableViewProviderSheet,
                            d->taskSheetUi->tableViewTaskSheet};
    QPushButton *changes[] = {d->propertySheetUi->changeBtnPropertySheet,
                              d->providerSheetUi->changeBtnProviderSheet, d->taskSheetUi->changeBtnTaskSheet};
    QPushButton *deletes[] = {d->propertySheetUi->deleteBtnPropertySheet,
                              d->providerSheetUi->deleteBtnProviderSheet, d->taskSheetUi->deleteBtnTaskSheet};
    // Not shown before the pop-up's own handling ends.
    QComboBox *popup = popups[which];
    popup->setCurrentIndex(popup->findText(maintainItem));
    Q_EMIT popup->activated(popup->currentIndex());
    QVERIFY(!sheets[which]->isVisible());
    QTRY_VERIFY(sheets[which]->isVisible());
    QCOMPARE(sheets[which]->windowModality(), Qt::WindowModal);
    QCOMPARE(sheets[which]->parentWidget(), d->window);
    QCOMPARE(column(tables[which], 0), rows);
    QVERIFY(!changes[which]->isEnabled());
    QVERIFY(!deletes[which]->isEnabled());
    if (which == 2)
        QCOMPARE(column(tables[2], 2), (QStringList{"6 months", "None"}));
    // The main window takes no input while the sheet is up.
    QVERIFY(QApplication::activeModalWidget() == sheets[which]);
    for (int other = 0; other < 3; ++other)
        if (other != which)
            QVERIFY(!sheets[other]->isVisible());
}

void TestSheets::closeSavesNothing()
{
    auto d = start();
    QDialog *sheet = open(d.get(), d->ui->providerPopTab1, d->theProviderSheet);
    QVERIFY(sheet);
    const QByteArray before = [] {
        QFile f(dataFilePath(ProviderFileForKOV));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    setText(d->providerSheetUi->providerNameProviderSheet, QStringLiteral("Typed, not added"));
    QTest::mouseClick(d->providerSheetUi->closeBtnProviderSheet, Qt::LeftButton);
    QVERIFY(!sheet->isVisible());
    QFile f(dataFilePath(ProviderFileForKOV));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);
    QVERIFY(alerts.isEmpty());
}

void TestSheets::addRefusals_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("desc");
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("interval");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    const QString taskMissing = QStringLiteral("Task Data Missing");
    const QString taskMessage =
        QStringLiteral("Task Name and Task Description must be entered, please try again.  Thank you");
    QTest::newRow("task without name") << 2 << "" << "Sweep" << 1 << "3" << taskMissing << taskMessage;
    QTest::newRow("task without description") << 2 << "Sweep" << "" << 1 << "3" << taskMissing << taskMessage;
    const QString noInterval = QStringLiteral("No Time Interval entered( or was zero )");
    const QString intervalMessage =
        QStringLiteral("Time Interval required for Months, Days or Years. Please enter it. Thank you");
    QTest::newRow("days without interval") << 2 << "Sweep" << "x" << 0 << "" << noInterval << intervalMessage;
    QTest::newRow("years with zero") << 2 << "Sweep" << "x" << 2 << "0" << noInterval << intervalMessage;
    QTest::newRow("task duplicate") << 2 << "gutters" << "x" << 1 << "1"
                                    << "Duplicate Service Task Name - not added" << "";
    QTest::newRow("property without name")
        << 0 << "" << "" << 0 << "" << "Property Data Missing"
        << "Property Name must be entered, please try again.  Thank you";
    QTest::newRow("property duplicate") << 0 << "lake House" << "" << 0 << ""
                                        << "Duplicate PropertyName - not added" << "";
    QTest::newRow("provider without name")
        << 1 << "" << "" << 0 << "" << "Provider Data Missing"
        << "Provider Name must be entered, please try again.  Thank you";
    QTest::newRow("provider duplicate") << 1 << "ace Roofing" << "" << 0 << ""
                                        << "Duplicate Provider Name - not added" << "";
}

void TestSheets::addRefusals()
{
    QFETCH(int, which);
    QFETCH(QString, name);
    QFETCH(QString, desc);
    QFETCH(int, unit);
    QFETCH(QString, interval);
    QFETCH(QString, title);
    QFETCH(QString, message);
    auto d = start();
    const QString files[] = {PropertyFileForKOV, ProviderFileForKOV, ServiceTaskFileForKOV};
    const RecordList before = copyDataFileArray(files[which]);
    QDialog *sheet = nullptr;
    QPushButton *add = nullptr;
    QLineEdit *nameField = nullptr;
    if (which == 0) {
        sheet = open(d.get(), d->ui->propertyPopTab1, d->thePropertySheet);
        add = d->propertySheetUi->addBtnPropertySheet;
        nameField = d->propertySheetUi->propertyNamePropertySheet;
    } else if (which == 1) {
        sheet = open(d.get(), d->ui->providerPopTab1, d->theProviderSheet);
        add = d->providerSheetUi->addBtnProviderSheet;
        nameField = d->providerSheetUi->providerNameProviderSheet;
    } else {
        sheet = open(d.get(), d->ui->serTaskPopTab1, d->theTaskSheet);
        add = d->taskSheetUi->addBtnTaskSheet;
        nameField = d->taskSheetUi->taskNameTaskSheet;
        d->taskSheetUi->taskDescTaskSheet->setPlainText(desc);
        d->taskSheetUi->daysMonthsYearsOnTaskSheet->setCurrentIndex(unit);
        setText(d->taskSheetUi->recurTimeIntervalTaskSheet, interval);
    }
    QVERIFY(sheet);
    setText(nameField, name);
    alerts.clear();
    beeps = 0;
    QTest::mouseClick(add, Qt::LeftButton);
    QCOMPARE(alerts.size(), 1);
    QCOMPARE(alerts[0].title, title);
    QCOMPARE(alerts[0].message, message);
    QCOMPARE(alerts[0].window.data(), static_cast<QWidget *>(sheet));
    QCOMPARE(beeps, 1);
    QCOMPARE(copyDataFileArray(files[which]), before);
    // The fields stay for the user to mend.
    QCOMPARE(nameField->text(), name);
}

void TestSheets::duplicatesByExactName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("added");
    QTest::newRow("other case") << "Gutters" << true;
    QTest::newRow("leading blank") << " gutters" << true;
    QTest::newRow("same") << "gutters" << false;
}

void TestSheets::duplicatesByExactName()
{
    QFETCH(QString, name);
    QFETCH(bool, added);
    auto d = start();
    QVERIFY(open(d.get(), d->ui->serTaskPopTab1, d->theTaskSheet));
    setText(d->taskSheetUi->taskNameTaskSheet, name);
    d->taskSheetUi->taskDescTaskSheet->setPlainText(QStringLiteral("Again"));
    d->taskSheetUi->daysMonthsYearsOnTaskSheet->setCurrentIndex(3);
    QTest::mouseClick(d->taskSheetUi->addBtnTaskSheet, Qt::LeftButton);
    const QStringList stored = names(copyDataFileArray(ServiceTaskFileForKOV), ServiceTaskNameKey);
    QCOMPARE(stored.size(), added ? 3 : 2);
    if (added) {
        QCOMPARE(stored.last(), name);
        QVERIFY(alerts.isEmpty());
        QCOMPARE(column(d->taskSheetUi->tableViewTaskSheet, 0).size(), 3);
    }
}

void TestSheets::taskRecordAndStyles()
{
    auto d = start();
    QDialog *sheet = open(d.get(), d->ui->serTaskPopTab1, d->theTaskSheet);
    QVERIFY(sheet);
    sheet->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(sheet));
    Ui::TaskSheet *t = d->taskSheetUi;
    setText(t->taskNameTaskSheet, QStringLiteral("Service furnace"));
    QTextEdit *desc = t->taskDescTaskSheet;
    desc->setFocus();
    QVERIFY(QTest::qWaitFor([desc] { return desc->hasFocus(); }));
    QTest::keyClicks(desc, QStringLiteral("Change the "));
    QTest::keyClick(desc, Qt::Key_B, Qt::ControlModifier);
    QVERIFY(t->boldBtnTaskSheet->isChecked());
    QTest::keyClicks(desc, QStringLiteral("filter"));
    QTest::keyClick(desc, Qt::Key_B, Qt::ControlModifier);
    QVERIFY(!t->boldBtnTaskSheet->isChecked());
    QTest::mouseClick(t->italicBtnTaskSheet, Qt::LeftButton);
    QTest::keyClicks(desc, QStringLiteral(" now"));
    // The buttons follow the cursor into the bold word.
    QTextCursor cursor = desc->textCursor();
    cursor.setPosition(14);
    desc->setTextCursor(cursor);
    QVERIFY(t->boldBtnTaskSheet->isChecked());
    QVERIFY(!t->italicBtnTaskSheet->isChecked());

    t->daysMonthsYearsOnTaskSheet->setCurrentIndex(1);
    setText(t->recurTimeIntervalTaskSheet, QStringLiteral("1500"));
    QCOMPARE(t->recurTimeIntervalTaskSheet->text(), QStringLiteral("1500"));
    QTest::mouseClick(t->addBtnTaskSheet, Qt::LeftButton);
    QVERIFY2(alerts.isEmpty(), alerts.isEmpty() ? "" : qPrintable(alerts[0].title));

    const RecordList tasks = copyDataFileArray(ServiceTaskFileForKOV);
    QCOMPARE(tasks.size(), 3);
    const Record r = tasks.last();
    QCOMPARE(r.value(ServiceTaskNameKey).toString(), QStringLiteral("Service furnace"));
    QCOMPARE(r.value(ServiceTaskTimeUnits).toLongLong(), 1LL);
    QCOMPARE(r.value(ServiceTaskTimeInUnitsKey).toLongLong(), 1500LL);
    const QByteArray rtfd = r.value(ServiceTaskDescriptionKey).toByteArray();
    QVERIFY(rtfd.startsWith("rtfd"));
    QCOMPARE(plainTextOfRichText(rtfd), QStringLiteral("Change the filter now"));
    QVERIFY(rtfd.contains("\\b filter"));
    // Emptied after the add, the unit kept; the table sorted by name.
    QVERIFY(t->taskNameTaskSheet->text().isEmpty());
    QVERIFY(desc->toPlainText().isEmpty());
    QCOMPARE(t->daysMonthsYearsOnTaskSheet->currentIndex(), 1);
    QCOMPARE(column(t->tableViewTaskSheet, 0), (QStringList{"gutters", "Paint fence", "Service furnace"}));
    QCOMPARE(column(t->tableViewTaskSheet, 2).last(), QStringLiteral("1,500 months"));
    QCOMPARE(column(t->tableViewTaskSheet, 1).last(), QStringLiteral("Change the filter now"));
    // Tab 1 offers it, selected, with its interval line.
    QCOMPARE(d->ui->serTaskPopTab1->currentText(), QStringLiteral("Service furnace"));
    QCOMPARE(d->ui->taskDescUnderPopupTab1->text(), QStringLiteral("Recurring task interval: 1,500 months"));
    QCOMPARE(d->ui->serviceTaskPopForShowTab1->currentText(), QStringLiteral("All"));

    // Loaded back by a double click, styles and all.
    doubleClickRow(t->tableViewTaskSheet, 2);
    QCOMPARE(t->taskNameTaskSheet->text(), QStringLiteral("Service furnace"));
    QCOMPARE(desc->toPlainText(), QStringLiteral("Change the filter now"));
    QCOMPARE(t->recurTimeIntervalTaskSheet->text(), QStringLiteral("1500"));
    QCOMPARE(t->daysMonthsYearsOnTaskSheet->currentIndex(), 1);
    QTextCursor at(desc->document());
    at.setPosition(14);
    QVERIFY(at.charFormat().fontWeight() > QFont::Normal);
    at.setPosition(19);
    QVERIFY(at.charFormat().fontItalic());
    QVERIFY(t->changeBtnTaskSheet->isEnabled());
    QVERIFY(t->deleteBtnTaskSheet->isEnabled());
}

void TestSheets::taskNoneStoresNoCount()
{
    auto d = start();
    QVERIFY(open(d.get(), d->ui->serTaskPopTab1, d->theTaskSheet));
    Ui::TaskSheet *t = d->taskSheetUi;
    setText(t->taskNameTaskSheet, QStringLiteral("Check smoke alarms"));
    t->taskDescTaskSheet->setPlainText(QStringLiteral("Press test"));
    setText(t->recurTimeIntervalTaskSheet, QStringLiteral("12"));
    t->daysMonthsYearsOnTaskSheet->setCurrentIndex(3);
    QTest::mouseClick(t->addBtnTaskSheet, Qt::LeftButton);
    const Record r = copyDataFileArray(ServiceTaskFileForKOV).last();
    QCOMPARE(r.value(ServiceTaskTimeUnits).toLongLong(), 3LL);
    QVERIFY(!r.contains(ServiceTaskTimeInUnitsKey));
    QVERIFY(t->recurTimeIntervalTaskSheet->text().isEmpty());
}

void TestSheets::propertyCostsOnlyWhenTyped_data()
{
    QTest::addColumn<QString>("purchase");
    QTest::addColumn<QString>("sale");
    QTest::newRow("none") << "" << "";
    QTest::newRow("purchase") << "950" << "";
    QTest::newRow("both") << "950" << "1200.5";
}

void TestSheets::propertyCostsOnlyWhenTyped()
{
    QFETCH(QString, purchase);
    QFETCH(QString, sale);
    auto d = start();
    QVERIFY(open(d.get(), d->ui->propertyPopTab1, d->thePropertySheet));
    Ui::PropertySheet *p = d->propertySheetUi;
    setText(p->propertyNamePropertySheet, QStringLiteral("Cabin"));
    setText(p->propertyLotSizePropertySheet, QStringLiteral("12000"));
    QCOMPARE(p->propertyLotSizePropertySheet->text(), QStringLiteral("12,000"));
    if (!purchase.isEmpty()) {
        setText(p->propertyPurchaseCostPropertySheet, purchase);
        QCOMPARE(p->propertyPurchaseCostPropertySheet->text(), QStringLiteral("$950.00"));
        QVERIFY(p->dateAcquiredPropertySheet->isEnabled());
        p->dateAcquiredPropertySheet->setDate(QDate(2001, 2, 3));
    }
    if (!sale.isEmpty())
        setText(p->propertySaleCostPropertySheet, sale);
    p->propertyStatusPropertySheet->setCurrentIndex(p->propertyStatusPropertySheet->findText("Rental"));
    QTest::mouseClick(p->addBtnPropertySheet, Qt::LeftButton);
    QVERIFY(alerts.isEmpty());
    const Record r = copyDataFileArray(PropertyFileForKOV).last();
    QCOMPARE(r.value(PropertyNameKey).toString(), QStringLiteral("Cabin"));
    QCOMPARE(r.value(PropertyLotSizeKey).toString(), QStringLiteral("12,000"));
    QCOMPARE(r.value(PropertyCurrentStatusKey).toString(), QStringLiteral("Rental"));
    QVERIFY(!r.contains(PropertyPurchaseMethodKey));
    QVERIFY(r.contains(PropertyConstDateKey));
    QCOMPARE(r.contains(PropertyPurchaseCostKey), !purchase.isEmpty());
    QCOMPARE(r.contains(PropertyPurchaseDateKey), !purchase.isEmpty());
    QCOMPARE(r.contains(PropertySaleCostKey), !sale.isEmpty());
    QCOMPARE(r.contains(PropertySaleDateKey), !sale.isEmpty());
    if (!purchase.isEmpty()) {
        QCOMPARE(r.value(PropertyPurchaseCostKey).toDouble(), 950.0);
        QCOMPARE(r.value(PropertyPurchaseDateKey).toDateTime().toLocalTime().date(), QDate(2001, 2, 3));
    }
    if (!sale.isEmpty())
        QCOMPARE(r.value(PropertySaleCostKey).toDouble(), 1200.5);
    // Emptied: dates off on today, the date built still pickable.
    QVERIFY(p->propertyNamePropertySheet->text().isEmpty());
    QVERIFY(!p->dateAcquiredPropertySheet->isEnabled());
    QVERIFY(!p->popOverTriggerPropSheetAcqDate->isEnabled());
    QVERIFY(p->popOverTriggerPropSheetBuildDate->isEnabled());
    QCOMPARE(p->dateSoldPropertySheet->dateTime(), QDateTime(QDate(2026, 6, 15), QTime(0, 0)));
    QCOMPARE(p->propertyStatusPropertySheet->currentText(), QString());
}

void TestSheets::addRefreshesPopups()
{
    auto d = start();
    QVERIFY(open(d.get(), d->ui->propertyPopTab1, d->thePropertySheet));
    setText(d->propertySheetUi->propertyNamePropertySheet, QStringLiteral("Beach Hut"));
    QTest::mouseClick(d->propertySheetUi->addBtnPropertySheet, Qt::LeftButton);
    QCOMPARE(kov::test::popupItems(d->ui->propertyPopTab1),
             (QStringList{"Attic Flat", "Beach Hut", "lake House", "Main Street", "---", maintainItem}));
    QCOMPARE(d->ui->propertyPopTab1->currentText(), QStringLiteral("Beach Hut"));
    // The sheet's table in file order, the new entry last.
    QCOMPARE(column(d->propertySheetUi->tableViewPropertySheet, 0),
             (QStringList{"Main Street", "lake House", "Attic Flat", "Beach Hut"}));
    // The filter still lists the log's properties.
    QCOMPARE(kov::test::popupItems(d->ui->propertyPopForShowTab1), (QStringList{"Main Street", "---", "All"}));

    QTest::mouseClick(d->propertySheetUi->closeBtnPropertySheet, Qt::LeftButton);
    QVERIFY(open(d.get(), d->ui->providerPopTab1, d->theProviderSheet));
    setText(d->providerSheetUi->providerNameProviderSheet, QStringLiteral("Zed Plumbing"));
    setText(d->providerSheetUi->providerEmailProviderSheet, QStringLiteral("zed@example.com"));
    QTest::mouseClick(d->providerSheetUi->addBtnProviderSheet, Qt::LeftButton);
    QCOMPARE(kov::test::popupItems(d->ui->providerPopTab1),
             (QStringList{"ace Roofing", "Bob's Gutters", "Zed Plumbing", "---", maintainItem}));
    QCOMPARE(d->ui->providerPopTab1->currentText(), QStringLiteral("Zed Plumbing"));
    const Record r = copyDataFileArray(ProviderFileForKOV).last();
    QCOMPARE(r.size(), 6);
    QCOMPARE(r.value(ProviderEmailKey).toString(), QStringLiteral("zed@example.com"));
    QVERIFY(d->providerSheetUi->providerEmailProviderSheet->text().isEmpty());
}

void TestSheets::changeRewritesAtEnd()
{
    auto d = start();
    QVERIFY(open(d.get(), d->ui->propertyPopTab1, d->thePropertySheet));
    Ui::PropertySheet *p = d->propertySheetUi;
    // Row 2 of the sorted table is "Main Street", which the log uses.
    doubleClickRow(p->tableViewPropertySheet, 2);
    QCOMPARE(p->propertyNamePropertySheet->text(), QStringLiteral("Main Street"));
    QVERIFY(p->changeBtnPropertySheet->isEnabled());
    setText(p->propertyAddrPropertySheet, QStringLiteral("2 Main St"));
    QTest::mouseClick(p->changeBtnPropertySheet, Qt::LeftButton);
    const RecordList list = copyDataFileArray(PropertyFileForKOV);
    QCOMPARE(names(list, PropertyNameKey), (QStringList{"lake House", "Attic Flat", "Main Street"}));
    QCOMPARE(list.last().value(PropertyAddressKey).toString(), QStringLiteral("2 Main St"));
    QCOMPARE(alerts.size(), 1);
    QCOMPARE(alerts[0].title, QStringLiteral("property/task/provider named: Main Street"));
    QCOMPARE(alerts[0].message, mismatchMessage);
    QVERIFY(p->propertyNamePropertySheet->text().isEmpty());
    QVERIFY(!p->changeBtnPropertySheet->isEnabled());
    QVERIFY(!p->deleteBtnPropertySheet->isEnabled());
    QCOMPARE(d->ui->propertyPopTab1->currentText(), QStringLiteral("Main Street"));
}

void TestSheets::changeRefusals()
{
    auto d = start();
    QVERIFY(open(d.get(), d->ui->serTaskPopTab1, d->theTaskSheet));
    Ui::TaskSheet *t = d->taskSheetUi;
    const RecordList before = copyDataFileArray(ServiceTaskFileForKOV);
    doubleClickRow(t->tableViewTaskSheet, 0);
    QCOMPARE(t->taskNameTaskSheet->text(), QStringLiteral("gutters"));
    // A new name is no entry to change.
    setText(t->taskNameTaskSheet, QStringLiteral("Gutters"));
    QTest::mouseClick(t->changeBtnTaskSheet, Qt::LeftButton);
    QCOMPARE(alerts.size(), 1);
    QCOMPARE(alerts[0].title, QStringLiteral("Task not found for Change request - not changed"));
    QVERIFY(alerts[0].message.isEmpty());
    QCOMPARE(beeps, 0);
    // An emptied description is refused; the task stays.
    setText(t->taskNameTaskSheet, QStringLiteral("gutters"));
    t->taskDescTaskSheet->clear();
    QTest::mouseClick(t->changeBtnTaskSheet, Qt::LeftButton);
    QCOMPARE(alerts.size(), 2);
    QCOMPARE(alerts[1].title, QStringLiteral("Task Data Missing"));
    QCOMPARE(beeps, 1);
    QCOMPARE(copyDataFileArray(ServiceTaskFileForKOV), before);
    // The same on the provider sheet.
    QTest::mouseClick(t->closeBtnTaskSheet, Qt::LeftButton);
    QVERIFY(open(d.get(), d->ui->providerPopTab1, d->theProviderSheet));
    setText(d->providerSheetUi->providerNameProviderSheet, QStringLiteral("Nobody"));
    d->changeBtnOnSheetPressed(d->providerSheetUi->changeBtnProviderSheet);
    QCOMPARE(alerts.last().title, QStringLiteral("Task not found for Change request - not changed"));
}

void TestSheets::deleteAndMismatchWarning_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("used");
    QTest::newRow("provider in the log") << 1 << "Bob's Gutters" << true;
    QTest::newRow("provider not in the log") << 1 << "ace Roofing" << false;
    QTest::newRow("task in the log") << 2 << "gutters" << true;
    QTest::newRow("property not in the log") << 0 << "Attic Flat" << false;
}

void TestSheets::deleteAndMismatchWarning()
{
    QFETCH(int, which);
    QFETCH(QString, name);
    QFETCH(bool, used);
    auto d = start();
    const QString files[] = {PropertyFileForKOV, ProviderFileForKOV, ServiceTaskFileForKOV};
    const QString keys[] = {PropertyNameKey, ProviderNameKey, ServiceTaskNameKey};
    QComboBox *popups[] = {d->ui->propertyPopTab1, d->ui->providerPopTab1, d->ui->serTaskPopTab1};
    QDialog *sheets[] = {d->thePropertySheet, d->theProviderSheet, d->theTaskSheet};
    QLineEdit *nameFields[] = {d->propertySheetUi->propertyNamePropertySheet,
                               d->providerSheetUi->providerNameProviderSheet, d->taskSheetUi->taskNameTaskSheet};
    QPushButton *deletes[] = {d->propertySheetUi->deleteBtnPropertySheet,
                              d->providerSheetUi->deleteBtnProviderSheet, d->taskSheetUi->deleteBtnTaskSheet};
    const RecordList historyBefore = copyDataFileArray(PropertyHistoryFileForKOV);
    QVERIFY(open(d.get(), popups[which], sheets[which]));
    // The name in the field is deleted, no row selected, no question asked.
    setText(nameFields[which], name);
    deletes[which]->setEnabled(true);
    QTest::mouseClick(deletes[which], Qt::LeftButton);
    QVERIFY(!names(copyDataFileArray(files[which]), keys[which]).contains(name));
    QVERIFY(popups[which]->findText(name) < 0);
    QCOMPARE(popups[which]->currentIndex(), 0);
    QCOMPARE(alerts.size(), used ? 1 : 0);
    if (used) {
        QCOMPARE(alerts[0].title, QStringLiteral("property/task/provider named: ") + name);
        QCOMPARE(alerts[0].message, mismatchMessage);
        QCOMPARE(alerts[0].window.data(), static_cast<QWidget *>(sheets[which]));
    }
    QCOMPARE(beeps, 0);
    QVERIFY(!deletes[which]->isEnabled());
    // The log keeps the old name.
    QCOMPARE(copyDataFileArray(PropertyHistoryFileForKOV), historyBefore);

    // Again: nothing of that name is left.
    alerts.clear();
    QTest::mouseClick(deletes[which], Qt::LeftButton);  // disabled: nothing
    QVERIFY(alerts.isEmpty());
    d->doDeleteDriver(deletes[which]);
    QCOMPARE(alerts.size(), 1);
    QCOMPARE(alerts[0].title, QStringLiteral("Delete request failed - not deleted"));
    QVERIFY(alerts[0].message.isEmpty());
}

void TestSheets::deleteLastPropertyLeavesMaintainItem()
{
    QVERIFY(writeDataFileArray({{{PropertyNameKey, QStringLiteral("Only")}}}, PropertyFileForKOV));
    auto d = start();
    QVERIFY(open(d.get(), d->ui->propertyPopTab1, d->thePropertySheet));
    setText(d->propertySheetUi->propertyNamePropertySheet, QStringLiteral("Only"));
    d->doDeleteDriver(d->propertySheetUi->deleteBtnPropertySheet);
    QCOMPARE(kov::test::popupItems(d->ui->propertyPopTab1), (QStringList{"---", maintainItem}));
    QCOMPARE(d->ui->propertyPopTab1->currentText(), maintainItem);
    QCOMPARE(column(d->propertySheetUi->tableViewPropertySheet, 0), QStringList());
    QCOMPARE(copyDataFileArray(PropertyFileForKOV), RecordList());
}

void TestSheets::doubleClickLoads()
{
    const QDateTime bought(QDate(2001, 2, 3), QTime(0, 0), QTimeZone("America/New_York"));
    QVERIFY(writeDataFileArray({{{PropertyNameKey, QStringLiteral("Farm")},
                                 {PropertyAddressKey, QStringLiteral("Rt 9")},
                                 {PropertyPurchaseCostKey, 250000.0},
                                 {PropertyPurchaseDateKey, bought.toUTC()},
                                 {PropertyPurchaseMethodKey, QStringLiteral("Inheritance")},
                                 {PropertyCurrentStatusKey, QStringLiteral("Verpachtet")},
                                 {PropertyLotSizeKey, QStringLiteral("40,000")}},
                                {{PropertyNameKey, QStringLiteral("Farm")}, {PropertyAddressKey, QStringLiteral("2nd")}}},
                               PropertyFileForKOV));
    auto d = start();
    QVERIFY(open(d.get(), d->ui->propertyPopTab1, d->thePropertySheet));
    Ui::PropertySheet *p = d->propertySheetUi;
    doubleClickRow(p->tableViewPropertySheet, 1);
    // The first of that name in file order.
    QCOMPARE(p->propertyAddrPropertySheet->text(), QStringLiteral("Rt 9"));
    QCOMPARE(p->propertyPurchaseCostPropertySheet->text(), QStringLiteral("$250,000.00"));
    QVERIFY(p->popOverTriggerPropSheetAcqDate->isEnabled());
    QVERIFY(p->dateAcquiredPropertySheet->isEnabled());
    QCOMPARE(p->dateAcquiredPropertySheet->date(), QDate(2001, 2, 3));
    QVERIFY(!p->dateSoldPropertySheet->isEnabled());
    QCOMPARE(p->dateSoldPropertySheet->date(), QDate(2026, 6, 15));
    QCOMPARE(p->propertyAcquisitionPropertySheet->currentText(), QStringLiteral("Inheritance"));
    // A status this sheet does not offer is kept, not dropped.
    QCOMPARE(p->propertyStatusPropertySheet->currentText(), QStringLiteral("Verpachtet"));
    QCOMPARE(p->propertyLotSizePropertySheet->text(), QStringLiteral("40,000"));
    QVERIFY(p->changeBtnPropertySheet->isEnabled());
    // A single click turns Change and Delete off again.
    const QRect cell = p->tableViewPropertySheet->visualRect(p->tableViewPropertySheet->model()->index(0, 0));
    QTest::mouseClick(p->tableViewPropertySheet->viewport(), Qt::LeftButton, {}, cell.center());
    QVERIFY(!p->changeBtnPropertySheet->isEnabled());
    QVERIFY(!p->deleteBtnPropertySheet->isEnabled());
    // Below the last row: nothing.
    const QPoint below(10, p->tableViewPropertySheet->viewport()->height() - 3);
    QTest::mouseDClick(p->tableViewPropertySheet->viewport(), Qt::LeftButton, {}, below);
    QVERIFY(!p->changeBtnPropertySheet->isEnabled());
    QVERIFY(alerts.isEmpty());
}

void TestSheets::doubleClickMissingRecord()
{
    auto d = start();
    QVERIFY(open(d.get(), d->ui->providerPopTab1, d->theProviderSheet));
    Ui::ProviderSheet *p = d->providerSheetUi;
    setText(p->providerNoteProviderSheet, QStringLiteral("kept"));
    // The file changes behind the table.
    QVERIFY(writeDataFileArray({}, ProviderFileForKOV));
    doubleClickRow(p->tableViewProviderSheet, 0);
    QCOMPARE(alerts.size(), 1);
    QCOMPARE(alerts[0].title, QStringLiteral("In respondToTVDblClickOnPropOrProviderSheet:(KOVAppDelegate)"));
    QCOMPARE(alerts[0].message, QStringLiteral("failed to find corresponding name data in file array"));
    QCOMPARE(p->providerNoteProviderSheet->text(), QStringLiteral("kept"));
    QVERIFY(p->changeBtnProviderSheet->isEnabled());
}

void TestSheets::reopenKeepsFieldsDatesNow()
{
    auto d = start();
    QVERIFY(open(d.get(), d->ui->propertyPopTab1, d->thePropertySheet));
    Ui::PropertySheet *p = d->propertySheetUi;
    setText(p->propertyCityPropertySheet, QStringLiteral("Troy"));
    QVERIFY(!p->dateAcquiredPropertySheet->isEnabled());
    QTest::mouseClick(p->closeBtnPropertySheet, Qt::LeftButton);
    const QDateTime later = pinnedNow.addDays(3).addSecs(3600);
    Clock::setFixed(later);
    QVERIFY(open(d.get(), d->ui->propertyPopTab1, d->thePropertySheet));
    QCOMPARE(p->propertyCityPropertySheet->text(), QStringLiteral("Troy"));
    for (QDateTimeEdit *date :
         {p->dateAcquiredPropertySheet, p->dateSoldPropertySheet, p->dateConstructedPropertySheet})
        QCOMPARE(date->dateTime(), later.toLocalTime());
    QVERIFY(!p->dateAcquiredPropertySheet->isEnabled());
}

void TestSheets::fromEmptyStart()
{
    auto d = start();
    // A fresh task list comes from the shipped defaults.
    QVERIFY(!copyDataFileArray(ServiceTaskFileForKOV).isEmpty());
    QCOMPARE(kov::test::popupItems(d->ui->propertyPopTab1), (QStringList{"---", maintainItem}));

    QVERIFY(open(d.get(), d->ui->propertyPopTab1, d->thePropertySheet));
    setText(d->propertySheetUi->propertyNamePropertySheet, QStringLiteral("Home"));
    QTest::mouseClick(d->propertySheetUi->addBtnPropertySheet, Qt::LeftButton);
    QTest::mouseClick(d->propertySheetUi->closeBtnPropertySheet, Qt::LeftButton);
    QVERIFY(open(d.get(), d->ui->providerPopTab1, d->theProviderSheet));
    setText(d->providerSheetUi->providerNameProviderSheet, QStringLiteral("Handy Andy"));
    QTest::mouseClick(d->providerSheetUi->addBtnProviderSheet, Qt::LeftButton);
    QTest::mouseClick(d->providerSheetUi->closeBtnProviderSheet, Qt::LeftButton);
    QVERIFY(!d->theProviderSheet->isVisible());
    QVERIFY(alerts.isEmpty());

    QCOMPARE(d->ui->propertyPopTab1->currentText(), QStringLiteral("Home"));
    QCOMPARE(d->ui->providerPopTab1->currentText(), QStringLiteral("Handy Andy"));
    d->ui->serTaskPopTab1->setCurrentIndex(0);
    const QString task = d->ui->serTaskPopTab1->currentText();
    setText(d->ui->laborCostTab1, QStringLiteral("40"));
    QTest::mouseClick(d->ui->addMaintBtn, Qt::LeftButton);
    QVERIFY(alerts.isEmpty());
    const RecordList history = copyDataFileArray(PropertyHistoryFileForKOV);
    QCOMPARE(history.size(), 1);
    QCOMPARE(history[0].value(PropertyNameKey).toString(), QStringLiteral("Home"));
    QCOMPARE(history[0].value(ProviderNameKey).toString(), QStringLiteral("Handy Andy"));
    QCOMPARE(history[0].value(ServiceTaskNameKey).toString(), task);
    QCOMPARE(history[0].value(LaborCostKey).toString(), QStringLiteral("40.00"));
}

// Saves each sheet as a picture when KOV_SHEET_SHOTS names a folder, for a
// person to look at; checks only that there is something to see.
void TestSheets::screenshots()
{
    auto d = start();
    const QString folder = qEnvironmentVariable("KOV_SHEET_SHOTS");
    struct Shot {
        QComboBox *popup;
        QDialog *sheet;
        const char *file;
    } shots[] = {{d->ui->propertyPopTab1, d->thePropertySheet, "property-sheet.png"},
                 {d->ui->providerPopTab1, d->theProviderSheet, "provider-sheet.png"},
                 {d->ui->serTaskPopTab1, d->theTaskSheet, "task-sheet.png"}};
    for (const Shot &shot : shots) {
        QVERIFY(open(d.get(), shot.popup, shot.sheet));
        if (shot.sheet == d->theTaskSheet)
            doubleClickRow(d->taskSheetUi->tableViewTaskSheet, 0);
        const QPixmap picture = shot.sheet->grab();
        QVERIFY(!picture.isNull());
        if (!folder.isEmpty())
            QVERIFY(picture.save(QDir(folder).filePath(QLatin1String(shot.file))));
        shot.sheet->done(0);
    }
}

QTEST_MAIN(TestSheets)
#include "tst_sheets.moc"
