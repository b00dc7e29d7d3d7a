#include "storage/plist.h"
#include "storage/utf8.h"

#include <QAssociativeIterable>
#include <QCoreApplication>
#include <QDateTime>
#include <QSequentialIterable>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kov {

namespace {

// Context of the messages for Qt's translations.
struct Plist {
    Q_DECLARE_TR_FUNCTIONS(kov::Plist)
};

bool isXmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isAllXmlSpace(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), isXmlSpace);
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && isXmlSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isXmlSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

QString codePointName(char32_t cp)
{
    return QStringLiteral("U+%1").arg(uint(cp), 4, 16, QLatin1Char('0')).toUpper();
}

// XML 1.0 Char production: the document may hold nothing else, raw or as a
// character reference.
bool isXmlChar(char32_t cp)
{
    if (cp < 0x20)
        return cp == 0x9 || cp == 0xA || cp == 0xD;
    if (cp <= 0xD7FF)
        return true;
    if (cp < 0xE000)
        return false;
    if (cp <= 0xFFFD)
        return true;
    return cp >= 0x10000 && cp <= 0x10FFFF;
}

void appendUtf8(std::string &out, char32_t cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// Before its markup, the whole document is scanned once: it must be UTF-8
// and hold only XML 1.0 characters (so it holds no NUL either). Returns false with the offset of the first offending byte.
bool checkCharacters(const char *data, size_t size, size_t *badAt, QString *message)
{
    const auto *p = reinterpret_cast<const unsigned char *>(data);
    constexpr uint64_t kOnes = 0x0101010101010101ULL;
    constexpr uint64_t kHighs = 0x8080808080808080ULL;
    size_t i = 0;
    while (i < size) {
        // Most of a property list is ASCII text, tabs and line breaks: skip
        // it eight bytes at a time (no high bit set, and every byte below
        // 0x20 a tab, LF or CR). The test for low bytes may also mark a
        // byte after one (a borrow); that byte is then looked at below.
        while (i + 8 <= size) {
            uint64_t w;
            std::memcpy(&w, p + i, 8);
            if (w & kHighs)
                break;
            uint64_t low = (w - kOnes * 0x20) & ~w & kHighs;
            while (low) {
                const size_t k = size_t(std::countr_zero(low) / 8);
                const unsigned c = p[i + (std::endian::native == std::endian::little ? k : 7 - k)];
                if (c != '\t' && c != '\n' && c != '\r')
                    break;
                low &= low - 1;
            }
            if (low)
                break;
            i += 8;
        }
        if (i >= size)
            break;
        const unsigned c = p[i];
        if (c < 0x80) {
            if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
                *badAt = i;
                *message = Plist::tr("character %1 is not allowed in XML").arg(codePointName(c));
                return false;
            }
            ++i;
            continue;
        }
        char32_t cp;
        const size_t len = utf8SequenceAt(p, size, i, &cp);
        if (len == 0) {
            *badAt = i;
            *message = Plist::tr("invalid UTF-8 (byte 0x%1)").arg(QString::number(c, 16).toUpper());
            return false;
        }
        if (!isXmlChar(cp)) {
            *badAt = i;
            *message = Plist::tr("character %1 is not allowed in XML").arg(codePointName(cp));
            return false;
        }
        i += len;
    }
    return true;
}

// Appends the text with the five predefined entities and character
// references replaced; nothing else may follow '&' (we never expand declared
// entities, and undeclared ones are errors in XML). On failure *badAt is the
// offset of the '&' within the text.
bool decodeReferences(std::string_view text, std::string &out, size_t *badAt, QString *message)
{
    size_t i = 0;
    while (i < text.size()) {
        const size_t amp = text.find('&', i);
        if (amp == std::string_view::npos) {
            out.append(text.substr(i));
            break;
        }
        out.append(text.substr(i, amp - i));
        size_t semi = amp + 1;
        auto isNameChar = [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) || c == '#' || c == '_' || c == ':' ||
                   c == '.' || c == '-';
        };
        while (semi < text.size() && isNameChar(text[semi]))
            ++semi;
        *badAt = amp;
        if (semi == amp + 1 || semi >= text.size() || text[semi] != ';') {
            *message = Plist::tr("'&' must start an entity or character reference ending in ';'");
            return false;
        }
        const std::string_view name = text.substr(amp + 1, semi - amp - 1);
        if (!name.empty() && name[0] == '#') {
            const bool hex = name.size() > 1 && name[1] == 'x';
            const std::string_view digits = name.substr(hex ? 2 : 1);
            uint32_t cp = 0;
            const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), cp, hex ? 16 : 10);
            if (digits.empty() || r.ec != std::errc() || r.ptr != digits.data() + digits.size()) {
                *message = Plist::tr("malformed character reference &%1;")
                               .arg(QString::fromUtf8(name.data(), qsizetype(name.size())));
                return false;
            }
            if (!isXmlChar(cp)) {
                *message = Plist::tr("character reference &%1; names a character XML does not allow")
                               .arg(QString::fromUtf8(name.data(), qsizetype(name.size())));
                return false;
            }
            appendUtf8(out, cp);
        } else if (name == "lt") {
            out += '<';
        } else if (name == "gt") {
            out += '>';
        } else if (name == "amp") {
            out += '&';
        } else if (name == "quot") {
            out += '"';
        } else if (name == "apos") {
            out += '\'';
        } else {
            *message = Plist::tr("undefined entity &%1;")
                           .arg(QString::fromUtf8(name.data(), qsizetype(name.size())));
            return false;
        }
        i = semi + 1;
    }
    return true;
}

// Proleptic Gregorian calendar, as Foundation's XML dates use.
constexpr int64_t daysFromCivil(int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + int64_t(doe) - 719468;
}

struct CivilDate {
    int64_t year;
    unsigned month;
    unsigned day;
};

constexpr CivilDate civilFromDays(int64_t z)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {int64_t(yoe) + era * 400 + (m <= 2), m, d};
}

constexpr int64_t kFirstSecond = daysFromCivil(1, 1, 1) * 86400;
constexpr int64_t kLastSecond = daysFromCivil(9999, 12, 31) * 86400 + 86399;

unsigned daysInMonth(int64_t y, unsigned m)
{
    static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : kDays[m - 1];
}

// YYYY-MM-DDTHH:MM:SS, an optional fraction (kept to the millisecond,
// truncated), then Z.
bool parseDate(std::string_view s, int64_t *msecs)
{
    auto number = [&s](size_t pos, size_t n, int *v) {
        if (pos + n > s.size())
            return false;
        int r = 0;
        for (size_t k = pos; k < pos + n; ++k) {
            if (s[k] < '0' || s[k] > '9')
                return false;
            r = r * 10 + (s[k] - '0');
        }
        *v = r;
        return true;
    };
    int y, mo, d, h, mi, sec;
    if (!(number(0, 4, &y) && s.size() > 4 && s[4] == '-' && number(5, 2, &mo) && s.size() > 7 &&
          s[7] == '-' && number(8, 2, &d) && s.size() > 10 && s[10] == 'T' && number(11, 2, &h) &&
          s.size() > 13 && s[13] == ':' && number(14, 2, &mi) && s.size() > 16 && s[16] == ':' &&
          number(17, 2, &sec)))
        return false;
    size_t pos = 19;
    int ms = 0;
    if (pos < s.size() && s[pos] == '.') {
        const size_t start = ++pos;
        int scale = 100;
        while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
            ms += (s[pos] - '0') * scale;
            scale /= 10;
            ++pos;
        }
        if (pos == start)
            return false;
    }
    if (pos + 1 != s.size() || s[pos] != 'Z')
        return false;
    if (y < 1 || mo < 1 || mo > 12 || d < 1 || unsigned(d) > daysInMonth(y, unsigned(mo)) || h > 23 ||
        mi > 59 || sec > 59)
        return false;
    const int64_t days = daysFromCivil(y, unsigned(mo), unsigned(d));
    *msecs = (((days * 24 + h) * 60 + mi) * 60 + sec) * 1000 + ms;
    return true;
}

