// The task sheet: name, a rich-text description with bold, italic and
// underline, and the recurrence in days, months or years, or none.
#pragma once

#include "lists/referencesheet.h"

namespace Ui {
class TaskSheet;
}

namespace kov {

class TaskSheet : public ReferenceSheet {
    Q_OBJECT
public:
    TaskSheet(DataStore *store, DatePopover *datePopover, QWidget *window, QObject *parent = nullptr);
    ~TaskSheet() override;

    void cleanTaskSheet();
    // The bold, italic and underline buttons follow the description's cursor.
    void updateTaskSheetFormatButtons();

protected:
    std::optional<Record> recordFromSheet() override;
    void fillSheetFromItemInTableView(const Record &task) override;
    void cleanSheet() override { cleanTaskSheet(); }
    Record sheetRow(const Record &task) const override;
    QString duplicateTitle() const override;
    const QStringList &knownKeys() const override;
    void prepareToShow() override;

private:
    Ui::TaskSheet *ui;
};

} // namespace kov
