#include "storage/plist.h"
#include "storage/utf8.h"

#include <QAssociativeIterable>
#include <QCoreApplication>
#include <QDateTime>
#include <QSequentialIterable>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

#include <pugixml.hpp>

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
#include <unordered_map>
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

// pugixml checks neither the encoding nor the characters, so the whole
// document is scanned once: it must be UTF-8 and hold only XML 1.0
// characters. Returns false with the offset of the first offending byte.
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

Tag tagOf(const char *name)
{
    switch (name[0]) {
    case 'a':
        return std::strcmp(name, "array") == 0 ? Tag::Array : Tag::Unknown;
    case 'd':
        if (std::strcmp(name, "dict") == 0)
            return Tag::Dict;
        if (std::strcmp(name, "date") == 0)
            return Tag::Date;
        return std::strcmp(name, "data") == 0 ? Tag::Data : Tag::Unknown;
    case 'f':
        return std::strcmp(name, "false") == 0 ? Tag::False : Tag::Unknown;
    case 'i':
        return std::strcmp(name, "integer") == 0 ? Tag::Integer : Tag::Unknown;
    case 'k':
        return std::strcmp(name, "key") == 0 ? Tag::Key : Tag::Unknown;
    case 'p':
        return std::strcmp(name, "plist") == 0 ? Tag::Plist : Tag::Unknown;
    case 'r':
        return std::strcmp(name, "real") == 0 ? Tag::Real : Tag::Unknown;
    case 's':
        return std::strcmp(name, "string") == 0 ? Tag::String : Tag::Unknown;
    case 't':
        return std::strcmp(name, "true") == 0 ? Tag::True : Tag::Unknown;
    default:
        return Tag::Unknown;
    }
}

bool isText(pugi::xml_node node)
{
    return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
}

