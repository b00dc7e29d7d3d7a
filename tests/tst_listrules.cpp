// The reference-list rules without widgets: the records the sheets store,
// the entry checks, exact name lookup and the rows of the sheet tables.
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimeZone>

#include <unicode/locid.h>

#include "lists/listrules.h"
#include "storage/clock.h"
#include "storage/rtfd.h"

#include "testsupport.h"

using namespace kov;

namespace {

using kov::test::LocaleScope;

QDateTime nyTime(int year, int month, int day, int hour = 0, int minute = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute), QTimeZone("America/New_York"));
}

QByteArray readFixture(const char *name)
{
    QFile file(QStringLiteral(KOV_TEST_DATA "/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestListRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void propertyPrices_data();
    void propertyPrices();
    void propertyAlwaysKeys();
    void providerRecord();
    void taskCheck_data();
    void taskCheck();
    void taskRecord_data();
    void taskRecord();
    void exactNames_data();
    void exactNames();
    void taskRowsAndLabels_data();
    void taskRowsAndLabels();
    void descriptionRoundTrip();
    void macDescriptionInRow();
    void rowsShowEveryPresentValue();
};

void TestListRules::propertyPrices_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("purchase");
    QTest::addColumn<QString>("sale");
    QTest::addColumn<QVariant>("purchaseCost");  // invalid: not stored
    QTest::addColumn<QVariant>("saleCost");
    QTest::newRow("formatted after editing") << "en_US" << "$950.00" << "" << QVariant(950.0) << QVariant();
    QTest::newRow("grouped") << "en_US" << "$1,234,567.89" << "" << QVariant(1234567.89) << QVariant();
    QTest::newRow("both prices") << "en_US" << "100" << "250.5" << QVariant(100.0) << QVariant(250.5);
    QTest::newRow("sale only") << "en_US" << "" << "$10.00" << QVariant() << QVariant(10.0);
    QTest::newRow("none") << "en_US" << "" << "" << QVariant() << QVariant();
    QTest::newRow("zero is a price") << "en_US" << "$.00" << "" << QVariant(0.0) << QVariant();
    // A decimal comma keeps its cents, as everywhere else in KOV.
    QTest::newRow("de_DE cents") << "de_DE" << "1.234,50 \u20AC" << "" << QVariant(1234.5) << QVariant();
}

void TestListRules::propertyPrices()
{
    QFETCH(QString, locale);
    QFETCH(QString, purchase);
    QFETCH(QString, sale);
    QFETCH(QVariant, purchaseCost);
    QFETCH(QVariant, saleCost);
    LocaleScope scope(locale);
    PropertyValues v;
    v.name = QStringLiteral("Main Street");
    v.constructed = nyTime(1931, 5, 1);
    v.acquired = nyTime(2001, 2, 3, 10, 15);
    v.sold = nyTime(2024, 7, 8, 9);
    v.purchaseCost = purchase;
    v.saleCost = sale;
    const Record r = propertyRecordFromValues(v);

    QCOMPARE(r.contains(PropertyPurchaseCostKey), purchaseCost.isValid());
    QCOMPARE(r.contains(PropertyPurchaseDateKey), purchaseCost.isValid());
    QCOMPARE(r.contains(PropertySaleCostKey), saleCost.isValid());
    QCOMPARE(r.contains(PropertySaleDateKey), saleCost.isValid());
    if (purchaseCost.isValid()) {
        QCOMPARE(r.value(PropertyPurchaseCostKey).typeId(), QMetaType::Double);
        QCOMPARE(r.value(PropertyPurchaseCostKey).toDouble(), purchaseCost.toDouble());
        QCOMPARE(r.value(PropertyPurchaseDateKey).toDateTime(), v.acquired);
    }
    if (saleCost.isValid()) {
        QCOMPARE(r.value(PropertySaleCostKey).toDouble(), saleCost.toDouble());
        QCOMPARE(r.value(PropertySaleDateKey).toDateTime(), v.sold);
    }
    // Dates stay as picked: the time of day is not cut off.
    QCOMPARE(r.value(PropertyConstDateKey).toDateTime(), v.constructed);
    QCOMPARE(r.value(PropertyConstDateKey).toDateTime().timeSpec(), Qt::UTC);
}

void TestListRules::propertyAlwaysKeys()
{
    PropertyValues v;
    v.name = QStringLiteral("Lake House");
    v.lotSize = QStringLiteral("12,000");
    v.constructed = nyTime(2026, 6, 15);
    Record r = propertyRecordFromValues(v);
    // No pop-up choice: no method, no status.
    QCOMPARE(r.keys(), (QStringList{PropertyAddressKey, PropertyCityKey, PropertyConstDateKey, PropertyIntSizeKey,
                                    PropertyLotSizeKey, PropertyNameKey, PropertyNoteKey, PropertyStateKey,
                                    PropertyZipKey}));
    QCOMPARE(r.value(PropertyLotSizeKey), QVariant(QStringLiteral("12,000")));
    QCOMPARE(r.value(PropertyAddressKey).typeId(), QMetaType::QString);
    QVERIFY(r.value(PropertyAddressKey).toString().isEmpty());
    v.purchaseMethod = QStringLiteral("Inheritance");
    v.currentStatus = QStringLiteral("Rental");
    r = propertyRecordFromValues(v);
    QCOMPARE(r.value(PropertyPurchaseMethodKey).toString(), QStringLiteral("Inheritance"));
    QCOMPARE(r.value(PropertyCurrentStatusKey).toString(), QStringLiteral("Rental"));
}

void TestListRules::providerRecord()
{
    ProviderValues v;
    v.name = QStringLiteral("Bob's Gutters");
    v.phone = QStringLiteral("555-0100");
    const Record r = providerRecordFromValues(v);
    QCOMPARE(r.size(), 6);
    QCOMPARE(r.value(ProviderNameKey).toString(), v.name);
    QCOMPARE(r.value(ProviderPhoneKey).toString(), v.phone);
    for (const QString &key : {ProviderAddressKey, ProviderNoteKey, ProviderEmailKey, ProviderWebPageKey}) {
        QVERIFY(r.contains(key));
        QCOMPARE(r.value(key).typeId(), QMetaType::QString);
        QVERIFY(r.value(key).toString().isEmpty());
    }
}

void TestListRules::taskCheck_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("desc");
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("interval");
    QTest::addColumn<int>("result");
    const int ok = int(TaskEntryCheck::ok), missing = int(TaskEntryCheck::dataMissing),
              noInterval = int(TaskEntryCheck::intervalMissing);
    QTest::newRow("complete") << "Gutters" << "Clean them" << UnitMonths << "6" << ok;
    QTest::newRow("no name") << "" << "Clean them" << UnitMonths << "6" << missing;
    QTest::newRow("no description") << "Gutters" << "" << UnitMonths << "6" << missing;
    QTest::newRow("missing data first") << "" << "" << UnitDays << "" << missing;
    QTest::newRow("blank name is a name") << " " << "x" << UnitNone << "" << ok;
    QTest::newRow("empty interval") << "G" << "d" << UnitDays << "" << noInterval;
    QTest::newRow("zero") << "G" << "d" << UnitYears << "0" << noInterval;
    QTest::newRow("negative") << "G" << "d" << UnitYears << "-3" << noInterval;
    QTest::newRow("grouped leading digits") << "G" << "d" << UnitDays << "1,500" << ok;
    QTest::newRow("None needs none") << "G" << "d" << UnitNone << "" << ok;
    QTest::newRow("None ignores zero") << "G" << "d" << UnitNone << "0" << ok;
}

