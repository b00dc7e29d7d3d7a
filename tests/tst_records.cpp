// Whole-record equality: how a maintenance record is found again for Change and Delete.
#include <QTest>
#include <QTimeZone>

#include "storage/records.h"

using namespace kov;
using namespace Qt::StringLiterals;

class TestRecords : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void equality_data()
    {
        QTest::addColumn<QVariant>("a");
        QTest::addColumn<QVariant>("b");
        QTest::addColumn<bool>("equal");
        const auto row = [](const char *name, const QVariant &a, const QVariant &b, bool equal) {
            QTest::newRow(name) << a << b << equal;
        };
        const QDateTime t(QDate(2024, 3, 14), QTime(4, 0), QTimeZone::utc());
        row("case differs", u"Gutters"_s, u"gutters"_s, false);
        row("integer and real", qlonglong(3), 3.0, true);
        row("2^64 - 1 is not -1", QVariant(~0ULL), qlonglong(-1), false);
        row("unsigned and signed alike", QVariant(7ULL), qlonglong(7), true);
        row("NaN, as read from a file", qQNaN(), qQNaN(), true);
        row("number is not its text", qlonglong(3), u"3"_s, false);
        row("dates by instant", t, t.toTimeZone(QTimeZone(-18000)), true);
        row("dates 1 ms apart", t, t.addMSecs(1), false);
        row("nested lists", QVariantList{1.0, u"x"_s}, QVariantList{1, u"x"_s}, true);
        row("extra key", Record{{NoteKey, 1}}, Record{{NoteKey, 1}, {TaxCostKey, 1}}, false);
        row("same size, other key", Record{{NoteKey, 1}}, Record{{TaxCostKey, 1}}, false);
    }
    void equality()
    {
        QFETCH(QVariant, a);
        QFETCH(QVariant, b);
        QFETCH(bool, equal);
        QCOMPARE(valuesEqual(a, b), equal);
        QCOMPARE(valuesEqual(b, a), equal);
        QCOMPARE(indexOfRecord({{{NoteKey, u"C"_s}}, {{NoteKey, a}}, {{NoteKey, a}}}, {{NoteKey, b}}),
                 equal ? 1 : -1);
    }
};

QTEST_GUILESS_MAIN(TestRecords)
#include "tst_records.moc"
