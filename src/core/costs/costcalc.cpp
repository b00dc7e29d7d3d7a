#include "costs/costcalc.h"

#include <cmath>
#include <memory>

#include <charconv>
#include <string>

#include <unicode/decimfmt.h>
#include <unicode/dtptngen.h>
#include <unicode/locid.h>

#include "log/maintrecords.h"
#include "storage/dates.h"

namespace kov {

namespace {

// A canonical amount reads the same whichever locale wrote it; what is no
// amount (or not finite) counts as nothing.
double amountUnder(const Record &record, const QString &key)
{
    const auto it = record.constFind(key);
    if (it == record.cend())
        return 0.0;
    const std::optional<double> amount = amountOf(it.value());
    return amount && std::isfinite(*amount) ? *amount : 0.0;
}

} // namespace

double calcTotalCost(const RecordList &records, const QString &key)
{
    double sum = 0.0;
    for (const Record &record : records)
        sum += amountUnder(record, key);
    return sum;
}

double calcElapsedMonths(const QDateTime &date, const QDateTime &otherDate)
{
    const double seconds = double(otherDate.msecsTo(date)) / 1000.0;
    return seconds / MeanMonthSeconds;
}

double calcAvgCost(double total, double months)
{
    // "not below one" is also false for NaN, which then gives the total.
    if (months >= 1.0)
        return total / months;
    return total;
}

double centsAsShown(double amount)
{
    if (!std::isfinite(amount))
        return amount;
    UErrorCode status = U_ZERO_ERROR;
    auto *symbols = new icu::DecimalFormatSymbols(icu::Locale::getRoot(), status);
    icu::DecimalFormat formatter(icu::UnicodeString("0.00"), symbols, status); // adopts symbols
    if (U_FAILURE(status))
        return amount;
    formatter.setRoundingMode(icu::DecimalFormat::kRoundHalfEven);
    icu::UnicodeString out;
    formatter.format(amount, out);
    std::string ascii;
    out.toUTF8String(ascii);
    double value = amount;
    std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    return value == 0.0 ? 0.0 : value; // no "-0"
}

CostFigures calcCostFigures(const RecordList &records, const QDateTime &begin, const QDateTime &end)
{
    CostFigures f;
    f.records = records.size();
    f.months = calcElapsedMonths(end, begin);
    f.total = calcTotalCost(records, TotalCostKey);
    f.avgTotal = calcAvgCost(f.total, f.months);
    f.parts = calcTotalCost(records, PartsCostKey);
    f.avgParts = calcAvgCost(f.parts, f.months);
    f.labor = calcTotalCost(records, LaborCostKey);
    f.avgLabor = calcAvgCost(f.labor, f.months);
    f.tax = calcTotalCost(records, TaxCostKey);
    f.avgTax = calcAvgCost(f.tax, f.months);
    return f;
}

QList<MonthCosts> costsPerMonth(const RecordList &records, const QDateTime &begin, const QDateTime &end)
{
    QList<MonthCosts> months;
    if (!begin.isValid() || !end.isValid() || begin > end)
        return months;
    const DateComponents first = gregorianDateOfTime(begin);
    const DateComponents last = gregorianDateOfTime(end);
    const qint64 count = (qint64(last.year) - first.year) * 12 + (last.month - first.month) + 1;
    if (count <= 0)
        return months;
    months.reserve(count);
    for (qint64 i = 0; i < count; ++i) {
        MonthCosts m;
        const qint64 index = qint64(first.month - 1) + i;
        m.year = int(first.year + index / 12);
        m.month = int(index % 12) + 1;
        months.append(m);
    }
    for (const Record &record : records) {
        const QDateTime date = record.value(ServiceDateKey).toDateTime();
        if (!date.isValid())
            continue;
        const DateComponents local = gregorianDateOfTime(date);
        const qint64 slot = (qint64(local.year) - first.year) * 12 + (local.month - first.month);
        if (slot < 0 || slot >= count)
            continue;
        MonthCosts &m = months[slot];
        m.parts += amountUnder(record, PartsCostKey);
        m.labor += amountUnder(record, LaborCostKey);
        m.tax += amountUnder(record, TaxCostKey);
        m.total += amountUnder(record, TotalCostKey);
        ++m.records;
    }
    return months;
}

namespace {

QString monthLabel(int year, int month, const char *skeleton)
{
    // A generator takes long to make and a chart labels every month: one
    // per thread, made again when the default locale changes.
    thread_local std::string generatorLocale;
    thread_local std::unique_ptr<icu::DateTimePatternGenerator> generator;
    UErrorCode status = U_ZERO_ERROR;
    const char *locale = icu::Locale::getDefault().getName();
    if (!generator || generatorLocale != locale) {
        generatorLocale = locale;
        generator.reset(icu::DateTimePatternGenerator::createInstance(icu::Locale::getDefault(), status));
    }
    QString pattern = QStringLiteral("MMM y");
    if (U_SUCCESS(status) && generator) {
        const icu::UnicodeString best = generator->getBestPattern(icu::UnicodeString(skeleton), status);
        if (U_SUCCESS(status) && !best.isEmpty())
            pattern = QString(reinterpret_cast<const QChar *>(best.getBuffer()), best.length());
    }
    // Mid-month noon: no zone change moves it into a neighbouring month.
    const QDateTime day = timeOfGregorianDay(year, month, 15).addSecs(12 * 3600);
    return NSDateUtilities::componentOfDate(day, pattern);
}

} // namespace

QString shortMonthLabel(int year, int month)
{
    return monthLabel(year, month, "yMMM");
}

QString longMonthLabel(int year, int month)
{
    return monthLabel(year, month, "yMMMM");
}

} // namespace kov
