#include <QTest>

class Tst_sorting : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void placeholder() { QVERIFY(true); }
};

QTEST_GUILESS_MAIN(Tst_sorting)
#include "tst_sorting.moc"
