#include <QTest>

class Tstversioncheck : public QObject {
    Q_OBJECT
};

QTEST_MAIN(Tstversioncheck)
#include "tst_versioncheck.moc"
