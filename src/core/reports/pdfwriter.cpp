#include "reports/pdfwriter.h"

#include <algorithm>
#include <cmath>
#include <deque>

#include <QDateTime>
#include <QHash>
#include <QIODevice>
#include <QRawFont>
#include <QtConcurrent/QtConcurrentRun>

namespace kov {

namespace {

// Deflate at its fastest: a report's pages are short, repetitive texts that
// the fastest level already shrinks to about a fifth, at a fraction of the
// time of the default level.
constexpr int compressionLevel = 1;

quint16 u16(const QByteArray &table, qsizetype at)
{
    if (at < 0 || at + 2 > table.size())
        return 0;
    const auto *p = reinterpret_cast<const uchar *>(table.constData()) + at;
    return quint16((p[0] << 8) | p[1]);
}

qint16 s16(const QByteArray &table, qsizetype at)
{
    return qint16(u16(table, at));
}

quint32 u32(const QByteArray &table, qsizetype at)
{
    return (quint32(u16(table, at)) << 16) | u16(table, at + 2);
}

void put16(QByteArray &table, qsizetype at, quint16 v)
{
    if (at + 2 > table.size())
        return;
    table[at] = char(v >> 8);
    table[at + 1] = char(v);
}

void put32(QByteArray &table, qsizetype at, quint32 v)
{
    put16(table, at, quint16(v >> 16));
    put16(table, at + 2, quint16(v));
}

void append16(QByteArray &out, quint16 v)
{
    out.append(char(v >> 8));
    out.append(char(v));
}

void append32(QByteArray &out, quint32 v)
{
    append16(out, quint16(v >> 16));
    append16(out, quint16(v));
}

quint32 tableChecksum(const QByteArray &data)
{
    quint32 sum = 0;
    for (qsizetype i = 0; i < data.size(); i += 4) {
        quint32 word = 0;
        for (int k = 0; k < 4; ++k)
            word = (word << 8) | (i + k < data.size() ? uchar(data[i + k]) : 0);
        sum += word;
    }
    return sum;
}

// A number as PDF writes it: at most `decimals` (0 to 3) places, no
// trailing zeros, never an exponent.
void appendNumber(QByteArray &out, double v, int decimals = 2)
{
    static constexpr qint64 scales[] = {1, 10, 100, 1000};
    const qint64 scale = scales[std::clamp(decimals, 0, 3)];
    qint64 units = qRound64(v * double(scale));
    char buffer[32];
    char *end = buffer + sizeof buffer;
    char *p = end;
    const bool negative = units < 0;
    if (negative)
        units = -units;
    qint64 whole = units / scale;
    qint64 fraction = units % scale;
    if (fraction) {
        int places = 0;
        for (qint64 s = scale; s > 1; s /= 10)
            ++places;
        while (fraction % 10 == 0) {
            fraction /= 10;
            --places;
        }
        for (; places > 0; --places, fraction /= 10)
            *--p = char('0' + fraction % 10);
        *--p = '.';
    }
    do {
        *--p = char('0' + whole % 10);
        whole /= 10;
    } while (whole);
    if (negative)
        *--p = '-';
    out.append(p, end - p);
}

void appendHex16(QByteArray &out, quint32 v)
{
    static const char digits[] = "0123456789ABCDEF";
    const char text[4] = {digits[(v >> 12) & 15], digits[(v >> 8) & 15], digits[(v >> 4) & 15], digits[v & 15]};
    out.append(text, 4);
}

// A text string of the document information: UTF-16BE with its mark.
QByteArray textString(const QString &text)
{
    QByteArray out = "<FEFF";
    for (const QChar c : text)
        appendHex16(out, c.unicode());
    out.append('>');
    return out;
}

// A PDF name from a face's names: letters and digits only.
QByteArray fontName(const QRawFont &font)
{
    QByteArray out;
    auto add = [&](const QString &part) {
        for (const QChar c : part)
            if (c.unicode() < 0x80 && c.isLetterOrNumber())
                out.append(char(c.unicode()));
    };
    add(font.familyName());
    const QString style = font.styleName();
    if (!style.isEmpty() && style.compare(u"Regular", Qt::CaseInsensitive) != 0) {
        out.append('-');
        add(style);
    }
    return out.isEmpty() ? QByteArray("Font") : out;
}

struct GlyphData {
    quint32 start = 0;
    quint32 end = 0;
};

GlyphData glyphData(const QByteArray &loca, bool longLoca, quint32 glyph, qsizetype glyfSize)
{
    GlyphData g;
    if (longLoca) {
        g.start = u32(loca, qsizetype(glyph) * 4);
        g.end = u32(loca, qsizetype(glyph) * 4 + 4);
    } else {
        g.start = quint32(u16(loca, qsizetype(glyph) * 2)) * 2;
        g.end = quint32(u16(loca, qsizetype(glyph) * 2 + 2)) * 2;
    }
    if (g.end < g.start || g.end > quint32(glyfSize))
        return {};
    return g;
}

} // namespace

QByteArray trueTypeSubset(const QRawFont &font, const QList<quint32> &glyphs)
{
    QByteArray head = font.fontTable("head");
    QByteArray hhea = font.fontTable("hhea");
    QByteArray maxp = font.fontTable("maxp");
    const QByteArray loca = font.fontTable("loca");
    const QByteArray glyf = font.fontTable("glyf");
    const QByteArray hmtx = font.fontTable("hmtx");
    if (head.size() < 54 || hhea.size() < 36 || maxp.size() < 6 || loca.isEmpty() || glyf.isEmpty() ||
        hmtx.isEmpty())
        return {};
    const bool longLoca = s16(head, 50) != 0;
    const quint32 numGlyphs = u16(maxp, 4);
    if (numGlyphs == 0 || loca.size() < qsizetype(numGlyphs + 1) * (longLoca ? 4 : 2))
        return {};

    // The glyphs asked for, .notdef, and every glyph a composite is made of.
    std::vector<bool> keep(numGlyphs, false);
    QList<quint32> pending = glyphs;
    pending.append(0);
    while (!pending.isEmpty()) {
        const quint32 g = pending.takeLast();
        if (g >= numGlyphs || keep[g])
            continue;
        keep[g] = true;
        const GlyphData data = glyphData(loca, longLoca, g, glyf.size());
        if (data.end - data.start < 10 || s16(glyf, data.start) >= 0)
            continue;
        qsizetype at = data.start + 10;
        for (;;) {
            if (at + 4 > qsizetype(data.end))
                break;
            const quint16 flags = u16(glyf, at);
            pending.append(u16(glyf, at + 2));
            at += 4 + ((flags & 0x1) ? 4 : 2);
            if (flags & 0x8)
                at += 2;
            else if (flags & 0x40)
                at += 4;
            else if (flags & 0x80)
                at += 8;
            if (!(flags & 0x20))
                break;
        }
    }
    quint32 count = numGlyphs;
    while (count > 1 && !keep[count - 1])
        --count;

    QByteArray newGlyf;
    QByteArray newLoca;
    for (quint32 g = 0; g < count; ++g) {
        append32(newLoca, quint32(newGlyf.size()));
        if (!keep[g])
            continue;
        const GlyphData data = glyphData(loca, longLoca, g, glyf.size());
        newGlyf.append(glyf.constData() + data.start, data.end - data.start);
        while (newGlyf.size() % 4)
            newGlyf.append('\0');
    }
    append32(newLoca, quint32(newGlyf.size()));

    const quint32 metrics = std::max<quint32>(1, u16(hhea, 34));
    const quint32 newMetrics = std::min(metrics, count);
    QByteArray newHmtx = hmtx.left(qsizetype(newMetrics) * 4);
    if (count > newMetrics)
        newHmtx.append(hmtx.mid(qsizetype(metrics) * 4, qsizetype(count - newMetrics) * 2));
    put16(hhea, 34, quint16(newMetrics));
    put16(maxp, 4, quint16(count));
    put32(head, 8, 0);  // checkSumAdjustment, set below
    put16(head, 50, 1); // long offsets

    QList<std::pair<QByteArray, QByteArray>> tables = {
        {"glyf", newGlyf}, {"head", head}, {"hhea", hhea}, {"hmtx", newHmtx},
        {"loca", newLoca}, {"maxp", maxp}};
    for (const char *tag : {"cvt ", "fpgm", "prep"}) {
        const QByteArray table = font.fontTable(tag);
        if (!table.isEmpty())
            tables.append({QByteArray(tag), table});
    }
    std::sort(tables.begin(), tables.end(), [](const auto &a, const auto &b) { return a.first < b.first; });

    const quint16 n = quint16(tables.size());
    quint16 power = 1, log2 = 0;
    while (power * 2 <= n) {
        power *= 2;
        ++log2;
    }
    QByteArray out;
    append32(out, 0x00010000);
    append16(out, n);
    append16(out, quint16(power * 16));
    append16(out, log2);
    append16(out, quint16(n * 16 - power * 16));
    quint32 offset = 12 + 16 * quint32(n);
    qsizetype headOffset = 0;
    for (const auto &[tag, data] : tables) {
        out.append(tag);
        append32(out, tableChecksum(data));
        append32(out, offset);
        append32(out, quint32(data.size()));
        if (tag == "head")
            headOffset = offset;
        offset += (quint32(data.size()) + 3) & ~3u;
    }
    for (const auto &table : tables) {
        out.append(table.second);
        while (out.size() % 4)
            out.append('\0');
    }
    put32(out, headOffset + 8, 0xB1B0AFBA - tableChecksum(out));
    return out;
}

struct PdfWriter::Private {
    struct Font {
        QRawFont raw;
        QByteArray name;
        qreal unitsPerEm = 1000;
        QByteArray hmtx;
        quint32 metrics = 1;
        std::vector<bool> used;
        QHash<quint32, QString> unicode;

