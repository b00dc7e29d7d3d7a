// A PDF document written straight from shaped glyphs: pages of black text in
// embedded TrueType faces, straight lines and filled rectangles, in points
// with the origin at the lower left corner of the paper. It writes what a
// report needs and nothing more, many times faster than drawing through
// QPainter, and streams each finished page to the device.
#pragma once

#include <memory>

#include <QByteArray>
#include <QList>
#include <QPointF>
#include <QSizeF>
#include <QString>

class QIODevice;
class QRawFont;

namespace kov {

class PdfWriter
{
public:
    // Writes the header at once; ok() tells whether the device took it.
    PdfWriter(QIODevice *device, QSizeF pagePoints, const QString &title, const QString &creator);
    ~PdfWriter();
    PdfWriter(const PdfWriter &) = delete;
    PdfWriter &operator=(const PdfWriter &) = delete;

    bool ok() const;

    // The document's number for `font`'s face, the same for every size of
    // it; -1 when the face cannot be embedded (only TrueType outlines can).
    int fontIndex(const QRawFont &font);
    // What `glyph` of the face stands for, so viewers can find and copy the
    // text; the first text given for a glyph stays.
    void mapGlyph(int font, quint32 glyph, QStringView text);

    // Ends the current page, if any, and begins a new one.
    void newPage();
    // Glyphs of one face at `size` points; their pen positions are in
    // points from (x, y), the baseline origin.
    void showGlyphs(int font, qreal size, qreal x, qreal y, const quint32 *glyphs, const QPointF *positions,
                    qsizetype count);
    // The same as bytes made once and shown again and again: the glyphs
    // from the first one's pen position, which showEncoded() then takes as
    // (x, y). Empty where showGlyphs() must place each glyph itself (marks
    // off the baseline, right-to-left runs).
    QByteArray encodeGlyphs(int font, qreal size, const quint32 *glyphs, const QPointF *positions,
                            qsizetype count);
    void showEncoded(int font, qreal size, qreal x, qreal y, const QByteArray &encoded);
    void strokeLine(qreal x1, qreal y1, qreal x2, qreal y2, qreal width);
    void fillRect(qreal x, qreal y, qreal width, qreal height);

    // Ends the last page and writes the fonts, the page tree and the cross
    // reference table; false when the device refused a write.
    bool finish();

private:
    int faceIndex(const QRawFont &font);
    struct Private;
    std::unique_ptr<Private> d;
};

// The TrueType font program of `font` cut down to `glyphs` (and the glyphs
// they are built from): every glyph keeps its number, the others are empty,
// and the font ends after the highest glyph kept. Empty when the face has no
// TrueType outlines. Exposed for tests.
QByteArray trueTypeSubset(const QRawFont &font, const QList<quint32> &glyphs);

} // namespace kov
