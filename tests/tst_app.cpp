// The window for real, on the offscreen platform: start-up, the preference,
// alerts, the shared date popover.
#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <QToolButton>

#include "app/alerts.h"
#include "app/kovappdelegate.h"
#include "storage/clock.h"
#include "storage/datafiles.h"
#include "ui_mainwindow.h"

#include "windowsupport.h"

using namespace kov;

class TestApp : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void firstStart();
    void paneSurvivesClose();
    void storedPaneOutOfRange_data();
    void storedPaneOutOfRange();
    void unreadableHistoryIsReportedAndKept();
    void sheetAlertGoesOn();
    void alertShowsMarkupAsTyped();
    void modalAlertAnswers();
    void minusLastCharacter_data();
    void minusLastCharacter();
    void datePopoverWritesOnlyItsField();
    void datePopoverBadTag();
    void dateRangeDefaults();
    void showDataFiles();
    void tableColumns();
    void versionParsing_data();
    void versionParsing();

private:
    std::unique_ptr<KOVAppDelegate> start();
    QTemporaryDir *dir = nullptr;
    QList<AlertRecord> alerts;
    int beeps = 0;
};

void TestApp::initTestCase()
{
    kov::test::setUpWindowTests(this, alerts);
    connect(AlertCenter::instance(), &AlertCenter::beeped, this, [this] { ++beeps; });
}

void TestApp::init()
{
    dir = new QTemporaryDir;
    alerts.clear();
    beeps = 0;
    kov::test::beginWindowTest(*dir,
                               QDateTime(QDate(2026, 6, 15), QTime(14, 30), QTimeZone("America/New_York")));
}

void TestApp::cleanup()
{
    kov::test::endWindowTest();
    delete dir;
}

std::unique_ptr<KOVAppDelegate> TestApp::start()
{
    auto d = std::make_unique<KOVAppDelegate>();
    d->applicationDidFinishLaunching();
    return d;
}

void TestApp::firstStart()
{
    // No data folder at all, located the way a user's is.
    setDataFolderOverride(QString());
    const QByteArray oldHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir->filePath(QStringLiteral("share"))));
    auto d = start();
    qputenv("XDG_DATA_HOME", oldHome);

    QVERIFY(d->window->isVisible());
    QCOMPARE(d->ui->theTabView->currentIndex(), 0);
    const QString taskFile = dir->filePath(QStringLiteral("share/Tolvanderwerks/ServiceTaskFileForKOV"));
    QVERIFY(QFile::exists(taskFile));
    DataFileStatus status;
    QCOMPARE(readDataFile(taskFile, &status).size(), copyResourceArray(ServiceTaskDefaultsFileName).size());
    QVERIFY(!QFile::exists(dir->filePath(QStringLiteral("share/Tolvanderwerks/PropertyHistoryFileForKOV"))));
    // No maintenance yet: the tab-1 show controls start disabled.
    QVERIFY(!d->ui->showMaintBtn->isEnabled());
    QVERIFY(!d->ui->beginDateTab1->isEnabled());
    QVERIFY(!d->ui->propertyPopForShowTab1->isEnabled());
    QCOMPARE(d->ui->contentCount->text(), QStringLiteral("Display Count: 0"));
    QVERIFY(alerts.isEmpty());
}

void TestApp::paneSurvivesClose()
{
    {
        auto d = start();
        d->ui->theTabView->setCurrentIndex(3);
        QVERIFY(d->window->close());
    }
    QCOMPARE(QSettings().value(KOVAppDelegate::paneLastUsedKey()).toInt(), 3);
    auto again = start();
    QCOMPARE(again->ui->theTabView->currentIndex(), 3);
}

void TestApp::storedPaneOutOfRange_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("expected");
    QTest::newRow("2") << QVariant(2) << 2;
    QTest::newRow("7") << QVariant(7) << 0;
    QTest::newRow("-1") << QVariant(-1) << 0;
    QTest::newRow("258 wraps to 2 as a byte") << QVariant(258) << 2;
    QTest::newRow("text") << QVariant(QStringLiteral("reports")) << 0;
}

void TestApp::storedPaneOutOfRange()
{
    QFETCH(QVariant, stored);
    QFETCH(int, expected);
    QSettings().setValue(KOVAppDelegate::paneLastUsedKey(), stored);
    auto d = start();
    QCOMPARE(d->ui->theTabView->currentIndex(), expected);
}

