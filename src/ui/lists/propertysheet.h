// The property sheet: name and address, sizes, the dates built, bought and
// sold, prices, how it was acquired and its status.
#pragma once

#include "lists/referencesheet.h"

class QDateTimeEdit;
class QLineEdit;
class QToolButton;

namespace Ui {
class PropertySheet;
}

namespace kov {

class PropertySheet : public ReferenceSheet {
    Q_OBJECT
public:
    PropertySheet(DataStore *store, DatePopover *datePopover, QWidget *window, QObject *parent = nullptr);
    ~PropertySheet() override;

    void cleanPropertySheet();
    // Every keystroke in a price: checked, and the price's date follows it.
    void doPropSheetValidation(QLineEdit *price, QDateTimeEdit *date, QToolButton *trigger);

protected:
    std::optional<Record> recordFromSheet() override;
    void fillSheetFromItemInTableView(const Record &property) override;
    void cleanSheet() override { cleanPropertySheet(); }
    Record sheetRow(const Record &property) const override;
    QString duplicateTitle() const override;
    const QStringList &knownKeys() const override;
    void prepareToShow() override;

private:
    Ui::PropertySheet *ui;
};

} // namespace kov
