// Writes one data file over and over, alternating between two record lists,
// as fast as it can, until it is killed. Used by tst_crashsafety, which kills
// it at random moments and then reads what is on disk.
//
//   crashwriter DATA_FOLDER FILE_NAME
//
// Starts with the list the file does not hold yet, so that every kill falls
// into a change from one content to the other. Prints "ready" when it is
// about to write (the test's random delay is then spent writing, not loading
// libraries) and "written" once, after the first write has completed. Exits
// with 3 if a write fails (the test treats any exit as a failure).
#include <cstdio>
#include <unistd.h>

#include <QFileInfo>

#include "crashlists.h"
#include "storage/datafiles.h"

using namespace kov;

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: crashwriter DATA_FOLDER FILE_NAME\n");
        return 2;
    }
    setDataFolderOverride(QString::fromLocal8Bit(argv[1]));
    const QString fileName = QString::fromLocal8Bit(argv[2]);
    setDataFileProblemHandler([](const DataFileProblem &p) {
        std::fprintf(stderr, "crashwriter: %s: %s\n", qPrintable(p.path), qPrintable(p.reason));
        std::fflush(stderr);
        _exit(3);
    });
    const RecordList lists[2] = {crash::bigList(fileName), crash::smallList(fileName)};
    // The big list's file is about 150 kB, the small one's under 1 kB; the
    // size tells them apart without a slow read at start-up.
    const unsigned long first = QFileInfo(dataFilePath(fileName)).size() > 50000 ? 1 : 0;
    static const char ready[] = "ready\n";
    if (::write(STDOUT_FILENO, ready, sizeof ready - 1) < 0)
        return 3;
    for (unsigned long n = first;; ++n) {
        if (!writeDataFileArray(lists[n % 2], fileName))
            return 3;
        if (n == first) {
            // Unbuffered, so the test sees it even when the kill comes next.
            static const char line[] = "written\n";
            if (::write(STDOUT_FILENO, line, sizeof line - 1) < 0)
                return 3;
        }
    }
}
