// What the upkeep cost over a date range: the four totals, their averages
// per mean month, and the same costs per calendar month for the chart.
// Shared by tab 3, the reports and kov-cli.
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include "storage/records.h"

namespace kov {

// One twelfth of 365.242199 days; months of averages are never counted on
// the calendar.
inline constexpr double MeanMonthSeconds = 2629743.8328;

// The sum of one cost key over the records, in list order; a record without
// the key, or whose value is no amount, adds nothing.
double calcTotalCost(const RecordList &records, const QString &key);

// From `otherDate` to `date` in mean months, fractional seconds included;
// not rounded, and negative when `otherDate` is the later one.
double calcElapsedMonths(const QDateTime &date, const QDateTime &otherDate);

// The total per month; below one month (or not a number) the total itself.
double calcAvgCost(double total, double months);

// The amount rounded to cents the way the number patterns round it (its
// shortest decimal digits, half-even), so that a script reads what the
// window shows.
double centsAsShown(double amount);

// The figures of one selection.
struct CostFigures {
    qsizetype records = 0;
    double months = 0;
    double total = 0, parts = 0, labor = 0, tax = 0;
    double avgTotal = 0, avgParts = 0, avgLabor = 0, avgTax = 0;
};

// The figures of the qualifying records over the range from `begin` to
// `end`, taken as given, time of day included.
CostFigures calcCostFigures(const RecordList &records, const QDateTime &begin, const QDateTime &end);

// The costs of one local calendar month.
struct MonthCosts {
    int year = 0;
    int month = 0; // 1 to 12
    double parts = 0, labor = 0, tax = 0;
    // The stored totals, so that the months add up to the figures' total.
    double total = 0;
    qsizetype records = 0;
    bool operator==(const MonthCosts &) const = default;
};

// One entry per local calendar month from the month of `begin` to that of
// `end` (none when `begin` is later), each holding the costs of the records
// whose service date falls in it. Records dated outside those months, or
// undated, are left out.
QList<MonthCosts> costsPerMonth(const RecordList &records, const QDateTime &begin, const QDateTime &end);

// The locale's short month and year ("Mar 2026"), and the long form
// ("March 2026"), for a month of costsPerMonth.
QString shortMonthLabel(int year, int month);
QString longMonthLabel(int year, int month);

} // namespace kov
