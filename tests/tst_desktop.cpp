// What the window tells and offers a desktop user: where printed documents
// are (with or without a viewer), the first-run line, Return in the entry
// form, the backup.
#include <QtWidgets>

#include "app/datastore.h"
#include "app/exportactions.h"
#include "log/logtab.h"
#include "log/logtabguide.h"
#include "reports/reportstab.h"
#include "testsupport.h"
#include "windowsupport.h"

using namespace kov;
using namespace kov::test;
using namespace Qt::StringLiterals;

class TestDesktop : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    QList<AlertRecord> alerts;
    QList<QUrl> opened;

private Q_SLOTS:
    void initTestCase() { setUpWindowTests(this, alerts); }
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        alerts.clear();
        opened.clear();
        beginWindowTest(*dir, QDateTime(QDate(2026, 6, 15), QTime(14, 30)));
        copyDataFolderURL();
    }
    void cleanup() { endWindowTest(); }

    // Print names its document and folder whether or not a viewer opened
    // it; the button opens the folder, and where nothing opens that either,
    // the user is told where it is.
    void printFeedback_data()
    {
        QTest::addColumn<bool>("viewer");
        QTest::newRow("viewer") << true;
        QTest::newRow("no viewer, no file manager") << false;
    }
    void printFeedback()
    {
        QFETCH(bool, viewer);
        AlertCenter::instance()->urlOpener = [&](const QUrl &url) {
            opened.append(url);
            return viewer;
        };
        auto w = startWindow();
        const Record row{{col::property, u"Lake House"_s}, {col::task, u"Gutters"_s}};
        w->reportsTab()->printMaintenanceTable({row}, w->logTab()->copyColumnTitlesOnTab1());
        QCOMPARE(alerts.size(), 1);
        const AlertRecord told = alerts.takeFirst();
        QCOMPARE(opened.size(), 1);
        const QFileInfo document(opened.takeFirst().toLocalFile());
        QVERIFY(document.exists());
        QVERIFY(told.message.contains(document.fileName()));
        QVERIFY(told.message.contains(QDir::toNativeSeparators(document.absolutePath())));
        QCOMPARE(told.message.contains(u"No program for PDF"_s), !viewer);
        QCOMPARE(told.buttons, (QStringList{u"OK"_s, u"Open Folder"_s}));
        told.action();
        QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(document.absolutePath())});
        QCOMPARE(alerts.size(), viewer ? 0 : 1);
        if (!viewer)
            QVERIFY(alerts.first().message.contains(QDir::toNativeSeparators(document.absolutePath())));
    }

    // The line shows while the property or provider list is empty, the
    // empty pop-ups show nothing chosen, and Add still refuses as before.
    void firstRunLine()
    {
        auto w = startWindow();
        auto *guide = child<LogTabGuide>(w->logTab()->widget(), u""_s);
        auto *property = child<QComboBox>(w->logTab()->widget(), "propertyPopTab1");
        QTRY_VERIFY(guide->firstRunLine()->isVisible());
        QCOMPARE(property->currentText(), QString());
        QTest::keyClick(child<QLineEdit>(w->logTab()->widget(), "noteTab1"), Qt::Key_Return);
        QCOMPARE(alerts.size(), 1);
        QVERIFY(w->store()->records(PropertyHistoryFileForKOV).isEmpty());
        for (const auto &[file, key] : {std::pair(PropertyFileForKOV, PropertyNameKey),
                                        std::pair(ProviderFileForKOV, ProviderNameKey)}) {
            QVERIFY(guide->firstRunLine()->isVisible());
            QVERIFY(w->store()->add(file, {{key, u"First"_s}}));
            w->logTab()->referenceEntryAdded(file, w->store()->records(file), u"First"_s);
            QCoreApplication::processEvents();
        }
        QVERIFY(!guide->firstRunLine()->isVisible());
        QCOMPARE(property->currentText(), u"First"_s);
        // Return in the form now adds; with a row loaded it changes.
        QTest::keyClick(child<QLineEdit>(w->logTab()->widget(), "noteTab1"), Qt::Key_Return);
        QCOMPARE(w->store()->records(PropertyHistoryFileForKOV).size(), 1);
        QCOMPARE(guide->defaultButton()->objectName(), u"addMaintBtn"_s);
        w->logTab()->setChange(true);
        QCOMPARE(guide->defaultButton()->objectName(), u"changeBtnTab1"_s);
    }

    // Under German every text is German, those of shared helpers included.
    void german()
    {
        QTranslator de;
        QVERIFY(de.load(u"kov_de"_s, QStringLiteral(KOV_QM_DIR)));
        QCoreApplication::installTranslator(&de);
        QVERIFY(writeDataFileArray(
            {{{PropertyNameKey, u"Lake"_s}, {ServiceDateKey, QDateTime::currentDateTime()}}},
            PropertyHistoryFileForKOV));
        auto w = startWindow();
        auto *filter = child<QComboBox>(w->logTab()->widget(), "propertyPopForShowTab1");
        QCOMPARE(filter->itemText(filter->count() - 1), u"Alle"_s);
        child<QDateTimeEdit>(w->logTab()->widget(), "beginDateTab1")->setDate(QDate(2027, 1, 1));
        child<QPushButton>(w->logTab()->widget(), "showMaintBtn")->click();
        QCoreApplication::removeTranslator(&de);
        QCOMPARE(alerts.last().title, u"Fehler bei der Datumseingabe"_s);
    }

    // A dated folder with the files as they are, and a message naming it.
    void backUp()
    {
        auto w = startWindow();
        const QString folder = w->exportActions()->backUpInto(dir->path());
        QVERIFY(!folder.isEmpty());
        QCOMPARE(QFileInfo(folder).fileName(), u"KOV Backup 2026-06-15 14.30.00"_s);
        QCOMPARE(readAll(QDir(folder).filePath(ServiceTaskFileForKOV)),
                 readAll(dataFilePath(ServiceTaskFileForKOV)));
        QVERIFY(alerts.last().message.contains(QDir::toNativeSeparators(folder)));
        QVERIFY(w->exportActions()->backUpInto(dir->path()).endsWith(u" 2"_s));
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
