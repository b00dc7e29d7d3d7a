// Starts the window on a data folder and presses Add on tab 1 once, between
// two marker files, so a system-call trace shows what one Add costs:
//   strace -f -e trace=openat,read,write,rename,linkat -o trace build/test/bench/one_add DATAFOLDER
// then look between the openat of /tmp/kov-before-add and /tmp/kov-after-add.
#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include <fcntl.h>
#include <unistd.h>

#include "app/mainwindow.h"
#include "storage/datafiles.h"

static void mark(const char *path)
{
    ::close(::open(path, O_RDONLY | O_CREAT | O_CLOEXEC, 0644));
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        qWarning("usage: one_add DATAFOLDER");
        return 2;
    }
    kov::setDataFolderOverride(QString::fromLocal8Bit(argv[1]));
    kov::MainWindow window;
    window.applicationDidFinishLaunching();
    QTimer::singleShot(0, &app, [&] {
        mark("/tmp/kov-before-add");
        window.findChild<QPushButton *>(QStringLiteral("addMaintBtn"))->click();
        mark("/tmp/kov-after-add");
        app.quit();
    });
    return app.exec();
}
