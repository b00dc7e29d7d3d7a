// Reminders end to end on a private session bus (run under dbus-run-session):
// a fake notification service, on its own connection and thread, records
// what KOV shows and plays the user's clicks.
#include <QAction>
#include <QComboBox>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QMenu>
#include <QMutex>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QThread>

#include "app/datastore.h"
#include "due/duerules.h"
#include "due/duetab.h"
#include "due/notifier.h"
#include "due/reminderdelivery.h"
#include "due/reminderrules.h"
#include "storage/datafiles.h"
#include "testsupport.h"
#include "windowsupport.h"

using namespace kov;
using namespace Qt::StringLiterals;
using kov::test::child;
using kov::test::local;

const QString notifyPath = "/org/freedesktop/Notifications", notifyName = "org.freedesktop.Notifications";

class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Shown {
        uint id;
        uint replaces;
        QString title, body;
        QStringList actions;
        QVariantMap hints;
    };
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "fake");
    mutable QMutex mutex;
    QList<Shown> shown;
    QList<uint> closed;
    uint lastId = 0;

    QList<Shown> calls() const
    {
        QMutexLocker lock(&mutex);
        return shown;
    }
    QList<uint> closes() const
    {
        QMutexLocker lock(&mutex);
        return closed;
    }
    void click(uint id)
    {
        bus.send(QDBusMessage::createSignal(notifyPath, notifyName, "ActionInvoked") << id << QString("default"));
    }

public Q_SLOTS:
    uint Notify(const QString &, uint replaces, const QString &, const QString &title, const QString &body,
                const QStringList &actions, const QVariantMap &hints, int)
    {
        QMutexLocker lock(&mutex);
        shown.append({++lastId, replaces, title, body, actions, hints});
        return lastId;
    }
    void CloseNotification(uint id)
    {
        QMutexLocker lock(&mutex);
        closed.append(id);
    }
    QStringList GetCapabilities() { return {"actions", "body"}; }
};

