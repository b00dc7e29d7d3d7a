// Start-up on a long log: a line and a bar at the foot of the window, moved
// on after each step. The steps run before the event loop turns, so each
// step has its line painted at once. A log that reads in well under half a second gets
// none: a bar that flashes past says nothing.
#pragma once

#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QStatusBar>

#include "storage/datafiles.h"

namespace kov {

class StartupProgress {
public:
    // About 25,000 records: where reading and showing the log takes longer
    // than half a second.
    static constexpr qint64 kLongLogBytes = 12'000'000;

    StartupProgress(QMainWindow *window, int steps) : window(window)
    {
        if (QFileInfo(dataFilePath(PropertyHistoryFileForKOV)).size() < kLongLogBytes)
            return;
        hadStatusBar = window->findChild<QStatusBar *>(QString(), Qt::FindDirectChildrenOnly) != nullptr;
        line = new QLabel(window);
        bar = new QProgressBar(window);
        bar->setRange(0, steps);
        bar->setMaximumWidth(240);
        bar->setTextVisible(false);
        window->statusBar()->addWidget(line, 1);
        window->statusBar()->addPermanentWidget(bar);
    }
    ~StartupProgress()
    {
        if (!line)
            return;
        if (hadStatusBar) {
            delete line;
            delete bar;
        } else {
            window->setStatusBar(nullptr);
        }
    }
    StartupProgress(const StartupProgress &) = delete;
    StartupProgress &operator=(const StartupProgress &) = delete;

    // The step about to run.
    void step(const QString &what)
    {
        if (!line)
            return;
        line->setText(what);
        bar->setValue(done++);
        // Painted now: the window may not even have been exposed yet. Input
        // waits until start-up is done.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }

private:
    QMainWindow *window;
    QLabel *line = nullptr;
    QProgressBar *bar = nullptr;
    bool hadStatusBar = false;
    int done = 0;
};

} // namespace kov