// Decimal or 0x-hexadecimal with an optional sign, as Foundation reads them.
bool parseInteger(std::string_view s, QVariant *out, bool *overflow)
{
    *overflow = false;
    bool negative = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    uint64_t magnitude = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), magnitude, base);
    if (s.empty() || r.ptr != s.data() + s.size())
        return false;
    if (r.ec == std::errc::result_out_of_range) {
        *overflow = true;
        return false;
    }
    if (r.ec != std::errc())
        return false;
    if (negative) {
        if (magnitude > uint64_t(INT64_MAX) + 1) {
            *overflow = true;
            return false;
        }
        *out = QVariant(qlonglong(0 - magnitude)); // two's complement wrap gives INT64_MIN for 2^63
        return true;
    }
    if (magnitude > uint64_t(INT64_MAX))
        *out = QVariant(qulonglong(magnitude));
    else
        *out = QVariant(qlonglong(magnitude));
    return true;
}

// from_chars never looks at the C locale, so a decimal comma in the user's
// locale cannot change what a file says. It reads "inf", "infinity" and
// "nan" in any case; Foundation also writes a leading '+'.
bool parseReal(std::string_view s, double *out)
{
    if (s.size() > 1 && s[0] == '+' && s[1] != '-' && s[1] != '+')
        s.remove_prefix(1);
    const auto r = std::from_chars(s.data(), s.data() + s.size(), *out, std::chars_format::general);
    return !s.empty() && r.ec == std::errc() && r.ptr == s.data() + s.size();
}

// Bytes of the UTF-8 sequence starting at s[i], for quoting it in a message.
qsizetype utf8Length(std::string_view s, size_t i)
{
    const auto b = static_cast<unsigned char>(s[i]);
    const size_t n = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
    return qsizetype(std::min(n, s.size() - i));
}

// Base64 with any white space in between; a missing '=' tail is tolerated.
bool decodeBase64(std::string_view s, QByteArray *out, size_t *badAt, QString *message)
{
    static constexpr auto kTable = [] {
        std::array<signed char, 256> t{};
        t.fill(-1);
        const char *alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        for (int i = 0; i < 64; ++i)
            t[static_cast<unsigned char>(alphabet[i])] = static_cast<signed char>(i);
        t[' '] = t['\t'] = t['\n'] = t['\r'] = -2;
        t['='] = -3;
        return t;
    }();
    out->resize(qsizetype(s.size() / 4 * 3 + 3));
    char *dst = out->data();
    uint32_t acc = 0;
    int count = 0;
    bool padding = false;
    for (size_t i = 0; i < s.size(); ++i) {
        const signed char v = kTable[static_cast<unsigned char>(s[i])];
        if (v == -2)
            continue;
        if (v == -3) {
            padding = true;
            continue;
        }
        if (v < 0 || padding) {
            *badAt = i;
            *message = padding && v >= 0 ? Plist::tr("base64 text goes on after its '=' padding")
                                         : Plist::tr("'%1' is not a base64 character")
                                               .arg(QString::fromUtf8(&s[i], utf8Length(s, i)));
            return false;
        }
        acc = (acc << 6) | uint32_t(v);
        if (++count == 4) {
            *dst++ = char(acc >> 16);
            *dst++ = char(acc >> 8);
            *dst++ = char(acc);
            acc = 0;
            count = 0;
        }
    }
    if (count == 1) {
        *badAt = s.size();
        *message = Plist::tr("base64 text ends in the middle of a byte");
        return false;
    }
    if (count == 2) {
        *dst++ = char(acc >> 4);
    } else if (count == 3) {
        *dst++ = char(acc >> 10);
        *dst++ = char(acc >> 2);
    }
    out->truncate(dst - out->constData());
    return true;
}

enum class Tag { Unknown, Plist, Array, Dict, Key, String, Integer, Real, Date, Data, True, False };

Tag tagOf(std::string_view name)
{
    if (name.empty())
        return Tag::Unknown;
    switch (name[0]) {
    case 'a':
        return name == "array" ? Tag::Array : Tag::Unknown;
    case 'd':
        if (name == "dict")
            return Tag::Dict;
        if (name == "date")
            return Tag::Date;
        return name == "data" ? Tag::Data : Tag::Unknown;
    case 'f':
        return name == "false" ? Tag::False : Tag::Unknown;
    case 'i':
        return name == "integer" ? Tag::Integer : Tag::Unknown;
    case 'k':
        return name == "key" ? Tag::Key : Tag::Unknown;
    case 'p':
        return name == "plist" ? Tag::Plist : Tag::Unknown;
    case 'r':
        return name == "real" ? Tag::Real : Tag::Unknown;
    case 's':
        return name == "string" ? Tag::String : Tag::Unknown;
    case 't':
        return name == "true" ? Tag::True : Tag::Unknown;
    default:
        return Tag::Unknown;
    }
}

// Bytes by their part in markup: white space, characters that may start a
// name (letters, '_', ':' and every byte of a multi-byte character) and
// those that may go on with one (also digits, '-' and '.').
enum : uint8_t { kSpace = 1, kNameStart = 2, kName = 4 };
constexpr std::array<uint8_t, 256> kCharClass = [] {
    std::array<uint8_t, 256> t{};
    for (const char c : {' ', '\t', '\n', '\r'})
        t[uint8_t(c)] = kSpace;
    for (int c = 0; c < 256; ++c) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || c >= 0x80)
            t[size_t(c)] = kNameStart | kName;
        else if ((c >= '0' && c <= '9') || c == '-' || c == '.')
            t[size_t(c)] = kName;
    }
    return t;
}();
inline bool isSpaceByte(char c)
{
    return kCharClass[uint8_t(c)] & kSpace;
}
inline bool isNameStart(char c)
{
    return kCharClass[uint8_t(c)] & kNameStart;
}
inline bool isNameByte(char c)
{
    return kCharClass[uint8_t(c)] & kName;
}

// Short text already met, by its bytes in the document: open addressing
// with a cheap hash, which costs far less per value than the standard map's
// hashing and bucket division did. `literal` tells text taken as it stands
// from text whose references are still to be replaced.
class StringPool {
public:
    const QString *find(std::string_view text, uint32_t hash, bool literal) const
    {
        if (slots.empty())
            return nullptr;
        for (size_t i = hash & (slots.size() - 1);; i = (i + 1) & (slots.size() - 1)) {
            const Slot &slot = slots[i];
            if (!slot.full)
                return nullptr;
            if (slot.hash == hash && slot.size == text.size() && slot.literal == literal &&
                std::memcmp(slot.data, text.data(), text.size()) == 0)
                return &slot.text;
        }
    }
    void insert(std::string_view text, uint32_t hash, bool literal, const QString &value)
    {
        if ((used + 1) * 2 > slots.size())
            grow();
        size_t i = hash & (slots.size() - 1);
        while (slots[i].full)
            i = (i + 1) & (slots.size() - 1);
        slots[i] = Slot{text.data(), uint32_t(text.size()), hash, true, literal, value};
        ++used;
    }
    size_t size() const { return used; }
    // The length and the first and last eight bytes: enough to tell apart
    // the names, keys and amounts of a log; a rare collision costs a compare.
    static uint32_t hashOf(std::string_view text)
    {
        uint64_t first = 0, last = 0;
        const size_t n = text.size();
        if (n >= 8) {
            std::memcpy(&first, text.data(), 8);
            std::memcpy(&last, text.data() + n - 8, 8);
        } else if (n > 0) {
            std::memcpy(&first, text.data(), n);
        }
        uint64_t h = first * 0x9E3779B97F4A7C15ULL ^ last * 0xC2B2AE3D27D4EB4FULL ^ n * 0x165667B19E3779F9ULL;
        h ^= h >> 32;
        h *= 0xD6E8FEB86659FD93ULL;
        h ^= h >> 32;
        return uint32_t(h);
    }

private:
    struct Slot {
        const char *data = nullptr;
        uint32_t size = 0;
        uint32_t hash = 0;
        bool full = false;
        bool literal = true;
        QString text;
    };
    void grow()
    {
        const size_t capacity = std::max<size_t>(256, slots.size() * 2);
        std::vector<Slot> old = std::exchange(slots, std::vector<Slot>(capacity));
        for (Slot &slot : old) {
            if (!slot.full)
                continue;
            size_t i = slot.hash & (slots.size() - 1);
            while (slots[i].full)
                i = (i + 1) & (slots.size() - 1);
            slots[i] = std::move(slot);
        }
    }
    std::vector<Slot> slots;
    size_t used = 0;
};

