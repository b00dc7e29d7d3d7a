#include "log/costrules.h"

#include <charconv>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <QRegularExpression>

#include <unicode/dcfmtsym.h>
#include <unicode/decimfmt.h>
#include <unicode/locid.h>
#include <unicode/numfmt.h>

namespace kov {

namespace {

icu::UnicodeString toIcu(const QString &s)
{
    return icu::UnicodeString(reinterpret_cast<const UChar *>(s.utf16()), int32_t(s.size()));
}

QString fromIcu(const icu::UnicodeString &s)
{
    return QString(reinterpret_cast<const QChar *>(s.getBuffer()), s.length());
}

bool isMinus(QChar c)
{
    return c == QLatin1Char('-') || c == QChar(0x2212);
}

// ICU's symbols and formatters take far longer to make than to use, and a
// log formats and reads several amounts per record: each thread keeps them
// for the current default locale, made again when that changes.
class IcuFormats {
public:
    const icu::DecimalFormatSymbols *symbols()
    {
        refresh();
        if (!m_symbols) {
            UErrorCode status = U_ZERO_ERROR;
            auto made = std::make_unique<icu::DecimalFormatSymbols>(icu::Locale::getDefault(), status);
            if (U_FAILURE(status))
                return nullptr;
            m_symbols = std::move(made);
        }
        return m_symbols.get();
    }
    const icu::NumberFormat *parser()
    {
        refresh();
        if (!m_parser) {
            UErrorCode status = U_ZERO_ERROR;
            std::unique_ptr<icu::NumberFormat> made(
                icu::NumberFormat::createInstance(icu::Locale::getDefault(), UNUM_DECIMAL, status));
            if (U_FAILURE(status) || !made)
                return nullptr;
            m_parser = std::move(made);
        }
        return m_parser.get();
    }
    // A formatter for `pat`, rounding half to even, with exactly the
    // fraction digits the pattern asks for.
    const icu::DecimalFormat *formatter(const QString &pat);

private:
    void refresh()
    {
        const char *name = icu::Locale::getDefault().getName();
        if (m_locale == name)
            return;
        m_locale = name;
        m_symbols.reset();
        m_parser.reset();
        m_formatters.clear();
    }
    std::string m_locale;
    std::unique_ptr<icu::DecimalFormatSymbols> m_symbols;
    std::unique_ptr<icu::NumberFormat> m_parser;
    std::vector<std::pair<QString, std::unique_ptr<icu::DecimalFormat>>> m_formatters;
};

IcuFormats &formats()
{
    thread_local IcuFormats f;
    return f;
}

// The whole text as a number of the current locale, or none.
std::optional<double> parseWholeNumber(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    const icu::NumberFormat *parser = formats().parser();
    if (!parser)
        return std::nullopt;
    const icu::UnicodeString source = toIcu(text);
    icu::Formattable result;
    icu::ParsePosition position(0);
    parser->parse(source, result, position);
    if (position.getErrorIndex() >= 0 || position.getIndex() != source.length())
        return std::nullopt;
    const double value = result.getDouble(status);
    if (U_FAILURE(status))
        return std::nullopt;
    return value;
}

// Fraction digits a pattern asks for: the '0's and '#'s after its '.'.
std::pair<int, int> fractionDigits(const QString &pat)
{
    const qsizetype dot = pat.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return {0, 0};
    int required = 0, most = 0;
    for (qsizetype i = dot + 1; i < pat.size(); ++i) {
        if (pat[i] == QLatin1Char('0'))
            ++required, ++most;
        else if (pat[i] == QLatin1Char('#'))
            ++most;
        else
            break;
    }
    return {required, most};
}

// The leading number of `text` in ASCII form, for std::from_chars; empty
// when the text starts with no number.
std::string leadingNumber(const QString &text, bool withFraction)
{
    const QString decimal = localeSymbol(LocaleSymbol::DecimalSeparator);
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && text[i].isSpace())
        ++i;
    std::string ascii;
    if (i < n && (text[i] == QLatin1Char('+') || isMinus(text[i]))) {
        if (isMinus(text[i]))
            ascii += '-';
        ++i;
    }
    bool digits = false;
    while (i < n && text[i].isDigit()) {
        ascii += char('0' + text[i].digitValue());
        digits = true;
        ++i;
    }
    if (withFraction && !decimal.isEmpty() && QStringView(text).mid(i).startsWith(decimal)) {
        qsizetype j = i + decimal.size();
        std::string fraction;
        while (j < n && text[j].isDigit())
            fraction += char('0' + text[j++].digitValue());
        if (digits || !fraction.empty()) {
            ascii += '.';
            ascii += fraction;
            digits = true;
            i = j;
        }
    }
    if (!digits)
        return {};
    if (withFraction && i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (j < n && (text[j] == QLatin1Char('+') || isMinus(text[j]))) {
            if (isMinus(text[j]))
                exponent += '-';
            ++j;
        }
        bool expDigits = false;
        while (j < n && text[j].isDigit()) {
            exponent += char('0' + text[j++].digitValue());
            expDigits = true;
        }
        if (expDigits)
            ascii += exponent;
    }
    return ascii;
}

} // namespace