void TestListRules::taskCheck()
{
    QFETCH(QString, name);
    QFETCH(QString, desc);
    QFETCH(int, unit);
    QFETCH(QString, interval);
    QFETCH(int, result);
    QCOMPARE(int(checkTaskEntry(name, desc, unit, interval)), result);
}

void TestListRules::taskRecord_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("interval");
    QTest::addColumn<QVariant>("count");
    QTest::newRow("months 1500") << "en_US" << UnitMonths << "1500" << QVariant(1500LL);
    QTest::newRow("grouped en") << "en_US" << UnitDays << "1,500" << QVariant(1500LL);
    QTest::newRow("grouped de") << "de_DE" << UnitDays << "1.500" << QVariant(1500LL);
    QTest::newRow("None: no count") << "en_US" << UnitNone << "" << QVariant();
}

void TestListRules::taskRecord()
{
    QFETCH(QString, locale);
    QFETCH(int, unit);
    QFETCH(QString, interval);
    QFETCH(QVariant, count);
    LocaleScope scope(locale);
    const QByteArray desc = rtfdFromPlainText(QStringLiteral("Clean"));
    const Record r = taskRecordFromValues(QStringLiteral("Gutters"), desc, unit, interval);
    QCOMPARE(r.value(ServiceTaskNameKey).toString(), QStringLiteral("Gutters"));
    QCOMPARE(r.value(ServiceTaskDescriptionKey).toByteArray(), desc);
    QCOMPARE(r.value(ServiceTaskTimeUnits).typeId(), QMetaType::LongLong);
    QCOMPARE(r.value(ServiceTaskTimeUnits).toLongLong(), qlonglong(unit));
    QCOMPARE(r.contains(ServiceTaskTimeInUnitsKey), count.isValid());
    if (count.isValid()) {
        QCOMPARE(r.value(ServiceTaskTimeInUnitsKey).typeId(), QMetaType::LongLong);
        QCOMPARE(r.value(ServiceTaskTimeInUnitsKey), count);
    }
}

