// Task descriptions: any bytes read as RTFD or RTF without harm; the
// document and the plain text tell the same text; what the RTF writer makes
// of a read document reads back as the same document.
#include <QTextBlock>
#include <QTextDocument>

#include <cstdint>

#include "fuzzcheck.h"
#include "storage/rtfd.h"

using namespace kov;
using kov::fuzz::check;

namespace {

// The document's text as plainTextOfRichText gives it: paragraphs joined by
// "\n", line separators as "\n".
QString documentText(const QTextDocument &doc)
{
    QString text;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block != doc.begin())
            text += u'\n';
        text += block.text();
    }
    text.replace(QChar::LineSeparator, u'\n');
    return text;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString plain = plainTextOfRichText(bytes);
    QTextDocument doc;
    const bool ok = readRichText(bytes, &doc);
    if (!ok) {
        check(doc.isEmpty() && plain.isEmpty(), "nothing readable gives an empty document and no text");
        return 0;
    }
    check(documentText(doc) == plain, "the document holds the plain text",
          kov::fuzz::units(documentText(doc)) + QStringLiteral("\nvs\n") + kov::fuzz::units(plain));

    // The writer's RTF, flattened, reads back as the same styled runs.
    const QByteArray rtf = writeCocoaRtf(doc);
    const QByteArray rtfd = writeFlatRtfd(rtf, 0);
    QTextDocument again;
    check(readRichText(rtfd, &again), "written RTFD reads", QString::fromLatin1(rtf));
    check(writeCocoaRtf(again) == rtf, "written RTF reads back as the same document",
          QString::fromLatin1(rtf));
    check(plainTextOfRichText(rtfd) == plain, "written RTF keeps the text", QString::fromLatin1(rtf));
    return 0;
}
