// The reminders KOV keeps: each one waits for its next delivery, is shown
// again every day at 08:00 until the user clicks it, and is withdrawn by the
// click. The list lives in one small file outside the data folder, under the
// user's state folder, so that the window, the windowless delivery run and
// kov-cli all see the same reminders.
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>

namespace kov {

struct ScheduledReminder {
    QString id;               // stable for the reminder's whole life
    QString title;            // "Maintenance Reminder"
    QString text;             // the informative text: task, property, "is due"
    QDateTime nextDelivery;   // 08:00 local of the day it is next shown
};

// The first 08:00:00 local time strictly after `after`: where a reminder that
// was just shown goes next.
QDateTime nextDailyDelivery(const QDateTime &after);

class ReminderSchedule {
public:
    // $XDG_STATE_HOME/KOV/reminders.json (~/.local/state/KOV/ by default).
    static QString filePath();

    // The reminders in the file; an absent file is an empty list. A file KOV
    // cannot read is moved aside (its new name in `problem`) and read as
    // empty, so it is never overwritten.
    static QList<ScheduledReminder> load(QString *problem = nullptr);

    // Reads, changes and writes the file under a lock, so that two KOV
    // processes never lose each other's change. False, with `problem` set,
    // when the file could not be written.
    static bool update(const std::function<void(QList<ScheduledReminder> &)> &change,
                       QString *problem = nullptr);

    // Adds a reminder (a new id) and returns it, or an empty id on failure.
    static ScheduledReminder add(const QString &title, const QString &text,
                                 const QDateTime &delivery, QString *problem = nullptr);
    // Withdraws one reminder; false when it was not there.
    static bool remove(const QString &id, QString *problem = nullptr);
};

} // namespace kov
