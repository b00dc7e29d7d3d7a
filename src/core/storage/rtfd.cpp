#include "storage/rtfd.h"

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

#include <QFont>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QtEndian>

#include "storage/clock.h"

namespace kov {

namespace {

// What survives of rich text: paragraphs of runs, each run one combination of
// bold, italic and underline. Both the document and the plain text are made
// from this, so the command line never needs a QTextDocument.
struct Run {
    QString text;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool sameLook(const Run &o) const
    {
        return bold == o.bold && italic == o.italic && underline == o.underline;
    }
};
using Paragraph = QList<Run>;
using Paragraphs = QList<Paragraph>;

void appendToParagraph(Paragraph &p, const Run &look, QStringView text)
{
    if (text.isEmpty())
        return;
    if (!p.isEmpty() && p.last().sameLook(look)) {
        p.last().text += text;
        return;
    }
    Run r = look;
    r.text = text.toString();
    p.append(r);
}

// ---------------------------------------------------------------- flattened RTFD

constexpr quint32 kPaddedSizeWord = 0x80000000u;
constexpr quint32 kTypeData = 1;
constexpr quint32 kTypeDirectory = 3;
constexpr quint32 kTypeString = 4;

bool u32At(QByteArrayView blob, qint64 off, quint32 *v)
{
    if (off < 0 || off > blob.size() - 4)
        return false;
    *v = qFromLittleEndian<quint32>(blob.data() + off);
    return true;
}

// Where the bytes of a data or string record start and how many there are;
// a length running past the blob is cut at its end so the readable part stays.
bool recordPayload(QByteArrayView blob, qint64 off, quint32 *type, qint64 *start, qint64 *len)
{
    quint32 word = 0;
    if (!u32At(blob, off, type) || !u32At(blob, off + 4, &word))
        return false;
    if (*type != kTypeData && *type != kTypeString)
        return false;
    *start = off + 8;
    *len = word;
    if (word == kPaddedSizeWord) {
        quint32 realLen = 0, pad = 0;
        if (!u32At(blob, off + 8, &realLen) || !u32At(blob, off + 12, &pad))
            return false;
        *start = off + 16 + qint64(pad);
        *len = realLen;
    }
    return *start <= blob.size();
}

// The full size of a record whose size can be told from its content; -1 for
// arrays and directories, which only the length table can skip.
qint64 selfDescribedSize(QByteArrayView blob, qint64 off)
{
    quint32 type = 0;
    qint64 start = 0, len = 0;
    if (!recordPayload(blob, off, &type, &start, &len) || len > blob.size() - start)
        return -1;
    return start + len - off;
}

bool regularFileAt(QByteArrayView blob, qint64 off, QByteArrayView *out)
{
    quint32 type = 0;
    qint64 start = 0, len = 0;
    if (!recordPayload(blob, off, &type, &start, &len) || type != kTypeData)
        return false;
    *out = blob.sliced(start, std::min(len, blob.size() - start));
    return true;
}

// The checks macOS makes on a name at the top level; "." is the metadata entry.
bool isValidEntryName(QByteArrayView name)
{
    return name != "/" && name != ".." && !name.contains('/');
}

// The RTF of a flattened RTFD: "TXT.rtf", else "index.rtf", a regular file
// starting with "{".
bool extractRtf(QByteArrayView blob, QByteArrayView *rtf)
{
    quint32 version = 0, rootType = 0, count = 0;
    if (!blob.startsWith("rtfd") || !u32At(blob, 4, &version) || version != 0 || !u32At(blob, 8, &rootType) ||
        rootType != kTypeDirectory || !u32At(blob, 12, &count))
        return false;
    qint64 pos = 16;
    // Every entry takes at least a name length and a value length; this also
    // bounds what gets allocated below.
    if (count > (blob.size() - pos) / 8)
        return false;

    QList<QByteArrayView> names;
    names.reserve(count);
    for (quint32 i = 0; i < count; ++i) {
        quint32 len = 0;
        if (!u32At(blob, pos, &len) || len > blob.size() - pos - 4)
            return false;
        const QByteArrayView name = blob.sliced(pos + 4, len);
        if (!isValidEntryName(name))
            return false;
        names.append(name);
        pos += 4 + qint64(len);
    }
    QList<quint32> lengths;
    lengths.reserve(count);
    for (quint32 i = 0; i < count; ++i) {
        quint32 len = 0;
        if (!u32At(blob, pos, &len))
            return false;
        lengths.append(len);
        pos += 4;
    }
    const qint64 valuesStart = pos;

    qsizetype index = names.indexOf("TXT.rtf");
    if (index < 0)
        index = names.indexOf("index.rtf");
    if (index < 0)
        return false;

    qint64 off = valuesStart;
    for (qsizetype i = 0; i < index; ++i)
        off += lengths[i];
    if (regularFileAt(blob, off, rtf) && rtf->startsWith('{'))
        return true;

    // A damaged length table: step over the records before it by their own sizes.
    off = valuesStart;
    for (qsizetype i = 0; i < index; ++i) {
        const qint64 size = selfDescribedSize(blob, off);
        if (size < 0)
            return false;
        off += size;
    }
    return regularFileAt(blob, off, rtf) && rtf->startsWith('{');
}

void putU32(QByteArray &out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

void putName(QByteArray &out, QByteArrayView name)
{
    putU32(out, quint32(name.size()));
    out.append(name);
}

// ---------------------------------------------------------------- RTF reading

// Windows-1252 for 0x80..0x9F; the rest of the upper half is Latin-1.
constexpr char16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t fromCp1252(uchar b)
{
    return (b >= 0x80 && b < 0xA0) ? kCp1252High[b - 0x80] : char16_t(b);
}

// Groups whose content is never text.
// clang-format off
constexpr const char *kSkippedDestinations[] = {
    "NeXTGraphic", "annotation", "bkmkend", "bkmkstart", "colorschememapping", "colortbl", "datastore",
    "docvar", "expandedcolortbl", "filetbl", "fldinst", "fonttbl", "footer", "footerf", "footerl",
    "footerr", "footnote", "generator", "header", "headerf", "headerl", "headerr", "info",
    "latentstyles", "listoverridetable", "listtable", "nonshppict", "object", "pgdsctbl", "pict",
    "private", "revtbl", "rsidtbl", "shppict", "stylesheet", "tc", "themedata", "userprops", "xe",
    "xmlnstbl"};
// clang-format on

constexpr const char *kUnderlineWords[] = {
    "ul",    "uld",      "uldash",    "uldashd",    "uldashdd",  "uldb",       "ulhwave", "ulldash", "ulth",
    "ulthd", "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw",     "ulwave"};

struct NamedChar {
    const char *word;
    char16_t ch;
};
constexpr NamedChar kNamedChars[] = {
    {"bullet", 0x2022},    {"emdash", 0x2014}, {"emspace", 0x2003}, {"endash", 0x2013},  {"enspace", 0x2002},
    {"ldblquote", 0x201C}, {"line", 0x2028},   {"lquote", 0x2018},  {"ltrmark", 0x200E}, {"qmspace", 0x2005},
    {"rdblquote", 0x201D}, {"rquote", 0x2019}, {"rtlmark", 0x200F}, {"tab", u'\t'},      {"cell", u'\t'},
    {"zwj", 0x200D},       {"zwnj", 0x200C}};

template <typename List> bool wordIn(QByteArrayView word, const List &list)
{
    return std::any_of(std::begin(list), std::end(list), [&](const char *w) { return word == w; });
}

bool isLetter(uchar c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(uchar c)
{
    return c >= '0' && c <= '9';
}

int hexValue(uchar c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A small RTF reader: no recursion, so nesting costs heap, and that is capped.
class RtfReader {
public:
    explicit RtfReader(QByteArrayView in) : in_(in) {}

    Paragraphs read()
    {
        out_.append(Paragraph());
        while (pos_ < in_.size() && !done_) {
            const uchar c = uchar(in_[pos_++]);
            switch (c) {
            case '{':
                openGroup();
                break;
            case '}':
                closeGroup();
                break;
            case '\\':
                escape();
                break;
            case '\r':
            case '\n':
                break;
            default:
                if (!consumeFallback())
                    emitUnit(fromCp1252(c));
            }
        }
        flushHighSurrogate();
        return out_;
    }

private:
    static constexpr size_t kMaxDepth = 256;
    static constexpr int kMaxFallback = 16;

    struct State {
        Run look;
        bool skip = false;
        bool attachment = false;
        int uc = 1;
    };

    void openGroup()
    {
        fallbackLeft_ = 0;
        dropAttachmentMark_ = false;
        if (stack_.size() >= kMaxDepth) {
            ++overflow_;
            return;
        }
        stack_.push_back(st_);
        st_.attachment = false;
    }

    void closeGroup()
    {
        fallbackLeft_ = 0;
        if (overflow_ > 0) {
            --overflow_;
            return;
        }
        if (stack_.empty()) {
            done_ = true;
            return;
        }
        // Cocoa follows an attachment group with a "¬" standing for the image.
        dropAttachmentMark_ = st_.attachment;
        st_ = stack_.back();
        stack_.pop_back();
        done_ = stack_.empty();
    }

    // \ucN: the characters after \uN that stand in for readers without Unicode.
    bool consumeFallback()
    {
        if (fallbackLeft_ <= 0)
            return false;
        --fallbackLeft_;
        return true;
    }

    void escape()
    {
        if (pos_ >= in_.size())
            return;
        const uchar c = uchar(in_[pos_]);
        if (isLetter(c)) {
            controlWord();
            return;
        }
        ++pos_;
        switch (c) {
        case '\'': {
            int value = 0, digits = 0;
            for (; digits < 2 && pos_ < in_.size(); ++digits, ++pos_) {
                const int h = hexValue(uchar(in_[pos_]));
                if (h < 0)
                    break;
                value = value * 16 + h;
            }
            if (!consumeFallback() && digits == 2)
                emitUnit(fromCp1252(uchar(value)));
            return;
        }
        case '\r':
        case '\n':
            if (c == '\r' && pos_ < in_.size() && in_[pos_] == '\n')
                ++pos_;
            if (!consumeFallback())
                paragraphBreak();
            return;
        case '*':
            st_.skip = true;
            return;
        default:
            break;
        }
        if (consumeFallback())
            return;
        switch (c) {
        case '\\':
        case '{':
        case '}':
            emitUnit(c);
            break;
        case '~':
            emitUnit(0x00A0);
            break;
        case '_':
            emitUnit(0x2011);
            break;
        default: // \- (optional hyphen), \| \: and unknown symbols
            break;
        }
    }

    void controlWord()
    {
        const qsizetype start = pos_;
        while (pos_ < in_.size() && isLetter(uchar(in_[pos_])))
            ++pos_;
        const QByteArrayView word = in_.sliced(start, pos_ - start);
        bool negative = false;
        if (pos_ + 1 < in_.size() && in_[pos_] == '-' && isDigit(uchar(in_[pos_ + 1]))) {
            negative = true;
            ++pos_;
        }
        bool hasParam = false;
        qint64 param = 0;
        while (pos_ < in_.size() && isDigit(uchar(in_[pos_]))) {
            hasParam = true;
            if (param < 100000000000LL) // saturate long digit strings
                param = param * 10 + (in_[pos_] - '0');
            ++pos_;
        }
        if (negative)
            param = -param;
        if (pos_ < in_.size() && in_[pos_] == ' ')
            ++pos_;
        apply(word, hasParam, param);
    }

    void apply(QByteArrayView word, bool hasParam, qint64 param)
    {
        if (word == "bin") { // raw bytes follow, whatever they look like
            if (hasParam && param > 0)
                pos_ += std::min<qint64>(param, in_.size() - pos_);
            consumeFallback();
            return;
        }
        if (consumeFallback())
            return;
        const bool on = !hasParam || param != 0;
        if (word == "par" || word == "sect" || word == "page" || word == "row") {
            paragraphBreak();
        } else if (word == "b") {
            st_.look.bold = on;
        } else if (word == "i") {
            st_.look.italic = on;
        } else if (word == "ulnone") {
            st_.look.underline = false;
        } else if (wordIn(word, kUnderlineWords)) {
            st_.look.underline = on;
        } else if (word == "plain") {
            st_.look = Run();
        } else if (word == "uc") {
            if (hasParam)
                st_.uc = int(std::clamp<qint64>(param, 0, kMaxFallback));
        } else if (word == "u") {
            qint64 unit = param < 0 ? param + 65536 : param;
            if (!hasParam || unit < 0 || unit > 0xFFFF)
                unit = 0xFFFD;
            emitUnit(char16_t(unit));
            fallbackLeft_ = st_.uc;
        } else if (word == "NeXTGraphic") {
            st_.skip = true;
            st_.attachment = true;
        } else if (wordIn(word, kSkippedDestinations)) {
            st_.skip = true;
        } else {
            for (const NamedChar &n : kNamedChars) {
                if (word == n.word) {
                    emitUnit(n.ch);
                    break;
                }
            }
        }
    }

    void paragraphBreak()
    {
        if (st_.skip)
            return;
        flushHighSurrogate();
        dropAttachmentMark_ = false;
        out_.append(Paragraph());
    }

    void emitUnit(char16_t u)
    {
        if (st_.skip)
            return;
        if (std::exchange(dropAttachmentMark_, false) && u == 0x00AC)
            return;
        if (u == u'\n' || u == u'\r' || u == 0x2029) {
            paragraphBreak();
            return;
        }
        if (QChar::isHighSurrogate(u)) {
            flushHighSurrogate();
            pendingHigh_ = u;
            return;
        }
        if (QChar::isLowSurrogate(u)) {
            if (pendingHigh_ != 0) {
                const char16_t pair[2] = {std::exchange(pendingHigh_, char16_t(0)), u};
                appendToParagraph(out_.last(), st_.look, QStringView(pair, 2));
            } else {
                append(QChar::ReplacementCharacter);
            }
            return;
        }
        flushHighSurrogate();
        // Other control characters and attachment placeholders carry no text.
        if ((u < 0x20 && u != u'\t') || u == QChar::ObjectReplacementCharacter)
            return;
        append(u);
    }

    void flushHighSurrogate()
    {
        if (std::exchange(pendingHigh_, char16_t(0)) != 0)
            append(QChar::ReplacementCharacter);
    }

    void append(char16_t u) { appendToParagraph(out_.last(), st_.look, QStringView(&u, 1)); }

    QByteArrayView in_;
    qsizetype pos_ = 0;
    std::vector<State> stack_;
    State st_;
    int overflow_ = 0;
    int fallbackLeft_ = 0;
    char16_t pendingHigh_ = 0;
    bool dropAttachmentMark_ = false;
    bool done_ = false;
    Paragraphs out_;
};

bool parseRichText(const QByteArray &data, Paragraphs *out)
{
    QByteArrayView rtf;
    if (data.startsWith("{\\rtf"))
        rtf = data;
    else if (!extractRtf(data, &rtf))
        return false;
    *out = RtfReader(rtf).read();
    return true;
}

// ---------------------------------------------------------------- RTF writing

const char *const kHelvetica[4] = {"Helvetica", "Helvetica-Bold", "Helvetica-Oblique",
                                   "Helvetica-BoldOblique"};

int fontVariant(const Run &r)
{
    return (r.bold ? 1 : 0) + (r.italic ? 2 : 0);
}

void escapeText(QByteArray &out, QStringView text)
{
    bool inUnicode = false; // one \uc0 ahead of a stretch of \u escapes
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c == u'\\' || c == u'{' || c == u'}') {
            out += '\\';
            out += char(c);
        } else if (c == u'\t') {
            out += "\\tab ";
        } else if (c >= 0x20 && c < 0x7F) {
            out += char(c);
        } else if (c >= 0xA0 && c <= 0xFF) {
            out += "\\'" + QByteArray::number(c, 16).rightJustified(2, '0');
        } else if (c == QChar::ObjectReplacementCharacter) {
            continue; // an attachment, which a text-only RTFD cannot carry
        } else {
            if (!inUnicode)
                out += "\\uc0";
            out += "\\u" + QByteArray::number(c) + ' ';
            inUnicode = true;
            continue;
        }
        inUnicode = false;
    }
}

QByteArray cocoaRtf(const Paragraphs &paragraphs)
{
    // Cocoa numbers its fonts in the order the text first uses them.
    QList<int> fonts;
    for (const Paragraph &p : paragraphs)
        for (const Run &r : p)
            if (!fonts.contains(fontVariant(r)))
                fonts.append(fontVariant(r));
    if (fonts.isEmpty())
        fonts.append(0);

    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\cocoartf2822\n"
                     "\\cocoatextscaling0\\cocoaplatform0{\\fonttbl";
    for (qsizetype k = 0; k < fonts.size(); ++k)
        out += "\\f" + QByteArray::number(k) + "\\fswiss\\fcharset0 " + kHelvetica[fonts[k]] + ';';
    out += "}\n"
           "{\\colortbl;\\red255\\green255\\blue255;}\n"
           "{\\*\\expandedcolortbl;;}\n"
           "\\pard\\tx560\\tx1120\\tx1680\\tx2240\\tx2800\\tx3360\\tx3920\\tx4480\\tx5040\\tx5600\\tx6160"
           "\\tx6720\\pardirnatural\\partightenfactor0\n"
           "\n";

    Run cur;
    for (const Paragraph &p : paragraphs) {
        if (!p.isEmpty()) {
            cur = p.first();
            break;
        }
    }
    out += "\\f0";
    if (cur.bold)
        out += "\\b";
    if (cur.italic)
        out += "\\i";
    out += "\\fs24 \\cf0 ";
    if (cur.underline)
        out += "\\ul \\ulc0 ";

    for (qsizetype k = 0; k < paragraphs.size(); ++k) {
        if (k > 0)
            out += "\\\n";
        for (const Run &r : paragraphs[k]) {
            if (!r.sameLook(cur)) {
                if (fontVariant(r) != fontVariant(cur))
                    out += "\\f" + QByteArray::number(fonts.indexOf(fontVariant(r)));
                if (r.bold != cur.bold)
                    out += r.bold ? "\\b" : "\\b0";
                if (r.italic != cur.italic)
                    out += r.italic ? "\\i" : "\\i0";
                if (r.underline != cur.underline)
                    out += r.underline ? "\\ul \\ulc0" : "\\ulnone";
                out += ' ';
                cur = r;
            }
            escapeText(out, r.text);
        }
    }
    out += '}';
    return out;
}

Paragraphs paragraphsOf(const QTextDocument &doc)
{
    Paragraphs out;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        Paragraph p;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (!frag.isValid())
                continue;
            const QTextCharFormat f = frag.charFormat();
            Run look;
            look.bold = f.fontWeight() > QFont::Medium;
            look.italic = f.fontItalic();
            look.underline = f.fontUnderline() || f.underlineStyle() != QTextCharFormat::NoUnderline;
            QString text = frag.text();
            text.remove(QChar::ObjectReplacementCharacter);
            appendToParagraph(p, look, text);
        }
        out.append(p);
    }
    if (out.isEmpty())
        out.append(Paragraph());
    return out;
}

quint32 nowStamp()
{
    return quint32(std::clamp<qint64>(Clock::now().toSecsSinceEpoch(), 0, 0xFFFFFFFFLL));
}

} // namespace

