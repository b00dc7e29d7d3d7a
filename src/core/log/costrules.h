// Money and counts as people type and read them: the number patterns, the
// canonical cost form the maintenance log stores, and the checks a typed
// number must pass. Everything follows the current ICU locale.
#pragma once

#include <optional>

#include <QString>

namespace kov {

// Number patterns (Unicode TR #35), applied in the current locale, half-even.
namespace pattern {
// The canonical cost form; zero shows as ".00".
inline const QString cost = QStringLiteral("######.00");
// The running total and property prices; zero shows as "$.00".
inline const QString money = QStringLiteral("\u00A4###,###,###.00");
// A loaded total and money in reports; zero shows as "$0.00".
inline const QString moneyWithZero = QStringLiteral("\u00A4###,###,##0.00");
// Lot and interior sizes, interval counts.
inline const QString count = QStringLiteral("###,###,###");
} // namespace pattern

enum class LocaleSymbol { GroupingSeparator, CurrencySymbol, DecimalSeparator };

// The current locale's value for the symbol.
QString localeSymbol(LocaleSymbol key);

// The number in the pattern, by a fresh formatter of the current locale.
QString copyFormatStringForTextField(double number, const QString &pattern);
// The number in the canonical cost form.
QString formatCostStrings(double value);

// Removes every occurrence of the current locale's grouping separator (or
// currency symbol) from `text`.
void removeLocaleSymbolFromString(QString &text, LocaleSymbol key);

// The leading number of a text: white space, a sign, digits, the locale's
// decimal separator and digits, an exponent; 0 when it starts with none.
double plainNumber(const QString &text);
// The leading whole number of a text, the same way; 0 when it has none.
qlonglong plainInteger(const QString &text);
// The amount a typed cost means: grouping separators and currency symbols
// removed, then its leading number.
double costValue(const QString &text);

// The canonical cost form of a typed or stored cost; a null or empty text,
// or one that does not start with a number, gives the zero form.
QString cleanFormatCostStr(const QString &text);

// True when the whole text is a number for the current locale (grouping
// separators, one decimal separator, a leading minus sign).
bool isItaNumber(const QString &text);
// True for an optional sign and digits with nothing but white space around.
bool isIntegerText(const QString &text);

// Length of a field's text in characters, as the typing limits count it.
qsizetype characterCount(const QString &text);

// The amount a cost text from a data file stands for, whatever locale wrote
// it: a canonical form (digits, one separator, two decimals) reads by its
// shape, anything else by the current locale. None when it is no number.
std::optional<double> storedCostAmount(const QString &stored);

} // namespace kov
