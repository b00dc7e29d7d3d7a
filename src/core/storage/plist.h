// XML property lists in the exact form macOS Foundation writes.
#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace kov {

// What went wrong while reading, with the 1-based line and column of the
// offending byte (0 when the problem concerns the whole document).
struct PlistError {
    QString message;
    int line = 0;
    int column = 0;
    bool isNull() const { return message.isEmpty(); }
    // "line L, column C: message", or just the message when there is no place.
    QString toString() const;
};

// Reads an XML property list. Values map to QString (string), qlonglong
// (integer; qulonglong above INT64_MAX), double (real), QDateTime in UTC
// (date), QByteArray (data), bool, QVariantList (array) and QVariantMap
// (dict). Binary plists, entity declarations, nesting deeper than
// kMaxPlistDepth and malformed documents are refused with an error.
// Conversions never depend on the C locale.
inline constexpr int kMaxPlistDepth = 512;
bool readPlist(const QByteArray &bytes, QVariant *out, PlistError *error);
// The same, letting go of `bytes` as soon as they are read, before the
// caller goes on with the values.
bool readPlist(QByteArray &&bytes, QVariant *out, PlistError *error);

// Writes `root` byte for byte as Foundation's XML writer does (see the
// format notes): tab indentation, sorted keys, %.17g reals, whole-second UTC
// dates, base64 wrapped by indentation. Values of other kinds are written as
// strings of their text form.
QByteArray writePlist(const QVariant &root);

// `text` as a written property list gives it back: characters XML 1.0
// cannot carry (C0 controls other than tab, LF and CR; U+FFFE, U+FFFF; lone
// surrogates) become U+FFFD, as writePlist writes them. Records are built
// from typed text through this, so what the window shows, compares and
// finds again is what the file holds.
QString xmlCarriableText(const QString &text);

} // namespace kov
