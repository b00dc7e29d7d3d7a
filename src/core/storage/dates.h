// Date rules: every stored or compared date goes through these. All work in
// the default time zone (TZ) and the user's locale, through ICU.
#pragma once

#include <QDateTime>
#include <QString>

namespace kov {

// Calendar units for diffDate.
enum DateUnit {
    UnitYear = 1 << 0,
    UnitMonth = 1 << 1,
    UnitDay = 1 << 2,
    UnitHour = 1 << 3,
    UnitMinute = 1 << 4,
    UnitSecond = 1 << 5,
};

struct DateComponents {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    bool operator==(const DateComponents &) const = default;
};

// The date operations of the application (one class, static members).
// For one pass over many dates on this thread: the default time zone and
// locale are taken as they stand when it begins, instead of being looked
// up again for every date. Neither may change while it lasts.
class DatePass {
public:
    DatePass();
    ~DatePass();
    DatePass(const DatePass &) = delete;
    DatePass &operator=(const DatePass &) = delete;
};

class NSDateUtilities {
public:
    // Start of the date's day in the default time zone; on a day whose local
    // midnight does not exist, the first instant of that day. Invalid in,
    // invalid out.
    static QDateTime cleanseDate(const QDateTime &date);
    // The date formatted with an ICU (UTS #35) pattern in the user's locale.
    static QString componentOfDate(const QDateTime &date, const QString &pattern);
    static QString shortStyleFromDate(const QDateTime &date);
    static QString mediumStyleFromDate(const QDateTime &date);
    static QString yearFromDate(const QDateTime &date);
    static QString monthFromDate(const QDateTime &date);
    static QString dayFromDate(const QDateTime &date);
    static QString currentYear();
    static QString currentMonth();
    static QString currentDay();
    static QString dayNameFromDate(const QDateTime &date);
    static QString monthNameFromDate(const QDateTime &date);
    // 1-based; 0 when the name is not one of the locale's full month names.
    static int monthNumberFromName(const QString &name);
    // Empty (null) string below 1 or above 12.
    static QString monthNameFromNumber(int number);
    // 0-based (Sunday 0 in the Gregorian calendar); -1 when absent.
    static int dayNumberFromName(const QString &name);
    static int daysInMonth(const QDateTime &date);
    // Midnight of 1 January of the current (local) year in UTC.
    static QDateTime janFirstThisYear();
    static QDateTime dateByAddingDays(const QDateTime &date, int days, int months, int years);
    // From `first` to `second`, split into the given units (DateUnit flags).
    static DateComponents diffDate(const QDateTime &first, const QDateTime &second, int units);
};

// Plain calendar functions, in the Gregorian calendar of the default zone.
QDateTime currentAbsoluteTime();
DateComponents gregorianDateOfTime(const QDateTime &instant);
QDateTime timeOfGregorianDay(int year, int month, int day);
QDateTime startOfCurrentYearLocal();

} // namespace kov
