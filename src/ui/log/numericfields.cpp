#include "log/numericfields.h"

#include <QLineEdit>

#include "app/alerts.h"
#include "log/costrules.h"

namespace kov {

void setFieldFromStringMinusLastCharacter(QLineEdit *field)
{
    QString text = field->text();
    if (!text.isEmpty()) {
        qsizetype cut = 1;
        if (text.size() >= 2 && text.at(text.size() - 1).isLowSurrogate() &&
            text.at(text.size() - 2).isHighSurrogate())
            cut = 2;
        text.chop(cut);
    }
    field->setText(text);
    beep();
}

void blockOrAllowInNumericField(bool accepted, QLineEdit *field, const QString &text)
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

void doCostFieldValidation(const QString &text, QLineEdit *field, int maxChars)
{
    if (characterCount(text) > maxChars)
        setFieldFromStringMinusLastCharacter(field);
    else
        blockOrAllowInNumericField(isItaNumber(text), field, text);
}

void integerFieldsValidation(QLineEdit *field)
{
    const QString text = field->text();
    blockOrAllowInNumericField(isIntegerText(text), field, text);
}

void formatNbrFldSetTextFld(double number, QLineEdit *field, const QString &format)
{
    const QString text = copyFormatStringForTextField(number, format);
    if (!text.isNull())
        field->setText(text);
}

} // namespace kov