// The text of a value for an error message, cut short if it is long.
QString quoted(std::string_view text)
{
    constexpr size_t kMax = 40;
    text = trimmed(text);
    if (text.size() <= kMax)
        return QString::fromUtf8(text.data(), qsizetype(text.size()));
    size_t cut = kMax;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut; // not inside a UTF-8 sequence
    return QString::fromUtf8(text.data(), qsizetype(cut)) + QChar(0x2026);
}

// Faults of the markup itself; each has its message.
enum class Markup {
    UnknownTag,
    BadInstruction,
    BadComment,
    BadCdata,
    BadDoctype,
    BadStartTag,
    BadAttribute,
    BadEndTag,
    EndTagMismatch
};

QString describe(Markup fault)
{
    switch (fault) {
    case Markup::UnknownTag:
        return Plist::tr("malformed markup (a '<' that starts no tag?)");
    case Markup::BadInstruction:
        return Plist::tr("malformed XML declaration or processing instruction");
    case Markup::BadComment:
        return Plist::tr("malformed comment");
    case Markup::BadCdata:
        return Plist::tr("malformed CDATA section");
    case Markup::BadDoctype:
        return Plist::tr("malformed DOCTYPE");
    case Markup::BadStartTag:
        return Plist::tr("malformed start tag");
    case Markup::BadAttribute:
        return Plist::tr("malformed attribute");
    case Markup::BadEndTag:
        return Plist::tr("malformed end tag");
    case Markup::EndTagMismatch:
        return Plist::tr("end tag does not match the open element");
    }
    return Plist::tr("not well-formed XML");
}

// One pass over the document: the markup is taken apart and the values are
// built as their elements close, with no tree in between. Malformed markup
// stops the reading where it is met. Every other fault is noted and the
// markup read on to the end, since a fault of the markup further on, or a
// more basic one (text beside the root, then the root's attributes, then
// the <plist> element's own content), is the one told; within a kind the
// first met is told.
class Reader {
public:
    Reader(const char *data, size_t size) : m_data(data), m_size(size) {}
    bool read(QVariant *out);
    PlistError error;

private:
    // The kinds of fault, the one told first first.
    enum Rank { TopLevel, RootAttributes, Wrapper, Value, NoFault };
    // What an open element is to the values being built.
    enum class Role : uint8_t { Ignore, Wrapper, Container, Scalar, Key };
    struct Open {
        size_t name;
        size_t nameLength;
        bool hasChild;  // an element, a CDATA section or a second piece of text
        bool hasValue;  // its first text
        Role role;
        bool declaration = false; // an XML declaration ended by '>' instead of "?>"
    };
    // An array or dict being filled; kept on a stack of their own, so
    // nesting depth costs heap, never call stack.
    struct Frame {
        bool isDict = false;
        bool hasKey = false; // a key waits for its value
        size_t keyAt = 0;
        QVariantList list;
        QVariantMap map;
        QString key;
    };
    struct Attribute {
        size_t name, nameEnd, value, valueEnd;
    };
    // A piece of the text of a scalar or key element.
    struct Piece {
        size_t begin = 0, end = 0;
        bool cdata = false;
    };

    char at(size_t i) const { return i < m_size ? m_data[i] : '\0'; }
    std::string_view view(size_t begin, size_t end) const { return {m_data + begin, end - begin}; }
    bool fail(size_t offset, const QString &message);
    bool malformed(size_t offset, Markup fault);
    bool wants(Rank rank) const { return rank < m_rank; }
    void note(Rank rank, size_t offset, const QString &message);
    size_t find(std::string_view what, size_t from) const;

    bool scan();
    bool tag(size_t &i);
    bool startTag(size_t &i);
    bool attributes(size_t &i, size_t slash, bool *closed);
    bool endTag(size_t &i);
    bool instruction(size_t &i);
    bool exclamation(size_t &i);
    bool doctypeEnd(size_t lt, size_t *end);
    bool doctypeItem(size_t &i);

    void text(size_t begin, size_t end);
    void cdata(size_t begin, size_t end);
    void declaration();
    void doctype(size_t value, size_t end);
    void startElement(size_t lt, size_t name, size_t nameEnd, bool closed);
    void endElement();
    Role startValue(size_t lt, std::string_view name);
    Role startInDict(size_t lt, std::string_view name);
    void deliver(QVariant &&value);
    bool checkAttributes(Rank rank);
    void onlySpace(Rank rank, size_t begin, size_t end, std::string_view container);

    void startText(Tag tag, size_t lt);
    void addPiece(const Piece &piece);
    bool spill();
    bool append(const Piece &piece);
    bool textOf(std::string_view *text, bool *exact);
    bool stringOf(QString *out);
    void endScalar();

    const char *m_data;
    size_t m_size;
    std::vector<Open> m_open;
    std::vector<Frame> m_frames;
    std::vector<Attribute> m_attrs;
    std::vector<Attribute> m_declAttrs;
    size_t m_declAt = 0;
    size_t m_declSlash = SIZE_MAX;
    bool m_topHasChild = false;
    bool m_rootSeen = false;
    size_t m_rootAt = 0;
    int m_values = 0; // elements met inside a <plist> root, counted up to 2
    bool m_building = true; // no fault yet: values are still built
    QVariant m_value;
    Rank m_rank = NoFault;
    size_t m_faultAt = 0;
    QString m_fault;

    // The scalar or key being read.
    Tag m_tag = Tag::Unknown;
    size_t m_textAt = 0; // where its text begins, for messages
    size_t m_pieces = 0;
    bool m_hasValue = false;
    bool m_spilled = false;
    Piece m_first;

    std::string m_scratch;
    std::string m_patched;
    StringPool m_strings;
    std::string_view m_lastDateText;
    QVariant m_lastDate;
};

bool Reader::fail(size_t offset, const QString &message)
{
    offset = std::min(offset, m_size);
    int line = 1;
    size_t lineStart = 0;
    for (size_t i = 0; i < offset; ++i) {
        const char c = m_data[i];
        if (c == '\n' || (c == '\r' && (i + 1 >= m_size || m_data[i + 1] != '\n'))) {
            ++line;
            lineStart = i + 1;
        }
    }
    int column = 1;
    for (size_t i = lineStart; i < offset; ++i) {
        if ((static_cast<unsigned char>(m_data[i]) & 0xC0) != 0x80)
            ++column;
    }
    error = PlistError{message, line, column};
    return false;
}

