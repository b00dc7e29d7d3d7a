// A wait cursor for the life of one user action on a long log: such an
// action keeps the window from answering for longer than a user waits
// without a sign (reading, filtering and showing tens of thousands of
// records). A short log gets no cursor flicker on every click.
#pragma once

#include <QApplication>
#include <QFileInfo>

#include "storage/datafiles.h"

namespace kov {

class BusyCursor {
public:
    BusyCursor() : busy(QFileInfo(dataFilePath(PropertyHistoryFileForKOV)).size() >= kLongLogBytes)
    {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~BusyCursor()
    {
        if (busy)
            QApplication::restoreOverrideCursor();
    }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

    // About 4,000 records: where an action starts to take a tenth of a second.
    static constexpr qint64 kLongLogBytes = 2'000'000;

private:
    bool busy;
};

} // namespace kov
