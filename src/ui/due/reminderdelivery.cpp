#include "due/reminderdelivery.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>
#include <chrono>
#include <utility>

#include "app/singleinstance.h"
#include "due/notifier.h"
#include "storage/clock.h"
#include "storage/translations.h"

namespace kov {

ReminderDelivery::ReminderDelivery(Notifier *notifier, QObject *parent) : QObject(parent), center(notifier)
{
    nextTimer.setSingleShot(true);
    nextTimer.setTimerType(Qt::VeryCoarseTimer);
    connect(&nextTimer, &QTimer::timeout, this, &ReminderDelivery::deliverDue);
    connect(center, &Notifier::actionInvoked, this, [this](uint id, const QString &key) {
        if (key == QLatin1String("default") && shown.contains(id))
            Q_EMIT clicked(shown.value(id));
    });
    connect(center, &Notifier::notificationClosed, this, [this](uint id) {
        if (shown.contains(id))
            forget(id);
    });
    // A timer does not run while the computer sleeps: look again on waking.
    QDBusConnection::systemBus().connect(QStringLiteral("org.freedesktop.login1"),
                                         QStringLiteral("/org/freedesktop/login1"),
                                         QStringLiteral("org.freedesktop.login1.Manager"),
                                         QStringLiteral("PrepareForSleep"), this, SLOT(onSleep(bool)));
}

void ReminderDelivery::deliverDue()
{
    if (!center->isSupported())
        return;
    const QDateTime now = Clock::now();
    QList<ScheduledReminder> due;
    QList<ScheduledReminder> all;
    QString problemText;
    ReminderSchedule::update(
        [&](QList<ScheduledReminder> &reminders) {
            for (ScheduledReminder &r : reminders) {
                if (r.nextDelivery <= now) {
                    due.append(r);
                    r.nextDelivery = nextDailyDelivery(now);
                }
            }
            all = reminders;
        },
        &problemText);
    if (!problemText.isEmpty())
        Q_EMIT problem(problemText);

    for (const ScheduledReminder &r : std::as_const(due)) {
        // Yesterday's showing of the same reminder, if still up, is replaced.
        uint replaces = 0;
        for (auto it = shown.cbegin(); it != shown.cend(); ++it)
            if (it.value().id == r.id)
                replaces = it.key();
        ++pending;
        center->notify(r.title, r.text, replaces, [this, r, replaces](uint id) {
            --pending;
            if (replaces && replaces != id)
                shown.remove(replaces);
            if (id) {
                shown.insert(id, r);
            } else {
                // Not shown: due again at the next look.
                ReminderSchedule::update([&](QList<ScheduledReminder> &reminders) {
                    for (ScheduledReminder &kept : reminders)
                        if (kept.id == r.id)
                            kept.nextDelivery = r.nextDelivery;
                });
            }
            if (shown.isEmpty() && pending == 0)
                Q_EMIT idle();
        });
    }
    waitForNext(all);
    if (shown.isEmpty() && pending == 0)
        Q_EMIT idle();
}

void ReminderDelivery::onSleep(bool sleeping)
{
    if (!sleeping)
        deliverDue();
}

void ReminderDelivery::waitForNext(const QList<ScheduledReminder> &reminders)
{
    nextTimer.stop();
    QDateTime first;
    for (const ScheduledReminder &r : reminders)
        if (!first.isValid() || r.nextDelivery < first)
            first = r.nextDelivery;
    if (!first.isValid())
        return;
    // At most a day at a time: the zone or the clock may change meanwhile.
    const qint64 wait = std::clamp<qint64>(Clock::now().msecsTo(first), 0, 24 * 3600 * 1000);
    nextTimer.start(std::chrono::milliseconds(wait + 1000));
}

void ReminderDelivery::forget(uint id)
{
    shown.remove(id);
    if (shown.isEmpty() && pending == 0)
        Q_EMIT idle();
}

void ReminderDelivery::closeShown(const QString &reminderId)
{
    const QList<uint> ids = shown.keys();
    for (uint id : ids) {
        if (shown.value(id).id == reminderId) {
            center->close(id);
            forget(id);
        }
    }
}

void ReminderDelivery::withdraw(const QString &reminderId)
{
    closeShown(reminderId);
    QString problemText;
    ReminderSchedule::remove(reminderId, &problemText);
    if (!problemText.isEmpty())
        Q_EMIT problem(problemText);
}

// ---------------------------------------------------------------------------
// The systemd user timer

namespace {

bool writeIfChanged(const QString &path, const QByteArray &text)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly) && file.readAll() == text)
        return false;
    file.close();
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(text);
    return true;
}