// A fault met at the end of the document is placed on its last byte; a
// missing end tag is told as such.
bool Reader::malformed(size_t offset, Markup fault)
{
    if (offset == m_size && offset > 0)
        --offset;
    if (fault == Markup::EndTagMismatch && offset + 1 >= m_size)
        return fail(m_size, Plist::tr("the document ends before all elements are closed"));
    return fail(offset, describe(fault));
}

void Reader::note(Rank rank, size_t offset, const QString &message)
{
    if (!wants(rank))
        return;
    m_rank = rank;
    m_faultAt = offset;
    m_fault = message;
    // Nothing built from here on can be delivered.
    m_building = false;
    m_frames.clear();
    m_value = QVariant();
}

size_t Reader::find(std::string_view what, size_t from) const
{
    const size_t at = std::string_view(m_data, m_size).find(what, from);
    return at == std::string_view::npos ? m_size : at;
}

bool Reader::scan()
{
    const size_t n = m_size;
    // A second byte-order mark is passed over too (places still count it).
    size_t i = n >= 3 && std::memcmp(m_data, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
    while (i < n) {
        if (m_data[i] == '<') {
            ++i;
            if (!tag(i))
                return false;
            continue;
        }
        const size_t mark = i;
        while (i < n && isSpaceByte(m_data[i]))
            ++i;
        if (i >= n || m_data[i] == '<') {
            // White space alone counts only where it is all an element
            // holds (<string> </string>); elsewhere it is dropped.
            const bool childless = m_open.empty() ? !m_topHasChild : !m_open.back().hasChild;
            if (!(childless && i + 1 < n && m_data[i] == '<' && m_data[i + 1] == '/'))
                continue;
        }
        const auto *lt = static_cast<const char *>(std::memchr(m_data + i, '<', n - i));
        const size_t end = lt ? size_t(lt - m_data) : n;
        text(mark, end);
        if (end + 1 >= n) { // a '<' on the last byte ends the document like its end
            i = n;
            break;
        }
        i = end + 1;
        if (!tag(i))
            return false;
    }
    if (!m_open.empty())
        return malformed(i, Markup::EndTagMismatch);
    return true;
}

// Markup, at the byte after its '<'.
bool Reader::tag(size_t &i)
{
    const char c = at(i);
    if (isNameStart(c))
        return startTag(i);
    if (c == '/')
        return endTag(i);
    if (c == '?')
        return instruction(i);
    if (c == '!')
        return exclamation(i);
    return malformed(i, Markup::UnknownTag);
}

bool Reader::startTag(size_t &i)
{
    const size_t lt = i - 1, name = i;
    while (isNameByte(at(i)))
        ++i;
    const size_t nameEnd = i;
    const char c = at(i++);
    bool closed = false;
    m_attrs.clear();
    if (c == '>') {
    } else if (isSpaceByte(c)) {
        if (!attributes(i, SIZE_MAX, &closed))
            return false;
    } else if (c == '/') {
        if (at(i) != '>')
            return malformed(i, Markup::BadStartTag);
        ++i;
        closed = true;
    } else { // a name cut by the end of the document is placed at its end
        return malformed(i > m_size ? m_size : i, Markup::BadStartTag);
    }
    startElement(lt, name, nameEnd, closed);
    return true;
}

// Attributes up to the end of a start tag (or of an XML declaration, whose
// closing '?' at `slash` reads as the '/' of an empty tag).
bool Reader::attributes(size_t &i, size_t slash, bool *closed)
{
    auto byteAt = [this, slash](size_t k) { return k == slash ? '/' : at(k); };
    for (;;) {
        while (isSpaceByte(at(i)))
            ++i;
        const char c = byteAt(i);
        if (isNameStart(c)) {
            Attribute a{};
            a.name = i;
            while (isNameByte(at(i)))
                ++i;
            a.nameEnd = i;
            char next = byteAt(i++);
            if (isSpaceByte(next)) {
                while (isSpaceByte(at(i)))
                    ++i;
                next = byteAt(i++);
            }
            if (next != '=')
                return malformed(i, Markup::BadAttribute);
            while (isSpaceByte(at(i)))
                ++i;
            const char quote = at(i);
            if (quote != '"' && quote != '\'')
                return malformed(i, Markup::BadAttribute);
            a.value = ++i;
            const auto *end = static_cast<const char *>(std::memchr(m_data + i, quote, m_size - i));
            if (!end)
                return malformed(a.value, Markup::BadAttribute);
            a.valueEnd = size_t(end - m_data);
            i = a.valueEnd + 1;
            m_attrs.push_back(a);
            if (isNameStart(at(i)))
                return malformed(i, Markup::BadAttribute);
        } else if (c == '/') {
            ++i;
            if (at(i) != '>')
                return malformed(i, Markup::BadStartTag);
            ++i;
            *closed = true;
            return true;
        } else if (c == '>') {
            ++i;
            return true;
        } else {
            return malformed(i, Markup::BadStartTag);
        }
    }
}

bool Reader::endTag(size_t &i)
{
    const size_t mark = ++i;
    if (m_open.empty())
        return malformed(mark, Markup::EndTagMismatch);
    const Open &top = m_open.back();
    const char *name = m_data + top.name;
    const size_t length = top.nameLength;
    if (i + length <= m_size && std::memcmp(m_data + i, name, length) == 0 && !isNameByte(at(i + length))) {
        i += length;
    } else {
        for (size_t k = 0;; ++k, ++i) {
            if (!isNameByte(at(i))) {
                if (k < length)
                    return malformed(mark, Markup::EndTagMismatch);
                break;
            }
            if (k >= length || m_data[i] != name[k])
                return malformed(mark, Markup::EndTagMismatch);
        }
    }
    endElement();
    while (isSpaceByte(at(i)))
        ++i;
    if (at(i) != '>')
        return malformed(i, Markup::BadEndTag);
    ++i;
    return true;
}

// <?target …?>: the XML declaration, or a processing instruction, which is
// skipped.
bool Reader::instruction(size_t &i)
{
    const size_t lt = i - 1;
    const size_t target = ++i;
    if (!isNameStart(at(i)))
        return malformed(i, Markup::BadInstruction);
    while (isNameByte(at(i)))
        ++i;
    if (i >= m_size)
        return malformed(i, Markup::BadInstruction);
    const bool isXml = i - target == 3 && (m_data[target] | 0x20) == 'x' && (m_data[target + 1] | 0x20) == 'm' &&
                       (m_data[target + 2] | 0x20) == 'l';
    if (!isXml) {
        const size_t end = find("?>", i);
        if (end >= m_size)
            return malformed(end, Markup::BadInstruction);
        i = end + 2;
        if (!m_open.empty() && m_open.back().declaration) {
            // An XML declaration left open by a '>' takes more attributes here.
            bool closed = false;
            m_attrs.clear();
            if (!attributes(i, SIZE_MAX, &closed))
                return false;
            m_declAttrs.insert(m_declAttrs.end(), m_attrs.begin(), m_attrs.end());
            if (closed) {
                m_open.pop_back();
                declaration();
            }
        }
        return true;
    }
    if (!m_open.empty())
        return malformed(i, Markup::BadInstruction);
    const char c = at(i++);
    m_attrs.clear();
    bool closed = false;
    size_t slash = SIZE_MAX;
    if (c == '?') {
        if (at(i) != '>')
            return malformed(i, Markup::BadInstruction);
        ++i;
        closed = true;
    } else if (isSpaceByte(c)) {
        while (isSpaceByte(at(i)))
            ++i;
        slash = find("?>", i);
        if (slash >= m_size)
            return malformed(slash, Markup::BadInstruction);
        if (!attributes(i, slash, &closed))
            return false;
        if (i <= slash) {
            // The declaration ended before its "?>"; that '?' then stays a
            // '/' for what follows, as it always did. A rare document: it is
            // read on from a copy.
            if (m_data != m_patched.data())
                m_patched.assign(m_data, m_size);
            m_patched[slash] = '/';
            m_data = m_patched.data();
        }
    } else {
        return malformed(i, Markup::BadInstruction);
    }
    m_topHasChild = true;
    m_declAt = lt;
    m_declSlash = slash;
    m_declAttrs = m_attrs;
    if (closed)
        declaration();
    else // it then holds what follows, up to a </xml>
        m_open.push_back(Open{target, 3, false, false, Role::Ignore, true});
    return true;
}

bool Reader::exclamation(size_t &i)
{
    const size_t lt = i - 1;
    const char c = at(++i);
    if (c == '-') {
        if (at(++i) != '-')
            return malformed(i, Markup::BadComment);
        const size_t end = find("-->", ++i);
        if (end >= m_size)
            return malformed(end, Markup::BadComment);
        i = end + 3;
        return true;
    }
    if (c == '[') {
        for (const char expected : std::string_view("CDATA[")) {
            if (at(++i) != expected)
                return malformed(i, Markup::BadCdata);
        }
        const size_t begin = ++i;
        const size_t end = find("]]>", begin);
        if (end >= m_size)
            return malformed(end, Markup::BadCdata);
        cdata(begin, end);
        i = end + 3;
        return true;
    }
    if (view(i, std::min(i + 7, m_size)) == "DOCTYPE") {
        if (!m_open.empty())
            return malformed(lt, Markup::BadDoctype);
        size_t end = 0;
        if (!doctypeEnd(lt, &end))
            return false;
        size_t value = lt + 9;
        while (isSpaceByte(m_data[value]))
            ++value;
        doctype(value, end);
        m_topHasChild = true;
        i = end + 1;
        return true;
    }
    return malformed(i, Markup::UnknownTag);
}

// The '>' that ends the DOCTYPE at `lt`, past its internal subset.
bool Reader::doctypeEnd(size_t lt, size_t *end)
{
    size_t depth = 0;
    size_t i = lt + 2;
    while (i < m_size) {
        const char c = m_data[i];
        if (c == '<' && at(i + 1) == '!' && at(i + 2) != '-') {
            if (at(i + 2) == '[') { // a conditional section, skipped whole
                size_t nested = 0;
                for (i += 3;; ) {
                    if (i >= m_size)
                        return malformed(i, Markup::BadDoctype);
                    if (m_data[i] == '<' && at(i + 1) == '!' && at(i + 2) == '[') {
                        i += 3;
                        ++nested;
                    } else if (m_data[i] == ']' && at(i + 1) == ']' && at(i + 2) == '>') {
                        i += 3;
                        if (nested-- == 0)
                            break;
                    } else {
                        ++i;
                    }
                }
            } else { // a declaration: its '>' closes it
                i += 2;
                ++depth;
            }
        } else if (c == '<' || c == '"' || c == '\'') {
            if (!doctypeItem(i))
                return false;
        } else if (c == '>') {
            if (depth == 0) {
                *end = i;
                return true;
            }
            --depth;
            ++i;
        } else {
            ++i;
        }
    }
    return malformed(i, Markup::BadDoctype);
}

// A quoted literal, processing instruction or comment inside a DOCTYPE.
bool Reader::doctypeItem(size_t &i)
{
    const char c = m_data[i];
    std::string_view close;
    if (c == '"' || c == '\'') {
        close = std::string_view(&m_data[i], 1);
        i += 1;
    } else if (at(i + 1) == '?') {
        close = "?>";
        i += 2;
    } else if (at(i + 1) == '!' && at(i + 2) == '-' && at(i + 3) == '-') {
        close = "-->";
        i += 4;
    } else {
        return malformed(i, Markup::BadDoctype);
    }
    const size_t end = find(close, i);
    if (end >= m_size)
        return malformed(end, Markup::BadDoctype);
    i = end + close.size();
    return true;
}

void Reader::onlySpace(Rank rank, size_t begin, size_t end, std::string_view container)
{
    while (begin < end && isSpaceByte(m_data[begin]))
        ++begin;
    if (begin < end && wants(rank))
        note(rank, begin,
             Plist::tr("text is not allowed directly inside <%1>")
                 .arg(QString::fromUtf8(container.data(), qsizetype(container.size()))));
}

void Reader::text(size_t begin, size_t end)
{
    if (m_open.empty()) {
        m_topHasChild = true;
        if (!isAllXmlSpace(view(begin, end)) && wants(TopLevel))
            note(TopLevel, begin,
                 m_rootSeen ? Plist::tr("text after the root element")
                            : Plist::tr("not an XML property list: text before the root element"));
        return;
    }
    Open &top = m_open.back();
    const bool first = !top.hasChild && !top.hasValue;
    (first ? top.hasValue : top.hasChild) = true;
    switch (top.role) {
    case Role::Wrapper:
        onlySpace(Wrapper, begin, end, "plist");
        break;
    case Role::Container:
        if (m_building)
            onlySpace(Value, begin, end, view(top.name, top.name + top.nameLength));
        break;
    case Role::Scalar:
    case Role::Key:
        if (m_building) {
            if (first)
                m_hasValue = true;
            addPiece(Piece{begin, end, false});
        }
        break;
    case Role::Ignore:
        break;
    }
}

void Reader::cdata(size_t begin, size_t end)
{
    if (m_open.empty()) {
        m_topHasChild = true;
        if (wants(TopLevel))
            note(TopLevel, begin,
                 m_rootSeen ? Plist::tr("text after the root element")
                            : Plist::tr("not an XML property list: text before the root element"));
        return;
    }
    Open &top = m_open.back();
    top.hasChild = true;
    switch (top.role) {
    case Role::Wrapper:
    case Role::Container:
        if (top.role == Role::Wrapper ? wants(Wrapper) : m_building)
            note(top.role == Role::Wrapper ? Wrapper : Value, begin,
                 Plist::tr("text is not allowed directly inside <%1>")
                     .arg(QString::fromUtf8(m_data + top.name, qsizetype(top.nameLength))));
        break;
    case Role::Scalar:
    case Role::Key:
        if (m_building)
            addPiece(Piece{begin, end, true});
        break;
    case Role::Ignore:
        break;
    }
}

// Checked once the declaration is closed, with all its attributes.
void Reader::declaration()
{
    const size_t lt = m_declAt, slash = m_declSlash;
    if (!wants(TopLevel))
        return;
    if (m_rootSeen)
        return note(TopLevel, lt, Plist::tr("markup after the root element"));
    if (lt != 0)
        return note(TopLevel, lt, Plist::tr("the XML declaration must come first in the document"));
    for (const Attribute &a : m_declAttrs) {
        if (view(a.name, a.nameEnd) != "encoding")
            continue;
        QByteArray encoding(m_data + a.value, qsizetype(a.valueEnd - a.value));
        if (slash >= a.value && slash < a.valueEnd)
            encoding[qsizetype(slash - a.value)] = '/';
        if (!encoding.isEmpty() && qstricmp(encoding.constData(), "UTF-8") != 0 &&
            qstricmp(encoding.constData(), "UTF8") != 0)
            note(TopLevel, lt,
                 Plist::tr("encoding %1 is not supported; property lists are UTF-8")
                     .arg(QString::fromUtf8(encoding)));
        return;
    }
}

// We never expand entities, so a document that declares some cannot be
// read as its author meant.
void Reader::doctype(size_t value, size_t end)
{
    if (!wants(TopLevel))
        return;
    if (m_rootSeen)
        return note(TopLevel, value, Plist::tr("markup after the root element"));
    const size_t entity = view(value, end).find("<!ENTITY");
    if (entity != std::string_view::npos)
        note(TopLevel, value + entity, Plist::tr("entity declarations are not supported"));
}

bool Reader::checkAttributes(Rank rank)
{
    for (const Attribute &a : m_attrs) {
        const std::string_view value = view(a.value, a.valueEnd);
        if (value.find('&') == std::string_view::npos)
            continue;
        m_scratch.clear();
        size_t badAt = 0;
        QString message;
        if (!decodeReferences(value, m_scratch, &badAt, &message)) {
            note(rank, a.value + badAt, message);
            return false;
        }
    }
    return true;
}

void Reader::startElement(size_t lt, size_t name, size_t nameEnd, bool closed)
{
    const std::string_view tagName = view(name, nameEnd);
    Role role = Role::Ignore;
    if (m_open.empty()) {
        m_topHasChild = true;
        if (m_rootSeen) {
            if (wants(TopLevel))
                note(TopLevel, lt,
                     Plist::tr("a second root element <%1>")
                         .arg(QString::fromUtf8(tagName.data(), qsizetype(tagName.size()))));
        } else {
            m_rootSeen = true;
            m_rootAt = lt;
            if (checkAttributes(RootAttributes))
                role = tagName == "plist" ? Role::Wrapper : m_building ? startValue(lt, tagName) : Role::Ignore;
        }
    } else {
        Open &parent = m_open.back();
        parent.hasChild = true;
        switch (parent.role) {
        case Role::Wrapper:
            if (m_values == 0) {
                m_values = 1;
                if (m_building)
                    role = startValue(lt, tagName);
            } else if (m_values == 1) {
                m_values = 2;
                note(Wrapper, lt, Plist::tr("<plist> can hold only one value"));
            }
            break;
        case Role::Container:
            if (m_building)
                role = m_frames.back().isDict ? startInDict(lt, tagName) : startValue(lt, tagName);
            break;
        case Role::Scalar:
        case Role::Key:
            if (m_building && spill() && wants(Value)) {
                const std::string_view holder = view(parent.name, parent.name + parent.nameLength);
                note(Value, lt,
                     Plist::tr("<%1> cannot hold <%2>")
                         .arg(QString::fromUtf8(holder.data(), qsizetype(holder.size())),
                              QString::fromUtf8(tagName.data(), qsizetype(tagName.size()))));
            }
            break;
        case Role::Ignore:
            break;
        }
    }
    m_open.push_back(Open{name, nameEnd - name, false, false, role});
    if (closed)
        endElement();
}

Reader::Role Reader::startValue(size_t lt, std::string_view name)
{
    const Tag tag = tagOf(name);
    if (!checkAttributes(Value))
        return Role::Ignore;
    switch (tag) {
    case Tag::Array:
    case Tag::Dict:
        if (m_frames.size() >= size_t(kMaxPlistDepth)) {
            note(Value, lt, Plist::tr("arrays and dictionaries are nested deeper than %1 levels").arg(kMaxPlistDepth));
            return Role::Ignore;
        }
        m_frames.emplace_back();
        m_frames.back().isDict = tag == Tag::Dict;
        return Role::Container;
    case Tag::Unknown:
        note(Value, lt,
             Plist::tr("unknown element <%1>").arg(QString::fromUtf8(name.data(), qsizetype(name.size()))));
        return Role::Ignore;
    case Tag::Plist:
        note(Value, lt, Plist::tr("<plist> can only be the root element"));
        return Role::Ignore;
    case Tag::Key:
        note(Value, lt, Plist::tr("<key> outside a <dict>"));
        return Role::Ignore;
    default:
        startText(tag, lt);
        return Role::Scalar;
    }
}

Reader::Role Reader::startInDict(size_t lt, std::string_view name)
{
    Frame &frame = m_frames.back();
    const bool isKey = name == "key";
    if (frame.hasKey) {
        if (!isKey)
            return startValue(lt, name);
        note(Value, frame.keyAt, Plist::tr("<key>%1</key> has no value").arg(frame.key));
        return Role::Ignore;
    }
    if (!isKey) {
        note(Value, lt,
             Plist::tr("<%1> in a <dict> must follow a <key>")
                 .arg(QString::fromUtf8(name.data(), qsizetype(name.size()))));
        return Role::Ignore;
    }
    if (!checkAttributes(Value))
        return Role::Ignore;
    frame.keyAt = lt;
    startText(Tag::Key, lt);
    return Role::Key;
}

void Reader::endElement()
{
    const Role role = m_open.back().role;
    const bool declaration = m_open.back().declaration;
    m_open.pop_back();
    if (declaration)
        return this->declaration();
    switch (role) {
    case Role::Wrapper:
        if (m_values == 0)
            note(Wrapper, m_rootAt, Plist::tr("<plist> holds no value"));
        break;
    case Role::Container: {
        if (!m_building)
            break;
        Frame &frame = m_frames.back();
        if (frame.hasKey) {
            note(Value, frame.keyAt, Plist::tr("<key>%1</key> has no value").arg(frame.key));
            break;
        }
        QVariant value = frame.isDict ? QVariant(std::move(frame.map)) : QVariant(std::move(frame.list));
        m_frames.pop_back();
        deliver(std::move(value));
        break;
    }
    case Role::Scalar:
        if (m_building)
            endScalar();
        break;
    case Role::Key:
        if (m_building) {
            QString key;
            if (stringOf(&key)) {
                Frame &frame = m_frames.back();
                frame.key = std::move(key);
                frame.hasKey = true;
            }
        }
        break;
    case Role::Ignore:
        break;
    }
}

void Reader::deliver(QVariant &&value)
{
    if (m_frames.empty()) {
        m_value = std::move(value);
        return;
    }
    Frame &frame = m_frames.back();
    if (frame.isDict) {
        // Keys come sorted, so the end is the place; a repeated key: the last one wins.
        frame.map.insert(frame.map.cend(), frame.key, value);
        frame.hasKey = false;
    } else {
        frame.list.append(std::move(value));
    }
}

// The text of a scalar comes in pieces: its first text, then, after a
// comment or CDATA section, further pieces. A single piece is taken from
// the document as it stands; more are joined in m_scratch with their
// references replaced ("spilled"). The place of a fault in the value is
// that of its first text.
void Reader::startText(Tag tag, size_t lt)
{
    m_tag = tag;
    m_textAt = lt;
    m_pieces = 0;
    m_hasValue = false;
    m_spilled = false;
}

void Reader::addPiece(const Piece &piece)
{
    if (m_pieces++ == 0) {
        m_first = piece;
        m_textAt = piece.begin;
        return;
    }
    if (spill())
        append(piece);
}

bool Reader::spill()
{
    if (m_spilled || m_pieces == 0)
        return true;
    m_spilled = true;
    m_scratch.clear();
    return append(m_first);
}

bool Reader::append(const Piece &piece)
{
    if (!m_hasValue && m_scratch.empty())
        m_textAt = piece.begin;
    const std::string_view raw = view(piece.begin, piece.end);
    if (piece.cdata) {
        m_scratch.append(raw);
        return true;
    }
    size_t badAt = 0;
    QString message;
    if (decodeReferences(raw, m_scratch, &badAt, &message))
        return true;
    note(Value, piece.begin + badAt, message);
    return false;
}

// The whole text; `exact` when offsets in it are offsets in the document.
bool Reader::textOf(std::string_view *text, bool *exact)
{
    *exact = false;
    if (m_spilled) {
        *text = m_scratch;
        return true;
    }
    if (m_pieces == 0) {
        *text = std::string_view(m_data + m_textAt, 0);
        *exact = true;
        return true;
    }
    const std::string_view raw = view(m_first.begin, m_first.end);
    if (m_first.cdata || raw.find('&') == std::string_view::npos) {
        *text = raw;
        *exact = true;
        return true;
    }
    if (!spill())
        return false;
    *text = m_scratch;
    return true;
}

// Keys and short values repeat from record to record (the same property,
// provider and task names, the same amounts); like Foundation's reader we
// share one QString for each, which saves an allocation per value. A piece
// as it stands in the document is the lookup key, so a known text is not
// even decoded again.
bool Reader::stringOf(QString *out)
{
    constexpr size_t kMaxLength = 40;
    constexpr size_t kMaxEntries = 8192;
    if (m_pieces == 1 && !m_spilled && m_first.end - m_first.begin <= kMaxLength) {
        const std::string_view raw = view(m_first.begin, m_first.end);
        const bool literal = m_first.cdata || raw.find('&') == std::string_view::npos;
        const uint32_t hash = StringPool::hashOf(raw);
        if (const QString *known = m_strings.find(raw, hash, literal)) {
            *out = *known;
            return true;
        }
        std::string_view text;
        bool exact = false;
        if (!textOf(&text, &exact))
            return false;
        *out = QString::fromUtf8(text.data(), qsizetype(text.size()));
        if (m_strings.size() < kMaxEntries)
            m_strings.insert(raw, hash, literal, *out);
        return true;
    }
    std::string_view text;
    bool exact = false;
    if (!textOf(&text, &exact))
        return false;
    if (text.size() <= kMaxLength) {
        if (const QString *known = m_strings.find(text, StringPool::hashOf(text), true)) {
            *out = *known;
            return true;
        }
    }
    *out = QString::fromUtf8(text.data(), qsizetype(text.size()));
    return true;
}

void Reader::endScalar()
{
    QVariant value;
    if (m_tag == Tag::String) {
        QString s;
        if (!stringOf(&s))
            return;
        return deliver(QVariant(std::move(s)));
    }
    std::string_view text;
    bool exact = false;
    if (!textOf(&text, &exact))
        return;
    const size_t offset = m_textAt;
    switch (m_tag) {
    case Tag::True:
    case Tag::False:
        if (!isAllXmlSpace(text))
            return note(Value, offset,
                        Plist::tr("<%1/> cannot hold text")
                            .arg(QLatin1String(m_tag == Tag::True ? "true" : "false")));
        value = m_tag == Tag::True;
        break;
    case Tag::Integer: {
        bool overflow = false;
        if (!parseInteger(trimmed(text), &value, &overflow))
            return note(Value, offset,
                        overflow ? Plist::tr("integer out of range: %1").arg(quoted(text))
                                 : Plist::tr("not an integer: \"%1\"").arg(quoted(text)));
        break;
    }
    case Tag::Real: {
        double d = 0;
        if (!parseReal(trimmed(text), &d))
            return note(Value, offset, Plist::tr("not a real number: \"%1\"").arg(quoted(text)));
        value = d;
        break;
    }
    case Tag::Date: {
        // A log holds one date per service day, often many records in a row.
        if (exact && text == m_lastDateText && m_lastDate.isValid()) {
            value = m_lastDate;
            break;
        }
        int64_t msecs = 0;
        if (!parseDate(trimmed(text), &msecs))
            return note(Value, offset,
                        Plist::tr("not a date of the form YYYY-MM-DDTHH:MM:SSZ (years 0001-9999): \"%1\"")
                            .arg(quoted(text)));
        value = QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
        if (exact) {
            m_lastDateText = text;
            m_lastDate = value;
        }
        break;
    }
    case Tag::Data: {
        QByteArray bytes;
        size_t badAt = 0;
        QString message;
        if (!decodeBase64(text, &bytes, &badAt, &message))
            return note(Value, exact ? offset + badAt : offset, message);
        value = bytes;
        break;
    }
    default:
        return;
    }
    deliver(std::move(value));
}

bool Reader::read(QVariant *out)
{
    if (m_size >= 6 && std::memcmp(m_data, "bplist", 6) == 0)
        return fail(
            0, Plist::tr("binary property lists are not supported; save the file as an XML property list"));
    if (m_size >= 2 && ((uchar(m_data[0]) == 0xFE && uchar(m_data[1]) == 0xFF) ||
                        (uchar(m_data[0]) == 0xFF && uchar(m_data[1]) == 0xFE)))
        return fail(0, Plist::tr("UTF-16 property lists are not supported; save the file as UTF-8"));
    // Foundation reads past a UTF-8 byte-order mark; positions count from after it.
    if (m_size >= 3 && std::memcmp(m_data, "\xEF\xBB\xBF", 3) == 0) {
        m_data += 3;
        m_size -= 3;
    }
    if (m_size == 0) {
        error = PlistError{Plist::tr("the document is empty"), 0, 0};
        return false;
    }
    size_t badAt = 0;
    QString message;
    if (!checkCharacters(m_data, m_size, &badAt, &message))
        return fail(badAt, message);

    // Text stays as raw bytes, so offsets hold and references are decoded
    // (and checked) as values are built. Carriage returns stay as they are,
    // as in Foundation's reader.
    if (!scan())
        return false;
    if (!m_rootSeen)
        note(TopLevel, m_size, Plist::tr("no root element"));
    if (m_rank != NoFault)
        return fail(m_faultAt, m_fault);
    *out = std::move(m_value);
    return true;
}

// ---- writing ----

} // namespace

