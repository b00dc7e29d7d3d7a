#include "reports/printengine.h"

#include <algorithm>

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QHash>
#include <QIODevice>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <QSet>
#include <QRegularExpression>
#include <QTextLayout>

#include "reports/pdfwriter.h"

namespace kov {

struct ShapedTexts {
    // Painter: a text's glyph run, made when it comes a second time.
    struct Entry {
        QGlyphRun run; // empty: draw the text with drawText
        bool shaped = false;
    };
    // Direct: glyphs of one face, for PdfWriter, kept in the table's pools.
    struct Run {
        int font = -1;
        qreal size = 0;
        qsizetype first = 0; // in glyphs and positions
        qsizetype count = 0;
        QByteArray encoded; // PdfWriter::encodeGlyphs(), once the text is shaped
    };
    // Direct: a text's runs, its width in points, and whether a face could
    // not be embedded.
    struct DirectEntry {
        qsizetype firstRun = 0;
        qsizetype runCount = 0;
        qreal width = 0;
        bool unsupported = false;
    };
    struct Table {
        QFont font;
        QHash<QString, Entry> texts;
        QHash<QString, DirectEntry> direct;
        QList<Run> runs;
        QList<quint32> glyphs;
        QList<QPointF> positions; // in points from the text's origin, y upwards
        QRawFont face;            // Direct: the face of the font's digits
        bool faceLooked = false;
        int faceFont = -1; // the face's number in the document
        // Direct: the glyph and advance (device pixels) of each figure
        // character met; glyph 0 where the face has none.
        QHash<char16_t, std::pair<quint32, qreal>> figures;
        // Direct: where and how thick the painter underlines, in points;
        // thickness 0 until measured.
        qreal underlinePos = 0;
        qreal underlineThickness = 0;

        void add(DirectEntry &entry, int font, qreal size, quint32 glyph, QPointF position)
        {
            if (entry.runCount == 0 || runs.last().font != font || runs.last().size != size) {
                runs.append({font, size, glyphs.size(), 0, {}});
                ++entry.runCount;
            }
            ++runs.last().count;
            glyphs.append(glyph);
            positions.append(position);
        }
    };
    // One table per font.
    QList<Table> fonts;
};

namespace {

// Enough for the names, dates and amounts of a long report; past this the
// table starts again rather than grow without end.
constexpr qsizetype shapedTextsKept = 20000;

const QString reportFamily = QStringLiteral("DejaVu Sans");
// Where fonts-dejavu-core puts the faces on Debian.
const char *const dejaVuFiles[] = {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                                   "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"};

// Fine enough that glyph positions never snap to a coarse grid.
constexpr int deviceResolution = 1200;

void ensureReportFamily()
{
    static bool tried = false;
    if (tried)
        return;
    tried = true;
    if (QFontDatabase::hasFamily(reportFamily))
        return;
    for (const char *file : dejaVuFiles)
        QFontDatabase::addApplicationFont(QString::fromLatin1(file));
}

// The locale name of an environment value such as "en_US.UTF-8@euro".
QString localeNameOf(const QByteArray &value)
{
    QString name = QString::fromLocal8Bit(value);
    const qsizetype cut = name.indexOf(QRegularExpression(QStringLiteral("[.@]")));
    return cut < 0 ? name : name.left(cut);
}

QPointF toDevice(const PrintJob &job, qreal x, qreal y)
{
    return {x * job.scale, (job.pageHeight - y) * job.scale};
}

// True for text that shapes the same alone as in a line of its own: one
// left-to-right run without controls, tabs or line breaks.
bool plainRun(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() < 0xa0) || c.unicode() >= 0x0590)
            return false;
    return !text.isEmpty();
}

// The glyphs and advances QPainter::drawText makes for `text` in `font` on
// this document, with the baseline at y = 0; an empty run when the text is
// not one plain run in one face.
QGlyphRun shapeText(const PrintJob &job, const QString &text, const QFont &font)
{
    if (!plainRun(text))
        return {};
    QTextLayout layout(text, font, job.writer.get());
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    if (layout.lineCount() != 1 || line.textLength() != text.size() || runs.size() != 1)
        return {};
    QGlyphRun run = runs.first();
    QList<QPointF> positions = run.positions();
    if (positions.isEmpty())
        return {};
    const qreal baseline = positions.first().y();
    for (QPointF &p : positions) {
        if (p.y() != baseline)
            return {};
        p.setY(0);
    }
    run.setPositions(positions);
    return run;
}

