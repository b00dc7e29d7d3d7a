#include "lists/providersheet.h"

#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>

#include "lists/listrules.h"
#include "log/rowtablemodel.h"
#include "ui_providersheet.h"

namespace kov {

ProviderSheet::ProviderSheet(DataStore *store, DatePopover *datePopover, QWidget *window, QObject *parent)
    : ReferenceSheet(store, datePopover, window, ProviderFileForKOV, parent), ui(new Ui::ProviderSheet)
{
    ui->setupUi(sheet());
    connectParts({ui->tableViewProviderSheet, ui->providerNameProviderSheet, ui->addBtnProviderSheet,
                  ui->changeBtnProviderSheet, ui->deleteBtnProviderSheet, ui->closeBtnProviderSheet,
                  col::provname},
                 {{col::provname, tr("Name")},
                  {col::provaddress, tr("Address")},
                  {col::provphone, tr("Phone")},
                  {col::provnotes, tr("Notes")}});
    QHeaderView *header = ui->tableViewProviderSheet->horizontalHeader();
    header->setStretchLastSection(false);
    const QHeaderView::ResizeMode modes[] = {QHeaderView::Stretch, QHeaderView::Stretch,
                                             QHeaderView::ResizeToContents, QHeaderView::Stretch};
    for (int c = 0; c < int(std::size(modes)); ++c)
        header->setSectionResizeMode(c, modes[c]);
}

ProviderSheet::~ProviderSheet()
{
    delete ui;
}

void ProviderSheet::cleanProviderSheet()
{
    for (QLineEdit *field :
         {ui->providerNameProviderSheet, ui->providerAddrProviderSheet, ui->providerEmailProviderSheet,
          ui->providerWebPageProviderSheet, ui->providerPhoneProviderSheet, ui->providerNoteProviderSheet})
        field->setText(QString());
}

std::optional<Record> ProviderSheet::recordFromSheet()
{
    ProviderValues v;
    v.name = ui->providerNameProviderSheet->text();
    v.address = ui->providerAddrProviderSheet->text();
    v.note = ui->providerNoteProviderSheet->text();
    v.email = ui->providerEmailProviderSheet->text();
    v.webPage = ui->providerWebPageProviderSheet->text();
    v.phone = ui->providerPhoneProviderSheet->text();
    if (v.name.isEmpty()) {
        refuse(tr("Provider Data Missing"),
               tr("Provider Name must be entered, please try again.  Thank you"));
        return std::nullopt;
    }
    return providerRecordFromValues(v);
}

void ProviderSheet::fillSheetFromItemInTableView(const Record &provider)
{
    ui->providerNameProviderSheet->setText(provider.value(ProviderNameKey).toString());
    ui->providerAddrProviderSheet->setText(provider.value(ProviderAddressKey).toString());
    ui->providerNoteProviderSheet->setText(provider.value(ProviderNoteKey).toString());
    ui->providerEmailProviderSheet->setText(provider.value(ProviderEmailKey).toString());
    ui->providerPhoneProviderSheet->setText(provider.value(ProviderPhoneKey).toString());
    ui->providerWebPageProviderSheet->setText(provider.value(ProviderWebPageKey).toString());
}

Record ProviderSheet::sheetRow(const Record &provider) const
{
    return providerSheetRow(provider);
}

QString ProviderSheet::duplicateTitle() const
{
    return tr("Duplicate Provider Name - not added");
}

const QStringList &ProviderSheet::knownKeys() const
{
    return providerRecordKeys();
}

} // namespace kov