        // The advance of `glyph` in thousandths of the size.
        qreal width(quint32 glyph) const
        {
            const quint32 entry = std::min(glyph, metrics - 1);
            return u16(hmtx, qsizetype(entry) * 4) * 1000.0 / unitsPerEm;
        }
    };

    QIODevice *device = nullptr;
    QSizeF page;
    bool failed = false;
    qint64 written = 0;
    QList<qint64> offsets{0}; // by object number; 0 is the free head
    QList<int> pages;         // page object numbers
    QList<Font> fonts;
    QHash<QString, int> fontsByFace; // -1: not embeddable
    QList<std::pair<QRawFont, int>> recentFonts; // the same engines, asked again

    QByteArray content;
    bool inPage = false;
    bool inText = false;
    int textFont = -1;
    qreal textSize = 0;
    qreal lineX = 0, lineY = 0;

    static constexpr int catalogObject = 1, pagesObject = 2, infoObject = 3, resourcesObject = 4;

    void write(const QByteArray &bytes)
    {
        if (failed)
            return;
        if (device->write(bytes) != bytes.size()) {
            failed = true;
            return;
        }
        written += bytes.size();
    }

    int newObject()
    {
        offsets.append(-1);
        return int(offsets.size() - 1);
    }

    void beginObject(int number)
    {
        if (offsets.size() <= number)
            offsets.resize(number + 1, -1);
        offsets[number] = written;
        write(QByteArray::number(number) + " 0 obj\n");
    }

