// The version check: fetched bytes decode exactly when they are UTF-8 (a
// leading byte-order mark dropped), and the comparison is a total order on
// texts: the input split at its first NUL byte into two UTF-8 texts, and
// split in the middle into two texts of raw UTF-16 units.
#include <QString>

#include <cstdint>
#include <cstring>

#include "version/versionrules.h"
#include "fuzzcheck.h"

using namespace kov;
using kov::fuzz::check;

namespace {

// Strict UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF),
// written out here so that the rule is checked against something else than
// the decoder it uses.
bool isUtf8(const unsigned char *p, size_t n)
{
    size_t i = 0;
    while (i < n) {
        const unsigned c = p[i];
        size_t len = 0;
        char32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF)
            len = 2, cp = c & 0x1F;
        else if (c >= 0xE0 && c <= 0xEF)
            len = 3, cp = c & 0x0F;
        else if (c >= 0xF0 && c <= 0xF4)
            len = 4, cp = c & 0x07;
        else
            return false;
        if (i + len > n)
            return false;
        for (size_t k = 1; k < len; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if ((len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
            (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
            return false;
        i += len;
    }
    return true;
}

int sign(int v)
{
    return (v > 0) - (v < 0);
}

void checkOrder(const QString &a, const QString &b)
{
    const int ab = compareVersionText(a, b);
    const int ba = compareVersionText(b, a);
    const QString both = kov::fuzz::units(a) + QStringLiteral(" | ") + kov::fuzz::units(b);
    check(sign(ab) == -sign(ba), "the comparison is antisymmetric", both);
    check((ab == 0) == (a == b), "only equal texts compare equal", both);
    check(compareVersionText(a, a) == 0, "a text equals itself", kov::fuzz::units(a));
    versionCheckOutcome(a, b);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<QString> text = decodeFetchedText(bytes);
    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
    const qsizetype skip = bom ? 3 : 0;
    const bool valid = isUtf8(data + skip, size - size_t(skip));
    if (bytes.size() > maxVersionFileBytes) {
        check(!text, "an oversized file is no version file");
    } else {
        check(text.has_value() == valid, "decodes exactly when the bytes are UTF-8");
        if (text)
            check(text->toUtf8() == bytes.mid(skip), "the text is the bytes", kov::fuzz::units(*text));
    }

    const void *nul = std::memchr(data, 0, size);
    const size_t cut = nul ? size_t(static_cast<const uint8_t *>(nul) - data) : size;
    const QByteArray first = bytes.left(qsizetype(cut));
    const QByteArray second = cut < size ? bytes.mid(qsizetype(cut) + 1) : QByteArray();
    checkOrder(QString::fromUtf8(first), QString::fromUtf8(second));
    // Raw units, lone surrogates included.
    auto units = [](const QByteArray &b) {
        QString s(b.size() / 2, Qt::Uninitialized);
        std::memcpy(s.data(), b.constData(), size_t(s.size()) * 2);
        return s;
    };
    const qsizetype half = bytes.size() / 4 * 2;
    checkOrder(units(bytes.left(half)), units(bytes.mid(half)));
    return 0;
}