// Short text already met, by its bytes: open addressing with a cheap hash,
// which costs far less per value than the standard map's hashing and
// bucket division did.
class StringPool {
public:
    const QString *find(std::string_view text, uint32_t hash) const
    {
        if (slots.empty())
            return nullptr;
        for (size_t i = hash & (slots.size() - 1);; i = (i + 1) & (slots.size() - 1)) {
            const Slot &slot = slots[i];
            if (!slot.full)
                return nullptr;
            if (slot.hash == hash && slot.size == text.size() &&
                std::memcmp(slot.data, text.data(), text.size()) == 0)
                return &slot.text;
        }
    }
    void insert(std::string_view text, uint32_t hash, const QString &value)
    {
        if ((used + 1) * 2 > slots.size())
            grow();
        size_t i = hash & (slots.size() - 1);
        while (slots[i].full)
            i = (i + 1) & (slots.size() - 1);
        slots[i] = Slot{text.data(), uint32_t(text.size()), hash, true, value};
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

class Reader {
public:
    Reader(const char *data, size_t size) : m_data(data), m_size(size) {}
    // Parses `data` itself, writing into it, instead of a copy.
    Reader(char *data, size_t size) : m_data(data), m_size(size), m_inPlace(data) {}
    bool read(QVariant *out);
    PlistError error;

private:
    // An array or dict being filled; the conversion keeps these on an
    // explicit stack, so nesting depth costs heap, never call stack.
    struct Frame {
        pugi::xml_node element;
        pugi::xml_node next;
        bool isDict = false;
        QVariantList list;
        QVariantMap map;
        QString key;
        pugi::xml_node keyElement; // set while a key waits for its value
    };

    bool fail(size_t offset, const QString &message);
    bool failAt(pugi::xml_node node, const QString &message) { return fail(offsetOf(node), message); }
    size_t offsetOf(pugi::xml_node node) const;
    bool checkPrologue(pugi::xml_node node);
    bool checkAttributes(pugi::xml_node element);
    bool onlySpace(std::string_view text, size_t offset, pugi::xml_node container);
    bool startFrame(Frame &frame, pugi::xml_node element);
    bool nextElement(Frame &frame, pugi::xml_node *child);
    size_t textOffset(const char *text) const { return size_t(text - m_base); }
    bool textOf(pugi::xml_node element, std::string_view *text, size_t *offset, bool *exact);
    bool readScalar(pugi::xml_node element, Tag tag, QVariant *value);
    bool convert(pugi::xml_node root, QVariant *out);
    QString shared(std::string_view text, bool inDocument);

    const char *m_data;
    size_t m_size;
    char *m_inPlace = nullptr;
    const char *m_base = nullptr; // the document pugixml parsed
    std::string m_scratch;
    StringPool m_strings;
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

// Elements point at the '<' that opens them, text at its first character.
size_t Reader::offsetOf(pugi::xml_node node) const
{
    const ptrdiff_t offset = node.offset_debug();
    if (offset < 0)
        return 0;
    if (node.type() == pugi::node_element || node.type() == pugi::node_declaration)
        return size_t(offset) - (node.type() == pugi::node_declaration ? 2 : 1);
    return size_t(offset);
}

bool Reader::checkPrologue(pugi::xml_node node)
{
    if (node.type() == pugi::node_declaration) {
        if (node.previous_sibling() || offsetOf(node) != 0)
            return failAt(node, Plist::tr("the XML declaration must come first in the document"));
        const char *encoding = node.attribute("encoding").value();
        if (*encoding && qstricmp(encoding, "UTF-8") != 0 && qstricmp(encoding, "UTF8") != 0)
            return failAt(node, Plist::tr("encoding %1 is not supported; property lists are UTF-8")
                                    .arg(QString::fromUtf8(encoding)));
        return true;
    }
    // node_doctype: we never expand entities, so a document that declares
    // some cannot be read as its author meant.
    const char *value = node.value();
    if (const char *entity = std::strstr(value, "<!ENTITY"))
        return fail(size_t(offsetOf(node) + size_t(entity - value)),
                    Plist::tr("entity declarations are not supported"));
    return true;
}

bool Reader::checkAttributes(pugi::xml_node element)
{
    for (pugi::xml_attribute attribute = element.first_attribute(); attribute;
         attribute = attribute.next_attribute()) {
        const char *value = attribute.value();
        if (!std::strchr(value, '&'))
            continue;
        m_scratch.clear();
        size_t badAt = 0;
        QString message;
        if (!decodeReferences(value, m_scratch, &badAt, &message))
            return fail(size_t(value - m_base) + badAt, message);
    }
    return true;
}

// Only white space may stand between the values of a container.
bool Reader::onlySpace(std::string_view text, size_t offset, pugi::xml_node container)
{
    const auto it = std::find_if_not(text.begin(), text.end(), isXmlSpace);
    if (it == text.end())
        return true;
    return fail(offset + size_t(it - text.begin()),
                Plist::tr("text is not allowed directly inside <%1>").arg(QLatin1String(container.name())));
}

bool Reader::startFrame(Frame &frame, pugi::xml_node element)
{
    frame.element = element;
    frame.next = element.first_child();
    const char *value = element.value();
    return !*value || onlySpace(value, textOffset(value), element);
}

// The next child element of a container, or a null node at its end.
bool Reader::nextElement(Frame &frame, pugi::xml_node *child)
{
    for (pugi::xml_node node = frame.next; node; node = node.next_sibling()) {
        if (node.type() == pugi::node_element) {
            frame.next = node.next_sibling();
            *child = node;
            return true;
        }
        if (node.type() == pugi::node_cdata)
            return failAt(node, Plist::tr("text is not allowed directly inside <%1>")
                                    .arg(QLatin1String(frame.element.name())));
        if (node.type() == pugi::node_pcdata && !onlySpace(node.value(), offsetOf(node), frame.element))
            return false;
    }
    frame.next = pugi::xml_node();
    *child = pugi::xml_node();
    return true;
}

// The character data of a scalar element. pugixml keeps the first piece as
// the element's value, any further pieces (after a comment or CDATA section)
// as children. `exact` says whether offsets inside the text map one to one
// onto the document (a single piece, no references replaced, and in the
// parsed document rather than our scratch buffer).
bool Reader::textOf(pugi::xml_node element, std::string_view *text, size_t *offset, bool *exact)
{
    const char *value = element.value();
    pugi::xml_node child = element.first_child();
    *offset = *value ? textOffset(value) : offsetOf(element);
    *exact = true;
    if (!child && !std::strchr(value, '&')) {
        *text = value;
        return true;
    }
    if (!*value && isText(child) && !child.next_sibling() &&
        (child.type() == pugi::node_cdata || !std::strchr(child.value(), '&'))) {
        *offset = offsetOf(child);
        *text = child.value();
        return true;
    }
    *exact = false;
    m_scratch.clear();
    size_t badAt = 0;
    QString message;
    if (*value && !decodeReferences(value, m_scratch, &badAt, &message))
        return fail(textOffset(value) + badAt, message);
    for (; child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element)
            return failAt(child, Plist::tr("<%1> cannot hold <%2>")
                                     .arg(QLatin1String(element.name()), QString::fromUtf8(child.name())));
        if (!isText(child))
            continue;
        if (!*value && m_scratch.empty())
            *offset = offsetOf(child);
        if (child.type() == pugi::node_cdata)
            m_scratch += child.value();
        else if (!decodeReferences(child.value(), m_scratch, &badAt, &message))
            return fail(offsetOf(child) + badAt, message);
    }
    *text = m_scratch;
    return true;
}

// Keys and short values repeat from record to record (the same property,
// provider and task names, the same amounts); like Foundation's reader we
// share one QString for each, which saves an allocation per value. Only text
// that lies in the parsed document can serve as a lookup key.
QString Reader::shared(std::string_view text, bool inDocument)
{
    constexpr size_t kMaxLength = 40;
    constexpr size_t kMaxEntries = 8192;
    if (text.size() > kMaxLength)
        return QString::fromUtf8(text.data(), qsizetype(text.size()));
    const uint32_t hash = StringPool::hashOf(text);
    if (const QString *known = m_strings.find(text, hash))
        return *known;
    QString s = QString::fromUtf8(text.data(), qsizetype(text.size()));
    if (inDocument && m_strings.size() < kMaxEntries)
        m_strings.insert(text, hash, s);
    return s;
}

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

bool Reader::readScalar(pugi::xml_node element, Tag tag, QVariant *value)
{
    if (element.first_attribute() && !checkAttributes(element))
        return false;
    switch (tag) {
    case Tag::Unknown:
        return failAt(element, Plist::tr("unknown element <%1>").arg(QString::fromUtf8(element.name())));
    case Tag::Plist:
        return failAt(element, Plist::tr("<plist> can only be the root element"));
    case Tag::Key:
        return failAt(element, Plist::tr("<key> outside a <dict>"));
    case Tag::Array:
    case Tag::Dict:
        break; // containers never get here
    default:
        break;
    }
    std::string_view text;
    size_t offset = 0;
    bool exact = true;
    if (!textOf(element, &text, &offset, &exact))
        return false;
    switch (tag) {
    case Tag::String:
        *value = shared(text, exact);
        return true;
    case Tag::True:
    case Tag::False:
        if (!isAllXmlSpace(text))
            return fail(offset, Plist::tr("<%1/> cannot hold text").arg(QLatin1String(element.name())));
        *value = tag == Tag::True;
        return true;
    case Tag::Integer: {
        bool overflow = false;
        if (!parseInteger(trimmed(text), value, &overflow))
            return fail(offset, overflow ? Plist::tr("integer out of range: %1").arg(quoted(text))
                                         : Plist::tr("not an integer: \"%1\"").arg(quoted(text)));
        return true;
    }
    case Tag::Real: {
        double d = 0;
        if (!parseReal(trimmed(text), &d))
            return fail(offset, Plist::tr("not a real number: \"%1\"").arg(quoted(text)));
        *value = d;
        return true;
    }
    case Tag::Date: {
        int64_t msecs = 0;
        if (!parseDate(trimmed(text), &msecs))
            return fail(offset,
                        Plist::tr("not a date of the form YYYY-MM-DDTHH:MM:SSZ (years 0001-9999): \"%1\"")
                            .arg(quoted(text)));
        *value = QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
        return true;
    }
    case Tag::Data: {
        QByteArray bytes;
        size_t badAt = 0;
        QString message;
        if (!decodeBase64(text, &bytes, &badAt, &message))
            return fail(exact ? offset + badAt : offset, message);
        *value = bytes;
        return true;
    }
    default:
        return false;
    }
}

bool Reader::convert(pugi::xml_node root, QVariant *out)
{
    std::vector<Frame> stack;
    stack.reserve(8);
    pugi::xml_node element = root;
    QVariant value;
    auto deliver = [](Frame &frame, QVariant &&v) {
        if (frame.isDict) {
            // Keys come sorted, so the end is the place; a repeated key: the last one wins.
            frame.map.insert(frame.map.cend(), frame.key, v);
            frame.keyElement = pugi::xml_node();
        } else {
            frame.list.append(std::move(v));
        }
    };
    for (;;) {
        const Tag tag = tagOf(element.name());
        if (tag == Tag::Array || tag == Tag::Dict) {
            if (element.first_attribute() && !checkAttributes(element))
                return false;
            if (stack.size() >= size_t(kMaxPlistDepth))
                return failAt(element, Plist::tr("arrays and dictionaries are nested deeper than %1 levels")
                                           .arg(kMaxPlistDepth));
            stack.emplace_back();
            stack.back().isDict = tag == Tag::Dict;
            if (!startFrame(stack.back(), element))
                return false;
        } else {
            if (!readScalar(element, tag, &value))
                return false;
            if (stack.empty()) {
                *out = std::move(value);
                return true;
            }
            deliver(stack.back(), std::move(value));
        }
        // Find the next value to start, closing the containers that are done.
        for (;;) {
            Frame &top = stack.back();
            pugi::xml_node child;
            if (!nextElement(top, &child))
                return false;
            if (!child) {
                if (top.keyElement)
                    return failAt(top.keyElement, Plist::tr("<key>%1</key> has no value").arg(top.key));
                value = top.isDict ? QVariant(top.map) : QVariant(top.list);
                stack.pop_back();
                if (stack.empty()) {
                    *out = std::move(value);
                    return true;
                }
                deliver(stack.back(), std::move(value));
                continue;
            }
            if (top.isDict) {
                const bool isKey = std::strcmp(child.name(), "key") == 0;
                if (!top.keyElement) {
                    if (!isKey)
                        return failAt(child, Plist::tr("<%1> in a <dict> must follow a <key>")
                                                 .arg(QString::fromUtf8(child.name())));
                    std::string_view text;
                    size_t offset = 0;
                    bool exact = true;
                    if ((child.first_attribute() && !checkAttributes(child)) ||
                        !textOf(child, &text, &offset, &exact))
                        return false;
                    top.key = shared(text, exact);
                    top.keyElement = child;
                    continue;
                }
                if (isKey)
                    return failAt(top.keyElement, Plist::tr("<key>%1</key> has no value").arg(top.key));
            }
            element = child;
            break;
        }
    }
}

QString describe(pugi::xml_parse_status status)
{
    switch (status) {
    case pugi::status_out_of_memory:
        return Plist::tr("out of memory");
    case pugi::status_unrecognized_tag:
        return Plist::tr("malformed markup (a '<' that starts no tag?)");
    case pugi::status_bad_pi:
        return Plist::tr("malformed XML declaration or processing instruction");
    case pugi::status_bad_comment:
        return Plist::tr("malformed comment");
    case pugi::status_bad_cdata:
        return Plist::tr("malformed CDATA section");
    case pugi::status_bad_doctype:
        return Plist::tr("malformed DOCTYPE");
    case pugi::status_bad_pcdata:
        return Plist::tr("malformed text");
    case pugi::status_bad_start_element:
        return Plist::tr("malformed start tag");
    case pugi::status_bad_attribute:
        return Plist::tr("malformed attribute");
    case pugi::status_bad_end_element:
        return Plist::tr("malformed end tag");
    case pugi::status_end_element_mismatch:
        return Plist::tr("end tag does not match the open element");
    default:
        return Plist::tr("not well-formed XML");
    }
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
        if (m_inPlace)
            m_inPlace += 3;
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

    // No entity or end-of-line processing: text stays as raw bytes, so
    // offsets hold and references are decoded (and checked) here. Carriage
    // returns stay as they are, as in Foundation's reader. Fragment mode keeps
    // top-level text visible to us instead of dropping it. Text is embedded in
    // its element and white space between elements is dropped, which keeps
    // the tree to a third of the nodes; white space is still kept when it is
    // all an element holds (<string> </string>). The one loss: a run of white
    // space between a comment or CDATA section and the end tag of a <string>,
    // which no property-list writer produces (Foundation's own reader refuses
    // comments inside strings altogether).
    constexpr unsigned kOptions = pugi::parse_cdata | pugi::parse_ws_pcdata_single |
                                  pugi::parse_embed_pcdata | pugi::parse_doctype | pugi::parse_declaration |
                                  pugi::parse_fragment;
    pugi::xml_document doc;
    const pugi::xml_parse_result result =
        m_inPlace ? doc.load_buffer_inplace(m_inPlace, m_size, kOptions, pugi::encoding_utf8)
                  : doc.load_buffer(m_data, m_size, kOptions, pugi::encoding_utf8);
    if (!result) {
        const auto offset = size_t(std::max<ptrdiff_t>(result.offset, 0));
        // pugixml places a missing end tag on the last byte; the end is where it is missing.
        if (result.status == pugi::status_end_element_mismatch && offset + 1 >= m_size)
            return fail(m_size, Plist::tr("the document ends before all elements are closed"));
        return fail(offset, describe(result.status));
    }

    pugi::xml_node root;
    for (pugi::xml_node node = doc.first_child(); node; node = node.next_sibling()) {
        switch (node.type()) {
        case pugi::node_declaration:
        case pugi::node_doctype:
            if (root)
                return failAt(node, Plist::tr("markup after the root element"));
            if (!checkPrologue(node))
                return false;
            break;
        case pugi::node_element:
            if (root)
                return failAt(node,
                              Plist::tr("a second root element <%1>").arg(QString::fromUtf8(node.name())));
            root = node;
            m_base = node.name() - node.offset_debug();
            break;
        case pugi::node_pcdata:
        case pugi::node_cdata:
            if (node.type() == pugi::node_cdata || !isAllXmlSpace(node.value()))
                return failAt(node,
                              root ? Plist::tr("text after the root element")
                                   : Plist::tr("not an XML property list: text before the root element"));
            break;
        default:
            break;
        }
    }
    if (!root)
        return fail(m_size, Plist::tr("no root element"));
    if (root.first_attribute() && !checkAttributes(root))
        return false;

    pugi::xml_node valueElement = root;
    if (tagOf(root.name()) == Tag::Plist) {
        Frame frame;
        if (!startFrame(frame, root) || !nextElement(frame, &valueElement))
            return false;
        if (!valueElement)
            return failAt(root, Plist::tr("<plist> holds no value"));
        pugi::xml_node second;
        if (!nextElement(frame, &second))
            return false;
        if (second)
            return failAt(second, Plist::tr("<plist> can hold only one value"));
    }
    return convert(valueElement, out);
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
    Reader reader(own.data(), size_t(own.size()));
    QVariant value;
    const bool ok = reader.read(&value);
    // The document is parsed and gone; its text goes before the caller
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
