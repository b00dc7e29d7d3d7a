// kov-cli: KOV's rules for scripts.
#include <cstdio>

#include <QCoreApplication>
#include <QTextStream>

#include "cli/commands.h"
#include "storage/translations.h"

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    kov::setUpApplication(app);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    const int status = kov::cli::run(args, out, err);
    out.flush();
    err.flush();
    return status;
}
