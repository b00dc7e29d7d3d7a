#include "cli/remindercommand.h"

#include "due/reminderrules.h"
#include "due/reminderschedule.h"

namespace kov::cli {

const char *const remindersUsage =
    "  reminders    list the reminders not yet clicked: number, property, task and\n"
    "               next delivery, tab-separated; --remove N withdraws reminder N\n";

int remindersCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QString problem;
    if (args.isEmpty()) {
        const QList<ScheduledReminder> reminders = ReminderSchedule::load(&problem);
        if (!problem.isEmpty())
            err << "kov-cli: " << problem << '\n';
        int n = 0;
        for (const ScheduledReminder &r : reminders) {
            const auto target = parseReminderText(r.text).value_or(ReminderTarget{});
            out << ++n << '\t' << target.property << '\t' << target.task << '\t'
                << r.nextDelivery.toLocalTime().toString(Qt::ISODate) << '\n';
        }
        return problem.isEmpty() ? 0 : 1;
    }
    bool ok = false;
    const int n = args.size() == 2 && args[0] == QLatin1String("--remove") ? args[1].toInt(&ok) : 0;
    if (!ok) {
        err << "kov-cli: reminders takes no option but --remove N\n";
        return 2;
    }
    bool found = false;
    const bool written = ReminderSchedule::update(
        [&](QList<ScheduledReminder> &reminders) {
            if (n >= 1 && n <= reminders.size()) {
                reminders.removeAt(n - 1);
                found = true;
            }
        },
        &problem);
    if (!problem.isEmpty())
        err << "kov-cli: " << problem << '\n';
    if (written && !found)
        err << "kov-cli: there is no reminder " << n << '\n';
    return written && found ? 0 : 1;
}

} // namespace kov::cli
