#include <QTest>

class Tstsheets : public QObject {
    Q_OBJECT
};

QTEST_MAIN(Tstsheets)
#include "tst_sheets.moc"