ShapedTexts::Table *tableOf(PrintJob &job, const QFont &font)
{
    if (!job.shaped)
        job.shaped = std::make_unique<ShapedTexts>();
    auto &fonts = job.shaped->fonts;
    auto slot = std::find_if(fonts.begin(), fonts.end(), [&](const auto &f) { return f.font == font; });
    if (slot != fonts.end())
        return &*slot;
    fonts.append(ShapedTexts::Table());
    fonts.last().font = font;
    return &fonts.last();
}

// Digits, spaces, punctuation and currency signs: texts (dates, amounts)
// whose glyphs are the characters' own, one each, unchanged by shaping.
bool isFigureText(QStringView text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool asciiLetter = (u | 0x20) >= 'a' && (u | 0x20) <= 'z';
        const bool ascii = u >= 0x20 && u < 0x7f && !asciiLetter;
        const bool latin1Sign = u >= 0xa0 && u <= 0xbf && u != 0xaa && u != 0xba && u != 0xad;
        const bool spaceOrDash = (u >= 0x2000 && u <= 0x200a) || (u >= 0x2010 && u <= 0x2027) ||
                                 u == 0x202f || (u >= 0x2030 && u <= 0x205f && u != 0x2044);
        const bool currency = u >= 0x20a0 && u <= 0x20cf;
        if (!(ascii || latin1Sign || spaceOrDash || currency || u == 0x2212))
            return false;
    }
    return true;
}

// A face that is not bold standing in for a bold font: the painter embolds
// it, the direct writer cannot.
bool lacksBold(const QFont &font, const QRawFont &face)
{
    if (font.weight() < QFont::DemiBold)
        return false;
    return face.weight() < QFont::DemiBold &&
           !face.styleName().contains(QRegularExpression(QStringLiteral("bold|black|heavy|demi"),
                                                         QRegularExpression::CaseInsensitiveOption));
}

ShapedTexts::DirectEntry directShaped(ShapedTexts::Table &table, PrintJob &job, const QString &text);

// Figures take their glyphs and advances character by character, the pen
// starting `pen` points in: the face neither kerns nor joins them. False
// when the face lacks one of them; the entry then holds a partial run.
bool addFigures(PrintJob &job, ShapedTexts::Table &table, ShapedTexts::DirectEntry &entry, QStringView figures,
                qreal pen)
{
    for (const QChar c : figures) {
        auto it = table.figures.constFind(c.unicode());
        if (it == table.figures.constEnd()) {
            const QList<quint32> glyph = table.face.glyphIndexesForString(QString(c));
            std::pair<quint32, qreal> figure{0, 0};
            if (glyph.size() == 1 && glyph[0] != 0) {
                figure = {glyph[0], table.face.advancesForGlyphIndexes(glyph).value(0).x()};
                job.pdf->mapGlyph(table.faceFont, glyph[0], QStringView(&c, 1));
            }
            it = table.figures.insert(c.unicode(), figure);
        }
        if (it->first == 0)
            return false;
    }
    const qreal size = table.face.pixelSize() / job.scale;
    for (const QChar c : figures) {
        const std::pair<quint32, qreal> figure = table.figures.value(c.unicode());
        table.add(entry, table.faceFont, size, figure.first, QPointF(pen, 0));
        pen += figure.second / job.scale;
    }
    entry.width = pen;
    return true;
}

