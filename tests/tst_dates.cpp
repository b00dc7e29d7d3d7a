// Date rules through ICU, in the zone and locale ctest pins (also run with
// TZ=EST5 as tst_dates_fixed), and in zones with odd midnights.
#include "storage/clock.h"
#include "storage/dates.h"

#include <QTest>
#include <QTimeZone>

#include <unicode/locid.h>
#include <unicode/timezone.h>

#include "testsupport.h"

using namespace kov;
using namespace Qt::StringLiterals;
using D = NSDateUtilities;
using Ints = QList<int>;

namespace {

QDateTime utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), QTimeZone::utc());
}

Ints fields(const DateComponents &c)
{
    return {c.year, c.month, c.day, c.hour, c.minute, c.second};
}

// ICU's default zone for one test; an empty id keeps the program's zone.
struct ZoneGuard {
    std::unique_ptr<icu::TimeZone> saved{icu::TimeZone::createDefault()};
    explicit ZoneGuard(const QString &id)
    {
        if (!id.isEmpty())
            icu::TimeZone::adoptDefault(
                icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(id.toStdString())));
    }
    ~ZoneGuard() { icu::TimeZone::adoptDefault(saved.release()); }
};

const QString NewYork = u"America/New_York"_s;

} // namespace

class Tst_dates : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QCOMPARE(icu::Locale::getDefault().getName(), "en_US"); } // ctest pins LANG
    void cleanup() { Clock::setFixed({}); }

    // A day starts at its first instant, even where midnight is skipped or
    // happens twice; nothing earlier is on that day.
    void cleanseDate_data()
    {
        QTest::addColumn<QString>("zone");
        QTest::addColumn<QDateTime>("input");
        QTest::addColumn<QDateTime>("expected");
        QTest::newRow("spring forward") << NewYork << utc(2026, 3, 8, 16) << utc(2026, 3, 8, 5);
        QTest::newRow("fall back") << NewYork << utc(2026, 11, 2, 4) << utc(2026, 11, 1, 4);
        QTest::newRow("no midnight") << u"America/Sao_Paulo"_s << utc(2018, 11, 4, 14) << utc(2018, 11, 4, 3);
        QTest::newRow("midnight twice")
            << u"America/Havana"_s << utc(2024, 11, 3, 5, 30) << utc(2024, 11, 3, 4);
        QTest::newRow("after a skipped day")
            << u"Pacific/Apia"_s << utc(2011, 12, 30, 22) << utc(2011, 12, 30, 10);
        QTest::newRow("year 1, local mean time")
            << NewYork << utc(1, 3, 14, 15, 42) << utc(1, 3, 14, 4, 56, 2);
    }
    void cleanseDate()
    {
        QFETCH(QString, zone);
        QFETCH(QDateTime, input);
        QFETCH(QDateTime, expected);
        ZoneGuard guard(zone);
        QCOMPARE(D::cleanseDate(input), expected);
        QCOMPARE(D::cleanseDate(expected), expected);
        QVERIFY(D::cleanseDate(expected.addMSecs(-1)) < expected);
    }

    // 1 January of the local year at UTC midnight (as old files hold it), and
    // the local start of that year, on either side of New Year.
    void janFirstThisYear()
    {
        Clock::setFixed(utc(2025, 1, 1, 3)); // New Year's Eve in the zone of the environment
        QCOMPARE(D::janFirstThisYear(), utc(2024, 1, 1));
        QCOMPARE(startOfCurrentYearLocal(), utc(2024, 1, 1, 5));
        QCOMPARE(fields(gregorianDateOfTime(utc(2024, 1, 1, 5))), (Ints{2024, 1, 1, 0, 0, 0}));
        ZoneGuard guard(u"Etc/GMT-14"_s);
        Clock::setFixed(utc(2023, 12, 31, 12)); // New Year in UTC+14
        QCOMPARE(D::janFirstThisYear(), utc(2024, 1, 1));
        QCOMPARE(startOfCurrentYearLocal(), utc(2023, 12, 31, 10));
    }

    // Texts and numbers are local: late on 31 December in New York is 2024 in UTC.
    void localTexts()
    {
        ZoneGuard guard(NewYork);
        const QDateTime eve = utc(2024, 1, 1, 3);
        Clock::setFixed(eve);
        QCOMPARE(D::yearFromDate(eve), u"2023"_s);
        QCOMPARE(D::monthNameFromDate(eve), u"December"_s);
        QCOMPARE(D::currentMonth(), u"12"_s);
        QCOMPARE(D::shortStyleFromDate(utc(2024, 3, 15, 2)), u"3/14/24"_s);
        QCOMPARE(D::componentOfDate(utc(1, 3, 14, 19, 42, 10, 500), u"yyyy-MM-dd HH:mm:ss.SSS"_s),
                 u"0001-03-14 14:46:08.500"_s); // proleptic, as the date pickers
        QCOMPARE(D::daysInMonth(utc(2012, 3, 1, 3)), 29);
        QCOMPARE(D::monthNumberFromName(u"December"_s), 12);
        QVERIFY(D::monthNameFromNumber(0).isNull() && D::monthNameFromNumber(13).isNull());
        QCOMPARE(D::dayNumberFromName(u"Sunday"_s), 0);
        QCOMPARE(D::dayNumberFromName(u"sunday"_s), -1);
        QVERIFY(!D::cleanseDate({}).isValid() && !D::dateByAddingDays({}, 1, 0, 0).isValid());
        QVERIFY(D::shortStyleFromDate({}).isEmpty() && D::daysInMonth({}) == 0 &&
                D::diffDate({}, eve, UnitDay) == DateComponents());
    }

    // Adding: largest unit first, each pinned to the end of its month; a day
    // over a clock change keeps the wall time (noon in New York throughout).
    // Differences: each unit gets what the larger ones leave.
    void calendarArithmetic()
    {
        ZoneGuard guard(NewYork);
        QCOMPARE(D::dateByAddingDays(utc(2024, 1, 30, 17), 1, 1, 0), utc(2024, 3, 1, 17));
        QCOMPARE(D::dateByAddingDays(utc(2024, 2, 29, 17), 0, 1, 1), utc(2025, 3, 28, 16));
        const QDateTime sat = utc(2026, 3, 7, 17), sun = utc(2026, 3, 8, 16);
        QCOMPARE(D::dateByAddingDays(sat, 1, 0, 0), sun);
        const int all = UnitYear | UnitMonth | UnitDay | UnitHour | UnitMinute | UnitSecond;
        QCOMPARE(fields(D::diffDate(sat, sun, all)), (Ints{0, 0, 1, 0, 0, 0}));
        QCOMPARE(fields(D::diffDate(sat, sun, UnitHour)), (Ints{0, 0, 0, 23, 0, 0}));
        QCOMPARE(fields(D::diffDate(utc(2024, 3, 14, 19, 42, 10), utc(2025, 5, 16, 22, 45, 50), all)),
                 (Ints{1, 2, 2, 3, 3, 40}));
    }

    // Cached calendars and formatters follow a change of the user's locale.
    void followsLocaleChange()
    {
        ZoneGuard guard(NewYork);
        const QDateTime pi = utc(2024, 3, 14, 19, 42);
        QCOMPARE(D::monthNameFromNumber(3), u"March"_s);
        {
            test::LocaleScope german(u"de_DE"_s);
            QCOMPARE(D::monthNameFromNumber(3), u"März"_s);
            QCOMPARE(D::shortStyleFromDate(pi), u"14.03.24"_s);
        }
        QCOMPARE(D::shortStyleFromDate(pi), u"3/14/24"_s);
    }
};

QTEST_GUILESS_MAIN(Tst_dates)
#include "tst_dates.moc"
