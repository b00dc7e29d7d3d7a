#include "storage/dates.h"

#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>

#include <QTimeZone>

#include <unicode/basictz.h>
#include <unicode/calendar.h>
#include <unicode/datefmt.h>
#include <unicode/dtfmtsym.h>
#include <unicode/gregocal.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/tztrans.h>

#include "storage/clock.h"

namespace kov {

namespace {

constexpr double kMsPerDay = 86400000.0;
constexpr int32_t kEpochJulianDay = 2440588; // ICU's Julian day of 1970-01-01

icu::UnicodeString toIcu(const QString &s)
{
    return icu::UnicodeString(reinterpret_cast<const char16_t *>(s.constData()), int32_t(s.size()));
}

QString fromIcu(const icu::UnicodeString &s)
{
    return QString(reinterpret_cast<const QChar *>(s.getBuffer()), s.length());
}

UDate toUDate(const QDateTime &dt)
{
    return double(dt.toMSecsSinceEpoch());
}

QDateTime fromUDate(UDate d)
{
    return QDateTime::fromMSecsSinceEpoch(qint64(std::floor(d)), QTimeZone::utc());
}

// A Gregorian-based calendar runs proleptic, as QDate does, so a date before
// 1582 names the same day here as in the date pickers.
void makeProleptic(icu::Calendar &cal)
{
    if (auto *greg = dynamic_cast<icu::GregorianCalendar *>(&cal)) {
        UErrorCode st = U_ZERO_ERROR;
        greg->setGregorianChange(U_DATE_MIN, st);
    }
}

// Lenient, and a wall time that does not exist or occurs twice resolves to
// the earliest instant that can carry it: that is what "start of day" means.
void configure(icu::Calendar &cal)
{
    cal.setLenient(true);
    cal.setSkippedWallTimeOption(UCAL_WALLTIME_NEXT_VALID);
    cal.setRepeatedWallTimeOption(UCAL_WALLTIME_FIRST);
    makeProleptic(cal);
}

// Calendars and formatters are costly to build and cleanseDate runs once per
// record, so each thread keeps one set for the current default zone and
// locale and rebuilds it when either changes.
struct IcuContext {
    std::string localeName;
    std::unique_ptr<icu::TimeZone> zone;
    std::unique_ptr<icu::Calendar> calendar; // the locale's own calendar
    std::unique_ptr<icu::GregorianCalendar> gregorian;
    std::map<icu::UnicodeString, std::unique_ptr<icu::DateFormat>> formats;
    std::unique_ptr<icu::DateFormat> shortStyle;
    std::unique_ptr<icu::DateFormat> mediumStyle;
    // cleanseDate's answers by instant: a log holds one stored instant per
    // service day, so a whole log comes down to a few thousand of them.
    std::unordered_map<qint64, UDate> startsOfDay;

    std::unique_ptr<icu::Calendar> newCalendar() const
    {
        UErrorCode st = U_ZERO_ERROR;
        std::unique_ptr<icu::Calendar> cal(
            icu::Calendar::createInstance(zone->clone(), icu::Locale(localeName.c_str()), st));
        if (U_FAILURE(st) || !cal)
            return nullptr;
        configure(*cal);
        return cal;
    }

    // A formatter with the calendar above, or null when ICU cannot make one.
    icu::DateFormat *adopt(icu::DateFormat *fmt) const
    {
        if (fmt) {
            if (auto cal = newCalendar())
                fmt->adoptCalendar(cal.release());
        }
        return fmt;
    }

    icu::DateFormat *format(const QString &pattern)
    {
        const icu::UnicodeString key = toIcu(pattern);
        auto it = formats.find(key);
        if (it != formats.end())
            return it->second.get();
        if (formats.size() >= 32) // componentOfDate takes any pattern
            formats.clear();
        UErrorCode st = U_ZERO_ERROR;
        auto fmt = std::make_unique<icu::SimpleDateFormat>(key, icu::Locale(localeName.c_str()), st);
        if (U_FAILURE(st))
            return nullptr;
        std::unique_ptr<icu::DateFormat> owned(adopt(fmt.release()));
        return formats.emplace(key, std::move(owned)).first->second.get();
    }

    icu::DateFormat *shortFormat()
    {
        if (!shortStyle)
            shortStyle.reset(adopt(icu::DateFormat::createDateInstance(icu::DateFormat::kShort,
                                                                       icu::Locale(localeName.c_str()))));
        return shortStyle.get();
    }

