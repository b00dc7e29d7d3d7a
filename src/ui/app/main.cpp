// kov: the window.
#include <QApplication>
#include <QCommandLineParser>

#include "app/mainwindow.h"
#include "app/singleinstance.h"
#include "due/reminderdelivery.h"
#include "storage/datafiles.h"
#include "storage/translations.h"

namespace {

struct Options {
    QCommandLineOption dataDir{QStringLiteral("data-dir"),
                               QCoreApplication::translate("main", "Use <dir> as the data folder."),
                               QStringLiteral("dir")};
    QCommandLineOption reminder{
        QStringLiteral("reminder"),
        QCoreApplication::translate("main", "Open the reminder <id> that was clicked."),
        QStringLiteral("id")};
    QCommandLineOption deliver{
        QStringLiteral("deliver-reminders"),
        QCoreApplication::translate("main", "Show the reminders that are due, without a window.")};

    void addTo(QCommandLineParser &parser) const
    {
        parser.setApplicationDescription(QCoreApplication::translate(
            "main", "KOV keeps track of the upkeep of your houses and other real estate."));
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addOptions({dataDir, reminder, deliver});
    }
};

// Help and version are answered without a display.
bool asksOnlyForHelp(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "-h" || arg == "-?" || arg == "--help" || arg == "--help-all" || arg == "-v" ||
            arg == "--version")
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    if (kov::isReminderDeliveryRun(argc, argv))
        return kov::runReminderDelivery(argc, argv);
    if (asksOnlyForHelp(argc, argv)) {
        QCoreApplication app(argc, argv);
        kov::setUpApplication(app);
        QCommandLineParser parser;
        const Options options;
        options.addTo(parser);
        parser.process(app); // prints and exits
        return 0;
    }
    QApplication app(argc, argv);
    kov::setUpApplication(app);
    QGuiApplication::setDesktopFileName(QStringLiteral("kov"));

    QCommandLineParser parser;
    const Options options;
    options.addTo(parser);
    parser.process(app);
    const QCommandLineOption &dataDir = options.dataDir, &reminder = options.reminder;
    if (parser.isSet(dataDir))
        kov::setDataFolderOverride(parser.value(dataDir));

    // One window at a time: a second start hands its wish to the first.
    const QString launch = parser.isSet(reminder) ? QStringLiteral("reminder ") + parser.value(reminder)
                                                  : QStringLiteral("show");
    kov::SingleInstance instance(QStringLiteral("window"));
    if (!kov::claimWindow(instance, launch))
        return 0;
    kov::MainWindow window;
    kov::serveWindow(instance, window);
    window.applicationDidFinishLaunching();
    kov::respondToLaunchMessage(window, launch);
    return app.exec();
}
