#include "storage/clock.h"
#include "storage/dates.h"

#include <ctime>
#include <memory>

#include <QTest>
#include <QTimeZone>

#include <unicode/locid.h>
#include <unicode/timezone.h>

using namespace kov;
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

// Moves ICU and libc into another zone for one test; an empty id keeps the
// zone the program was started in.
class ZoneGuard {
public:
    explicit ZoneGuard(const QString &id)
        : m_active(!id.isEmpty()), m_hadTz(qEnvironmentVariableIsSet("TZ")), m_tz(qgetenv("TZ"))
    {
        if (!m_active)
            return;
        icu::TimeZone::adoptDefault(
            icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(id.toStdString())));
        qputenv("TZ", id.toUtf8());
        tzset();
    }
    ~ZoneGuard()
    {
        if (!m_active)
            return;
        m_hadTz ? qputenv("TZ", m_tz) : qunsetenv("TZ");
        tzset();
        icu::TimeZone::adoptDefault(m_saved.release());
    }

private:
    bool m_active, m_hadTz;
    QByteArray m_tz;
    std::unique_ptr<icu::TimeZone> m_saved{icu::TimeZone::createDefault()};
};

const QString NewYork = QStringLiteral("America/New_York");
const QString SaoPaulo = QStringLiteral("America/Sao_Paulo");

} // namespace

