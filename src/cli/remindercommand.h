// kov-cli reminders: the reminders waiting to be shown, and withdrawing one.
#pragma once

#include <QStringList>
#include <QTextStream>

namespace kov::cli {

// `args` are the options after "reminders"; returns the exit status.
int remindersCommand(const QStringList &args, QTextStream &out, QTextStream &err);

extern const char *const remindersUsage;

} // namespace kov::cli