void TestListRules::exactNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::newRow("exact") << "gutters" << 1;
    QTest::newRow("other case") << "Gutters" << -1;
    QTest::newRow("leading blank") << " gutters" << -1;
    QTest::newRow("first of two") << "Roof" << 0;
    QTest::newRow("empty matches the empty name") << "" << 3;
    QTest::newRow("a number is no name") << "4" << -1;
}

void TestListRules::exactNames()
{
    QFETCH(QString, name);
    QFETCH(int, index);
    const RecordList list{{{ServiceTaskNameKey, QStringLiteral("Roof")}},
                          {{ServiceTaskNameKey, QStringLiteral("gutters")}},
                          {{ServiceTaskNameKey, QStringLiteral("Roof")}, {NoteKey, QStringLiteral("2nd")}},
                          {{ServiceTaskNameKey, QString()}},
                          {{ServiceTaskNameKey, 4LL}}};
    QCOMPARE(indexOfName(list, ServiceTaskNameKey, name), qsizetype(index));
    QCOMPARE(nameExists(list, ServiceTaskNameKey, name), index >= 0);
}

void TestListRules::taskRowsAndLabels_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("interval");
    QTest::addColumn<QString>("label");
    QTest::newRow("1,500 months") << "en_US" << UnitMonths << "1500" << "1,500 months";
    QTest::newRow("1 month") << "en_US" << UnitMonths << "1" << "1 month";
    QTest::newRow("2 years") << "en_US" << UnitYears << "2" << "2 years";
    QTest::newRow("None") << "en_US" << UnitNone << "" << "None";
    QTest::newRow("de 1.500") << "de_DE" << UnitDays << "1.500" << "1.500 days";
    QTest::newRow("de 1 year") << "de_DE" << UnitYears << "1" << "1 year";
}

void TestListRules::taskRowsAndLabels()
{
    QFETCH(QString, locale);
    QFETCH(int, unit);
    QFETCH(QString, interval);
    QFETCH(QString, label);
    LocaleScope scope(locale);
    const Record task =
        taskRecordFromValues(QStringLiteral("Gutters"), rtfdFromPlainText(QStringLiteral("a\nb")), unit, interval);
    const Record row = taskSheetRow(task);
    QCOMPARE(row.value(col::taskname).toString(), QStringLiteral("Gutters"));
    QCOMPARE(row.value(col::taskdesc).toString(), QStringLiteral("a\nb"));
    QCOMPARE(row.value(col::timeindays).toString(), label);
}

