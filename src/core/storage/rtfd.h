// Task descriptions: flattened RTFD holding Cocoa-style RTF.
#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace kov {

// Reads flattened RTFD (either size-word form; "TXT.rtf" or "index.rtf") or,
// when the bytes start with "{\rtf", plain RTF into `doc`, replacing its
// content: paragraphs, bold, italic and underline survive. Malformed data
// never crashes; whatever could be read is kept. Returns false when nothing
// readable was found (the document is then empty).
bool readRichText(const QByteArray &data, QTextDocument *doc);

// The plain text of a description, paragraphs separated by "\n".
QString plainTextOfRichText(const QByteArray &data);

// RTF in the shape the Cocoa writer produces, for the document's text and
// its bold, italic and underline runs.
QByteArray writeCocoaRtf(const QTextDocument &doc);

// Flattened RTFD as macOS writes it for a text without attachments: the two
// entries "TXT.rtf" and ".", 91 + RTF length bytes. `mtime` is the Unix time
// stamped into the "." entry.
QByteArray writeFlatRtfd(const QByteArray &rtf, quint32 mtime);

// Convenience: the RTFD of a document, stamped with the current time.
QByteArray rtfdFromDocument(const QTextDocument &doc);
// Convenience: the RTFD of a plain text (one paragraph per line).
QByteArray rtfdFromPlainText(const QString &text);

} // namespace kov