// The glyphs of `text` in `font` for the direct writer, each face
// registered with it and every glyph mapped back to its characters.
ShapedTexts::DirectEntry shapeDirect(PrintJob &job, ShapedTexts::Table &table, const QString &text)
{
    ShapedTexts::DirectEntry entry;
    entry.firstRun = table.runs.size();
    // One line: line breaks and other controls stand as spaces.
    QString line = text;
    for (QChar &c : line)
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() < 0xa0) || c.unicode() == 0x2028 ||
            c.unicode() == 0x2029)
            c = u' ';
    if (line.isEmpty())
        return entry;
    if (!table.faceLooked) {
        table.faceLooked = true;
        QTextLayout digits(QStringLiteral("0"), table.font, job.writer.get());
        digits.beginLayout();
        digits.createLine();
        digits.endLayout();
        const QList<QGlyphRun> runs = digits.glyphRuns();
        if (runs.size() == 1 && !lacksBold(table.font, runs.first().rawFont())) {
            table.face = runs.first().rawFont();
            table.faceFont = job.pdf->fontIndex(table.face);
        }
    }
    if (table.faceFont >= 0 && isFigureText(line)) {
        if (addFigures(job, table, entry, line, 0))
            return entry;
        table.runs.resize(entry.firstRun);
        entry = ShapedTexts::DirectEntry{table.runs.size(), 0, 0, false};
    }
    // A label, a space and figures ("Page: 12", "CHF 1'234.50"): the label
    // is shaped once and the figures follow it, as they would shaped whole,
    // since nothing kerns or joins across a space.
    const qsizetype cut = line.lastIndexOf(u' ') + 1;
    if (table.faceFont >= 0 && cut > 1 && cut < line.size() && plainRun(line) &&
        isFigureText(QStringView(line).sliced(cut)) && !isFigureText(QStringView(line).first(cut))) {
        const ShapedTexts::DirectEntry label = directShaped(table, job, line.first(cut));
        const ShapedTexts::Run *run = label.runCount == 1 ? &table.runs.at(label.firstRun) : nullptr;
        if (run && run->font == table.faceFont && !label.unsupported) {
            entry = ShapedTexts::DirectEntry{table.runs.size(), 0, 0, false};
            const qsizetype first = run->first, count = run->count;
            const qreal size = run->size;
            for (qsizetype k = first; k < first + count; ++k) {
                const quint32 glyph = table.glyphs.at(k);
                const QPointF position = table.positions.at(k);
                table.add(entry, table.faceFont, size, glyph, position);
            }
            if (addFigures(job, table, entry, QStringView(line).sliced(cut), label.width))
                return entry;
            table.runs.resize(entry.firstRun);
            entry = ShapedTexts::DirectEntry{table.runs.size(), 0, 0, false};
        }
    }
    QTextLayout layout(line, table.font, job.writer.get());
    layout.beginLayout();
    const QTextLine textLine = layout.createLine();
    layout.endLayout();
    if (!textLine.isValid())
        return entry;
    entry.width = textLine.naturalTextWidth() / job.scale;
    auto place = [&](const QPointF &p) {
        return QPointF(p.x() / job.scale, (textLine.ascent() - p.y()) / job.scale);
    };
    // The document's number for a run's face; -1 when only the painter can
    // draw it.
    auto embedded = [&](const QRawFont &face) {
        const int font = job.pdf->fontIndex(face);
        return font >= 0 && !lacksBold(table.font, face) ? font : -1;
    };
    if (plainRun(line)) {
        for (const QGlyphRun &glyphRun : layout.glyphRuns()) {
            const QRawFont face = glyphRun.rawFont();
            const int font = embedded(face);
            if (font < 0) {
                entry.unsupported = true;
                return entry;
            }
            const QList<quint32> glyphs = glyphRun.glyphIndexes();
            const QList<QPointF> positions = glyphRun.positions();
            for (qsizetype k = 0; k < glyphs.size() && k < positions.size(); ++k)
                table.add(entry, font, face.pixelSize() / job.scale, glyphs[k], place(positions[k]));
            // Every character the face has a glyph for, so the text can
            // be found and copied again.
            const QList<quint32> mapped = face.glyphIndexesForString(line);
            for (qsizetype i = 0; i < mapped.size() && i < line.size(); ++i)
                if (mapped[i] != 0)
                    job.pdf->mapGlyph(font, mapped[i], QStringView(line).sliced(i, 1));
        }
        return entry;
    }
    // Right-to-left, joined and combining scripts: each character's glyphs
    // in the order of the text, where the layout put them, each mapped to
    // its character. Viewers then read the text in its own order.
    QSet<std::pair<quint32, qint64>> shown; // a ligature belongs to several characters
    for (qsizetype i = 0; i < line.size();) {
        const qsizetype n = line.at(i).isHighSurrogate() && i + 1 < line.size() ? 2 : 1;
        for (const QGlyphRun &glyphRun : textLine.glyphRuns(int(i), int(n))) {
            const QRawFont face = glyphRun.rawFont();
            const int font = embedded(face);
            if (font < 0) {
                entry.unsupported = true;
                return entry;
            }
            const QList<quint32> glyphs = glyphRun.glyphIndexes();
            const QList<QPointF> positions = glyphRun.positions();
            const qreal size = face.pixelSize() / job.scale;
            for (qsizetype k = 0; k < glyphs.size() && k < positions.size(); ++k) {
                const qint64 where = qRound64(positions[k].x() * 64) * 1000003 + qRound64(positions[k].y() * 64);
                if (shown.contains({glyphs[k], where}))
                    continue;
                shown.insert({glyphs[k], where});
                table.add(entry, font, size, glyphs[k], place(positions[k]));
                if (glyphs[k] != 0)
                    job.pdf->mapGlyph(font, glyphs[k], QStringView(line).sliced(i, n));
            }
        }
        i += n;
    }
    return entry;
}