QString xmlCarriableText(const QString &text)
{
    const qsizetype n = text.size();
    QString out;
    bool copying = false; // most text has nothing to replace and comes back as it is
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        const bool pair =
            QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(text.at(i + 1).unicode());
        const bool bad = !pair && (QChar::isSurrogate(c) || !isXmlChar(c));
        if (bad && !copying) {
            out.reserve(n);
            out.append(text.constData(), i);
            copying = true;
        }
        if (copying) {
            out.append(bad ? QChar(0xFFFD) : QChar(c));
            if (pair)
                out.append(text.at(i + 1));
        }
        if (pair)
            ++i;
    }
    return copying ? out : text;
}

namespace {

class Writer {
public:
    QByteArray out;
    void value(const QVariant &v, int level);

private:
    void indent(int level) { out.append(qsizetype(level), '\t'); }
    void escaped(const QString &s);
    void string(const QString &s, int level);
    void real(double d);
    void date(const QDateTime &dt);
    void data(const QByteArray &bytes, int level);
    template <typename Int> void integer(Int i);
    void dictEntry(const QString &key, const QVariant &v, int level);
};

// UTF-8 with only < > & escaped, as Foundation writes strings. Characters
// XML 1.0 cannot carry (C0 controls other than tab, LF and CR; U+FFFE,
// U+FFFF; lone surrogates) become U+FFFD: Foundation would write them raw and
// leave a file no XML reader accepts, ours included.
void Writer::escaped(const QString &s)
{
    const auto *p = reinterpret_cast<const char16_t *>(s.constData());
    const char16_t *end = p + s.size();
    // Room for the worst case ("&amp;" for one unit), trimmed afterwards.
    const qsizetype start = out.size();
    out.resize(start + 5 * s.size());
    char *d = out.data() + start;
    auto put = [&d](const char *text, size_t n) {
        std::memcpy(d, text, n);
        d += n;
    };
    while (p < end) {
        const char16_t c = *p++;
        if (c < 0x80) {
            if (c == '<')
                put("&lt;", 4);
            else if (c == '>')
                put("&gt;", 4);
            else if (c == '&')
                put("&amp;", 5);
            else if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
                put("\xEF\xBF\xBD", 3);
            else
                *d++ = char(c);
        } else if (c < 0x800) {
            *d++ = char(0xC0 | (c >> 6));
            *d++ = char(0x80 | (c & 0x3F));
        } else if (QChar::isHighSurrogate(c) && p < end && QChar::isLowSurrogate(*p)) {
            const char32_t cp = QChar::surrogateToUcs4(c, *p++);
            *d++ = char(0xF0 | (cp >> 18));
            *d++ = char(0x80 | ((cp >> 12) & 0x3F));
            *d++ = char(0x80 | ((cp >> 6) & 0x3F));
            *d++ = char(0x80 | (cp & 0x3F));
        } else if (QChar::isSurrogate(c) || c == 0xFFFE || c == 0xFFFF) {
            put("\xEF\xBF\xBD", 3);
        } else {
            *d++ = char(0xE0 | (c >> 12));
            *d++ = char(0x80 | ((c >> 6) & 0x3F));
            *d++ = char(0x80 | (c & 0x3F));
        }
    }
    out.truncate(d - out.constData());
}

void Writer::string(const QString &s, int level)
{
    indent(level);
    out.append("<string>");
    escaped(s);
    out.append("</string>\n");
}

// %.17g, except that zero of either sign is "0.0" (Foundation tests
// 0.0 == d, so -0.0 comes out as "0.0" too and reads back as +0.0).
void Writer::real(double d)
{
    if (std::isnan(d)) {
        out.append("nan");
    } else if (std::isinf(d)) {
        out.append(d > 0 ? "+infinity" : "-infinity");
    } else if (d == 0.0) {
        out.append("0.0");
    } else {
        char buf[32];
        const auto r = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::general, 17);
        out.append(buf, qsizetype(r.ptr - buf));
    }
}

