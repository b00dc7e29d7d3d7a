// kov-cli list: the three reference lists for scripts.
#pragma once

#include <QStringList>
#include <QTextStream>

namespace kov::cli {

extern const char *const listUsage;
int listCommand(const QStringList &args, QTextStream &out, QTextStream &err);

} // namespace kov::cli
