// What the property, provider and task sheets have in common: a window-modal
// sheet over the main window with the list's table and its fields; a double
// click loads an entry; Add, Change and Delete write the list through the
// store. Each sheet brings its own fields.
#pragma once

#include <optional>

#include <QObject>

#include "storage/records.h"

class QDialog;
class QLineEdit;
class QPushButton;
class QTableView;
class QWidget;

namespace kov {

class DataStore;
class DatePopover;
class RowTableModel;
struct TableColumn;

class ReferenceSheet : public QObject {
    Q_OBJECT
public:
    ~ReferenceSheet() override;

    QDialog *sheet() const { return theSheet; }
    // The data file of the list.
    const QString &fileName() const { return file; }
    const RecordList &rows() const { return tableRows; }

    // Fills the table with the list in name order and opens the sheet.
    void showOneSheet();
    void displaySheet();
    void sheetCloseBtnPressed();
    void doAddFromSheet();
    void changeBtnOnSheetPressed();
    void doDeleteDriver();
    // False when refused; `writeFailed` tells whether the user already has
    // the alert of a failed write.
    bool doDeleteFromSheet(bool *writeFailed = nullptr);
    void respondToTableViewDblClick(int clickedRow);
    void setChange(bool onOff);
    // The kind of entry the list holds, as actions name it ("Property").
    QString entryKind() const;
    // How many maintenance records name `name`.
    qsizetype logRecordsNaming(const QString &name);
    // Asks for a new name for the entry last loaded, then renames it.
    void renameBtnPressed();
    // The entry and every log record that names it take `newName`: the log
    // first, then the list, each in one write; one undo step. False when
    // refused (an alert has been shown) or a write failed.
    bool renameEntry(const QString &oldName, const QString &newName);
    QPushButton *renameButton() const { return renameBtn; }

Q_SIGNALS:
    // The list as written, after `name` was added (or changed).
    void entryAdded(const QString &fileName, const kov::RecordList &list, const QString &name);
    // The list as written, after `name` left it (or before its change).
    void entryDeleted(const QString &fileName, const kov::RecordList &list, const QString &name);
    // The log as written after a rename changed the name in its records.
    void logRenamed(const kov::RecordList &history);

protected:
    struct Parts {
        QTableView *table;
        QLineEdit *nameField;
        QPushButton *addBtn, *changeBtn, *deleteBtn, *closeBtn;
        QString nameColumn;
    };
    ReferenceSheet(DataStore *store, DatePopover *datePopover, QWidget *window, const QString &fileName,
                   QObject *parent);
    // Called by each sheet once its form is set up on sheet().
    void connectParts(const Parts &parts, QList<TableColumn> columns);

    // The entry the fields hold, or none once the refusal has been shown.
    virtual std::optional<Record> recordFromSheet() = 0;
    virtual void fillSheetFromItemInTableView(const Record &entry) = 0;
    virtual void cleanSheet() = 0;
    virtual Record sheetRow(const Record &entry) const = 0;
    virtual QString duplicateTitle() const = 0;
    virtual const QStringList &knownKeys() const = 0;
    // Just before the sheet opens.
    virtual void prepareToShow() {}

    // A refusal of one press, shown on the sheet with the beep.
    void refuse(const QString &title, const QString &message);
    void populate(const RecordList &fileArray);

    DataStore *store;
    DatePopover *datePopover;

private:
    void refreshAfterAdd(const RecordList &list, const QString &name);
    void refreshAfterDelete(const RecordList &list, const QString &name);

    QString file;
    QString nameKey;
    QDialog *theSheet;
    Parts parts{};
    RowTableModel *model = nullptr;
    RecordList tableRows;
    QPushButton *renameBtn = nullptr;
    // The name of the entry the last double click loaded.
    QString loadedName;
};

} // namespace kov
