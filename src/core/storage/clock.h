// The one source of "now"; tests set it.
#pragma once

#include <QDateTime>

namespace kov {

class Clock {
public:
    // The current instant (UTC), or the fixed instant a test has set.
    static QDateTime now();
    // Fix "now" at `when`; an invalid QDateTime returns to the real clock.
    static void setFixed(const QDateTime &when);
};

} // namespace kov
