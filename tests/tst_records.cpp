// Whole-record equality: how a maintenance record is found again.
#include <QTest>
#include <QTimeZone>

#include "storage/records.h"

using namespace kov;

class TestRecords : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void equality_data();
    void equality();
    void indexFindsFirstEqual();
};

void TestRecords::equality_data()
{
    QTest::addColumn<QVariant>("a");
    QTest::addColumn<QVariant>("b");
    QTest::addColumn<bool>("equal");

    const QDateTime t(QDate(2024, 3, 14), QTime(4, 0), Qt::UTC);
    QTest::newRow("same string") << QVariant(QStringLiteral("Lake House")) << QVariant(QStringLiteral("Lake House")) << true;
    QTest::newRow("case differs") << QVariant(QStringLiteral("Gutters")) << QVariant(QStringLiteral("gutters")) << false;
    QTest::newRow("integer and real of same value") << QVariant(qlonglong(3)) << QVariant(3.0) << true;
    QTest::newRow("reals differ") << QVariant(0.1) << QVariant(0.2) << false;
    QTest::newRow("number is not its text") << QVariant(qlonglong(3)) << QVariant(QStringLiteral("3")) << false;
    QTest::newRow("dates by instant across zones")
        << QVariant(t) << QVariant(t.toTimeZone(QTimeZone("America/New_York"))) << true;
    QTest::newRow("dates a second apart") << QVariant(t) << QVariant(t.addSecs(1)) << false;
    QTest::newRow("data byte for byte") << QVariant(QByteArray("\x00\x01", 2)) << QVariant(QByteArray("\x00\x01", 2)) << true;
    QTest::newRow("data differs") << QVariant(QByteArray("a")) << QVariant(QByteArray("b")) << false;
    QTest::newRow("data is not a string") << QVariant(QByteArray("a")) << QVariant(QStringLiteral("a")) << false;
    QTest::newRow("nested arrays") << QVariant(QVariantList{1.0, QStringLiteral("x")})
                                   << QVariant(QVariantList{qlonglong(1), QStringLiteral("x")}) << true;

    Record r1{{PropertyNameKey, QStringLiteral("Lake House")}, {TotalCostKey, QStringLiteral("129.60")}};
    Record r2 = r1;
    QTest::newRow("same record") << QVariant(r1) << QVariant(r2) << true;
    r2.insert(NoteKey, QStringLiteral("x"));
    QTest::newRow("extra key") << QVariant(r1) << QVariant(r2) << false;
    Record r3{{PropertyNameKey, QStringLiteral("Lake House")}, {TaxCostKey, QStringLiteral("129.60")}};
    QTest::newRow("same size, other key") << QVariant(r1) << QVariant(r3) << false;
}

void TestRecords::equality()
{
    QFETCH(QVariant, a);
    QFETCH(QVariant, b);
    QFETCH(bool, equal);
    QCOMPARE(valuesEqual(a, b), equal);
    QCOMPARE(valuesEqual(b, a), equal);
}

void TestRecords::indexFindsFirstEqual()
{
    const Record a{{PropertyNameKey, QStringLiteral("A")}};
    const Record b{{PropertyNameKey, QStringLiteral("B")}};
    const RecordList list{a, b, b};
    QCOMPARE(indexOfRecord(list, b), 1);
    QCOMPARE(indexOfRecord(list, Record{{PropertyNameKey, QStringLiteral("C")}}), -1);
}

QTEST_GUILESS_MAIN(TestRecords)
#include "tst_records.moc"