class Tst_dates : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(qstrcmp(icu::Locale::getDefault().getName(), "en_US") == 0,
                 "run through ctest, which pins LANG");
    }
    void cleanup() { Clock::setFixed({}); }

    void cleanseDate_data()
    {
        QTest::addColumn<QString>("zone");
        QTest::addColumn<QDateTime>("input");
        QTest::addColumn<QDateTime>("expected");
        QTest::newRow("afternoon") << NewYork << utc(2024, 3, 14, 19, 42, 10, 500) << utc(2024, 3, 14, 4);
        QTest::newRow("midnight stays") << NewYork << utc(2024, 3, 14, 4) << utc(2024, 3, 14, 4);
        QTest::newRow("spring forward") << NewYork << utc(2026, 3, 8, 16) << utc(2026, 3, 8, 5);
        QTest::newRow("fall back") << NewYork << utc(2026, 11, 2, 4) << utc(2026, 11, 1, 4);
        QTest::newRow("no midnight: Sao Paulo") << SaoPaulo << utc(2018, 11, 4, 14) << utc(2018, 11, 4, 3);
        QTest::newRow("no midnight: Beirut") << "Asia/Beirut" << utc(2024, 3, 31, 9) << utc(2024, 3, 30, 22);
        QTest::newRow("midnight twice: Havana")
            << "America/Havana" << utc(2024, 11, 3, 5, 30) << utc(2024, 11, 3, 4);
        QTest::newRow("day after a skipped day")
            << "Pacific/Apia" << utc(2011, 12, 30, 22) << utc(2011, 12, 30, 10);
        QTest::newRow("year 1, local mean time")
            << NewYork << utc(1, 3, 14, 15, 42) << utc(1, 3, 14, 4, 56, 2);
        QTest::newRow("year 9999") << NewYork << utc(9999, 12, 31, 20, 42) << utc(9999, 12, 31, 5);
    }
    void cleanseDate()
    {
        QFETCH(QString, zone);
        QFETCH(QDateTime, input);
        QFETCH(QDateTime, expected);
        ZoneGuard guard(zone);
        QCOMPARE(D::cleanseDate(input), expected);
        QCOMPARE(D::cleanseDate(expected), expected);
        QVERIFY(D::cleanseDate(expected.addMSecs(-1)) < expected); // nothing earlier is on that day
    }

    void invalidInInvalidOut()
    {
        QVERIFY(!D::cleanseDate({}).isValid());
        QVERIFY(!D::dateByAddingDays({}, 1, 0, 0).isValid());
        QVERIFY(D::shortStyleFromDate({}).isEmpty());
        QCOMPARE(D::daysInMonth({}), 0);
        QCOMPARE(D::diffDate({}, utc(2024, 1, 1), UnitDay), DateComponents());
    }

    void janFirstThisYear_data()
    {
        QTest::addColumn<QString>("zone");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("janFirst");
        QTest::addColumn<Ints>("janFirstLocal");
        QTest::addColumn<QDateTime>("startOfYear");
        const Ints eve{2023, 12, 31, 19, 0, 0};
        QTest::newRow("zone of the environment")
            << QString() << utc(2024, 6, 1) << utc(2024, 1, 1) << eve << utc(2024, 1, 1, 5);
        QTest::newRow("UTC-5") << "Etc/GMT+5" << utc(2024, 6, 1) << utc(2024, 1, 1) << eve
                               << utc(2024, 1, 1, 5);
        QTest::newRow("UTC-5, New Year's Eve")
            << "Etc/GMT+5" << utc(2025, 1, 1, 3) << utc(2024, 1, 1) << eve << utc(2024, 1, 1, 5);
        QTest::newRow("UTC+14, New Year") << "Etc/GMT-14" << utc(2023, 12, 31, 12) << utc(2024, 1, 1)
                                          << Ints{2024, 1, 1, 14, 0, 0} << utc(2023, 12, 31, 10);
    }
    void janFirstThisYear()
    {
        QFETCH(QString, zone);
        QFETCH(QDateTime, now);
        QFETCH(QDateTime, janFirst);
        QFETCH(Ints, janFirstLocal);
        QFETCH(QDateTime, startOfYear);
        ZoneGuard guard(zone);
        std::unique_ptr<icu::TimeZone> current(icu::TimeZone::createDefault());
        if (zone.isEmpty() && (current->getRawOffset() != -5 * 3600 * 1000 || current->useDaylightTime()))
            QSKIP("needs TZ at UTC-5 without daylight saving (tst_dates_fixed)");
        Clock::setFixed(now);
        QCOMPARE(D::janFirstThisYear(), janFirst);
        QCOMPARE(fields(gregorianDateOfTime(janFirst)), janFirstLocal);
        QCOMPARE(startOfCurrentYearLocal(), startOfYear);
        QCOMPARE(fields(gregorianDateOfTime(startOfYear)), (Ints{janFirst.date().year(), 1, 1, 0, 0, 0}));
    }

    void formatting_data()
    {
        QTest::addColumn<QString>("what"); // an operation, or else a pattern
        QTest::addColumn<QDateTime>("date");
        QTest::addColumn<QString>("expected");
        const QDateTime eve = utc(2024, 1, 1, 3); // 31 Dec 2023, 22:00 in New York
        QTest::newRow("year is local") << "year" << eve << "2023";
        QTest::newRow("day name") << "dayName" << eve << "Sunday";
        QTest::newRow("month name") << "monthName" << eve << "December";
        QTest::newRow("current month") << "currentMonth" << eve << "12";
        QTest::newRow("short style") << "short" << utc(2024, 3, 14, 19, 42) << "3/14/24";
        QTest::newRow("short style, evening") << "short" << utc(2024, 3, 15, 2) << "3/14/24";
        QTest::newRow("pattern") << "yyyy-MM-dd HH:mm:ss.SSS" << utc(2024, 3, 14, 19, 42, 10, 500)
                                 << "2024-03-14 15:42:10.500";
        QTest::newRow("year 1 is proleptic") << "yyyy-MM-dd" << utc(1, 3, 14, 12) << "0001-03-14";
    }
    void formatting()
    {
        QFETCH(QString, what);
        QFETCH(QDateTime, date);
        QFETCH(QString, expected);
        using Fn = QString (*)(const QDateTime &);
        static const QHash<QString, Fn> ops{
            {"year", &D::yearFromDate},
            {"day", &D::dayFromDate},
            {"dayName", &D::dayNameFromDate},
            {"monthName", &D::monthNameFromDate},
            {"short", &D::shortStyleFromDate},
            {"currentMonth", [](const QDateTime &) { return D::currentMonth(); }},
        };
        ZoneGuard guard(NewYork);
        Clock::setFixed(date);
        const Fn op = ops.value(what);
        QCOMPARE(op ? op(date) : D::componentOfDate(date, what), expected);
    }

    void names_data()
    {
        QTest::addColumn<bool>("weekday");
        QTest::addColumn<QString>("name"); // null: no month has that number
        QTest::addColumn<int>("number");
        QTest::newRow("December") << false << "December" << 12;
        QTest::newRow("month, wrong case") << false << "december" << 0;
        QTest::newRow("month 0") << false << QString() << 0;
        QTest::newRow("month 13") << false << QString() << 13;
        QTest::newRow("Sunday") << true << "Sunday" << 0;
        QTest::newRow("weekday, wrong case") << true << "sunday" << -1;
    }
    void names()
    {
        QFETCH(bool, weekday);
        QFETCH(QString, name);
        QFETCH(int, number);
        if (weekday) {
            QCOMPARE(D::dayNumberFromName(name), number);
        } else if (name.isNull()) {
            QVERIFY(D::monthNameFromNumber(number).isNull());
        } else {
            QCOMPARE(D::monthNumberFromName(name), number);
            if (number != 0)
                QCOMPARE(D::monthNameFromNumber(number), name);
        }
    }

    void daysInMonth_data()
    {
        QTest::addColumn<QDateTime>("date");
        QTest::addColumn<int>("expected");
        QTest::newRow("Feb 2012") << utc(2012, 2, 15, 17) << 29;
        QTest::newRow("29 Feb 2012, evening") << utc(2012, 3, 1, 3) << 29;
        QTest::newRow("Feb 2013") << utc(2013, 2, 1, 5) << 28;
        QTest::newRow("Feb 100, proleptic") << utc(100, 2, 10, 12) << 28;
    }
    void daysInMonth()
    {
        QFETCH(QDateTime, date);
        QFETCH(int, expected);
        ZoneGuard guard(NewYork);
        QCOMPARE(D::daysInMonth(date), expected);
    }

    void dateByAddingDays_data()
    {
        QTest::addColumn<QDateTime>("date");
        QTest::addColumn<Ints>("daysMonthsYears");
        QTest::addColumn<QDateTime>("expected");
        // Noon in New York throughout.
        QTest::newRow("onto 29 Feb") << utc(2024, 1, 31, 17) << Ints{0, 1, 0} << utc(2024, 2, 29, 17);
        QTest::newRow("back onto 28 Feb") << utc(2023, 3, 31, 16) << Ints{0, -1, 0} << utc(2023, 2, 28, 17);
        QTest::newRow("months before days") << utc(2024, 1, 30, 17) << Ints{1, 1, 0} << utc(2024, 3, 1, 17);
        QTest::newRow("years before months") << utc(2024, 2, 29, 17) << Ints{0, 1, 1} << utc(2025, 3, 28, 16);
        QTest::newRow("DST keeps wall time") << utc(2026, 3, 7, 17) << Ints{1, 0, 0} << utc(2026, 3, 8, 16);
        QTest::newRow("into 9999") << utc(9998, 12, 31, 17) << Ints{0, 0, 1} << utc(9999, 12, 31, 17);
    }
    void dateByAddingDays()
    {
        QFETCH(QDateTime, date);
        QFETCH(Ints, daysMonthsYears);
        QFETCH(QDateTime, expected);
        ZoneGuard guard(NewYork);
        const Ints &n = daysMonthsYears;
        QCOMPARE(D::dateByAddingDays(date, n[0], n[1], n[2]), expected);
    }

    void diffDate_data()
    {
        QTest::addColumn<QDateTime>("first");
        QTest::addColumn<QDateTime>("second");
        QTest::addColumn<int>("units");
        QTest::addColumn<Ints>("expected");
        const QDateTime sat = utc(2026, 3, 7, 17), sun = utc(2026, 3, 8, 16); // noon to noon over DST
        const int all = UnitYear | UnitMonth | UnitDay | UnitHour | UnitMinute | UnitSecond;
        QTest::newRow("month, then day")
            << utc(2024, 1, 31, 17) << utc(2024, 3, 1, 17) << (UnitMonth | UnitDay) << Ints{0, 1, 1, 0, 0, 0};
        QTest::newRow("DST day is a day") << sat << sun << all << Ints{0, 0, 1, 0, 0, 0};
        QTest::newRow("DST day is 23 hours") << sat << sun << int(UnitHour) << Ints{0, 0, 0, 23, 0, 0};
        QTest::newRow("every unit") << utc(2024, 3, 14, 19, 42, 10) << utc(2025, 5, 16, 22, 45, 50) << all
                                    << Ints{1, 2, 2, 3, 3, 40};
        QTest::newRow("year 1 to 9999") << utc(1, 1, 1, 12) << utc(9999, 12, 31, 17)
                                        << (UnitYear | UnitMonth | UnitDay) << Ints{9998, 11, 30, 0, 0, 0};
    }
    void diffDate()
    {
        QFETCH(QDateTime, first);
        QFETCH(QDateTime, second);
        QFETCH(int, units);
        QFETCH(Ints, expected);
        ZoneGuard guard(NewYork);
        QCOMPARE(fields(D::diffDate(first, second, units)), expected);
    }

    void followsLocaleChange()
    {
        ZoneGuard guard(NewYork);
        const icu::Locale saved = icu::Locale::getDefault();
        const QDateTime pi = utc(2024, 3, 14, 19, 42);
        QCOMPARE(D::monthNameFromNumber(3), QStringLiteral("March"));
        UErrorCode st = U_ZERO_ERROR;
        icu::Locale::setDefault(icu::Locale("de_DE"), st);
        const QStringList german{D::monthNameFromNumber(3), D::shortStyleFromDate(pi)};
        const int sunday = D::dayNumberFromName(QStringLiteral("Sonntag"));
        icu::Locale::setDefault(saved, st);
        QCOMPARE(german, (QStringList{QStringLiteral("März"), QStringLiteral("14.03.24")}));
        QCOMPARE(sunday, 0);
        QCOMPARE(D::shortStyleFromDate(pi), QStringLiteral("3/14/24"));
    }
};

QTEST_GUILESS_MAIN(Tst_dates)
#include "tst_dates.moc"
