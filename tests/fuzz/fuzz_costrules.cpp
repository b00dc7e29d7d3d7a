// Cost texts as people type and files store them, under four locales (the
// first byte chooses), as UTF-8 and, when they can be, as raw UTF-16 units.
// Beyond not crashing: the canonical cost form of a finite amount reads back
// by its shape as that amount to the cent, and an integer text means the
// number plainInteger gives.
#include <QLocale>
#include <QString>

#include <unicode/locid.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "fuzzcheck.h"
#include "log/costrules.h"

using namespace kov;
using kov::fuzz::check;

namespace {

void useLocale(uint8_t choice)
{
    static constexpr std::array<const char *, 4> kLocales = {"en_US", "de_DE", "fr_FR", "ja_JP"};
    const char *name = kLocales[choice % kLocales.size()];
    static const char *current = nullptr;
    if (current == name)
        return;
    current = name;
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale::setDefault(icu::Locale(name), status);
    QLocale::setDefault(QLocale(QString::fromLatin1(name)));
}

void exercise(const QString &text)
{
    for (const QString &pat : {pattern::cost, pattern::money, pattern::moneyWithZero, pattern::count}) {
        copyFormatStringForTextField(costValue(text), pat);
        copyFormatStringForTextField(plainNumber(text), pat);
    }
    isItaNumber(text);
    characterCount(text);
    storedCostAmount(text);
    for (const LocaleSymbol key :
         {LocaleSymbol::GroupingSeparator, LocaleSymbol::CurrencySymbol, LocaleSymbol::DecimalSeparator}) {
        QString copy = text;
        removeLocaleSymbolFromString(copy, key);
        const QString symbol = localeSymbol(key);
        // A one-character symbol cannot be formed anew by the removal.
        check(symbol.size() != 1 || !copy.contains(symbol), "symbol removed");
    }

    const double amount = costValue(text);
    const QString canonical = cleanFormatCostStr(text);
    if (std::isfinite(amount)) {
        const std::optional<double> stored = storedCostAmount(canonical);
        check(stored.has_value(), "the canonical form is a stored amount",
              text + QStringLiteral(" -> ") + canonical);
        // Two decimals, half-even: within a cent, and rounding error beyond that.
        check(std::fabs(*stored - amount) <= 0.005 + std::fabs(amount) * 1e-12,
              "the canonical form keeps the amount",
              text + QStringLiteral(" -> ") + canonical + QStringLiteral(" -> ") +
                  QString::number(*stored, 'g', 17));
    }

    const qlonglong integer = plainInteger(text);
    if (isIntegerText(text)) {
        bool ok = false;
        const qlonglong direct = text.trimmed().toLongLong(&ok);
        check(!ok || direct == integer, "an integer text means its number", text);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    useLocale(data[0]);
    const char *rest = reinterpret_cast<const char *>(data + 1);
    const size_t n = size - 1;
    exercise(QString::fromUtf8(rest, qsizetype(n)));
    if (n % 2 == 0) {
        QString units(qsizetype(n / 2), Qt::Uninitialized);
        std::memcpy(units.data(), rest, n);
        exercise(units);
    }
    return 0;
}
