// Cost rules without widgets, under a locale with a decimal point (en_US)
// and one with a decimal comma (de_DE): the canonical cost form, the number
// patterns, the number checks, and finding a logged record again under
// another locale than the one that wrote it.
#include <QLocale>
#include <QTest>
#include <QTimeZone>

#include <unicode/locid.h>

#include "log/costrules.h"
#include "log/maintrecords.h"
#include "storage/dates.h"

#include "testsupport.h"

using namespace kov;

namespace {

using kov::test::LocaleScope;

const QString dollar = QStringLiteral("$");
const QString euro = QStringLiteral("\u20ac");
const QString yen = QStringLiteral("\uffe5");

Record loggedRecord()
{
    return {{PropertyNameKey, QStringLiteral("Lake House")},
            {ProviderNameKey, QStringLiteral("Bob's Gutters")},
            {ServiceTaskNameKey, QStringLiteral("Clean gutters")},
            {ServiceDateKey, NSDateUtilities::cleanseDate(QDateTime(QDate(2026, 3, 14), QTime(15, 42)))},
            {NoteKey, QStringLiteral("both sides")},
            {BookMarkDataKeyForReceipt, QByteArray("file:///home/me/receipts/gutters.pdf")}};
}

} // namespace

class TestCostRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanFormatCostStr_data();
    void cleanFormatCostStr();
    void patterns_data();
    void patterns();
    void isItaNumber_data();
    void isItaNumber();
    void integerRule_data();
    void integerRule();
    void plainReading_data();
    void plainReading();
    void storedCostAmount_data();
    void storedCostAmount();
    void recordFoundUnderAnotherLocale_data();
    void recordFoundUnderAnotherLocale();
    void differentAmountIsAnotherRecord();
    void removeNilEntries_data();
    void removeNilEntries();
};

void TestCostRules::cleanFormatCostStr_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("canonical");
    const QString us = QStringLiteral("en_US"), de = QStringLiteral("de_DE");
    QTest::newRow("us none") << us << QString() << ".00";
    QTest::newRow("us empty") << us << QString("") << ".00";
    QTest::newRow("us zero") << us << "0"
                             << ".00";
    QTest::newRow("us whole") << us << "12"
                              << "12.00";
    QTest::newRow("us one decimal") << us << "12.5"
                                    << "12.50";
    QTest::newRow("us fraction only") << us << ".5"
                                      << ".50";
    QTest::newRow("us grouped") << us << "1,234.50"
                                << "1234.50";
    QTest::newRow("us money text") << us << (dollar + "1,234.50") << "1234.50";
    QTest::newRow("us leading white space") << us << "  7.25"
                                            << "7.25";
    QTest::newRow("us trailing letters") << us << "12abc"
                                         << "12.00";
    QTest::newRow("us no number") << us << "abc"
                                  << ".00";
    QTest::newRow("us half even down") << us << ".125"
                                       << ".12";
    QTest::newRow("us half even up") << us << ".375"
                                     << ".38";
    QTest::newRow("us negative") << us << "-3.5"
                                 << "-3.50";
    QTest::newRow("us exponent") << us << "1e3"
                                 << "1000.00";
    QTest::newRow("us canonical again") << us << "1234.50"
                                        << "1234.50";
    QTest::newRow("us comma is grouping") << us << "12,50"
                                          << "1250.00";
    // Pasted amounts grouped the ways people write them.
    QTest::newRow("us apostrophe grouping") << us << "1'234.50"
                                            << "1234.50";
    QTest::newRow("de space grouping") << de << "1 234,50"
                                       << "1234,50";
    QTest::newRow("fr space grouping") << QStringLiteral("fr_FR") << "1 234,50"
                                       << "1234,50";
    QTest::newRow("fr no-break space grouping") << QStringLiteral("fr_FR") << "1\u00A0234,50"
                                                << "1234,50";
    QTest::newRow("fr narrow no-break space grouping") << QStringLiteral("fr_FR") << "1\u202F234,50"
                                                       << "1234,50";
    QTest::newRow("de none") << de << QString() << ",00";
    QTest::newRow("de decimal comma") << de << "12,50"
                                      << "12,50";
    QTest::newRow("de fraction only") << de << ",5"
                                      << ",50";
    QTest::newRow("de grouped") << de << "1.234,50"
                                << "1234,50";
    QTest::newRow("de money text") << de << (euro + "1.234,50") << "1234,50";
    QTest::newRow("de canonical again") << de << "1234,50"
                                        << "1234,50";
    QTest::newRow("de point is grouping") << de << "12.50"
                                          << "1250,00";
    QTest::newRow("de half even") << de << "0,125"
                                  << ",12";
}

