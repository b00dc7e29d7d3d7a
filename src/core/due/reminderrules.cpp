#include "due/reminderrules.h"

#include "due/duerules.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTimeZone>

namespace kov {

namespace {

// lupdate files the texts of this free tr() under the namespace, "kov".
QString tr(const char *text)
{
    return QCoreApplication::translate("kov", text);
}

// The name on one line of a reminder: everything after the first ": ".
// Names may hold ": " themselves, so the rest of the line is kept whole.
QString nameOnLine(const QString &line)
{
    const qsizetype at = line.indexOf(QLatin1String(": "));
    return at < 0 ? QString() : line.mid(at + 2);
}

} // namespace

QString reminderInformativeText(const QString &task, const QString &property)
{
    return QStringLiteral("%1%2 %3\r %4%5 %6\r %7")
        .arg(tr("Task"), QStringLiteral(":"), task, tr("for Property"), QStringLiteral(":"),
             property, tr("is due"));
}

std::optional<ReminderTarget> parseReminderText(const QString &text)
{
    const QStringList lines = text.split(u'\r');
    if (lines.size() < 2)
        return std::nullopt;
    return ReminderTarget{nameOnLine(lines.at(0)), nameOnLine(lines.at(1))};
}

QDateTime reminderDeliveryDate(const QDateTime &nextDate)
{
    if (!nextDate.isValid())
        return {};
    const QDateTime local = nextDate.toLocalTime();
    const QDateTime at8(local.date(), QTime(8, 0, 0), Qt::LocalTime);
    // A day the calendar cannot hold (a task without recurrence) keeps its date.
    return at8.isValid() ? at8 : nextDate;
}

ReminderMenuState reminderMenuState(int row, const QDateTime &nextDate, const QDateTime &now,
                                    bool notificationsSupported, const QString &mediumDate)
{
    ReminderMenuState state;
    const QString gap = QStringLiteral("  ");
    if (row < 0) {
        state.infoTitle = tr("No Maintenance selected") + gap + tr("Try again");
        return state;
    }
    // A task without recurrence is never due: there is no day to remind of.
    if (isNeverDue(nextDate)) {
        state.infoTitle = tr("No reminder for a task that does not recur");
        return state;
    }
    if (!nextDate.isValid() || now.msecsTo(nextDate) <= 0) {
        state.infoTitle = tr("Can't set a reminder for Next Maint Date in past") + gap + tr("Try again");
        return state;
    }
    state.infoTitle = tr("Maintenance selected for:") + gap + mediumDate;
    state.keepInfoEnabled = true;
    if (notificationsSupported) {
        state.commandTitle = tr("Send a reminder to the System Notification Center for this item");
        state.commandEnabled = true;
    } else {
        state.commandTitle = tr("Reminders need a desktop notification service, and none is running");
    }
    return state;
}

} // namespace kov
