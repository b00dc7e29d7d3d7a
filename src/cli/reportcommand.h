// kov-cli report: the documents tab 4's Print makes, written without opening
// them.
#pragma once

#include <QStringList>
#include <QTextStream>

namespace kov::cli {

// `args` are the report names and options after "report"; returns the exit
// status: 0 when every asked report was written, 1 otherwise, 2 for a usage
// error.
int reportCommand(const QStringList &args, QTextStream &out, QTextStream &err);

// The help lines of the command.
extern const char *const reportUsage;

} // namespace kov::cli
