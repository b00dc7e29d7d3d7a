// Cost rules under a decimal point (en_US) and a decimal comma (de_DE): the cost
// form, number patterns and checks, records found again under another locale.
#include <QTest>

#include "log/costrules.h"
#include "log/maintrecords.h"
#include "storage/dates.h"

#include "testsupport.h"

using namespace kov;
using namespace Qt::StringLiterals;
using kov::test::LocaleScope;

namespace {

const QString us = u"en_US"_s, de = u"de_DE"_s;

Record loggedRecord()
{
    return {{PropertyNameKey, u"Lake House"_s},
            {ServiceTaskNameKey, u"Clean gutters"_s},
            {ServiceDateKey, NSDateUtilities::cleanseDate(QDateTime(QDate(2026, 3, 14), QTime(15, 42)))},
            {NoteKey, u"both sides"_s},
            {BookMarkDataKeyForReceipt, QByteArray("file:///home/me/receipts/gutters.pdf")}};
}

} // namespace

class TestCostRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // What a typed cost is stored as: symbols and grouping gone, half-even
    // cents, the locale's decimal separator; the stored form reads as itself.
    void cleanFormatCostStr_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("canonical");
        QTest::newRow("us none") << us << QString() << u".00"_s;
        QTest::newRow("us money text") << us << u"$1,234.50"_s << u"1234.50"_s;
        QTest::newRow("us fraction only") << us << u".5"_s << u".50"_s;
        QTest::newRow("us no number") << us << u"abc"_s << u".00"_s;
        QTest::newRow("us half even down") << us << u".125"_s << u".12"_s;
        QTest::newRow("us comma is grouping") << us << u"12,50"_s << u"1250.00"_s;
        QTest::newRow("fr no-break space grouping") << u"fr_FR"_s << u"1\u00A0234,50"_s << u"1234,50"_s;
        QTest::newRow("de none") << de << QString() << u",00"_s;
        QTest::newRow("de money text") << de << u"\u20AC1.234,50"_s << u"1234,50"_s;
        QTest::newRow("de point is grouping") << de << u"12.50"_s << u"1250,00"_s;
    }
    void cleanFormatCostStr()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(QString, canonical);
        LocaleScope scope(locale);
        QCOMPARE(kov::cleanFormatCostStr(text), canonical);
        QCOMPARE(kov::cleanFormatCostStr(canonical), canonical);
    }

    // The patterns' decimals hold even for a currency that has none (yen).
    void patterns_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("format");
        QTest::addColumn<double>("number");
        QTest::addColumn<QString>("text");
        QTest::newRow("us money zero") << us << pattern::money << 0.0 << u"$.00"_s;
        QTest::newRow("us money with zero") << us << pattern::moneyWithZero << 0.0 << u"$0.00"_s;
        QTest::newRow("de money") << de << pattern::money << 1234.5 << u"\u20AC1.234,50"_s;
        QTest::newRow("ja money") << u"ja_JP"_s << pattern::money << 1234.5 << u"\uFFE51,234.50"_s;
    }
    void patterns()
    {
        QFETCH(QString, locale);
        QFETCH(QString, format);
        QFETCH(double, number);
        LocaleScope scope(locale);
        QTEST(copyFormatStringForTextField(number, format), "text");
    }

    // A whole text is a number, or it is not; stored costs read whichever
    // locale wrote them.
    void numberChecks()
    {
        LocaleScope scope(de);
        QVERIFY(isItaNumber(u"1.234,50"_s));
        QVERIFY(!isItaNumber(u"12,5x"_s));
        QCOMPARE(plainNumber(u"12,50"_s), 12.5);
        QCOMPARE(plainNumber(u",5"_s), 0.5);
        QCOMPARE(plainInteger(u" -12,50"_s), -12);
        QCOMPARE(storedCostAmount(u"-3.50"_s), -3.5);
        QCOMPARE(storedCostAmount(u"1.234,50"_s), 1234.5);
        LocaleScope usScope(us);
        QCOMPARE(storedCostAmount(u"1234,50"_s), 1234.5);
        QCOMPARE(storedCostAmount(u"-.50"_s), -0.5);
        QCOMPARE(storedCostAmount(u"12\u066B50"_s), 12.5);
        QVERIFY(!storedCostAmount(u"12+50"_s) && !storedCostAmount(u"1 50"_s));
        QCOMPARE(plainNumber(u" -2.5e2x"_s), -250.0);
        QVERIFY(isIntegerText(u"  +42  "_s));
        for (const QString &text : {u"-"_s, u"2.5"_s, u"1 2"_s, u""_s})
            QVERIFY2(!isIntegerText(text), qPrintable(text));
    }

    // A record is found again from its row whichever locale wrote its costs.
    void recordFoundUnderAnotherLocale_data()
    {
        QTest::addColumn<QString>("writer");
        QTest::addColumn<QString>("reader");
        QTest::newRow("us to de") << us << de;
        QTest::newRow("de to us") << de << us;
    }
    void recordFoundUnderAnotherLocale()
    {
        QFETCH(QString, writer);
        QFETCH(QString, reader);
        Record stored = loggedRecord();
        {
            LocaleScope scope(writer);
            stored.insert(TotalCostKey, kov::cleanFormatCostStr(u"1240.75"_s));
            stored.insert(PartsCostKey,
                          kov::cleanFormatCostStr(writer == de ? u"1.234,50"_s : u"1,234.50"_s));
            stored.insert(LaborCostKey, kov::cleanFormatCostStr(QString()));
        }
        LocaleScope scope(reader);
        const Record row = maintenanceRowFromRecord(stored);
        QCOMPARE(row.value(col::parts).toDouble(), 1234.5);
        Record other = stored;
        other.insert(NoteKey, u"other"_s);
        QCOMPARE(indexOfMaintenanceRecord({other, stored, stored}, searchRecordFromMaintenanceRow(row)), 1);
        // A cost that reads as no amount is not in the row, yet the record is found.
        Record unreadable = stored;
        unreadable.insert(TaxCostKey, u"n/a"_s);
        QCOMPARE(indexOfMaintenanceRecord({other, unreadable}, searchRecordFromMaintenanceRow(
                                                                   maintenanceRowFromRecord(unreadable))),
                 1);
        // A cent makes another record.
        other = stored;
        other.insert(PartsCostKey, reader == de ? u"1234,51"_s : u"1234.51"_s);
        QVERIFY(!maintenanceRecordsMatch(stored, other));
    }

    // Empty entries go, except the service date and the receipt.
    void removeNilEntries()
    {
        Record record = loggedRecord();
        record.insert(NoteKey, QString());
        record.insert(ProviderNameKey, QVariant());
        record.insert(ServiceDateKey, QVariant());
        record.insert(BookMarkDataKeyForReceipt, QString());
        RecordList history{loggedRecord(), record};
        QVERIFY(kov::removeNilEntries(history));
        QCOMPARE(history[1].keys(), (QStringList{BookMarkDataKeyForReceipt, PropertyNameKey, ServiceDateKey,
                                                 ServiceTaskNameKey}));
    }
};

QTEST_GUILESS_MAIN(TestCostRules)
#include "tst_costrules.moc"
