#include "storage/sorting.h"

#include <cmath>
#include <limits>

#include <QDateTime>
#include <QTest>
#include <QTimeZone>

#include <unicode/locid.h>

using namespace kov;

namespace {

int sign(int v)
{
    return (v > 0) - (v < 0);
}

QDateTime day(int d)
{
    return QDateTime(QDate(2024, 3, d), QTime(12, 0), QTimeZone::utc());
}

// id, date, name, cost; ids 4 and 5 tie on everything, 6 lacks date and cost.
RecordList fixture()
{
    const auto rec = [](int id, const QVariant &date, const QString &name, const QVariant &cost) {
        Record r{{"id", id}, {ServiceTaskNameKey, name}};
        if (date.isValid())
            r.insert(ServiceDateKey, date);
        if (cost.isValid())
            r.insert(TotalCostKey, cost);
        return r;
    };
    return {rec(1, day(1), "gutters", 40.0), rec(2, day(9), "Unit 10", 5.0),  rec(3, day(9), "Unit 9", 5.0),
            rec(4, day(1), "Furnace", 12.5), rec(5, day(1), "Furnace", 12.5), rec(6, {}, "attic", {})};
}

} // namespace

class Tst_sorting : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(qstrcmp(icu::Locale::getDefault().getName(), "en_US") == 0,
                 "run through ctest, which pins LANG");
    }

    void sortArray_data()
    {
        QTest::addColumn<QStringList>("input");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("digits by value")
            << QStringList{"b", "A", "a10", "a9"} << QStringList{"A", "a9", "a10", "b"};
        QTest::newRow("unit numbers")
            << QStringList{"Unit 10", "Unit 9", "Unit 1"} << QStringList{"Unit 1", "Unit 9", "Unit 10"};
        QTest::newRow("accents above case") << QStringList{"résumé", "Resume", "Résumé", "resume", "rest"}
                                            << QStringList{"rest", "resume", "Resume", "résumé", "Résumé"};
        QTest::newRow("canonical twins") << QStringList{QStringLiteral("\u00e9"), QStringLiteral("e\u0301")}
                                         << QStringList{QStringLiteral("e\u0301"), QStringLiteral("\u00e9")};
    }
    void sortArray()
    {
        QFETCH(QStringList, input);
        QFETCH(QStringList, expected);
        QStringList reversed(input.rbegin(), input.rend());
        kov::sortArray(input);
        kov::sortArray(reversed);
        QCOMPARE(input, expected);
        QCOMPARE(reversed, expected); // a total order: no result depends on input order
    }

    void compareValues_data()
    {
        QTest::addColumn<QVariant>("a");
        QTest::addColumn<QVariant>("b");
        QTest::addColumn<int>("sel");
        QTest::addColumn<int>("expected");
        const int plain = int(SortSelector::compare);
        const int standard = int(SortSelector::localizedStandardCompare);
        const int caseless = int(SortSelector::localizedCaseInsensitiveCompare);
        QTest::newRow("compare: code units") << QVariant("a") << QVariant("B") << plain << 1;
        QTest::newRow("standard: letters first") << QVariant("a") << QVariant("B") << standard << -1;
        QTest::newRow("standard: lower before upper") << QVariant("abc") << QVariant("ABC") << standard << -1;
        QTest::newRow("caseless: case ignored") << QVariant("abc") << QVariant("ABC") << caseless << 0;
        QTest::newRow("caseless: canonical twins equal")
            << QVariant(QStringLiteral("e\u0301")) << QVariant(QStringLiteral("\u00e9")) << caseless << 0;
        QTest::newRow("standard: canonical twins split")
            << QVariant(QStringLiteral("e\u0301")) << QVariant(QStringLiteral("\u00e9")) << standard << -1;
        QTest::newRow("int below real") << QVariant(2) << QVariant(10.5) << standard << -1;
        QTest::newRow("beyond 2^53") << QVariant(qlonglong(9007199254740993)) << QVariant(9007199254740992.0)
                                     << plain << 1;
        QTest::newRow("NaN after numbers")
            << QVariant(std::numeric_limits<double>::quiet_NaN()) << QVariant(1e300) << plain << 1;
        QTest::newRow("dates by instant")
            << QVariant(day(9)) << QVariant(day(9).toTimeZone(QTimeZone(3600))) << plain << 0;
        QTest::newRow("missing before empty string") << QVariant() << QVariant("") << standard << -1;
        QTest::newRow("number before string") << QVariant(99) << QVariant("1") << plain << -1;
        QTest::newRow("string before date") << QVariant("z") << QVariant(day(1)) << plain << -1;
    }
    void compareValues()
    {
        QFETCH(QVariant, a);
        QFETCH(QVariant, b);
        QFETCH(int, sel);
        QFETCH(int, expected);
        QCOMPARE(sign(kov::compareValues(a, b, SortSelector(sel))), expected);
        QCOMPARE(sign(kov::compareValues(b, a, SortSelector(sel))), -expected);
    }

    void doSortWithArray_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QList<bool>>("ascend");
        QTest::addColumn<QList<int>>("sels");
        QTest::addColumn<QList<int>>("expected");
        const int plain = int(SortSelector::compare);
        const int standard = int(SortSelector::localizedStandardCompare);
        QTest::newRow("newest first, then name, then cost")
            << QStringList{ServiceDateKey, ServiceTaskNameKey, TotalCostKey} << QList<bool>{false, true, true}
            << QList<int>{plain, standard, plain} << QList<int>{3, 2, 4, 5, 1, 6};
        QTest::newRow("missing first ascending")
            << QStringList{TotalCostKey, "", ""} << QList<bool>{true, true, true}
            << QList<int>{plain, plain, plain} << QList<int>{6, 2, 3, 4, 5, 1};
        QTest::newRow("empty key skips its level")
            << QStringList{"", ServiceTaskNameKey, ""} << QList<bool>{true, true, true}
            << QList<int>{plain, standard, plain} << QList<int>{6, 4, 5, 1, 3, 2};
    }
    void doSortWithArray()
    {
        QFETCH(QStringList, keys);
        QFETCH(QList<bool>, ascend);
        QFETCH(QList<int>, sels);
        QFETCH(QList<int>, expected);
        // Full ties (4 and 5) must keep file order whichever way they start.
        for (const bool swapTies : {false, true}) {
            RecordList records = fixture();
            if (swapTies)
                records.swapItemsAt(3, 4);
            RecordList &result =
                kov::doSortWithArray(records, keys[0], ascend[0], SortSelector(sels[0]), keys[1], ascend[1],
                                     SortSelector(sels[1]), keys[2], ascend[2], SortSelector(sels[2]));
            QCOMPARE(&result, &records);
            QList<int> ids;
            for (const Record &r : records)
                ids.append(r.value("id").toInt());
            QList<int> want = expected;
            if (swapTies)
                want.swapItemsAt(want.indexOf(4), want.indexOf(5));
            QCOMPARE(ids, want);
        }
    }

    void sortNumberArray()
    {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QList<double> numbers{3, nan, -1.5, 10, 2, -0.0};
        kov::sortNumberArray(numbers);
        QCOMPARE(numbers.mid(0, 5), (QList<double>{-1.5, -0.0, 2, 3, 10}));
        QVERIFY(std::isnan(numbers.last()));
    }

    void copyDictContainingTitle_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("expectedId"); // 0: nothing found
        QTest::newRow("exact") << "Unit 9" << ServiceTaskNameKey << 3;
        QTest::newRow("case differs") << "furnace" << ServiceTaskNameKey << 0;
        QTest::newRow("duplicates: first wins") << "Furnace" << ServiceTaskNameKey << 4;
        QTest::newRow("number is no string") << "40" << TotalCostKey << 0;
    }
    void copyDictContainingTitle()
    {
        QFETCH(QString, title);
        QFETCH(QString, key);
        QFETCH(int, expectedId);
        const auto found = kov::copyDictContainingTitle(title, key, fixture());
        QCOMPARE(found.has_value(), expectedId != 0);
        if (found)
            QCOMPARE(found->value("id").toInt(), expectedId);
    }

    void followsLocaleChange()
    {
        const icu::Locale saved = icu::Locale::getDefault();
        const auto sorted = [](QStringList l) {
            kov::sortArray(l);
            return l;
        };
        const QStringList words{"zebra", "äpple"};
        UErrorCode st = U_ZERO_ERROR;
        QCOMPARE(sorted(words), (QStringList{"äpple", "zebra"}));
        icu::Locale::setDefault(icu::Locale("sv_SE"), st);
        const QStringList swedish = sorted(words); // Swedish puts ä after z
        icu::Locale::setDefault(saved, st);
        QCOMPARE(swedish, (QStringList{"zebra", "äpple"}));
        QCOMPARE(sorted(words), (QStringList{"äpple", "zebra"}));
    }
};

QTEST_GUILESS_MAIN(Tst_sorting)
#include "tst_sorting.moc"