void TestApp::unreadableHistoryIsReportedAndKept()
{
    QDir().mkpath(dataFolderPath());
    const QString path = dataFilePath(PropertyHistoryFileForKOV);
    const QByteArray corrupt = "<?xml version=\"1.0\"?>\n<plist version=\"1.0\">\n<array>\n<dict>\n";
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(corrupt);
    }
    {
        auto d = start();
        QCOMPARE(alerts.size(), 1);
        QVERIFY(alerts[0].title.contains(PropertyHistoryFileForKOV));
        QVERIFY(alerts[0].message.contains(QStringLiteral("line")));
        QCOMPARE(alerts[0].window.data(), d->window);
        // Working on another file and on the same one again says nothing new.
        copyDataFileArray(PropertyHistoryFileForKOV);
        QVERIFY(writeDataFileArray({}, ProviderFileForKOV));
        QCOMPARE(alerts.size(), 1);
        d->window->close();
    }
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), corrupt);
}

void TestApp::sheetAlertGoesOn()
{
    AlertCenter::instance()->showSheets = true;
    auto d = start();
    d->doSheetAlert(d->window, QString(), QStringLiteral("Date Input Error"));
    // The call returned at once; the alert waits on the window.
    auto *box = d->window->findChild<QMessageBox *>();
    QVERIFY(box);
    QVERIFY(box->isVisible());
    QCOMPARE(box->windowModality(), Qt::WindowModal);
    QCOMPARE(box->text(), QStringLiteral("Date Input Error"));
    QVERIFY(box->informativeText().isEmpty());
    QCOMPARE(box->buttons().size(), 1);
    QCOMPARE(box->buttons().first()->text(), QStringLiteral("OK"));
    QTest::mouseClick(box->buttons().first(), Qt::LeftButton);
    QTRY_VERIFY(!d->window->findChild<QMessageBox *>());
}

void TestApp::alertShowsMarkupAsTyped()
{
    AlertCenter::instance()->showSheets = true;
    auto d = start();
    d->doSheetAlert(d->window, QStringLiteral("Delete <b>Unit 2</b>?"), QStringLiteral("<i>Lake</i> & House"));
    auto *box = d->window->findChild<QMessageBox *>();
    QVERIFY(box);
    QCOMPARE(box->textFormat(), Qt::PlainText);
    // What the person reads: the labels' text, tags and all.
    QStringList shown;
    for (QLabel *label : box->findChildren<QLabel *>()) {
        if (!label->text().isEmpty()) {
            QCOMPARE(label->textFormat(), Qt::PlainText);
            shown.append(label->text());
        }
    }
    QVERIFY2(shown.contains(QStringLiteral("Delete <b>Unit 2</b>?")), qPrintable(shown.join('|')));
    QVERIFY2(shown.contains(QStringLiteral("<i>Lake</i> & House")), qPrintable(shown.join('|')));
    QTest::mouseClick(box->buttons().first(), Qt::LeftButton);
}

void TestApp::modalAlertAnswers()
{
    AlertCenter::instance()->modalAnswer = [](const AlertRecord &r) {
        return r.buttons.size() == 2 ? AlertSecondButtonReturn : AlertFirstButtonReturn;
    };
    QCOMPARE(runModalAlert(AlertStyle::Informational, QStringLiteral("Version check failed."),
                           QStringLiteral("The KOV web site could not be contacted."), QStringLiteral("OK")),
             AlertFirstButtonReturn);
    QCOMPARE(alerts.last().buttons, QStringList{QStringLiteral("OK")});
    QCOMPARE(runModalAlert(AlertStyle::Informational, QStringLiteral("t"), QString(), QStringLiteral("Go to web site"),
                           QStringLiteral("Cancel")),
             AlertSecondButtonReturn);
    QCOMPARE(alerts.last().kind, AlertRecord::Modal);
}

void TestApp::minusLastCharacter_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("digit") << QStringLiteral("12.345") << QStringLiteral("12.34");
    QTest::newRow("one character") << QStringLiteral("x") << QString();
    QTest::newRow("emoji is one character") << QStringLiteral("5\U0001F600") << QStringLiteral("5");
}

void TestApp::minusLastCharacter()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    auto d = start();
    d->ui->partsCostTab1->setText(before);
    d->setFieldFromStringMinusLastCharacter(d->ui->partsCostTab1);
    QCOMPARE(d->ui->partsCostTab1->text(), after);
    QCOMPARE(beeps, 1);
}

