// The File menu's exports and backup: the log as shown on tab 1 as CSV, the
// due dates as an iCalendar file, and a dated copy of the four data files.
#pragma once

#include <functional>

#include <QObject>

class QAction;
class QMenu;
class QWidget;

namespace kov {

class DataStore;
class LogTab;

class ExportActions : public QObject {
    Q_OBJECT
public:
    // Puts the three actions into `fileMenu` before `before`.
    ExportActions(DataStore *store, LogTab *log, QWidget *window, QMenu *fileMenu, QAction *before);

    // Each writes, then tells the user where; false after telling what went
    // wrong (nothing is left half written).
    bool exportLogTo(const QString &path);
    bool exportDueDatesTo(const QString &path);
    // Copies the data files into a new folder named by the date and time
    // inside `parent`; the folder's path, or empty after telling why not.
    QString backUpInto(const QString &parent);

    // Asks for a file (or, with an empty filter, a folder); empty when the
    // user cancels. Tests answer here instead of a dialog.
    std::function<QString(const QString &title, const QString &suggested, const QString &filter)> askPath;

    QAction *exportLogAction() const { return logAction; }
    QAction *exportDueAction() const { return dueAction; }
    QAction *backUpAction() const { return backupAction; }

private:
    void exportLog();
    void exportDueDates();
    void backUp();
    bool writeFile(const QString &path, const QByteArray &bytes);
    void tellSaved(const QString &title, const QString &path);

    DataStore *store;
    LogTab *log;
    QWidget *window;
    QAction *logAction;
    QAction *dueAction;
    QAction *backupAction;
};

} // namespace kov
