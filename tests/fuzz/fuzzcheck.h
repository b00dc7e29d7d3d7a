// What the fuzz targets share: stopping the run with a message when an
// invariant fails (abort(), so libFuzzer saves the input and the replay
// test fails).
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace kov::fuzz {

[[noreturn]] inline void fail(const char *what, const QString &detail = QString())
{
    std::fprintf(stderr, "invariant broken: %s\n%s\n", what, detail.toUtf8().constData());
    std::fflush(stderr);
    std::abort();
}

inline void check(bool ok, const char *what, const QString &detail = QString())
{
    if (!ok)
        fail(what, detail);
}

// A text shown as its UTF-16 units, so that lone surrogates and controls
// are visible in a report.
inline QString units(const QString &s)
{
    QString out;
    for (const QChar c : s)
        out += QStringLiteral("%1 ").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    return out.trimmed();
}

} // namespace kov::fuzz
