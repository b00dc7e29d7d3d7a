#include <QTest>

class Tstlogtab : public QObject {
    Q_OBJECT
};

QTEST_MAIN(Tstlogtab)
#include "tst_logtab.moc"
