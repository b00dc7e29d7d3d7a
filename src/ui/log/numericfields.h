// Keystroke checks of the number fields (costs, prices, sizes, intervals):
// a character that makes the text no number, or one too many, is taken
// back with a beep. The rules themselves are in log/costrules.
#pragma once

#include <QString>

class QLineEdit;

namespace kov {

// Takes back the last character typed (a whole character, never half of a
// surrogate pair) and beeps.
void setFieldFromStringMinusLastCharacter(QLineEdit *field);
void blockOrAllowInNumericField(bool accepted, QLineEdit *field, const QString &text);
// A cost of at most `maxChars` characters (costs take 11, property prices 12).
void doCostFieldValidation(const QString &text, QLineEdit *field, int maxChars);
void integerFieldsValidation(QLineEdit *field);
// Shows `number` in `format`; leaves the field alone when it cannot.
void formatNbrFldSetTextFld(double number, QLineEdit *field, const QString &format);

} // namespace kov