bool readRichText(const QByteArray &data, QTextDocument *doc)
{
    Paragraphs paragraphs;
    const bool ok = parseRichText(data, &paragraphs);
    if (!doc)
        return ok;
    doc->clear();
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    for (qsizetype k = 0; k < paragraphs.size(); ++k) {
        if (k > 0)
            cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        for (const Run &r : paragraphs[k]) {
            QTextCharFormat f;
            f.setFontWeight(r.bold ? QFont::Bold : QFont::Normal);
            f.setFontItalic(r.italic);
            f.setFontUnderline(r.underline);
            cursor.insertText(r.text, f);
        }
    }
    cursor.endEditBlock();
    return ok;
}

QString plainTextOfRichText(const QByteArray &data)
{
    Paragraphs paragraphs;
    if (!parseRichText(data, &paragraphs))
        return QString();
    QString text;
    for (qsizetype k = 0; k < paragraphs.size(); ++k) {
        if (k > 0)
            text += u'\n';
        for (const Run &r : paragraphs[k])
            text += r.text;
    }
    text.replace(QChar::LineSeparator, u'\n');
    return text;
}

QByteArray writeCocoaRtf(const QTextDocument &doc)
{
    return cocoaRtf(paragraphsOf(doc));
}

QByteArray writeFlatRtfd(const QByteArray &rtf, quint32 mtime)
{
    static constexpr QByteArrayView kText = "TXT.rtf";
    static constexpr quint32 kMetadataSize = 35; // count, one name, one length, one 16-byte record
    QByteArray out;
    out.reserve(91 + rtf.size());
    out += "rtfd";
    putU32(out, 0);
    putU32(out, kTypeDirectory);
    putU32(out, 2);
    putName(out, kText);
    putName(out, ".");
    putU32(out, quint32(8 + rtf.size()));
    putU32(out, 8 + kMetadataSize);
    putU32(out, kTypeData);
    putU32(out, quint32(rtf.size()));
    out += rtf;
    putU32(out, kTypeData);
    putU32(out, kMetadataSize);
    putU32(out, 1);
    putName(out, kText);
    putU32(out, 16);
    putU32(out, mtime);
    putU32(out, 0x1B6); // rw-rw-rw-
    putU32(out, 0);
    putU32(out, 0);
    return out;
}

QByteArray rtfdFromDocument(const QTextDocument &doc)
{
    return writeFlatRtfd(writeCocoaRtf(doc), nowStamp());
}

QByteArray rtfdFromPlainText(const QString &text)
{
    QString normalized = text;
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalized.replace(u'\r', u'\n');
    normalized.replace(QChar::ParagraphSeparator, u'\n');
    Paragraphs paragraphs;
    for (const QString &line : normalized.split(u'\n')) {
        Paragraph p;
        appendToParagraph(p, Run(), line);
        paragraphs.append(p);
    }
    return writeFlatRtfd(cocoaRtf(paragraphs), nowStamp());
}

} // namespace kov
