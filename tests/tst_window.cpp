#include <QTest>

class Tstwindow : public QObject {
    Q_OBJECT
};

QTEST_MAIN(Tstwindow)
#include "tst_window.moc"