QString localeSymbol(LocaleSymbol key)
{
    const icu::DecimalFormatSymbols *symbols = formats().symbols();
    if (!symbols)
        return {};
    switch (key) {
    case LocaleSymbol::GroupingSeparator:
        return fromIcu(symbols->getSymbol(icu::DecimalFormatSymbols::kGroupingSeparatorSymbol));
    case LocaleSymbol::CurrencySymbol:
        return fromIcu(symbols->getSymbol(icu::DecimalFormatSymbols::kCurrencySymbol));
    case LocaleSymbol::DecimalSeparator:
        return fromIcu(symbols->getSymbol(icu::DecimalFormatSymbols::kDecimalSeparatorSymbol));
    }
    return {};
}

namespace {

const icu::DecimalFormat *IcuFormats::formatter(const QString &pat)
{
    refresh();
    for (const auto &[pattern, made] : m_formatters)
        if (pattern == pat)
            return made.get();
    UErrorCode status = U_ZERO_ERROR;
    auto *symbols = new icu::DecimalFormatSymbols(icu::Locale::getDefault(), status);
    if (U_FAILURE(status)) {
        delete symbols;
        return nullptr;
    }
    auto made = std::make_unique<icu::DecimalFormat>(toIcu(pat), symbols, status); // adopts symbols
    if (U_FAILURE(status))
        return nullptr;
    // A currency would otherwise bring its own number of decimals (none for
    // yen); the pattern says how many.
    const auto [required, most] = fractionDigits(pat);
    made->setMinimumFractionDigits(required);
    made->setMaximumFractionDigits(most);
    made->setRoundingMode(icu::DecimalFormat::kRoundHalfEven);
    if (m_formatters.size() >= 16) // callers use a handful of fixed patterns
        m_formatters.clear();
    m_formatters.emplace_back(pat, std::move(made));
    return m_formatters.back().second.get();
}

} // namespace

QString copyFormatStringForTextField(double number, const QString &pat)
{
    const icu::DecimalFormat *formatter = formats().formatter(pat);
    if (!formatter)
        return {};
    icu::UnicodeString out;
    formatter->format(number, out);
    return fromIcu(out);
}

QString formatCostStrings(double value)
{
    return copyFormatStringForTextField(value, pattern::cost);
}

void removeLocaleSymbolFromString(QString &text, LocaleSymbol key)
{
    const QString symbol = localeSymbol(key);
    if (!symbol.isEmpty())
        text.remove(symbol);
}

