#include <QTest>

class Tst_plist : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void placeholder() { QVERIFY(true); }
};

QTEST_GUILESS_MAIN(Tst_plist)
#include "tst_plist.moc"