    icu::DateFormat *mediumFormat()
    {
        if (!mediumStyle)
            mediumStyle.reset(adopt(icu::DateFormat::createDateInstance(icu::DateFormat::kMedium,
                                                                        icu::Locale(localeName.c_str()))));
        return mediumStyle.get();
    }

    const icu::DateFormatSymbols *symbols()
    {
        auto *sdf = dynamic_cast<icu::SimpleDateFormat *>(format(QStringLiteral("MMMM")));
        return sdf ? sdf->getDateFormatSymbols() : nullptr;
    }
};

thread_local int datePasses = 0;

IcuContext &context()
{
    thread_local IcuContext ctx;
    if (datePasses > 0 && ctx.zone)
        return ctx;
    const char *locale = icu::Locale::getDefault().getName();
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createDefault());
    if (ctx.zone && *ctx.zone == *zone && ctx.localeName == locale)
        return ctx;
    ctx = IcuContext();
    ctx.localeName = locale;
    ctx.zone = std::move(zone);
    ctx.calendar = ctx.newCalendar();
    UErrorCode st = U_ZERO_ERROR;
    ctx.gregorian = std::make_unique<icu::GregorianCalendar>(ctx.zone->clone(), icu::Locale(locale), st);
    configure(*ctx.gregorian);
    return ctx;
}

int32_t localJulianDay(icu::Calendar &cal, UDate t)
{
    UErrorCode st = U_ZERO_ERROR;
    cal.setTime(t, st);
    return cal.get(UCAL_JULIAN_DAY, st);
}

// Walks the zone's offset periods from well before the day: the day starts
// either at a transition that lands in it or where the wall clock of one
// period reads its midnight.
UDate searchStartOfDay(icu::Calendar &cal, int32_t jd, UDate fallback)
{
    const auto *zone = dynamic_cast<const icu::BasicTimeZone *>(&cal.getTimeZone());
    if (!zone)
        return fallback;
    const UDate wallMidnight = double(jd - kEpochJulianDay) * kMsPerDay;
    const UDate end = wallMidnight + 2 * kMsPerDay;
    UDate from = wallMidnight - 2 * kMsPerDay;
    while (from < end) {
        icu::TimeZoneTransition next;
        UDate until = zone->getNextTransition(from, false, next) ? next.getTime() : end;
        if (localJulianDay(cal, from) == jd)
            return from;
        UErrorCode st = U_ZERO_ERROR;
        int32_t raw = 0, dst = 0;
        zone->getOffset(from, false, raw, dst, st);
        const UDate midnight = wallMidnight - raw - dst;
        if (U_SUCCESS(st) && midnight > from && midnight < until)
            return midnight;
        from = until;
    }
    return fallback;
}

// The first instant of local Julian day `jd`. ICU's lenient resolution gets
// it right in every zone we know of; the check guards against the rest.
UDate startOfDay(icu::Calendar &cal, int32_t jd)
{
    UErrorCode st = U_ZERO_ERROR;
    cal.clear();
    cal.set(UCAL_JULIAN_DAY, jd);
    const UDate start = cal.getTime(st);
    if (U_SUCCESS(st) && localJulianDay(cal, start) == jd && localJulianDay(cal, start - 1) != jd)
        return start;
    return searchStartOfDay(cal, jd, start);
}

QString formatWith(icu::DateFormat *fmt, const QDateTime &date)
{
    if (!fmt || !date.isValid())
        return {};
    icu::UnicodeString out;
    fmt->format(toUDate(date), out);
    return fromIcu(out);
}

} // namespace

DatePass::DatePass()
{
    context();
    ++datePasses;
}

DatePass::~DatePass()
{
    --datePasses;
}

QDateTime NSDateUtilities::cleanseDate(const QDateTime &date)
{
    IcuContext &ctx = context();
    icu::Calendar *cal = ctx.calendar.get();
    if (!date.isValid() || !cal)
        return {};
    const qint64 instant = date.toMSecsSinceEpoch();
    if (const auto it = ctx.startsOfDay.find(instant); it != ctx.startsOfDay.end())
        return fromUDate(it->second);
    const UDate start = startOfDay(*cal, localJulianDay(*cal, toUDate(date)));
    if (ctx.startsOfDay.size() >= 100000)
        ctx.startsOfDay.clear();
    ctx.startsOfDay.emplace(instant, start);
    return fromUDate(start);
}