void TestListRules::descriptionRoundTrip()
{
    Clock::setFixed(nyTime(2026, 6, 15, 14, 30));
    QTextDocument doc;
    QTextCursor cursor(&doc);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.insertText(QStringLiteral("Clean "));
    cursor.insertText(QStringLiteral("both"), bold);
    cursor.insertBlock();
    QTextCharFormat underline;
    underline.setFontUnderline(true);
    cursor.insertText(QStringLiteral("gutters \u00E9t\u00E9"), underline);
    const Record task = taskRecordFromValues(QStringLiteral("G"), rtfdFromDocument(doc), UnitNone, QString());
    Clock::setFixed(QDateTime());

    const QByteArray stored = task.value(ServiceTaskDescriptionKey).toByteArray();
    QVERIFY(stored.startsWith("rtfd"));
    QCOMPARE(plainTextOfRichText(stored), QStringLiteral("Clean both\ngutters \u00E9t\u00E9"));
    QTextDocument back;
    QVERIFY(readRichText(stored, &back));
    QCOMPARE(back.toPlainText(), doc.toPlainText());
    QTextCursor at(&back);
    at.setPosition(8);  // inside "both"
    QVERIFY(at.charFormat().fontWeight() > QFont::Normal);
    at.setPosition(3);
    QCOMPARE(at.charFormat().fontWeight(), int(QFont::Normal));
    at.setPosition(back.toPlainText().indexOf(u"gutters") + 2);
    QVERIFY(at.charFormat().fontUnderline());
    QCOMPARE(taskSheetRow(task).value(col::taskdesc).toString(), plainTextOfRichText(stored));
}

void TestListRules::macDescriptionInRow()
{
    const QByteArray blob = readFixture("rtfd-macos.bin");
    QVERIFY(!blob.isEmpty());
    const Record task{{ServiceTaskNameKey, QStringLiteral("Stove")},
                      {ServiceTaskDescriptionKey, blob},
                      {ServiceTaskTimeUnits, 1LL},
                      {ServiceTaskTimeInUnitsKey, 1LL}};
    const Record row = taskSheetRow(task);
    QCOMPARE(row.value(col::taskdesc).toString(), QStringLiteral("Caf\u00e9 stove: clean hood filters\nmonthly"));
    QCOMPARE(row.value(col::timeindays).toString(), QStringLiteral("1 month"));
    // No description: the cell is left out, not made up.
    QVERIFY(!taskSheetRow({{ServiceTaskNameKey, QStringLiteral("x")}}).contains(col::taskdesc));
}

void TestListRules::rowsShowEveryPresentValue()
{
    const Record provider{{ProviderNameKey, QStringLiteral("Ann")}, {ProviderPhoneKey, QStringLiteral("555")}};
    const Record row = providerSheetRow(provider);
    QCOMPARE(row.value(col::provname).toString(), QStringLiteral("Ann"));
    QCOMPARE(row.value(col::provphone).toString(), QStringLiteral("555"));
    QVERIFY(!row.contains(col::provaddress));
    const Record property{{PropertyNameKey, QStringLiteral("Main")},
                          {PropertyAddressKey, QStringLiteral("1 Elm")},
                          {PropertyCityKey, QStringLiteral("Troy")},
                          {PropertyStateKey, QStringLiteral("NY")},
                          {PropertyZipKey, QStringLiteral("12180")},
                          {PropertyNoteKey, QStringLiteral("not shown")}};
    const Record prow = propertySheetRow(property);
    QCOMPARE(prow.size(), 5);
    QCOMPARE(prow.value(col::proppostal).toString(), QStringLiteral("12180"));
    QCOMPARE(prow.value(col::propcity).toString(), QStringLiteral("Troy"));
}

QTEST_MAIN(TestListRules)
#include "tst_listrules.moc"
