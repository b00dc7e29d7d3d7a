// Shows the kept reminders when their time comes: each at 08:00 of its day,
// again every day after until it is clicked, and at once for a delivery
// missed while the computer was off or asleep. Used by the window and by the
// windowless run the daily systemd user timer starts.
#pragma once

#include <QHash>
#include <QObject>
#include <QTimer>

#include "due/reminderschedule.h"

namespace kov {

class Notifier;

class ReminderDelivery : public QObject {
    Q_OBJECT
public:
    explicit ReminderDelivery(Notifier *notifier, QObject *parent = nullptr);

    Notifier *notifier() const { return center; }
    // Shows every reminder whose time has come ("now" from the Clock), moves
    // it to the next day's 08:00 and waits, without polling, for the next.
    Q_SLOT void deliverDue();
    // The reminders on screen that this process showed.
    qsizetype openCount() const { return shown.size(); }
    // The end of a click: the reminder leaves the screen and the schedule.
    void withdraw(const QString &reminderId);
    // Closes what this process shows of the reminder, keeping it scheduled.
    void closeShown(const QString &reminderId);

Q_SIGNALS:
    void clicked(const kov::ScheduledReminder &reminder);
    void problem(const QString &message);
    // Nothing of ours is on screen any more, and no delivery is on its way.
    void idle();

private Q_SLOTS:
    void onSleep(bool sleeping);

private:
    void waitForNext(const QList<ScheduledReminder> &reminders);
    void forget(uint id);

    Notifier *center;
    QHash<uint, ScheduledReminder> shown;  // notification id -> reminder
    int pending = 0;                       // Notify calls not yet answered
    QTimer nextTimer;
};

// The systemd user units that start `kov --deliver-reminders` every day at
// 08:00 and, for a delivery missed while off or asleep, at the next login or
// wake; written and enabled the first time a reminder is sent.
void installReminderTimer();

// `kov --deliver-reminders`: no window; shows what is due, waits for clicks
// on what it showed and hands them to the window, then exits.
bool isReminderDeliveryRun(int argc, char *argv[]);
int runReminderDelivery(int argc, char *argv[]);

} // namespace kov
