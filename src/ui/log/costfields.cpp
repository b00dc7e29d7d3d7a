// Every keystroke in a cost, size or interval field is checked here; the
// tab-1 total follows the three costs; property prices and sizes are
// reformatted when the user leaves them. The rules are in log/costrules.
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QToolButton>

#include "app/kovappdelegate.h"
#include "log/costrules.h"
#include "ui_mainwindow.h"
#include "ui_propertysheet.h"

using namespace kov;

void KOVAppDelegate::controlTextDidChange(QLineEdit *field)
{
    if (!field || field == ui->noteTab1)
        return;
    QWidget *fieldWindow = field->window();
    if (fieldWindow == window)
        doCostSheetValidation(field);
    else if (fieldWindow == theTaskSheet)
        integerFieldsValidation(field);
    else if (fieldWindow == thePropertySheet)
        doPropSheetValidation(field);
}

void KOVAppDelegate::doCostSheetValidation(QLineEdit *field)
{
    if (field != ui->partsCostTab1 && field != ui->laborCostTab1 && field != ui->taxCostTab1) {
        stdCostFieldValidation(field->text(), field);
        return;
    }
    doCostFieldValidation(field->text(), field, 11);
    // Read the way the canonical form reads them, so the total shows what
    // Add will store (the locale's decimal separator, grouping ignored).
    const double parts = costValue(ui->partsCostTab1->text());
    const double labor = costValue(ui->laborCostTab1->text());
    const double tax = costValue(ui->taxCostTab1->text());
    ui->totalCostTab1->setText(copyFormatStringForTextField((labor + parts) + tax, pattern::money));
}

void KOVAppDelegate::doPropSheetValidation(QLineEdit *field)
{
    if (field == propertySheetUi->propertyLotSizePropertySheet ||
        field == propertySheetUi->propertyInteriorSizePropertySheet)
        integerFieldsValidation(field);
    else
        stdCostFieldValidation(field->text(), field);

    // A date acquired or sold belongs to a price; without one it is off.
    const bool hasText = !field->text().isEmpty();
    if (field == propertySheetUi->propertyPurchaseCostPropertySheet) {
        propertySheetUi->dateAcquiredPropertySheet->setEnabled(hasText);
        propertySheetUi->popOverTriggerPropSheetAcqDate->setEnabled(hasText);
    } else if (field == propertySheetUi->propertySaleCostPropertySheet) {
        propertySheetUi->dateSoldPropertySheet->setEnabled(hasText);
        propertySheetUi->popOverTriggerPropSheetDisDate->setEnabled(hasText);
    }
}

void KOVAppDelegate::integerFieldsValidation(QLineEdit *field)
{
    const QString text = field->text();
    blockOrAllowInNumericField(isIntegerText(text), field, text);
}

void KOVAppDelegate::stdCostFieldValidation(const QString &text, QLineEdit *field)
{
    const bool price = field == propertySheetUi->propertyPurchaseCostPropertySheet ||
                       field == propertySheetUi->propertySaleCostPropertySheet;
    doCostFieldValidation(text, field, price ? 12 : 11);
}

void KOVAppDelegate::doCostFieldValidation(const QString &text, QLineEdit *field, int maxChars)
{
    if (characterCount(text) > maxChars)
        setFieldFromStringMinusLastCharacter(field);
    else
        blockOrAllowInNumericField(isItaNumber(text), field, text);
}

void KOVAppDelegate::blockOrAllowInNumericField(bool accepted, QLineEdit *field, const QString &text)
{
    if (accepted) {
        // Setting the same text again would only move the cursor to the end.
        if (field->text() != text)
            field->setText(text);
    } else if (text.isEmpty()) {
        field->setText(QString());
        beep();
    } else {
        setFieldFromStringMinusLastCharacter(field);
    }
}

void KOVAppDelegate::controlTextDidEndEditing(QLineEdit *field)
{
    if (!field || field == ui->noteTab1 || field->text().isEmpty())
        return;
    if (field == propertySheetUi->propertyPurchaseCostPropertySheet ||
        field == propertySheetUi->propertySaleCostPropertySheet) {
        formatNbrFldSetTextFld(costValue(field->text()), field, pattern::money);
    } else if (field == propertySheetUi->propertyLotSizePropertySheet ||
               field == propertySheetUi->propertyInteriorSizePropertySheet) {
        QString copy = field->text();
        removeLocaleSymbolFromString(copy, LocaleSymbol::GroupingSeparator);
        formatNbrFldSetTextFld(double(plainInteger(copy)), field, pattern::count);
    }
}

void KOVAppDelegate::formatNbrFldSetTextFld(double number, QLineEdit *field, const QString &format)
{
    const QString text = copyFormatStringForTextField(number, format);
    if (!text.isNull())
        field->setText(text);
}
