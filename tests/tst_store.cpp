#include <QTest>

class Tststore : public QObject {
    Q_OBJECT
};

QTEST_MAIN(Tststore)
#include "tst_store.moc"