    void object(int number, const QByteArray &body)
    {
        beginObject(number);
        write(body);
        write("\nendobj\n");
    }

    // A stream object, deflated; `extra` adds entries to its dictionary.
    void stream(int number, const QByteArray &data, const QByteArray &extra = {})
    {
        packedStream(number, deflated(data), extra);
    }

    void packedStream(int number, const QByteArray &packed, const QByteArray &extra = {})
    {
        // qCompress puts the length in front of the zlib stream.
        const QByteArray zlib = packed.sliced(4);
        beginObject(number);
        write("<< /Length " + QByteArray::number(zlib.size()) + " /Filter /FlateDecode" + extra + " >>\nstream\n");
        write(zlib);
        write("\nendstream\nendobj\n");
    }

    static QByteArray deflated(const QByteArray &data) { return qCompress(data, compressionLevel); }

    // Pages whose contents a worker thread deflates while the next pages
    // are drawn; written in their order as they are done.
    struct PendingPage {
        int contents = 0;
        int page = 0;
        QFuture<QByteArray> packed;
    };
    std::deque<PendingPage> pending;
    static constexpr size_t pagesAhead = 8;

    void writePages(bool all)
    {
        while (!pending.empty() &&
               (all || pending.size() > pagesAhead || pending.front().packed.isFinished())) {
            const PendingPage done = pending.front();
            pending.pop_front();
            packedStream(done.contents, done.packed.result());
            QByteArray body = "<< /Type /Page /Parent 2 0 R /Resources 4 0 R /MediaBox [0 0 ";
            appendNumber(body, page.width());
            body.append(' ');
            appendNumber(body, page.height());
            body.append("] /Contents " + QByteArray::number(done.contents) + " 0 R >>");
            object(done.page, body);
        }
    }