// The direct writer's glyphs of `text` in `font`, shaped once per document.
ShapedTexts::DirectEntry directShaped(ShapedTexts::Table &table, PrintJob &job, const QString &text)
{
    auto it = table.direct.constFind(text);
    if (it != table.direct.constEnd())
        return *it;
    if (table.direct.size() >= shapedTextsKept) {
        table.direct.clear();
        table.runs.clear();
        table.glyphs.clear();
        table.positions.clear();
    }
    const ShapedTexts::DirectEntry entry = shapeDirect(job, table, text);
    for (qsizetype r = entry.firstRun; r < entry.firstRun + entry.runCount; ++r) {
        ShapedTexts::Run &run = table.runs[r];
        run.encoded = job.pdf->encodeGlyphs(run.font, run.size, table.glyphs.constData() + run.first,
                                            table.positions.constData() + run.first, run.count);
    }
    return *table.direct.insert(text, entry);
}

// The shaped run of `text` in `font`, made when the text comes a second
// time: a text seen once is cheaper drawn than shaped and kept. Empty when
// drawText must draw it.
QGlyphRun shapedText(PrintJob &job, const QString &text, const QFont &font)
{
    ShapedTexts::Table *slot = tableOf(job, font);
    QHash<QString, ShapedTexts::Entry> &runs = slot->texts;
    auto it = runs.find(text);
    if (it == runs.end()) {
        if (runs.size() >= shapedTextsKept)
            runs.clear();
        runs.insert(text, {});
        return {};
    }
    if (!it->shaped) {
        it->run = shapeText(job, text, font);
        it->shaped = true;
    }
    return it->run;
}

} // namespace

QPageSize::PageSizeId reportPaperSize()
{
    QLocale locale;
    if (qEnvironmentVariableIsEmpty("LC_ALL") && !qEnvironmentVariableIsEmpty("LC_PAPER"))
        locale = QLocale(localeNameOf(qgetenv("LC_PAPER")));
    return locale.measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4;
}

QFont createReportFont(ReportFont kind)
{
    // The font database exists only beside a graphical application object.
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        ensureReportFamily();
    QFont font(reportFamily);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(kind == ReportFont::Row ? 7.0 : 10.0);
    font.setBold(kind == ReportFont::Heading);
    return font;
}

PrintJob::PrintJob() = default;

PrintJob::~PrintJob()
{
    // The painter must let go of the writer before the writer goes.
    if (painter && painter->isActive())
        painter->end();
    painter.reset();
    writer.reset();
}