void TestApp::datePopoverWritesOnlyItsField()
{
    auto d = start();
    d->window->show();
    QVERIFY(QTest::qWaitForWindowExposed(d->window));
    const QDateTime beginBefore = d->ui->beginDateTab3->dateTime();
    const QDateTime otherBefore = d->ui->endDateTab4->dateTime();
    d->ui->theTabView->setCurrentIndex(2);
    QTest::mouseClick(d->ui->popOverTriggerTab3EndDate, Qt::LeftButton);
    QTRY_VERIFY(d->thePopOver->isVisible());
    QCOMPARE(d->theDatePicker->selectedDate(), d->ui->endDateTab3->date());

    const QTime timeOfDay = d->ui->endDateTab3->time();
    d->theDatePicker->setSelectedDate(QDate(2026, 3, 3));
    Q_EMIT d->theDatePicker->clicked(QDate(2026, 3, 3));
    QCOMPARE(d->ui->endDateTab3->date(), QDate(2026, 3, 3));
    QCOMPARE(d->ui->endDateTab3->time(), timeOfDay);
    QCOMPARE(d->ui->beginDateTab3->dateTime(), beginBefore);
    QCOMPARE(d->ui->endDateTab4->dateTime(), otherBefore);
    QVERIFY(alerts.isEmpty());
}

void TestApp::datePopoverBadTag()
{
    auto d = start();
    d->theDatePicker->setProperty("tag", 42);
    d->userPickedFromGraphicalDatePicker();
    QCOMPARE(alerts.size(), 1);
    QCOMPARE(alerts[0].title, QStringLiteral("Please report to Tolvanderwerks"));
    QCOMPARE(alerts[0].message, QStringLiteral("Failure in Graphical Date Picker"));
}

void TestApp::dateRangeDefaults()
{
    auto d = start();
    const QDateTime jan1(QDate(2026, 1, 1), QTime(0, 0));
    for (QDateTimeEdit *begin : {d->ui->beginDateTab1, d->ui->beginDateTab3, d->ui->beginDateTab4})
        QCOMPARE(begin->dateTime(), jan1);
    for (QDateTimeEdit *end : {d->ui->endDateTab1, d->ui->endDateTab3, d->ui->endDateTab4})
        QCOMPARE(end->dateTime(), QDateTime(QDate(2026, 6, 15), QTime(14, 30)));
}

void TestApp::showDataFiles()
{
    QUrl opened;
    AlertCenter::instance()->urlOpener = [&opened](const QUrl &url) {
        opened = url;
        return true;
    };
    auto d = start();
    QDir(dataFolderPath()).removeRecursively();
    d->showDataFilesInFinder();
    QCOMPARE(opened, QUrl::fromLocalFile(dataFolderPath()));
    QVERIFY(QFileInfo(dataFolderPath()).isDir());
}

void TestApp::tableColumns()
{
    auto d = start();
    auto titles = [](QTableView *view) {
        QStringList t;
        for (int c = 0; c < view->model()->columnCount(); ++c)
            t << view->model()->headerData(c, Qt::Horizontal).toString();
        return t;
    };
    QCOMPARE(titles(d->ui->tableViewTab1),
             (QStringList{"Date", "Property", "Task", "Provider", "Parts", "Labor", "Tax", "Total", "Note", "Receipt"}));
    QCOMPARE(titles(d->ui->tableViewTab2), (QStringList{"Property", "Task", "Last Done", "Next Due"}));
}

void TestApp::versionParsing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("minor");
    QTest::newRow("10.9.5") << QStringLiteral("Version 10.9.5 (Build 13F34)") << 9;
    QTest::newRow("10.6.8") << QStringLiteral("Version 10.6.8 (Build 10K549)") << 6;
    QTest::newRow("10.7.5") << QStringLiteral("Version 10.7.5 (Build 11G63)") << 7;
    QTest::newRow("no second number") << QStringLiteral("Version 14 (Build 23A344)") << 0;
    QTest::newRow("empty") << QString() << 0;
}

void TestApp::versionParsing()
{
    QFETCH(QString, text);
    QFETCH(int, minor);
    QCOMPARE(osMinorVersion(text), minor);
    // Here the gates pass.
    QVERIFY(osMinorVersion() >= 8);
}

QTEST_MAIN(TestApp)
#include "tst_app.moc"