    void beginText(int font, qreal size);
    void moveTo(qreal x, qreal y);

    void endText()
    {
        if (inText)
            content.append("ET\n");
        inText = false;
    }

    void endPage()
    {
        if (!inPage)
            return;
        endText();
        const int contents = newObject();
        const int number = newObject();
        pages.append(number);
        pending.push_back({contents, number, QtConcurrent::run(&Private::deflated, std::move(content))});
        content = QByteArray();
        inPage = false;
        writePages(false);
    }

    void writeFont(int index, int number)
    {
        Font &font = fonts[index];
        QList<quint32> used;
        for (quint32 g = 0; g < font.used.size(); ++g)
            if (font.used[g])
                used.append(g);
        // A subset's name begins with six capitals that tell subsets apart.
        QByteArray tag;
        size_t seed = qHashMulti(0, index, used.size(), used.isEmpty() ? 0 : used.last());
        for (int i = 0; i < 6; ++i, seed /= 26)
            tag.append(char('A' + seed % 26));
        const QByteArray name = tag + '+' + font.name;

        const int descendant = newObject(), descriptor = newObject(), program = newObject(),
                  toUnicode = newObject();
        object(number, "<< /Type /Font /Subtype /Type0 /BaseFont /" + name +
                           " /Encoding /Identity-H /DescendantFonts [" + QByteArray::number(descendant) +
                           " 0 R] /ToUnicode " + QByteArray::number(toUnicode) + " 0 R >>");

        QByteArray widths = "[";
        for (qsizetype i = 0; i < used.size();) {
            qsizetype j = i;
            widths.append(QByteArray::number(used[i]) + " [");
            for (; j < used.size() && used[j] == used[i] + (j - i); ++j) {
                if (j > i)
                    widths.append(' ');
                appendNumber(widths, font.width(used[j]), 1);
            }
            widths.append("] ");
            i = j;
        }
        widths.append(']');
        object(descendant, "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /" + name +
                               " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>"
                               " /FontDescriptor " +
                               QByteArray::number(descriptor) + " 0 R /DW 0 /W " + widths +
                               " /CIDToGIDMap /Identity >>");

        const QByteArray head = font.raw.fontTable("head");
        const QByteArray hhea = font.raw.fontTable("hhea");
        const QByteArray os2 = font.raw.fontTable("OS/2");
        auto units = [&](qint16 v) {
            QByteArray out;
            appendNumber(out, v * 1000.0 / font.unitsPerEm, 0);
            return out;
        };
        const qint16 capHeight = u16(os2, 0) >= 2 && os2.size() >= 90 ? s16(os2, 88) : s16(hhea, 4);
        object(descriptor, "<< /Type /FontDescriptor /FontName /" + name + " /Flags 4 /FontBBox [" +
                               units(s16(head, 36)) + ' ' + units(s16(head, 38)) + ' ' + units(s16(head, 40)) +
                               ' ' + units(s16(head, 42)) + "] /ItalicAngle 0 /Ascent " + units(s16(hhea, 4)) +
                               " /Descent " + units(s16(hhea, 6)) + " /CapHeight " + units(capHeight) +
                               " /StemV 80 /FontFile2 " + QByteArray::number(program) + " 0 R >>");

        const QByteArray subset = trueTypeSubset(font.raw, used);
        stream(program, subset, " /Length1 " + QByteArray::number(subset.size()));

        QByteArray cmap = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                          "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                          "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                          "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
        QList<quint32> mapped;
        for (quint32 g : used)
            if (font.unicode.contains(g))
                mapped.append(g);
        for (qsizetype i = 0; i < mapped.size(); i += 100) {
            const qsizetype n = std::min<qsizetype>(100, mapped.size() - i);
            cmap.append(QByteArray::number(n) + " beginbfchar\n");
            for (qsizetype k = i; k < i + n; ++k) {
                cmap.append('<');
                appendHex16(cmap, mapped[k]);
                cmap.append("> <");
                for (const QChar c : font.unicode.value(mapped[k]))
                    appendHex16(cmap, c.unicode());
                cmap.append(">\n");
            }
            cmap.append("endbfchar\n");
        }
        cmap.append("endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n");
        stream(toUnicode, cmap);
    }
};

PdfWriter::PdfWriter(QIODevice *device, QSizeF pagePoints, const QString &title, const QString &creator)
    : d(std::make_unique<Private>())
{
    d->device = device;
    d->page = pagePoints;
    d->offsets.resize(Private::resourcesObject + 1, -1);
    // The binary comment tells transfer programs the file is not text.
    d->write("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
    QByteArray info = "<< /Title " + textString(title) + " /Creator " + textString(creator) +
                      " /Producer " + textString(creator) + " /CreationDate (D:" +
                      QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() +
                      "Z) >>";
    d->object(Private::infoObject, info);
}

PdfWriter::~PdfWriter() = default;

bool PdfWriter::ok() const
{
    return !d->failed;
}

int PdfWriter::fontIndex(const QRawFont &font)
{
    for (const auto &[raw, index] : std::as_const(d->recentFonts))
        if (raw == font)
            return index;
    const int index = faceIndex(font);
    d->recentFonts.append({font, index});
    return index;
}

int PdfWriter::faceIndex(const QRawFont &font)
{
    const QByteArray head = font.fontTable("head");
    const QString face = font.familyName() + u'\n' + font.styleName() + u'\n' + QString::number(font.weight()) +
                         u'\n' + QString::number(int(font.style())) + u'\n' + QString::fromLatin1(head.toHex());
    const auto found = d->fontsByFace.constFind(face);
    if (found != d->fontsByFace.constEnd())
        return *found;
    int index = -1;
    const QByteArray hhea = font.fontTable("hhea");
    const QByteArray maxp = font.fontTable("maxp");
    const QByteArray hmtx = font.fontTable("hmtx");
    const quint32 metrics = u16(hhea, 34);
    if (head.size() >= 54 && u16(head, 18) > 0 && metrics > 0 && hmtx.size() >= qsizetype(metrics) * 4 &&
        u16(maxp, 4) > 0 && !font.fontTable("glyf").isEmpty() && !font.fontTable("loca").isEmpty()) {
        Private::Font f;
        f.raw = font;
        f.name = fontName(font);
        f.unitsPerEm = u16(head, 18);
        f.hmtx = hmtx;
        f.metrics = metrics;
        f.used.assign(u16(maxp, 4), false);
        index = int(d->fonts.size());
        d->fonts.append(std::move(f));
    }
    d->fontsByFace.insert(face, index);
    return index;
}

void PdfWriter::mapGlyph(int font, quint32 glyph, QStringView text)
{
    if (font < 0 || font >= d->fonts.size() || text.isEmpty())
        return;
    auto &unicode = d->fonts[font].unicode;
    if (!unicode.contains(glyph))
        unicode.insert(glyph, text.toString());
}

void PdfWriter::newPage()
{
    d->endPage();
    d->inPage = true;
}

void PdfWriter::Private::beginText(int font, qreal size)
{
    if (!inText) {
        content.append("BT\n");
        inText = true;
        textFont = -1;
        lineX = lineY = 0;
    }
    if (textFont != font || textSize != size) {
        content.append("/F" + QByteArray::number(font) + ' ');
        appendNumber(content, size, 3);
        content.append(" Tf\n");
        textFont = font;
        textSize = size;
    }
}

void PdfWriter::Private::moveTo(qreal x, qreal y)
{
    appendNumber(content, x - lineX);
    content.append(' ');
    appendNumber(content, y - lineY);
    content.append(" Td ");
    // Td moves by what was written, so the next move starts from there.
    lineX += qRound64((x - lineX) * 100) / 100.0;
    lineY += qRound64((y - lineY) * 100) / 100.0;
}

QByteArray PdfWriter::encodeGlyphs(int font, qreal size, const quint32 *glyphs, const QPointF *positions,
                                   qsizetype count)
{
    if (font < 0 || font >= d->fonts.size() || count <= 0 || size <= 0)
        return {};
    for (qsizetype i = 0; i < count; ++i)
        if (positions[i].y() != 0 || (i > 0 && positions[i].x() < positions[i - 1].x()))
            return {};
    Private::Font &f = d->fonts[font];
    // The pen advances by each glyph's width; where the shaped position
    // differs (kerning), the array moves it there.
    QByteArray out = "[<";
    qreal pen = positions[0].x();
    for (qsizetype i = 0; i < count; ++i) {
        const quint32 g = glyphs[i];
        if (g < f.used.size())
            f.used[g] = true;
        const qreal shift = (pen - positions[i].x()) * 1000 / size;
        if (std::abs(shift) >= 0.5) {
            out.append('>');
            appendNumber(out, shift, 0);
            out.append('<');
            pen -= qRound64(shift) * size / 1000;
        }
        appendHex16(out, g);
        pen += f.width(g) * size / 1000;
    }
    out.append(">] TJ\n");
    return out;
}

void PdfWriter::showEncoded(int font, qreal size, qreal x, qreal y, const QByteArray &encoded)
{
    if (font < 0 || font >= d->fonts.size() || encoded.isEmpty() || !d->inPage)
        return;
    d->beginText(font, size);
    d->moveTo(x, y);
    d->content.append(encoded);
}

void PdfWriter::showGlyphs(int font, qreal size, qreal x, qreal y, const quint32 *glyphs,
                           const QPointF *positions, qsizetype count)
{
    if (font < 0 || font >= d->fonts.size() || count <= 0 || !d->inPage)
        return;
    const QByteArray encoded = encodeGlyphs(font, size, glyphs, positions, count);
    if (!encoded.isEmpty()) {
        showEncoded(font, size, x + positions[0].x(), y, encoded);
        return;
    }
    // Marks above or below the baseline, and right-to-left text in the
    // order of its characters: each glyph where it goes, one by one, as
    // viewers expect of a text that runs leftwards.
    Private::Font &f = d->fonts[font];
    d->beginText(font, size);
    for (qsizetype i = 0; i < count; ++i) {
        if (glyphs[i] < f.used.size())
            f.used[glyphs[i]] = true;
        d->moveTo(x + positions[i].x(), y + positions[i].y());
        d->content.append('<');
        appendHex16(d->content, glyphs[i]);
        d->content.append("> Tj\n");
    }
}

void PdfWriter::strokeLine(qreal x1, qreal y1, qreal x2, qreal y2, qreal width)
{
    if (!d->inPage)
        return;
    d->endText();
    QByteArray &out = d->content;
    appendNumber(out, width, 3);
    out.append(" w 0 J 0 j ");
    appendNumber(out, x1);
    out.append(' ');
    appendNumber(out, y1);
    out.append(" m ");
    appendNumber(out, x2);
    out.append(' ');
    appendNumber(out, y2);
    out.append(" l S\n");
}

void PdfWriter::fillRect(qreal x, qreal y, qreal width, qreal height)
{
    if (!d->inPage)
        return;
    d->endText();
    QByteArray &out = d->content;
    for (qreal v : {x, y, width, height}) {
        appendNumber(out, v, 3);
        out.append(' ');
    }
    out.append("re f\n");
}

bool PdfWriter::finish()
{
    d->endPage();
    d->writePages(true);
    QByteArray fonts = "<< /Font <<";
    for (int i = 0; i < d->fonts.size(); ++i) {
        const int number = d->newObject();
        d->writeFont(i, number);
        fonts.append(" /F" + QByteArray::number(i) + ' ' + QByteArray::number(number) + " 0 R");
    }
    fonts.append(" >> /ProcSet [/PDF /Text] >>");
    d->object(Private::resourcesObject, fonts);
    QByteArray kids;
    for (int page : std::as_const(d->pages))
        kids.append(QByteArray::number(page) + " 0 R ");
    d->object(Private::pagesObject, "<< /Type /Pages /Kids [" + kids.trimmed() + "] /Count " +
                                        QByteArray::number(d->pages.size()) + " >>");
    d->object(Private::catalogObject, "<< /Type /Catalog /Pages 2 0 R >>");

    const qint64 xref = d->written;
    QByteArray table = "xref\n0 " + QByteArray::number(d->offsets.size()) + "\n0000000000 65535 f \n";
    for (qsizetype i = 1; i < d->offsets.size(); ++i)
        table.append(QByteArray::number(d->offsets[i]).rightJustified(10, '0') + " 00000 n \n");
    table.append("trailer\n<< /Size " + QByteArray::number(d->offsets.size()) +
                 " /Root 1 0 R /Info 3 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n");
    d->write(table);
    return !d->failed;
}

} // namespace kov