void TestCostRules::cleanFormatCostStr()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(QString, canonical);
    LocaleScope scope(locale);
    QCOMPARE(kov::cleanFormatCostStr(text), canonical);
    // The canonical form is a fixed point.
    QCOMPARE(kov::cleanFormatCostStr(canonical), canonical);
}

void TestCostRules::patterns_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("format");
    QTest::addColumn<double>("number");
    QTest::addColumn<QString>("text");
    const QString us = QStringLiteral("en_US"), de = QStringLiteral("de_DE");
    QTest::newRow("us cost zero") << us << pattern::cost << 0.0 << ".00";
    QTest::newRow("us cost no grouping") << us << pattern::cost << 1234567.891 << "1234567.89";
    QTest::newRow("us money zero") << us << pattern::money << 0.0 << (dollar + ".00");
    QTest::newRow("us money grouped") << us << pattern::money << 1234.5 << (dollar + "1,234.50");
    QTest::newRow("us money half even") << us << pattern::money << 0.125 << (dollar + ".12");
    QTest::newRow("us money with zero") << us << pattern::moneyWithZero << 0.0 << (dollar + "0.00");
    QTest::newRow("us count") << us << pattern::count << 1234567.0 << "1,234,567";
    QTest::newRow("us count zero") << us << pattern::count << 0.0 << "0";
    QTest::newRow("us count half even") << us << pattern::count << 2.5 << "2";
    QTest::newRow("de cost") << de << pattern::cost << 1234.5 << "1234,50";
    QTest::newRow("de cost zero") << de << pattern::cost << 0.0 << ",00";
    QTest::newRow("de money") << de << pattern::money << 1234.5 << (euro + "1.234,50");
    QTest::newRow("de money with zero") << de << pattern::moneyWithZero << 0.5 << (euro + "0,50");
    QTest::newRow("de count") << de << pattern::count << 1234567.0 << "1.234.567";
    // The pattern's two decimals hold even for a currency that has none.
    QTest::newRow("ja money keeps decimals") << "ja_JP" << pattern::money << 1234.5 << (yen + "1,234.50");
}

void TestCostRules::patterns()
{
    QFETCH(QString, locale);
    QFETCH(QString, format);
    QFETCH(double, number);
    QFETCH(QString, text);
    LocaleScope scope(locale);
    QCOMPARE(copyFormatStringForTextField(number, format), text);
}

void TestCostRules::isItaNumber_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("number");
    const QString us = QStringLiteral("en_US"), de = QStringLiteral("de_DE");
    QTest::newRow("us digits") << us << "12" << true;
    QTest::newRow("us decimal") << us << "12.50" << true;
    QTest::newRow("us trailing point while typing") << us << "12." << true;
    QTest::newRow("us grouped") << us << "1,234.50" << true;
    QTest::newRow("us minus") << us << "-5" << true;
    QTest::newRow("us empty") << us << "" << false;
    QTest::newRow("us letter at end") << us << "12a" << false;
    QTest::newRow("us letter in middle") << us << "1a2" << false;
    QTest::newRow("us currency") << us << (dollar + "5") << false;
    QTest::newRow("us two points") << us << "1.2.3" << false;
    QTest::newRow("de decimal comma") << de << "12,50" << true;
    QTest::newRow("de grouped") << de << "1.234,50" << true;
    QTest::newRow("de letter") << de << "12,5x" << false;
    QTest::newRow("de currency") << de << (euro + "5") << false;
    QTest::newRow("de two commas") << de << "1,2,3" << false;
}

