// kov-cli: KOV's rules for scripts.
#include <cstdio>
#include <memory>

#include <QGuiApplication>
#include <QTextStream>

#include "cli/commands.h"
#include "storage/translations.h"

namespace {

// Only reports need QtGui (fonts, PDF painting); every other command stays a
// plain console program. The command is the first argument that is not
// --data-dir or its folder.
bool commandNeedsGui(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if (a == "--data-dir")
            ++i;
        else if (!a.startsWith("--data-dir="))
            return a == "report";
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    std::unique_ptr<QCoreApplication> app;
    if (commandNeedsGui(argc, argv)) {
        // The offscreen platform keeps kov-cli working without a display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    kov::setUpApplication(*app);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    const int status = kov::cli::run(args, out, err);
    out.flush();
    err.flush();
    return status;
}
