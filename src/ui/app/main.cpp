// kov: the window.
#include <QApplication>
#include <QCommandLineParser>

#include "app/mainwindow.h"
#include "app/singleinstance.h"
#include "due/reminderdelivery.h"
#include "storage/datafiles.h"
#include "storage/translations.h"

int main(int argc, char *argv[])
{
    if (kov::isReminderDeliveryRun(argc, argv))
        return kov::runReminderDelivery(argc, argv);
    QApplication app(argc, argv);
    kov::setUpApplication(app);
    QGuiApplication::setDesktopFileName(QStringLiteral("kov"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "main", "KOV keeps track of the upkeep of your houses and other real estate."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption dataDir(QStringLiteral("data-dir"),
                                     QCoreApplication::translate("main", "Use <dir> as the data folder."),
                                     QStringLiteral("dir"));
    parser.addOption(dataDir);
    const QCommandLineOption reminder(QStringLiteral("reminder"),
                                      QCoreApplication::translate("main", "Open the reminder <id> that was clicked."),
                                      QStringLiteral("id"));
    parser.addOption(reminder);
    parser.addOption({QStringLiteral("deliver-reminders"),
                      QCoreApplication::translate("main", "Show the reminders that are due, without a window.")});
    parser.process(app);
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
