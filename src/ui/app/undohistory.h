// Undo and redo of this session's edits of the log and the three lists.
// A step is what one user action wrote, one file or more, each kept as the
// records before and after. Undo and redo are ordinary writes through the
// store; a step is taken back (or done again) only while every file it
// touched is exactly as the step left it (or found it). Otherwise the file
// has changed underneath: nothing is written and the history is cleared.
#pragma once

#include <QList>
#include <QObject>
#include <QStringList>

#include "storage/records.h"

class QAction;
class QMenu;
class QWidget;

namespace kov {

class DataStore;

class UndoHistory : public QObject {
    Q_OBJECT
public:
    // The history of the store's edits, made on first use.
    static UndoHistory *of(DataStore *store);

    bool canUndo() const { return !undoSteps.isEmpty(); }
    bool canRedo() const { return !redoSteps.isEmpty(); }
    // The action's name ("Delete Property"); empty when there is none.
    QString undoName() const;
    QString redoName() const;
    // False when nothing was written (refused with an alert on `window`, or
    // a write failed and the store has told why).
    bool undo(QWidget *window = nullptr);
    bool redo(QWidget *window = nullptr);
    void clear();

    // Edit ▸ Undo / Redo, kept named and enabled with the history.
    QMenu *createEditMenu(QWidget *window);
    QAction *undoAction() const { return undoAct; }
    QAction *redoAction() const { return redoAct; }

Q_SIGNALS:
    // A step was undone or redone: `fileName` holds `records` now.
    void restored(const QString &fileName, const kov::RecordList &records);
    void changed();

private:
    friend class UndoStep;
    struct FileEdit {
        QString fileName;
        RecordList before, after;
    };
    struct Step {
        QString name;
        QList<FileEdit> edits;
    };
    explicit UndoHistory(DataStore *store);
    void recordsWritten(const QString &fileName, const RecordList &before, const RecordList &after);
    bool replay(bool backwards, QWidget *window);
    void updateActions();

    DataStore *store;
    QList<Step> undoSteps, redoSteps;
    Step open;
    int depth = 0;
    bool replaying = false;
    QAction *undoAct = nullptr;
    QAction *redoAct = nullptr;
};

// Every write made while one is alive belongs to one undo step of that name
// ("Add Property"); an inner one joins the outer one's step.
class UndoStep {
public:
    UndoStep(DataStore *store, const QString &name);
    ~UndoStep();
    UndoStep(const UndoStep &) = delete;
    UndoStep &operator=(const UndoStep &) = delete;

private:
    UndoHistory *history;
};

} // namespace kov
