#include <QTest>

class Tstrobustness : public QObject {
    Q_OBJECT
};

QTEST_MAIN(Tstrobustness)
#include "tst_robustness.moc"
