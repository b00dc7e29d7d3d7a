// kov-cli: the same rules as the window, for scripts.
#pragma once

#include <QStringList>
#include <QTextStream>

namespace kov::cli {

// Runs one command line (without the program name); returns the exit status.
int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace kov::cli