double plainNumber(const QString &text)
{
    const std::string ascii = leadingNumber(text, true);
    if (ascii.empty())
        return 0;
    double value = 0;
    const auto [ptr, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (ec == std::errc::result_out_of_range)
        return 0;
    return value;
}

qlonglong plainInteger(const QString &text)
{
    const std::string ascii = leadingNumber(text, false);
    if (ascii.empty())
        return 0;
    qlonglong value = 0;
    const auto [ptr, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (ec == std::errc::result_out_of_range)
        return ascii[0] == '-' ? std::numeric_limits<qlonglong>::min()
                               : std::numeric_limits<qlonglong>::max();
    return value;
}

double costValue(const QString &text)
{
    QString copy = text;
    removeLocaleSymbolFromString(copy, LocaleSymbol::CurrencySymbol);
    // A text the locale reads whole is taken as the locale reads it: pasted
    // amounts group with spaces, no-break spaces or apostrophes as often as
    // with the locale's own separator, and must not lose their thousands.
    if (const std::optional<double> whole = parseWholeNumber(copy.trimmed()))
        return *whole;
    removeLocaleSymbolFromString(copy, LocaleSymbol::GroupingSeparator);
    // The locale's own decimal separator, so that 12,50 keeps its cents
    // where the comma is the decimal point.
    return plainNumber(copy);
}

QString cleanFormatCostStr(const QString &text)
{
    return formatCostStrings(text.isNull() ? 0.0 : costValue(text));
}

bool isItaNumber(const QString &text)
{
    return parseWholeNumber(text).has_value();
}

bool isIntegerText(const QString &text)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && text[i].isSpace())
        ++i;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    const qsizetype firstDigit = i;
    while (i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'))
        ++i;
    if (i == firstDigit)
        return false;
    while (i < n && text[i].isSpace())
        ++i;
    return i == n;
}

qsizetype characterCount(const QString &text)
{
    qsizetype count = 0;
    for (const QChar c : text)
        if (!c.isLowSurrogate())
            ++count;
    return count;
}

std::optional<double> storedCostAmount(const QString &stored)
{
    // Canonical forms are written without grouping, so one separator before
    // exactly two digits is the decimal point of whichever locale wrote it.
    // Nearly every stored cost is ASCII ("123.45", ".00", "12,50"); those are
    // read here directly, four per record on every Show, and anything else
    // goes through the expression below, which accepts the same and more.
    const qsizetype n = stored.size();
    if (n >= 3) {
        auto digit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); };
        const QChar *p = stored.constData();
        const QChar separator = p[n - 3];
        qsizetype i = p[0] == QLatin1Char('-') ? 1 : 0;
        const qsizetype firstDigit = i;
        while (i < n - 3 && digit(p[i]))
            ++i;
        if (i == n - 3 && separator.unicode() > 0x20 && separator.unicode() < 0x7F && !digit(separator) &&
            separator != QLatin1Char('+') && separator != QLatin1Char('-') && digit(p[n - 2]) &&
            digit(p[n - 1])) {
            std::string ascii;
            ascii.reserve(size_t(n));
            if (firstDigit == 1)
                ascii += '-';
            for (qsizetype k = firstDigit; k < n - 3; ++k)
                ascii += char(p[k].unicode());
            ascii += '.';
            ascii += char(p[n - 2].unicode());
            ascii += char(p[n - 1].unicode());
            double value = 0;
            const auto [ptr, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
            if (ec == std::errc())
                return value;
        }
    }
    static const QRegularExpression canonical(
        QStringLiteral("^([-\\x{2212}]?)(\\d*)[^\\d\\s+\\-\\x{2212}](\\d\\d)$"),
        QRegularExpression::UseUnicodePropertiesOption);
    const QRegularExpressionMatch m = canonical.match(stored);
    if (m.hasMatch()) {
        std::string ascii = m.capturedView(1).isEmpty() ? "" : "-";
        for (const QChar c : m.capturedView(2))
            ascii += char('0' + c.digitValue());
        ascii += '.';
        for (const QChar c : m.capturedView(3))
            ascii += char('0' + c.digitValue());
        double value = 0;
        const auto [ptr, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
        if (ec == std::errc())
            return value;
    }
    return parseWholeNumber(stored);
}

} // namespace kov
