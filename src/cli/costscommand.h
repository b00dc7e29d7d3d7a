// kov-cli costs: the totals and monthly averages tab 3 shows.
#pragma once

#include <QStringList>
#include <QTextStream>

namespace kov::cli {

// `args` are the options after "costs"; returns the exit status.
int costsCommand(const QStringList &args, QTextStream &out, QTextStream &err);

// The help lines of the command.
extern const char *const costsUsage;

} // namespace kov::cli
