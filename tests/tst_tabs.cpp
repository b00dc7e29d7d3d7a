#include <QTest>

class Tsttabs : public QObject {
    Q_OBJECT
};

QTEST_MAIN(Tsttabs)
#include "tst_tabs.moc"