QString NSDateUtilities::componentOfDate(const QDateTime &date, const QString &pattern)
{
    return formatWith(context().format(pattern), date);
}

QString NSDateUtilities::shortStyleFromDate(const QDateTime &date)
{
    return formatWith(context().shortFormat(), date);
}

QString NSDateUtilities::mediumStyleFromDate(const QDateTime &date)
{
    return formatWith(context().mediumFormat(), date);
}

QString NSDateUtilities::yearFromDate(const QDateTime &date)
{
    return componentOfDate(date, QStringLiteral("yyyy"));
}

QString NSDateUtilities::monthFromDate(const QDateTime &date)
{
    return componentOfDate(date, QStringLiteral("MM"));
}

QString NSDateUtilities::dayFromDate(const QDateTime &date)
{
    return componentOfDate(date, QStringLiteral("dd"));
}

QString NSDateUtilities::currentYear()
{
    return yearFromDate(Clock::now());
}

QString NSDateUtilities::currentMonth()
{
    return monthFromDate(Clock::now());
}

QString NSDateUtilities::currentDay()
{
    return dayFromDate(Clock::now());
}

QString NSDateUtilities::dayNameFromDate(const QDateTime &date)
{
    return componentOfDate(date, QStringLiteral("EEEE"));
}

QString NSDateUtilities::monthNameFromDate(const QDateTime &date)
{
    return componentOfDate(date, QStringLiteral("MMMM"));
}

int NSDateUtilities::monthNumberFromName(const QString &name)
{
    const icu::DateFormatSymbols *syms = context().symbols();
    if (!syms)
        return 0;
    int32_t count = 0;
    const icu::UnicodeString *months =
        syms->getMonths(count, icu::DateFormatSymbols::FORMAT, icu::DateFormatSymbols::WIDE);
    const icu::UnicodeString wanted = toIcu(name);
    for (int32_t i = 0; i < count; ++i) {
        if (months[i] == wanted)
            return i + 1;
    }
    return 0;
}

QString NSDateUtilities::monthNameFromNumber(int number)
{
    if (number < 1 || number > 12)
        return {};
    const icu::DateFormatSymbols *syms = context().symbols();
    if (!syms)
        return {};
    int32_t count = 0;
    const icu::UnicodeString *months =
        syms->getMonths(count, icu::DateFormatSymbols::FORMAT, icu::DateFormatSymbols::WIDE);
    return number <= count ? fromIcu(months[number - 1]) : QString();
}

int NSDateUtilities::dayNumberFromName(const QString &name)
{
    const icu::DateFormatSymbols *syms = context().symbols();
    if (!syms)
        return -1;
    int32_t count = 0;
    // ICU's list is indexed by UCAL_SUNDAY (1) onwards; slot 0 is empty.
    const icu::UnicodeString *days =
        syms->getWeekdays(count, icu::DateFormatSymbols::FORMAT, icu::DateFormatSymbols::WIDE);
    const icu::UnicodeString wanted = toIcu(name);
    for (int32_t i = UCAL_SUNDAY; i < count; ++i) {
        if (days[i] == wanted)
            return i - UCAL_SUNDAY;
    }
    return -1;
}

int NSDateUtilities::daysInMonth(const QDateTime &date)
{
    icu::Calendar *cal = context().calendar.get();
    if (!date.isValid() || !cal)
        return 0;
    UErrorCode st = U_ZERO_ERROR;
    cal->setTime(toUDate(date), st);
    const int32_t first = cal->getActualMinimum(UCAL_DAY_OF_MONTH, st);
    const int32_t last = cal->getActualMaximum(UCAL_DAY_OF_MONTH, st);
    return U_SUCCESS(st) ? last - first + 1 : 0;
}

