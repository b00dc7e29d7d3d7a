#include "lists/propertysheet.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QToolButton>

#include "app/datepopover.h"
#include "lists/listrules.h"
#include "log/costrules.h"
#include "log/numericfields.h"
#include "log/rowtablemodel.h"
#include "storage/clock.h"
#include "storage/dates.h"
#include "ui_propertysheet.h"

namespace kov {

namespace {

// Selects the item of that exact title. A title this sheet does not offer
// (written by another language or version) is added, so a Change keeps it.
void selectTitle(QComboBox *popup, const QString &title)
{
    int index = popup->findText(title, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) {
        popup->addItem(title);
        index = popup->count() - 1;
    }
    popup->setCurrentIndex(index);
}

} // namespace

PropertySheet::PropertySheet(DataStore *store, DatePopover *datePopover, QWidget *window, QObject *parent)
    : ReferenceSheet(store, datePopover, window, PropertyFileForKOV, parent), ui(new Ui::PropertySheet)
{
    ui->setupUi(sheet());
    connectParts({ui->tableViewPropertySheet, ui->propertyNamePropertySheet, ui->addBtnPropertySheet,
                  ui->changeBtnPropertySheet, ui->deleteBtnPropertySheet, ui->closeBtnPropertySheet,
                  col::propname},
                 {{col::propname, tr("Name")},
                  {col::propaddress, tr("Address")},
                  {col::propcity, tr("City")},
                  {col::propstate, tr("State")},
                  {col::proppostal, tr("ZIP")}});
    // Names and addresses get the room; short columns fit their text.
    QHeaderView *header = ui->tableViewPropertySheet->horizontalHeader();
    header->setStretchLastSection(false);
    const QHeaderView::ResizeMode modes[] = {QHeaderView::Stretch, QHeaderView::Stretch, QHeaderView::Stretch,
                                             QHeaderView::ResizeToContents, QHeaderView::ResizeToContents};
    for (int c = 0; c < int(std::size(modes)); ++c)
        header->setSectionResizeMode(c, modes[c]);

    // textEdited: only what the user types, never our own setText.
    const auto price = [this](QLineEdit *field, QDateTimeEdit *date, QToolButton *trigger) {
        connect(field, &QLineEdit::textEdited, this,
                [this, field, date, trigger] { doPropSheetValidation(field, date, trigger); });
    };
    price(ui->propertyPurchaseCostPropertySheet, ui->dateAcquiredPropertySheet,
          ui->popOverTriggerPropSheetAcqDate);
    price(ui->propertySaleCostPropertySheet, ui->dateSoldPropertySheet, ui->popOverTriggerPropSheetDisDate);
    for (QLineEdit *size : {ui->propertyLotSizePropertySheet, ui->propertyInteriorSizePropertySheet})
        connect(size, &QLineEdit::textEdited, this, [size] { integerFieldsValidation(size); });
    // Prices and sizes are shown in the locale's form once the user leaves them.
    for (QLineEdit *price : {ui->propertyPurchaseCostPropertySheet, ui->propertySaleCostPropertySheet})
        connect(price, &QLineEdit::editingFinished, this, [price] {
            if (!price->text().isEmpty())
                formatNbrFldSetTextFld(costValue(price->text()), price, pattern::money);
        });
    for (QLineEdit *size : {ui->propertyLotSizePropertySheet, ui->propertyInteriorSizePropertySheet})
        connect(size, &QLineEdit::editingFinished, this, [size] {
            if (size->text().isEmpty())
                return;
            QString copy = size->text();
            removeLocaleSymbolFromString(copy, LocaleSymbol::GroupingSeparator);
            formatNbrFldSetTextFld(double(plainInteger(copy)), size, pattern::count);
        });
    datePopover->attach(ui->popOverTriggerPropSheetBuildDate, ui->dateConstructedPropertySheet);
    datePopover->attach(ui->popOverTriggerPropSheetAcqDate, ui->dateAcquiredPropertySheet);
    datePopover->attach(ui->popOverTriggerPropSheetDisDate, ui->dateSoldPropertySheet);
    cleanPropertySheet();
}

PropertySheet::~PropertySheet()
{
    delete ui;
}

void PropertySheet::prepareToShow()
{
    const QDateTime now = Clock::now().toLocalTime();
    ui->dateAcquiredPropertySheet->setDateTime(now);
    ui->dateSoldPropertySheet->setDateTime(now);
    ui->dateConstructedPropertySheet->setDateTime(now);
}

void PropertySheet::doPropSheetValidation(QLineEdit *price, QDateTimeEdit *date, QToolButton *trigger)
{
    doCostFieldValidation(price->text(), price, 12);
    // A date acquired or sold belongs to a price; without one it is off.
    const bool hasText = !price->text().isEmpty();
    date->setEnabled(hasText);
    trigger->setEnabled(hasText);
}

void PropertySheet::cleanPropertySheet()
{
    for (QLineEdit *field :
         {ui->propertyNamePropertySheet, ui->propertyAddrPropertySheet, ui->propertyCityPropertySheet,
          ui->propertyStatePropetySheet, ui->propertyZIPPropertySheet, ui->propertyPurchaseCostPropertySheet,
          ui->propertySaleCostPropertySheet, ui->propertyLotSizePropertySheet,
          ui->propertyInteriorSizePropertySheet, ui->propertyNotePropertySheet})
        field->setText(QString());
    const QDateTime today = NSDateUtilities::cleanseDate(Clock::now()).toLocalTime();
    for (QDateTimeEdit *date :
         {ui->dateAcquiredPropertySheet, ui->dateSoldPropertySheet, ui->dateConstructedPropertySheet}) {
        date->setDateTime(today);
        date->setEnabled(false);
    }
    ui->popOverTriggerPropSheetAcqDate->setEnabled(false);
    ui->popOverTriggerPropSheetDisDate->setEnabled(false);
    // The date built can still be picked.
    ui->popOverTriggerPropSheetBuildDate->setEnabled(true);
    for (QComboBox *popup : {ui->propertyAcquisitionPropertySheet, ui->propertyStatusPropertySheet})
        popup->setCurrentIndex(popup->findText(QString(), Qt::MatchExactly));
}

std::optional<Record> PropertySheet::recordFromSheet()
{
    PropertyValues v;
    v.name = ui->propertyNamePropertySheet->text();
    v.address = ui->propertyAddrPropertySheet->text();
    v.city = ui->propertyCityPropertySheet->text();
    v.state = ui->propertyStatePropetySheet->text();
    v.zip = ui->propertyZIPPropertySheet->text();
    v.note = ui->propertyNotePropertySheet->text();
    v.lotSize = ui->propertyLotSizePropertySheet->text();
    v.interiorSize = ui->propertyInteriorSizePropertySheet->text();
    v.purchaseMethod = ui->propertyAcquisitionPropertySheet->currentText();
    v.currentStatus = ui->propertyStatusPropertySheet->currentText();
    v.constructed = ui->dateConstructedPropertySheet->dateTime();
    v.acquired = ui->dateAcquiredPropertySheet->dateTime();
    v.sold = ui->dateSoldPropertySheet->dateTime();
    v.purchaseCost = ui->propertyPurchaseCostPropertySheet->text();
    v.saleCost = ui->propertySaleCostPropertySheet->text();
    if (v.name.isEmpty()) {
        refuse(tr("Property Data Missing"),
               tr("Property Name must be entered, please try again.  Thank you"));
        return std::nullopt;
    }
    return propertyRecordFromValues(v);
}

void PropertySheet::fillSheetFromItemInTableView(const Record &property)
{
    cleanPropertySheet();
    const auto text = [&property](QLineEdit *field, const QString &key) {
        if (property.contains(key))
            field->setText(property.value(key).toString());
    };
    // A price switches its date on, as typing one does.
    const auto money = [&property](QLineEdit *field, const QString &key, QDateTimeEdit *date,
                                   QToolButton *trigger) {
        if (!property.contains(key))
            return;
        trigger->setEnabled(true);
        date->setEnabled(true);
        formatNbrFldSetTextFld(property.value(key).toDouble(), field, pattern::money);
    };
    const auto date = [&property](QDateTimeEdit *field, const QString &key, QToolButton *trigger) {
        if (!property.contains(key))
            return;
        trigger->setEnabled(true);
        field->setDateTime(property.value(key).toDateTime().toLocalTime());
        field->setEnabled(true);
    };
    const auto popup = [&property](QComboBox *field, const QString &key) {
        if (property.contains(key))
            selectTitle(field, property.value(key).toString());
    };
    text(ui->propertyNamePropertySheet, PropertyNameKey);
    text(ui->propertyAddrPropertySheet, PropertyAddressKey);
    text(ui->propertyCityPropertySheet, PropertyCityKey);
    text(ui->propertyStatePropetySheet, PropertyStateKey);
    text(ui->propertyZIPPropertySheet, PropertyZipKey);
    money(ui->propertyPurchaseCostPropertySheet, PropertyPurchaseCostKey, ui->dateAcquiredPropertySheet,
          ui->popOverTriggerPropSheetAcqDate);
    date(ui->dateAcquiredPropertySheet, PropertyPurchaseDateKey, ui->popOverTriggerPropSheetAcqDate);
    money(ui->propertySaleCostPropertySheet, PropertySaleCostKey, ui->dateSoldPropertySheet,
          ui->popOverTriggerPropSheetDisDate);
    date(ui->dateSoldPropertySheet, PropertySaleDateKey, ui->popOverTriggerPropSheetDisDate);
    date(ui->dateConstructedPropertySheet, PropertyConstDateKey, ui->popOverTriggerPropSheetBuildDate);
    popup(ui->propertyAcquisitionPropertySheet, PropertyPurchaseMethodKey);
    popup(ui->propertyStatusPropertySheet, PropertyCurrentStatusKey);
    text(ui->propertyLotSizePropertySheet, PropertyLotSizeKey);
    text(ui->propertyInteriorSizePropertySheet, PropertyIntSizeKey);
    text(ui->propertyNotePropertySheet, PropertyNoteKey);
}

Record PropertySheet::sheetRow(const Record &property) const
{
    return propertySheetRow(property);
}

QString PropertySheet::duplicateTitle() const
{
    return tr("Duplicate PropertyName - not added");
}

const QStringList &PropertySheet::knownKeys() const
{
    return propertyRecordKeys();
}

} // namespace kov