template <typename Int> void Writer::integer(Int i)
{
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, i);
    out.append("<integer>");
    out.append(buf, qsizetype(r.ptr - buf));
    out.append("</integer>\n");
}

void appendDigits(QByteArray &out, int64_t v, int width)
{
    char buf[8];
    for (int k = width - 1; k >= 0; --k) {
        buf[k] = char('0' + v % 10);
        v /= 10;
    }
    out.append(buf, width);
}

// Whole seconds, rounded down: an instant half a second before 1970 is
// 1969-12-31T23:59:59Z, as a calendar shows it (and as Foundation writes
// it), not 1970-01-01T00:00:00Z. Instants outside years 1-9999 are clamped
// to that range, which is all the date form can say.
void Writer::date(const QDateTime &dt)
{
    const qint64 ms = dt.toMSecsSinceEpoch();
    int64_t secs = ms / 1000 - (ms % 1000 < 0 ? 1 : 0);
    secs = std::clamp(secs, kFirstSecond, kLastSecond);
    const int64_t days = secs / 86400 - (secs % 86400 < 0 ? 1 : 0);
    const int64_t rest = secs - days * 86400;
    const CivilDate c = civilFromDays(days);
    out.append("<date>");
    appendDigits(out, c.year, 4);
    out.append('-');
    appendDigits(out, c.month, 2);
    out.append('-');
    appendDigits(out, c.day, 2);
    out.append('T');
    appendDigits(out, rest / 3600, 2);
    out.append(':');
    appendDigits(out, rest / 60 % 60, 2);
    out.append(':');
    appendDigits(out, rest % 60, 2);
    out.append("Z</date>\n");
}