QDateTime NSDateUtilities::janFirstThisYear()
{
    // The year text is local, the midnight is UTC: the two differ by the
    // local offset, as the dates of old files do.
    const QString text = currentYear() + QStringLiteral("-01-01 00:00:00 +0000");
    UErrorCode st = U_ZERO_ERROR;
    icu::SimpleDateFormat parser(icu::UnicodeString(u"yyyy-MM-dd HH:mm:ss Z"), icu::Locale("en_US_POSIX"),
                                 st);
    if (U_FAILURE(st))
        return {};
    auto *cal = new icu::GregorianCalendar(icu::TimeZone::getGMT()->clone(), icu::Locale("en_US_POSIX"), st);
    makeProleptic(*cal);
    parser.adoptCalendar(cal);
    parser.setLenient(false);
    icu::ParsePosition pos(0);
    const icu::UnicodeString source = toIcu(text);
    const UDate d = parser.parse(source, pos);
    if (pos.getErrorIndex() >= 0 || pos.getIndex() != source.length())
        return {};
    return fromUDate(d);
}

QDateTime NSDateUtilities::dateByAddingDays(const QDateTime &date, int days, int months, int years)
{
    icu::Calendar *cal = context().calendar.get();
    if (!date.isValid() || !cal)
        return {};
    // Largest unit first, each pinned to the month's end before the next.
    UErrorCode st = U_ZERO_ERROR;
    cal->setTime(toUDate(date), st);
    cal->add(UCAL_YEAR, years, st);
    cal->add(UCAL_MONTH, months, st);
    cal->add(UCAL_DATE, days, st);
    const UDate d = cal->getTime(st);
    return U_SUCCESS(st) ? fromUDate(d) : QDateTime();
}

DateComponents NSDateUtilities::diffDate(const QDateTime &first, const QDateTime &second, int units)
{
    DateComponents out;
    icu::Calendar *cal = context().calendar.get();
    if (!first.isValid() || !second.isValid() || !cal)
        return out;
    const struct {
        int unit;
        UCalendarDateFields field;
        int DateComponents::*member;
    } steps[] = {
        {UnitYear, UCAL_YEAR, &DateComponents::year},
        {UnitMonth, UCAL_MONTH, &DateComponents::month},
        {UnitDay, UCAL_DATE, &DateComponents::day},
        {UnitHour, UCAL_HOUR_OF_DAY, &DateComponents::hour},
        {UnitMinute, UCAL_MINUTE, &DateComponents::minute},
        {UnitSecond, UCAL_SECOND, &DateComponents::second},
    };
    UErrorCode st = U_ZERO_ERROR;
    cal->setTime(toUDate(first), st);
    const UDate target = toUDate(second);
    // fieldDifference moves the calendar on, so each unit gets the remainder.
    for (const auto &s : steps) {
        if (units & s.unit)
            out.*s.member = cal->fieldDifference(target, s.field, st);
    }
    return U_SUCCESS(st) ? out : DateComponents();
}

QDateTime currentAbsoluteTime()
{
    return Clock::now();
}

DateComponents gregorianDateOfTime(const QDateTime &instant)
{
    icu::GregorianCalendar *cal = context().gregorian.get();
    if (!instant.isValid() || !cal)
        return {};
    UErrorCode st = U_ZERO_ERROR;
    cal->setTime(toUDate(instant), st);
    DateComponents c;
    c.year = cal->get(UCAL_EXTENDED_YEAR, st);
    c.month = cal->get(UCAL_MONTH, st) + 1;
    c.day = cal->get(UCAL_DATE, st);
    c.hour = cal->get(UCAL_HOUR_OF_DAY, st);
    c.minute = cal->get(UCAL_MINUTE, st);
    c.second = cal->get(UCAL_SECOND, st);
    return U_SUCCESS(st) ? c : DateComponents();
}

QDateTime timeOfGregorianDay(int year, int month, int day)
{
    icu::GregorianCalendar *cal = context().gregorian.get();
    if (!cal)
        return {};
    // Out-of-range months and days roll over, as the calendar's lenient mode does.
    UErrorCode st = U_ZERO_ERROR;
    cal->clear();
    cal->set(UCAL_EXTENDED_YEAR, year);
    cal->set(UCAL_MONTH, month - 1);
    cal->set(UCAL_DATE, day);
    const int32_t jd = cal->get(UCAL_JULIAN_DAY, st);
    return U_SUCCESS(st) ? fromUDate(startOfDay(*cal, jd)) : QDateTime();
}

QDateTime startOfCurrentYearLocal()
{
    const DateComponents now = gregorianDateOfTime(Clock::now());
    return timeOfGregorianDay(now.year, 1, 1);
}

} // namespace kov
