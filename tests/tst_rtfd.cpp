#include <QTest>

class Tst_rtfd : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void placeholder() { QVERIFY(true); }
};

QTEST_GUILESS_MAIN(Tst_rtfd)
#include "tst_rtfd.moc"
