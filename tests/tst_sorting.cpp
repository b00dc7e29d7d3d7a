// Ordering lists for people, in the pinned en_US locale and in Swedish.
#include "storage/sorting.h"

#include <QTest>
#include <QTimeZone>

#include "testsupport.h"

using namespace kov;
using namespace Qt::StringLiterals;

class Tst_sorting : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QCOMPARE(icu::Locale::getDefault().getName(), "en_US"); } // ctest pins LANG

    // Each rule and kind, both ways round: a missing value first, numbers by
    // exact value (NaN last), then strings, then dates by instant.
    void compareValues_data()
    {
        QTest::addColumn<QVariant>("a");
        QTest::addColumn<QVariant>("b");
        QTest::addColumn<int>("sel");
        QTest::addColumn<int>("expected");
        const auto row = [](const char *name, const QVariant &a, const QVariant &b, SortSelector sel,
                            int expected) { QTest::newRow(name) << a << b << int(sel) << expected; };
        const auto plain = SortSelector::compare, standard = SortSelector::localizedStandardCompare,
                   caseless = SortSelector::localizedCaseInsensitiveCompare;
        const QDateTime t(QDate(2024, 3, 9), QTime(12, 0), QTimeZone::utc());
        row("compare: code units", u"a"_s, u"B"_s, plain, 1);
        row("standard: digits by value", u"Unit 9"_s, u"Unit 10"_s, standard, -1);
        row("standard: canonical twins split", u"e\u0301"_s, u"\u00e9"_s, standard, -1);
        row("caseless: case ignored", u"abc"_s, u"ABC"_s, caseless, 0);
        row("integer beyond 2^53", qlonglong(9007199254740993), 9007199254740992.0, plain, 1);
        row("NaN after reals", qQNaN(), 1e300, plain, 1);
        row("dates by instant", t, t.toTimeZone(QTimeZone(3600)), plain, 0);
        row("missing before empty string", QVariant(), u""_s, standard, -1);
        row("number before string", 99, u"1"_s, plain, -1);
    }
    void compareValues()
    {
        QFETCH(QVariant, a);
        QFETCH(QVariant, b);
        QFETCH(int, sel);
        QFETCH(int, expected);
        QCOMPARE(std::clamp(kov::compareValues(a, b, SortSelector(sel)), -1, 1), expected);
        QCOMPARE(std::clamp(kov::compareValues(b, a, SortSelector(sel)), -1, 1), -expected);
    }

    // Levels in order, descending where asked, full ties kept in file order;
    // an empty key skips its level. Numbers sort with NaN last.
    void sortLists()
    {
        const auto rec = [](int id, int day, const QString &name, const QVariant &cost) {
            const QDateTime date(QDate(2024, 3, day), QTime(12, 0), QTimeZone::utc());
            return Record{{u"id"_s, id}, {u"date"_s, date}, {u"name"_s, name}, {u"cost"_s, cost}};
        };
        const RecordList in{rec(1, 1, u"gutters"_s, 40.0), rec(2, 9, u"Unit 10"_s, 5.0),
                            rec(3, 9, u"Unit 9"_s, 5.0),   rec(4, 1, u"Furnace"_s, 12.5),
                            rec(5, 1, u"Furnace"_s, 12.5), {{u"id"_s, 6}}};
        const auto standard = SortSelector::localizedStandardCompare, plain = SortSelector::compare;
        RecordList records = in;
        kov::doSortWithArray(records, u"date"_s, false, plain, u"name"_s, true, standard);
        QCOMPARE(records, (RecordList{in[2], in[1], in[3], in[4], in[0], in[5]}));
        RecordList dated = in.mid(0, 5); // every date valid: compared as instants
        kov::doSortWithArray(dated, u"date"_s, true, plain);
        QCOMPARE(dated, (RecordList{in[0], in[3], in[4], in[1], in[2]}));
        RecordList ties; // enough that std::sort would not keep them in order
        for (int i = 0; i < 40; ++i)
            ties.append(rec(i, 1 + i % 2, QString(), 0.0));
        kov::doSortWithArray(ties, u"date"_s, true, plain);
        for (int i = 0; i < 40; ++i)
            QCOMPARE(ties[i].value(u"id"_s).toInt(), i < 20 ? 2 * i : 2 * (i - 20) + 1);
        records.swapItemsAt(2, 3);
        kov::doSortWithArray(records, QString(), true, plain, u"cost"_s, true, plain);
        QCOMPARE(records, (RecordList{in[5], in[2], in[1], in[4], in[3], in[0]}));
        QVERIFY(kov::copyDictContainingTitle(u"Furnace"_s, u"name"_s, records) == in[4]);
        QVERIFY(!kov::copyDictContainingTitle(u"furnace"_s, u"name"_s, in) &&
                !copyDictContainingTitle(u"40"_s, u"cost"_s, in));
        RecordList named; // texts alone: ranked, with the texts called equal in file order
        for (const char *name : {"gutters", "Furnace", "furnace", "Attic", "FURNACE"})
            named.append({{u"name"_s, QString::fromLatin1(name)}});
        const RecordList n = named;
        kov::doSortWithArray(named, u"name"_s, true, SortSelector::localizedCaseInsensitiveCompare);
        QCOMPARE(named, (RecordList{n[3], n[1], n[2], n[4], n[0]}));
        QStringList names{u"Unit 10"_s, u"b"_s, u"Unit 9"_s};
        kov::sortArray(names);
        QCOMPARE(names, (QStringList{u"b"_s, u"Unit 9"_s, u"Unit 10"_s}));
        QList<double> numbers{3, qQNaN(), -1.5, 10, 2, -0.0};
        kov::sortNumberArray(numbers);
        QCOMPARE(numbers.mid(0, 5), (QList<double>{-1.5, -0.0, 2, 3, 10}));
        QVERIFY(qIsNaN(numbers.last()));
    }

    // Collators follow a change of the user's locale: Swedish puts ä after z.
    void followsLocaleChange()
    {
        QVERIFY(localizedStandardCompare(u"äpple"_s, u"zebra"_s) < 0);
        test::LocaleScope swedish(u"sv_SE"_s);
        QVERIFY(localizedStandardCompare(u"äpple"_s, u"zebra"_s) > 0);
    }
};

QTEST_GUILESS_MAIN(Tst_sorting)
#include "tst_sorting.moc"