bool beginPrintJob(PrintJob &job, QIODevice *device, const QString &title,
                   QPageLayout::Orientation orientation, PrintEngine engine)
{
    if (!device || !device->isWritable() || !qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return false;
    // A writer without a file opens none as long as nothing paints on it.
    job.writer = engine == PrintEngine::Direct ? std::make_unique<QPdfWriter>(QString())
                                               : std::make_unique<QPdfWriter>(device);
    job.writer->setResolution(deviceResolution);
    job.writer->setTitle(title);
    job.writer->setCreator(QStringLiteral("KOV"));
    // No margins: the origin is the corner of the paper.
    const QPageLayout layout(QPageSize(reportPaperSize()), orientation, QMarginsF(0, 0, 0, 0),
                             QPageLayout::Point);
    if (!job.writer->setPageLayout(layout)) {
        job.writer.reset();
        return false;
    }
    job.pageHeight = layout.fullRectPoints().height();
    job.scale = deviceResolution / 72.0;
    if (engine == PrintEngine::Direct) {
        job.pdf = std::make_unique<PdfWriter>(device, layout.fullRectPoints().size(), title, QStringLiteral("KOV"));
        if (!job.pdf->ok()) {
            job.pdf.reset();
            job.writer.reset();
            return false;
        }
        job.pdf->newPage();
        return true;
    }
    job.painter = std::make_unique<QPainter>();
    if (!job.painter->begin(job.writer.get())) {
        job.painter.reset();
        job.writer.reset();
        return false;
    }
    job.painter->setRenderHint(QPainter::Antialiasing);
    return true;
}

void startNewPage(PrintJob &job)
{
    if (job.pdf)
        job.pdf->newPage();
    else if (job.writer && job.painter)
        job.writer->newPage();
}

bool endPrintJob(PrintJob &job)
{
    if (job.pdf) {
        const bool ended = !job.needsPainter && job.pdf->finish();
        job.pdf.reset();
        job.writer.reset();
        return ended;
    }
    if (!job.painter)
        return false;
    const bool ended = job.painter->end();
    job.painter.reset();
    job.writer.reset();
    return ended;
}

void drawTextAt(PrintJob &job, const QString &text, const QFont &font, bool underline, qreal x, qreal y)
{
    if (job.pdf) {
        if (job.needsPainter)
            return;
        ShapedTexts::Table *table = tableOf(job, font);
        const ShapedTexts::DirectEntry shaped = directShaped(*table, job, text);
        if (shaped.unsupported) {
            job.needsPainter = true;
            return;
        }
        for (qsizetype r = shaped.firstRun; r < shaped.firstRun + shaped.runCount; ++r) {
            const ShapedTexts::Run &run = table->runs.at(r);
            if (!run.encoded.isEmpty())
                job.pdf->showEncoded(run.font, run.size, x + table->positions.at(run.first).x(), y, run.encoded);
            else
                job.pdf->showGlyphs(run.font, run.size, x, y, table->glyphs.constData() + run.first,
                                    table->positions.constData() + run.first, run.count);
        }
        if (underline && shaped.width > 0) {
            if (table->underlineThickness <= 0) {
                const QFontMetricsF metrics(font, job.writer.get());
                table->underlineThickness = metrics.lineWidth() / job.scale;
                table->underlinePos = metrics.underlinePos() / job.scale;
            }
            const qreal thickness = table->underlineThickness;
            job.pdf->fillRect(x, y - table->underlinePos - thickness / 2, shaped.width, thickness);
        }
        return;
    }
    if (!job.painter)
        return;
    job.painter->setPen(QPen(Qt::black));
    // A shaped run gives the document the same glyphs at the same places as
    // drawText, without shaping the text again.
    if (!underline) {
        const QGlyphRun run = shapedText(job, text, font);
        if (!run.isEmpty()) {
            job.painter->drawGlyphRun(toDevice(job, x, y), run);
            return;
        }
    }
    QFont f = font;
    f.setUnderline(underline);
    job.painter->setFont(f);
    job.painter->drawText(toDevice(job, x, y), text);
}

void drawLine(PrintJob &job, qreal x1, qreal y1, qreal x2, qreal y2, qreal width)
{
    if (job.pdf) {
        job.pdf->strokeLine(x1, y1, x2, y2, width);
        return;
    }
    if (!job.painter)
        return;
    job.painter->setPen(
        QPen(QBrush(Qt::black), width * job.scale, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    job.painter->drawLine(toDevice(job, x1, y1), toDevice(job, x2, y2));
}

qreal fontLineHeight(const PrintJob &job, const QFont &font)
{
    if (!job.writer)
        return 0;
    const QFontMetricsF metrics(font, job.writer.get());
    return (metrics.ascent() + metrics.descent()) / job.scale;
}

} // namespace kov