void TestCostRules::isItaNumber()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(bool, number);
    LocaleScope scope(locale);
    QCOMPARE(kov::isItaNumber(text), number);
}

void TestCostRules::integerRule_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("digits") << "12" << true;
    QTest::newRow("negative") << "-3" << true;
    QTest::newRow("plus") << "+7" << true;
    QTest::newRow("surrounding spaces") << "  42  " << true;
    QTest::newRow("grouped") << "1,000" << false;
    QTest::newRow("decimal") << "2.5" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("spaces only") << "   " << false;
    QTest::newRow("sign only") << "-" << false;
    QTest::newRow("letter after") << "12a" << false;
    QTest::newRow("space inside") << "1 2" << false;
}

void TestCostRules::integerRule()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QCOMPARE(isIntegerText(text), accepted);
}

void TestCostRules::plainReading_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::addColumn<qlonglong>("integer");
    const QString us = QStringLiteral("en_US"), de = QStringLiteral("de_DE");
    QTest::newRow("us leading number") << us << " -2.5e2x" << -250.0 << qlonglong(-2);
    QTest::newRow("us comma ends the number") << us << "1,234" << 1.0 << qlonglong(1);
    QTest::newRow("us fraction only") << us << ".5" << 0.5 << qlonglong(0);
    QTest::newRow("us no number") << us << "x12" << 0.0 << qlonglong(0);
    QTest::newRow("us bare exponent letter") << us << "3e" << 3.0 << qlonglong(3);
    QTest::newRow("de decimal comma") << de << "12,50" << 12.5 << qlonglong(12);
    QTest::newRow("de point ends the number") << de << "12.50" << 12.0 << qlonglong(12);
}

void TestCostRules::plainReading()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(double, value);
    QFETCH(qlonglong, integer);
    LocaleScope scope(locale);
    QCOMPARE(plainNumber(text), value);
    QCOMPARE(plainInteger(text), integer);
}

void TestCostRules::storedCostAmount_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<double>("amount");
    const QString us = QStringLiteral("en_US"), de = QStringLiteral("de_DE");
    QTest::newRow("us own form") << us << "1234.50" << true << 1234.5;
    QTest::newRow("us reads de form") << us << "1234,50" << true << 1234.5;
    QTest::newRow("us reads de zero") << us << ",00" << true << 0.0;
    QTest::newRow("de own form") << de << "1234,50" << true << 1234.5;
    QTest::newRow("de reads us form") << de << "1234.50" << true << 1234.5;
    QTest::newRow("de reads us zero") << de << ".00" << true << 0.0;
    QTest::newRow("de reads us negative") << de << "-3.50" << true << -3.5;
    QTest::newRow("us grouped text by locale") << us << "1,234.50" << true << 1234.5;
    QTest::newRow("de grouped text by locale") << de << "1.234,50" << true << 1234.5;
    QTest::newRow("us not a number") << us << "abc" << false << 0.0;
    QTest::newRow("de empty") << de << "" << false << 0.0;
}

void TestCostRules::storedCostAmount()
{
    QFETCH(QString, locale);
    QFETCH(QString, stored);
    QFETCH(bool, readable);
    QFETCH(double, amount);
    LocaleScope scope(locale);
    const std::optional<double> read = kov::storedCostAmount(stored);
    QCOMPARE(read.has_value(), readable);
    if (readable)
        QCOMPARE(*read, amount);
}

