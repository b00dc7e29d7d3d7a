// The print engine: one PDF document per report, drawn in points with the
// origin at the lower left corner of the paper and y growing upwards.
#pragma once

#include <memory>

#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QString>

class QIODevice;
class QPainter;
class QPdfWriter;

namespace kov {

// The paper reports print on: the paper of LC_PAPER when the environment
// names one (LC_ALL, when set, overrides it as everywhere else), otherwise
// of the current locale: US Letter where it measures in inches, A4 elsewhere.
QPageSize::PageSizeId reportPaperSize();

enum class ReportFont {
    Row,     // rows and the totals block, 7 points
    Header,  // date line, title and page number, 10 points
    Heading, // column headings, bold, 10 points
};

// DejaVu Sans (Bold for headings) at the report sizes. The faces are loaded
// from the system's font folder when the font database lacks them; without
// them the default sans serif face stands in.
QFont createReportFont(ReportFont kind);

struct ShapedTexts;
class PdfWriter;

// How a document is written.
enum class PrintEngine {
    Direct,  // glyphs straight into the file (PdfWriter): fast
    Painter, // through QPainter and QPdfWriter: any face the system has
};

// One document being drawn; the functions below are its only users.
struct PrintJob {
    PrintJob();
    ~PrintJob();
    PrintJob(const PrintJob &) = delete;
    PrintJob &operator=(const PrintJob &) = delete;

    // Direct: the document. Painter: unused.
    std::unique_ptr<PdfWriter> pdf;
    // Painter: the document. Direct: the device texts are measured on,
    // never drawn on, so both engines place every glyph alike.
    std::unique_ptr<QPdfWriter> writer;
    std::unique_ptr<QPainter> painter;
    qreal pageHeight = 0; // points
    qreal scale = 1;      // device pixels per point
    // Texts already shaped in this document: a report repeats its names,
    // dates and amounts on page after page.
    std::unique_ptr<ShapedTexts> shaped;
    // Direct: a text needed a face PdfWriter cannot embed. The document is
    // then unfinished and must be drawn again with the painter.
    bool needsPainter = false;
};

// Starts the document on `device` (open for writing) on the paper of
// reportPaperSize() in the given orientation, with its first page begun.
// False when no document could be started; the other calls then do nothing.
bool beginPrintJob(PrintJob &job, QIODevice *device, const QString &title,
                   QPageLayout::Orientation orientation, PrintEngine engine = PrintEngine::Direct);
// Ends the current page and begins the next.
void startNewPage(PrintJob &job);
// Ends the last page and the document; false when it could not be finished
// (also when job.needsPainter is set).
bool endPrintJob(PrintJob &job);

// One line of black text whose baseline starts at (x, y); never measured,
// clipped or wrapped.
void drawTextAt(PrintJob &job, const QString &text, const QFont &font, bool underline, qreal x, qreal y);
// A black straight line from (x1, y1) to (x2, y2), `width` points wide.
void drawLine(PrintJob &job, qreal x1, qreal y1, qreal x2, qreal y2, qreal width);

// Ascent plus descent of the font in points, as the job's pages set it.
qreal fontLineHeight(const PrintJob &job, const QFont &font);

} // namespace kov
