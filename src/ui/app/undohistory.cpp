#include "app/undohistory.h"

#include <algorithm>
#include <utility>

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QPointer>

#include "app/alerts.h"
#include "app/datastore.h"

namespace kov {

namespace {

// Enough for a long session; the oldest steps go first.
constexpr qsizetype maxSteps = 200;

QPointer<QWidget> &menuWindow()
{
    static QPointer<QWidget> window;
    return window;
}

} // namespace

UndoHistory *UndoHistory::of(DataStore *store)
{
    if (auto *history = store->findChild<UndoHistory *>(QString(), Qt::FindDirectChildrenOnly))
        return history;
    return new UndoHistory(store);
}

UndoHistory::UndoHistory(DataStore *dataStore) : QObject(dataStore), store(dataStore)
{
    connect(store, &DataStore::recordsWritten, this, &UndoHistory::recordsWritten);
}

QString UndoHistory::undoName() const
{
    return undoSteps.isEmpty() ? QString() : undoSteps.last().name;
}

QString UndoHistory::redoName() const
{
    return redoSteps.isEmpty() ? QString() : redoSteps.last().name;
}

void UndoHistory::recordsWritten(const QString &fileName, const RecordList &before, const RecordList &after)
{
    if (replaying)
        return;
    if (depth == 0) {
        // A write no action names (a clean-up at start) is no step; the steps
        // before it no longer fit that file, and a redo never will.
        redoSteps.clear();
        updateActions();
        return;
    }
    for (FileEdit &edit : open.edits) {
        if (edit.fileName == fileName) {
            edit.after = after;
            return;
        }
    }
    open.edits.append({fileName, before, after});
}

void UndoHistory::clear()
{
    undoSteps.clear();
    redoSteps.clear();
    updateActions();
}

bool UndoHistory::undo(QWidget *window)
{
    return replay(true, window);
}

bool UndoHistory::redo(QWidget *window)
{
    return replay(false, window);
}

bool UndoHistory::replay(bool backwards, QWidget *window)
{
    QList<Step> &from = backwards ? undoSteps : redoSteps;
    if (from.isEmpty())
        return false;
    Step step = from.takeLast();
    // The log first, as every edit writes it: an interruption leaves at most
    // a name the log uses missing from a list, never a record lost.
    std::stable_sort(step.edits.begin(), step.edits.end(), [](const FileEdit &a, const FileEdit &b) {
        return a.fileName == PropertyHistoryFileForKOV && b.fileName != PropertyHistoryFileForKOV;
    });
    for (const FileEdit &edit : std::as_const(step.edits)) {
        DataFileStatus status;
        const RecordList now = store->records(edit.fileName, &status);
        if (status.state == DataFileStatus::Unreadable || now != (backwards ? edit.after : edit.before)) {
            clear();
            QWidget *parent = window ? window : menuWindow().data();
            const QString title = backwards ? tr("\u201C%1\u201D can no longer be undone.").arg(step.name)
                                            : tr("\u201C%1\u201D can no longer be redone.").arg(step.name);
            doSheetAlert(parent,
                         tr("Its data file has been changed since, so nothing was written. "
                            "The undo history has been cleared."),
                         title);
            return false;
        }
    }
    replaying = true;
    bool written = true;
    for (const FileEdit &edit : std::as_const(step.edits)) {
        const RecordList &records = backwards ? edit.before : edit.after;
        if (!store->write(edit.fileName, records)) {
            written = false;
            break;
        }
        Q_EMIT restored(edit.fileName, records);
    }
    replaying = false;
    if (!written) {
        // The store has told why; what was written of the step stays, and
        // the rest of the history no longer fits.
        clear();
        return false;
    }
    (backwards ? redoSteps : undoSteps).append(step);
    updateActions();
    return true;
}

void UndoHistory::updateActions()
{
    if (undoAct) {
        undoAct->setEnabled(canUndo());
        undoAct->setText(canUndo() ? tr("&Undo %1").arg(undoName()) : tr("&Undo"));
    }
    if (redoAct) {
        redoAct->setEnabled(canRedo());
        redoAct->setText(canRedo() ? tr("&Redo %1").arg(redoName()) : tr("&Redo"));
    }
    Q_EMIT changed();
}

QMenu *UndoHistory::createEditMenu(QWidget *window)
{
    menuWindow() = window;
    auto *menu = new QMenu(tr("&Edit"), window);
    menu->setObjectName(QStringLiteral("menuEdit"));
    undoAct = menu->addAction(tr("&Undo"));
    undoAct->setObjectName(QStringLiteral("actionUndo"));
    undoAct->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redoAct = menu->addAction(tr("&Redo"));
    redoAct->setObjectName(QStringLiteral("actionRedo"));
    redoAct->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(undoAct, &QAction::triggered, this, [this, window] { undo(window); });
    connect(redoAct, &QAction::triggered, this, [this, window] { redo(window); });
    updateActions();
    return menu;
}

UndoStep::UndoStep(DataStore *store, const QString &name) : history(UndoHistory::of(store))
{
    if (history->depth++ == 0)
        history->open = {name, {}};
}

UndoStep::~UndoStep()
{
    if (--history->depth > 0)
        return;
    UndoHistory::Step step = std::exchange(history->open, {});
    if (step.edits.isEmpty())
        return;
    history->undoSteps.append(std::move(step));
    if (history->undoSteps.size() > maxSteps)
        history->undoSteps.removeFirst();
    history->redoSteps.clear();
    history->updateActions();
}

} // namespace kov
