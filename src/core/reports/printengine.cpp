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
#include <QRegularExpression>
#include <QTextLayout>

namespace kov {

struct ShapedTexts {
    struct Entry {
        QGlyphRun run; // empty: draw the text with drawText
        bool shaped = false;
    };
    // One table per font.
    QList<std::pair<QFont, QHash<QString, Entry>>> fonts;
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

// The shaped run of `text` in `font`, made when the text comes a second
// time: a text seen once is cheaper drawn than shaped and kept. Empty when
// drawText must draw it.
QGlyphRun shapedText(PrintJob &job, const QString &text, const QFont &font)
{
    if (!job.shaped)
        job.shaped = std::make_unique<ShapedTexts>();
    auto &fonts = job.shaped->fonts;
    auto slot = std::find_if(fonts.begin(), fonts.end(), [&](const auto &f) { return f.first == font; });
    if (slot == fonts.end()) {
        fonts.append({font, {}});
        slot = fonts.end() - 1;
    }
    QHash<QString, ShapedTexts::Entry> &runs = slot->second;
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
                   QPageLayout::Orientation orientation)
{
    if (!device || !device->isWritable() || !qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return false;
    job.writer = std::make_unique<QPdfWriter>(device);
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
    if (job.writer && job.painter)
        job.writer->newPage();
}

bool endPrintJob(PrintJob &job)
{
    if (!job.painter)
        return false;
    const bool ended = job.painter->end();
    job.painter.reset();
    job.writer.reset();
    return ended;
}

void drawTextAt(PrintJob &job, const QString &text, const QFont &font, bool underline, qreal x, qreal y)
{
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
