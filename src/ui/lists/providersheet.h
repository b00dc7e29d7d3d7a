// The provider sheet: name, address, phone, e-mail, web page and a note.
#pragma once

#include "lists/referencesheet.h"

namespace Ui {
class ProviderSheet;
}

namespace kov {

class ProviderSheet : public ReferenceSheet {
    Q_OBJECT
public:
    ProviderSheet(DataStore *store, DatePopover *datePopover, QWidget *window, QObject *parent = nullptr);
    ~ProviderSheet() override;

    void cleanProviderSheet();

protected:
    std::optional<Record> recordFromSheet() override;
    void fillSheetFromItemInTableView(const Record &provider) override;
    void cleanSheet() override { cleanProviderSheet(); }
    Record sheetRow(const Record &provider) const override;
    QString duplicateTitle() const override;
    const QStringList &knownKeys() const override;

private:
    Ui::ProviderSheet *ui;
};

} // namespace kov