void callSystemd(const QList<QDBusMessage> &calls)
{
    if (calls.isEmpty())
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(calls.first()));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [calls](QDBusPendingCallWatcher *w) {
        w->deleteLater();
        if (!w->isError())
            callSystemd(calls.mid(1));
    });
}

QDBusMessage systemdCall(const QString &method)
{
    return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.systemd1"),
                                          QStringLiteral("/org/freedesktop/systemd1"),
                                          QStringLiteral("org.freedesktop.systemd1.Manager"), method);
}

} // namespace

void installReminderTimer()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    const QString folder = config + QStringLiteral("/systemd/user");
    QDir().mkpath(folder);
    const QByteArray program = QCoreApplication::applicationFilePath().toUtf8();
    bool changed = writeIfChanged(folder + QStringLiteral("/kov-reminders.service"),
                                  "[Unit]\nDescription=KOV maintenance reminders\n\n"
                                  "[Service]\nType=simple\nExecStart=\"" + program +
                                      "\" --deliver-reminders\n");
    changed |= writeIfChanged(folder + QStringLiteral("/kov-reminders.timer"),
                              "[Unit]\nDescription=KOV maintenance reminders at 08:00\n\n"
                              "[Timer]\nOnCalendar=*-*-* 08:00:00\nPersistent=true\nAccuracySec=1min\n\n"
                              "[Install]\nWantedBy=timers.target\n");
    if (!changed)
        return;
    QDBusMessage enable = systemdCall(QStringLiteral("EnableUnitFiles"));
    enable << QStringList{QStringLiteral("kov-reminders.timer")} << false << true;
    QDBusMessage start = systemdCall(QStringLiteral("StartUnit"));
    start << QStringLiteral("kov-reminders.timer") << QStringLiteral("replace");
    callSystemd({systemdCall(QStringLiteral("Reload")), enable, start});
}

// ---------------------------------------------------------------------------
// The windowless run

bool isReminderDeliveryRun(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "--deliver-reminders") == 0)
            return true;
    return false;
}

int runReminderDelivery(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    setUpApplication(app);
    // One delivery run at a time.
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    QLockFile lock(runtime + QStringLiteral("/kov-deliver.lock"));
    if (!lock.tryLock(0))
        return 0;

    Notifier notifier;
    ReminderDelivery delivery(&notifier);
    QObject::connect(&delivery, &ReminderDelivery::problem, &app,
                     [](const QString &text) { qWarning("KOV: %s", qPrintable(text)); });
    QObject::connect(&delivery, &ReminderDelivery::idle, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    QObject::connect(&delivery, &ReminderDelivery::clicked, &app, [&](const ScheduledReminder &r) {
        // The window does the rest: it shows the due list and withdraws it.
        const QString message = QStringLiteral("reminder ") + r.id;
        if (!SingleInstance::send(QStringLiteral("window"), message, 1000))
            QProcess::startDetached(QCoreApplication::applicationFilePath(),
                                    {QStringLiteral("--reminder"), r.id});
        delivery.closeShown(r.id);
    });
    auto start = [&] {
        if (!notifier.isSupported()) {
            qWarning("KOV: no notification service on the session bus; reminders wait.");
            app.quit();
            return;
        }
        delivery.deliverDue();
    };
    if (notifier.isReady())
        QMetaObject::invokeMethod(&app, start, Qt::QueuedConnection);
    else
        QObject::connect(&notifier, &Notifier::readyChanged, &app, start);
    return app.exec();
}

} // namespace kov
