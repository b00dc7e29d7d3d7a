// kov-cli due: when each recurring task is next due, as tab 2 lists it.
#pragma once

#include <QStringList>
#include <QTextStream>

namespace kov::cli {

// `args` are the options after "due"; returns the exit status.
int dueCommand(const QStringList &args, QTextStream &out, QTextStream &err);

// The help lines of the command.
extern const char *const dueUsage;

} // namespace kov::cli
