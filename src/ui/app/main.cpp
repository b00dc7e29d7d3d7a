// kov: the window.
#include <QApplication>
#include <QCommandLineParser>

#include "app/mainwindow.h"
#include "storage/datafiles.h"
#include "storage/translations.h"

int main(int argc, char *argv[])
{
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
    parser.process(app);
    if (parser.isSet(dataDir))
        kov::setDataFolderOverride(parser.value(dataDir));

    kov::MainWindow window;
    window.applicationDidFinishLaunching();
    return app.exec();
}
