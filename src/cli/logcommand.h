// kov-cli log: the maintenance log as Show lists it.
#pragma once

#include <QStringList>
#include <QTextStream>

namespace kov::cli {

// `args` are the options after "log"; returns the exit status.
int logCommand(const QStringList &args, QTextStream &out, QTextStream &err);

// The help lines of the command.
extern const char *const logUsage;

} // namespace kov::cli