void TestCostRules::recordFoundUnderAnotherLocale_data()
{
    QTest::addColumn<QString>("writer");
    QTest::addColumn<QString>("reader");
    const QString us = QStringLiteral("en_US"), de = QStringLiteral("de_DE");
    QTest::newRow("us to us") << us << us;
    QTest::newRow("us to de") << us << de;
    QTest::newRow("de to us") << de << us;
    QTest::newRow("de to de") << de << de;
}

void TestCostRules::recordFoundUnderAnotherLocale()
{
    QFETCH(QString, writer);
    QFETCH(QString, reader);
    Record stored = loggedRecord();
    {
        LocaleScope scope(writer);
        stored.insert(TotalCostKey, kov::cleanFormatCostStr(QStringLiteral("1240.75")));
        stored.insert(PartsCostKey, kov::cleanFormatCostStr(writer == "de_DE" ? "1.234,50" : "1,234.50"));
        stored.insert(LaborCostKey, kov::cleanFormatCostStr(QString()));
        stored.insert(TaxCostKey, kov::cleanFormatCostStr(writer == "de_DE" ? "6,25" : "6.25"));
    }
    LocaleScope scope(reader);
    const Record row = maintenanceRowFromRecord(stored);
    QCOMPARE(row.value(col::parts).toDouble(), 1234.5);
    QCOMPARE(row.value(col::tax).toDouble(), 6.25);
    QCOMPARE(row.value(col::labor).toDouble(), 0.0);
    QCOMPARE(row.value(col::note).toString(), QStringLiteral("both sides"));

    const Record other = [&] {
        Record r = stored;
        r.insert(NoteKey, QStringLiteral("other"));
        return r;
    }();
    const RecordList history = {other, stored, stored};
    QCOMPARE(indexOfMaintenanceRecord(history, searchRecordFromMaintenanceRow(row)), 1);
}

void TestCostRules::differentAmountIsAnotherRecord()
{
    LocaleScope scope(QStringLiteral("de_DE"));
    Record a = loggedRecord();
    a.insert(PartsCostKey, QStringLiteral("12.50"));
    Record b = a;
    b.insert(PartsCostKey, QStringLiteral("12,51"));
    QVERIFY(!maintenanceRecordsMatch(a, b));
    b.insert(PartsCostKey, QStringLiteral("12,50"));
    QVERIFY(maintenanceRecordsMatch(a, b));
    b.insert(NoteKey, QStringLiteral("Both sides"));
    QVERIFY(!maintenanceRecordsMatch(a, b));
}

void TestCostRules::removeNilEntries_data()
{
    QTest::addColumn<Record>("record");
    QTest::addColumn<QStringList>("keysLeft");
    QTest::addColumn<bool>("removed");
    const Record clean = loggedRecord();
    QTest::newRow("nothing to remove") << clean << clean.keys() << false;
    Record emptyNote = clean;
    emptyNote.insert(NoteKey, QString());
    QStringList withoutNote = clean.keys();
    withoutNote.removeAll(NoteKey);
    QTest::newRow("empty note") << emptyNote << withoutNote << true;
    Record nullValue = clean;
    nullValue.insert(NoteKey, QVariant());
    QTest::newRow("null value") << nullValue << withoutNote << true;
    Record emptyDateAndReceipt = clean;
    emptyDateAndReceipt.insert(ServiceDateKey, QVariant());
    emptyDateAndReceipt.insert(BookMarkDataKeyForReceipt, QString());
    QTest::newRow("date and receipt are left alone") << emptyDateAndReceipt << clean.keys() << false;
}

void TestCostRules::removeNilEntries()
{
    QFETCH(Record, record);
    QFETCH(QStringList, keysLeft);
    QFETCH(bool, removed);
    RecordList history = {loggedRecord(), record};
    QCOMPARE(kov::removeNilEntries(history), removed);
    QCOMPARE(history[1].keys(), keysLeft);
    QVERIFY(recordsEqual(history[0], loggedRecord()));
}

QTEST_GUILESS_MAIN(TestCostRules)
#include "tst_costrules.moc"