// Base64 lines are indented like the tag, at most 8 tabs, and each line's
// length plus 8 per tab makes 76; at the cap that leaves 12 characters, so a
// line is never empty.
void Writer::data(const QByteArray &bytes, int level)
{
    constexpr int kMaxIndent = 8;
    static_assert(76 - 8 * kMaxIndent > 0);
    const int lineIndent = std::min(level, kMaxIndent);
    const qsizetype width = 76 - 8 * lineIndent;
    out.append("<data>\n");
    const QByteArray text = bytes.toBase64();
    for (qsizetype pos = 0; pos < text.size(); pos += width) {
        indent(lineIndent);
        out.append(text.constData() + pos, std::min(width, text.size() - pos));
        out.append('\n');
    }
    indent(level);
    out.append("</data>\n");
}

void Writer::dictEntry(const QString &key, const QVariant &v, int level)
{
    indent(level);
    out.append("<key>");
    escaped(key);
    out.append("</key>\n");
    value(v, level);
}

// Recursive: a QVariant nested deep enough to matter here could not even be
// destroyed without exhausting the stack, and what we read is capped at
// kMaxPlistDepth.
void Writer::value(const QVariant &v, int level)
{
    switch (v.typeId()) {
    case QMetaType::QString:
        string(v.toString(), level);
        return;
    case QMetaType::Bool:
        indent(level);
        out.append(v.toBool() ? "<true/>\n" : "<false/>\n");
        return;
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::SChar:
        indent(level);
        integer(v.toLongLong());
        return;
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UChar:
        indent(level);
        integer(v.toULongLong());
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        indent(level);
        out.append("<real>");
        real(v.toDouble());
        out.append("</real>\n");
        return;
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        if (!dt.isValid())
            break; // no instant to write: its text form, the empty string
        indent(level);
        date(dt);
        return;
    }
    case QMetaType::QByteArray:
        indent(level);
        data(v.toByteArray(), level);
        return;
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        const QVariantList list = v.toList();
        indent(level);
        if (list.isEmpty()) {
            out.append("<array/>\n");
            return;
        }
        out.append("<array>\n");
        for (const QVariant &element : list)
            value(element, level + 1);
        indent(level);
        out.append("</array>\n");
        return;
    }
    case QMetaType::QVariantMap: {
        const QVariantMap map = v.toMap();
        indent(level);
        if (map.isEmpty()) {
            out.append("<dict/>\n");
            return;
        }
        out.append("<dict>\n");
        // QString's operator< compares UTF-16 code units, Foundation's key order.
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            dictEntry(it.key(), it.value(), level + 1);
        indent(level);
        out.append("</dict>\n");
        return;
    }
    default:
        // Other containers (a QList<QVariantMap> of records, a QVariantHash,
        // a QMap of strings) are arrays and dictionaries all the same.
        if (QMetaType::canView(v.metaType(), QMetaType::fromType<QSequentialIterable>())) {
            value(QVariant(v.toList()), level);
            return;
        }
        if (QMetaType::canView(v.metaType(), QMetaType::fromType<QAssociativeIterable>())) {
            value(QVariant(v.toMap()), level);
            return;
        }
        break;
    }
    string(v.toString(), level);
}

} // namespace

