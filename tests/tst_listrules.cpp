// The reference lists without widgets: records, entry checks, names, sheet rows.
#include <cmath>

#include <QTest>
#include <QTimeZone>

#include "lists/listrules.h"
#include "lists/tasklabel.h"
#include "storage/rtfd.h"

#include "testsupport.h"

using namespace kov;
using namespace Qt::StringLiterals;
using kov::test::LocaleScope;

class TestListRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A price reads as the cost fields read it (a decimal comma keeps its
    // cents); a price and its date are stored only when one was typed. Dates
    // keep their time of day; no pop-up choice stores neither title.
    void propertyRecord()
    {
        LocaleScope scope(u"de_DE"_s);
        const QTimeZone ny("America/New_York");
        PropertyValues v;
        v.name = u"Main Street"_s;
        v.constructed = QDateTime(QDate(1931, 5, 1), QTime(0, 0), ny);
        v.acquired = QDateTime(QDate(2001, 2, 3), QTime(10, 15), ny);
        v.purchaseCost = u"1.234,50 \u20AC"_s;
        const Record r = propertyRecordFromValues(v);
        QCOMPARE(r.value(PropertyPurchaseCostKey), QVariant(1234.5));
        QCOMPARE(r.value(PropertyPurchaseDateKey), QVariant(v.acquired));
        QVERIFY(!r.contains(PropertySaleCostKey) && !r.contains(PropertySaleDateKey));
        QCOMPARE(r.value(PropertyConstDateKey), QVariant(v.constructed));
        QVERIFY(!r.contains(PropertyPurchaseMethodKey) && !r.contains(PropertyCurrentStatusKey));
        QCOMPARE(r.value(PropertyAddressKey), QVariant(QString()));
    }

    // Name and description first; a unit other than None needs a count above 0.
    void taskCheck_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("interval");
        QTest::addColumn<TaskEntryCheck>("result");
        QTest::newRow("complete") << "Gutters" << UnitMonths << "6" << TaskEntryCheck::ok;
        QTest::newRow("no name") << "" << UnitMonths << "6" << TaskEntryCheck::dataMissing;
        QTest::newRow("empty interval") << "G" << UnitDays << "" << TaskEntryCheck::intervalMissing;
        QTest::newRow("zero") << "G" << UnitYears << "0" << TaskEntryCheck::intervalMissing;
        QTest::newRow("grouped leading digits") << "G" << UnitDays << "1,500" << TaskEntryCheck::ok;
        QTest::newRow("None needs none") << "G" << UnitNone << "" << TaskEntryCheck::ok;
    }
    void taskCheck()
    {
        QFETCH(QString, name);
        QFETCH(int, unit);
        QFETCH(QString, interval);
        QTEST(checkTaskEntry(name, u"Clean them"_s, unit, interval), "result");
        QCOMPARE(checkTaskEntry(name, QString(), unit, interval), TaskEntryCheck::dataMissing);
    }

    // The count is stored without the locale's grouping; the row shows it
    // grouped again, in the singular for 1.
    void taskRecordAndRow_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("interval");
        QTest::addColumn<QVariant>("count");
        QTest::addColumn<QString>("label");
        QTest::newRow("grouped en") << "en_US" << UnitMonths << "1,500" << QVariant(1500LL) << "1,500 months";
        QTest::newRow("grouped de") << "de_DE" << UnitDays << "1.500" << QVariant(1500LL) << "1.500 days";
        QTest::newRow("1 month") << "en_US" << UnitMonths << "1" << QVariant(1LL) << "1 month";
        QTest::newRow("2 years") << "en_US" << UnitYears << "2" << QVariant(2LL) << "2 years";
        QTest::newRow("None") << "en_US" << UnitNone << "" << QVariant() << "None";
    }
    void taskRecordAndRow()
    {
        QFETCH(QString, locale);
        QFETCH(int, unit);
        QFETCH(QString, interval);
        LocaleScope scope(locale);
        const Record task = taskRecordFromValues(u"Gutters"_s, rtfdFromPlainText(u"a\nb"_s), unit, interval);
        QCOMPARE(task.value(ServiceTaskTimeUnits), QVariant(qlonglong(unit)));
        QTEST(task.value(ServiceTaskTimeInUnitsKey), "count");
        const Record row = taskSheetRow(task);
        QCOMPARE(row.value(col::taskdesc).toString(), u"a\nb"_s);
        QTEST(row.value(col::timeindays).toString(), "label");
    }

    // Names are found exactly: case counts, a number is no name.
    void exactNames()
    {
        RecordList list;
        for (const QVariant &name :
             {QVariant(u"Roof"_s), QVariant(u"gutters"_s), QVariant(u"Roof"_s), QVariant(4LL)})
            list.append({{ServiceTaskNameKey, name}});
        QCOMPARE(indexOfName(list, ServiceTaskNameKey, u"Roof"_s), 0);
        QCOMPARE(indexOfName(list, ServiceTaskNameKey, u"gutters"_s), 1);
        QVERIFY(!nameExists(list, ServiceTaskNameKey, u"Gutters"_s));
        QVERIFY(!nameExists(list, ServiceTaskNameKey, u"4"_s));
    }

    // A description written on macOS shows as its text; missing values leave
    // their cells out without hiding the others.
    void sheetRows()
    {
        const Record task{
            {ServiceTaskDescriptionKey, kov::test::readAll(u"" KOV_TEST_DATA "/rtfd-macos.bin"_s)}};
        QCOMPARE(taskSheetRow(task).value(col::taskdesc).toString(),
                 u"Caf\u00e9 stove: clean hood filters\nmonthly"_s);
        QVERIFY(!taskSheetRow({{ServiceTaskNameKey, u"x"_s}}).contains(col::taskdesc));
        // Interval labels of tasks KOV did not write.
        auto label = [](const QVariant &units, const QVariant &count) {
            return copyTaskDescAndTimeLabel(
                Record{{ServiceTaskTimeUnits, units}, {ServiceTaskTimeInUnitsKey, count}});
        };
        QCOMPARE(label(u"1"_s, u" 3"_s), u"3 months"_s);
        QCOMPARE(label(7LL, 3LL), u"None"_s);
        QCOMPARE(label(0LL, 0LL), u" day"_s);
        // A count no whole number can hold names no interval.
        QCOMPARE(label(0LL, std::nan("")), u"None"_s);
        QCOMPARE(label(0LL, 1e300), u"None"_s);
        QCOMPARE(providerSheetRow({{ProviderNameKey, u"Ann"_s}, {ProviderEmailKey, u"a@b.org"_s}}),
                 (Record{{col::provname, u"Ann"_s}}));
        QCOMPARE(propertySheetRow({{PropertyZipKey, u"12180"_s}, {PropertyNoteKey, u"not shown"_s}}),
                 (Record{{col::proppostal, u"12180"_s}}));
    }
};

QTEST_MAIN(TestListRules)
#include "tst_listrules.moc"