class TestReminders : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QList<AlertRecord> alerts;
    QThread serviceThread;
    FakeNotifications *fake = new FakeNotifications;
    std::unique_ptr<DataStore> store;

    QList<ScheduledReminder> schedule() { return ReminderSchedule::load(); }

    // Shows tab 2 with every record and gives the row of property/task.
    static int rowOf(DueTab &tab, const QString &property, const QString &task)
    {
        tab.respondToShowBtnPane2();
        for (int r = 0; r < tab.rows().size(); ++r)
            if (tab.rows()[r].value(col::property2) == property && tab.rows()[r].value(col::task2) == task)
                return r;
        return -1;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run under dbus-run-session");
        kov::test::setUpWindowTests(this, alerts);
        qputenv("XDG_STATE_HOME", dir.filePath("state").toUtf8());
        kov::test::beginWindowTest(dir, local(2026, 3, 7, 12));
        auto per = [](const QString &t, qint64 u) {
            return Record{{ServiceTaskNameKey, t}, {ServiceTaskTimeUnits, u}, {ServiceTaskTimeInUnitsKey, 1}};
        };
        auto job = [](const QString &p, const QString &t, const QDateTime &day) {
            return Record{{PropertyNameKey, p}, {ProviderNameKey, "Bob"}, {ServiceTaskNameKey, t},
                          {ServiceDateKey, day.toUTC()}};
        };
        copyDataFolderURL();
        QVERIFY(writeDataFileArray({per("Gutters", UnitYears), per("Fence", UnitNone), per("Water", UnitDays)},
                                   ServiceTaskFileForKOV));
        QVERIFY(writeDataFileArray({job("Lake House", "Gutters", local(2025, 3, 14, 15)),
                                    job("Main Street", "Fence", local(2026, 1, 20)),
                                    job("Main Street", "Water", local(2026, 3, 1))},
                                   PropertyHistoryFileForKOV));
        store = std::make_unique<DataStore>();
    }
    void cleanupTestCase()
    {
        serviceThread.quit();
        serviceThread.wait();
        kov::test::endWindowTest();
    }

    // Guards against a command offered with no service to take it.
    void noService()
    {
        DueTab tab(store.get());
        QTRY_VERIFY(tab.reminderDelivery()->notifier()->isReady());
        tab.setPane2();
        tab.menuNeedsUpdate(rowOf(tab, "Lake House", "Gutters"));
        QAction *command = tab.contextMenu()->actions().at(1);
        QCOMPARE(command->text(), u"Reminders need a desktop notification service, and none is running"_s);
        QVERIFY(!command->isEnabled());
        tab.respondToContextMenuTab2(command);
        QVERIFY(schedule().isEmpty());
    }

    void startService()
    {
        fake->moveToThread(&serviceThread);
        serviceThread.start();
        QVERIFY(fake->bus.registerObject(notifyPath, fake, QDBusConnection::ExportAllSlots));
        QVERIFY(fake->bus.registerService(notifyName));
    }

    void menu_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<QString>("task");
        QTest::addColumn<QString>("info");
        QTest::addColumn<bool>("command");
        QTest::newRow("below the rows") << "" << "" << "No Maintenance selected  Try again" << false;
        QTest::newRow("overdue") << "Main Street" << "Water"
                                 << "Can't set a reminder for Next Maint Date in past  Try again" << false;
        QTest::newRow("never due") << "Main Street" << "Fence" << "No reminder for a task that does not recur"
                                   << false;
        QTest::newRow("future") << "Lake House" << "Gutters" << "Maintenance selected for:  Mar 14, 2026" << true;
    }
    // Guards against the menu built for the wrong row, or a command for a past or never date.
    void menu()
    {
        QFETCH(QString, property);
        QFETCH(QString, task);
        DueTab tab(store.get());
        QTRY_VERIFY(tab.reminderDelivery()->notifier()->isSupported());
        tab.setPane2();
        auto *table = child<QTableView>(tab.widget(), "tableViewTab2");
        tab.widget()->resize(900, 700);
        tab.widget()->show();
        QVERIFY(QTest::qWaitForWindowExposed(tab.widget()));
        const int row = rowOf(tab, property, task);
        const QPoint at = row < 0 ? QPoint(5, table->viewport()->height() - 3)
                                  : table->visualRect(table->model()->index(row, 0)).center();
        Q_EMIT table->customContextMenuRequested(at);
        const QList<QAction *> items = tab.contextMenu()->actions();
        tab.contextMenu()->close();
        QTEST(items[0]->text(), "info");
        QTEST(items[1]->isEnabled(), "command");
    }

    void nextDay_data()
    {
        QTest::addColumn<QDateTime>("after");
        QTest::addColumn<QDateTime>("expected");
        QTest::newRow("before 8") << local(2026, 3, 7, 7, 59) << local(2026, 3, 7, 8);
        QTest::newRow("at 8") << local(2026, 3, 7, 8) << local(2026, 3, 8, 8);
        QTest::newRow("into summer time") << local(2026, 3, 7, 8, 1) << local(2026, 3, 8, 8);
        QTest::newRow("out of it") << local(2026, 10, 31, 23) << local(2026, 11, 1, 8);
    }
    // Guards against a 24-hour step that drifts off 08:00 across a clock change.
    void nextDay()
    {
        QFETCH(QDateTime, after);
        QFETCH(QDateTime, expected);
        QCOMPARE(nextDailyDelivery(after), expected);
        QCOMPARE(nextDailyDelivery(after).toLocalTime().time(), QTime(8, 0));
    }

    // Send twice, deliver at 08:00 of the due day, miss a day, then click:
    // guards against a wrong time, a lost repeat, a missed day never shown,
    // a click that shows the wrong list or leaves the reminder behind.
    void sendDeliverClick()
    {
        QTabWidget tabs;
        DueTab tab(store.get());
        tabs.addTab(new QWidget, "log");
        tabs.addTab(tab.widget(), "due");
        QTRY_VERIFY(tab.reminderDelivery()->notifier()->isSupported());
        tab.setPane2();
        for (int i = 0; i < 2; ++i) {
            tab.menuNeedsUpdate(rowOf(tab, "Lake House", "Gutters"));
            tab.respondToContextMenuTab2(tab.contextMenu()->actions().at(1));
        }
        QCOMPARE(alerts.last().title, u"Reminder Scheduled for:  Mar 14, 2026"_s);
        QCOMPARE(schedule().size(), 2);
        QCOMPARE(schedule().at(0).nextDelivery, local(2026, 3, 14, 8));
        QVERIFY(fake->calls().isEmpty());

        Clock::setFixed(local(2026, 3, 14, 7, 59));
        tab.reminderDelivery()->deliverDue();
        Clock::setFixed(local(2026, 3, 14, 8));
        tab.reminderDelivery()->deliverDue();
        QTRY_COMPARE(fake->calls().size(), 2);
        const auto first = fake->calls().at(0);
        QCOMPARE(first.title, u"Maintenance Reminder"_s);
        QCOMPARE(first.body, reminderInformativeText("Gutters", "Lake House"));
        QCOMPARE(first.actions.at(0), u"default"_s);
        QCOMPARE(first.hints.value("desktop-entry").toString(), u"kov"_s);
        QVERIFY(first.hints.contains("sound-name"));
        QCOMPARE(schedule().at(1).nextDelivery, local(2026, 3, 15, 8));

        // Off on the 15th: the next start shows both at once, replacing nothing of its own.
        Clock::setFixed(local(2026, 3, 16, 9, 30));
        {
            DueTab later(store.get());
            QTRY_VERIFY(later.reminderDelivery()->notifier()->isReady());
            later.startReminders();
            QTRY_COMPARE(fake->calls().size(), 4);
        }
        QCOMPARE(schedule().at(0).nextDelivery, local(2026, 3, 17, 8));
        const auto cli = kov::test::runCli({"reminders"});
        QCOMPARE(cli.out.count('\n'), 2);
        QVERIFY(cli.out.startsWith("1\tLake House\tGutters\t2026-03-17T08:00:00"));

        // The click on the first one: tab 2 in front on Lake House and Gutters.
        child<QComboBox>(tab.widget(), "propertyPopTab2")->setCurrentIndex(0);
        fake->click(first.id);
        QTRY_COMPARE(schedule().size(), 1);
        QCOMPARE(tabs.currentIndex(), 1);
        QCOMPARE(child<QComboBox>(tab.widget(), "propertyPopTab2")->currentText(), u"Lake House"_s);
        QCOMPARE(child<QComboBox>(tab.widget(), "serTaskPopTab2")->currentText(), u"Gutters"_s);
        QCOMPARE(tab.rows().size(), 1);
        QTRY_VERIFY(fake->closes().contains(first.id));

        // A text of one line is withdrawn without showing anything; kov-cli withdraws the last.
        ReminderSchedule::add("Maintenance Reminder", "Task: x", local(2026, 3, 20, 8));
        tab.respondToUserNotification(schedule().last());
        QCOMPARE(schedule().size(), 1);
        QCOMPARE(kov::test::runCli({"reminders", "--remove", "1"}).status, 0);
        QVERIFY(schedule().isEmpty());
    }

    // Guards against a damaged file emptied in silence.
    void damagedFile()
    {
        QFile file(ReminderSchedule::filePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{\"reminders\": [{\"id\": 7}]}");
        file.close();
        QString problem;
        QVERIFY(ReminderSchedule::load(&problem).isEmpty());
        QVERIFY(problem.contains(".damaged-"));
        QCOMPARE(QDir(dir.filePath("state/KOV")).entryList({"reminders.json.damaged-*"}).size(), 1);
    }
};

QTEST_MAIN(TestReminders)
#include "tst_reminders.moc"
