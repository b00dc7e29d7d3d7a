// Reminders for the due list: the text a reminder carries, how a clicked
// reminder's text leads back to its property and task, when it is delivered,
// and what the due list's context menu says. No widgets and no D-Bus here.
#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace kov {

// "Task: <task>\r for Property: <property>\r is due", the labels translated.
QString reminderInformativeText(const QString &task, const QString &property);

struct ReminderTarget {
    QString task;
    QString property;
};

// The task (first line) and property (second line) named by a reminder's
// text, each the part of its line after the first ": ". Nothing when the text
// has fewer than two lines; a line without ": " names nothing (empty).
std::optional<ReminderTarget> parseReminderText(const QString &text);

// 08:00:00 local time on the local calendar day of `nextDate`. A date too
// far out for the calendar (a task without recurrence) stays as it is.
QDateTime reminderDeliveryDate(const QDateTime &nextDate);

// The due list's context menu for one right-click.
struct ReminderMenuState {
    QString infoTitle;     // item 0
    bool infoEnabled = true;
    bool keepInfoEnabled = false;  // the future-date case leaves item 0 as it was
    QString commandTitle;  // item 1; empty: leave its title as it was
    bool commandEnabled = false;
};

// `row` < 0 when the click was not on a row; `nextDate` is that row's next
// date; `mediumDate` formats a date in the medium style.
ReminderMenuState reminderMenuState(int row, const QDateTime &nextDate, const QDateTime &now,
                                    bool notificationsSupported, const QString &mediumDate);

} // namespace kov
