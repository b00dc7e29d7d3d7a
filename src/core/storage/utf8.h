// Strict UTF-8: what the data files and fetched texts must be.
#pragma once

#include <cstddef>

namespace kov {

// The length (1-4) of the well-formed UTF-8 sequence at p[i] and its code
// point in *cp; 0 when the bytes there are not UTF-8 (a stray continuation
// byte, a cut sequence, an overlong form, a UTF-16 surrogate, a value beyond
// U+10FFFF).
inline size_t utf8SequenceAt(const unsigned char *p, size_t size, size_t i, char32_t *cp)
{
    const unsigned c = p[i];
    if (c < 0x80) {
        *cp = c;
        return 1;
    }
    size_t len;
    char32_t v;
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
        v = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        v = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        v = c & 0x07;
    } else {
        return 0;
    }
    if (i + len > size)
        return 0;
    for (size_t k = 1; k < len; ++k) {
        const unsigned b = p[i + k];
        if ((b & 0xC0) != 0x80)
            return 0;
        v = (v << 6) | (b & 0x3F);
    }
    if (len == 3 && (v < 0x800 || (v >= 0xD800 && v <= 0xDFFF)))
        return 0;
    if (len == 4 && (v < 0x10000 || v > 0x10FFFF))
        return 0;
    *cp = v;
    return len;
}

inline bool isValidUtf8(const char *data, size_t size)
{
    const auto *p = reinterpret_cast<const unsigned char *>(data);
    char32_t cp;
    for (size_t i = 0; i < size;) {
        const size_t len = utf8SequenceAt(p, size, i, &cp);
        if (len == 0)
            return false;
        i += len;
    }
    return true;
}

} // namespace kov
