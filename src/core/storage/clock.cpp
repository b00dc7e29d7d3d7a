#include "storage/clock.h"

namespace kov {

namespace {
QDateTime &fixedNow()
{
    static QDateTime fixed;
    return fixed;
}
} // namespace

QDateTime Clock::now()
{
    const QDateTime &fixed = fixedNow();
    return fixed.isValid() ? fixed : QDateTime::currentDateTimeUtc();
}

void Clock::setFixed(const QDateTime &when)
{
    fixedNow() = when.isValid() ? when.toUTC() : QDateTime();
}

} // namespace kov