QString PlistError::toString() const
{
    if (line <= 0)
        return message;
    return Plist::tr("line %1, column %2: %3").arg(QString::number(line), QString::number(column), message);
}

bool readPlist(const QByteArray &bytes, QVariant *out, PlistError *error)
{
    Reader reader(bytes.constData(), size_t(bytes.size()));
    QVariant value;
    const bool ok = reader.read(&value);
    if (out)
        *out = ok ? value : QVariant();
    if (error)
        *error = ok ? PlistError() : reader.error;
    return ok;
}

bool readPlist(QByteArray &&bytes, QVariant *out, PlistError *error)
{
    QByteArray own = std::move(bytes);
    Reader reader(own.constData(), size_t(own.size()));
    QVariant value;
    const bool ok = reader.read(&value);
    // The document is read and gone; its text goes before the caller
    // goes on with the values.
    own = QByteArray();
    if (out)
        *out = ok ? value : QVariant();
    if (error)
        *error = ok ? PlistError() : reader.error;
    return ok;
}

QByteArray writePlist(const QVariant &root)
{
    Writer writer;
    writer.out.reserve(4096);
    writer.out.append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                      "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                      "<plist version=\"1.0\">\n");
    writer.value(root, 0);
    writer.out.append("</plist>\n");
    return writer.out;
}

} // namespace kov
