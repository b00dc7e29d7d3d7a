// The version check's rules: how fetched bytes become text and how that text
// compares with the running version. No network and no widgets here.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace kov {

// The product's web site and its two pages.
QString productSiteUrl();
QString versionFileUrl();
QString productWebPageUrl();

// The most a version file may hold; anything longer is not a version file.
inline constexpr qint64 maxVersionFileBytes = 64 * 1024;

// The running version, the short version string KOV was built with.
const QString &runningVersionString();

// All of `bytes` as UTF-8 (a leading byte-order mark is dropped); nothing
// when they are not valid UTF-8 or longer than maxVersionFileBytes.
std::optional<QString> decodeFetchedText(const QByteArray &bytes);

// Plain character-by-character comparison by code point: case counts and
// digits are characters, so "1.10" < "1.9". Negative, zero or positive.
int compareVersionText(const QString &published, const QString &running);

enum class VersionOutcome { Failed, Newer, Current };

// The version a fetched text names, without surrounding white space: digits
// in groups joined by dots ("1", "1.4.2"), with at most a short suffix of
// letters, digits, "-" or "+" ("1.4b2", "2.0-rc1"). Anything else (an empty
// file, a captive portal's page) names none.
std::optional<QString> publishedVersion(const std::optional<QString> &fetched);

// What the check tells the user for a fetched text (none when the site
// could not be reached) and the running version: a text that names no
// version is a failed check; a version is compared as publishedVersion gives it.
VersionOutcome versionCheckOutcome(const std::optional<QString> &published,
                                   const QString &running);

// The alert titles, each fixed piece translated on its own.
QString newVersionTitle(const QString &published);
QString currentVersionTitle(const QString &running);

} // namespace kov
