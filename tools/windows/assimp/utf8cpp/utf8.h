// The two conversions of the utf8cpp interface that assimp's core (BaseImporter) calls, for the
// Windows build: Debian's assimp source expects utf8cpp as a separate package, whose source is
// not fetched here. The importers that use more of utf8cpp (STEP, MMD, SIB) are not built.
// Invalid code points (surrogates, above U+10FFFF) become U+FFFD instead of throwing.
#pragma once

#include <cstdint>

namespace utf8 {

template <typename Out> Out append(uint32_t cp, Out out) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = 0xFFFD;
    if (cp < 0x80) {
        *out++ = static_cast<uint8_t>(cp);
    } else if (cp < 0x800) {
        *out++ = static_cast<uint8_t>(0xC0 | (cp >> 6));
        *out++ = static_cast<uint8_t>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *out++ = static_cast<uint8_t>(0xE0 | (cp >> 12));
        *out++ = static_cast<uint8_t>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<uint8_t>(0x80 | (cp & 0x3F));
    } else {
        *out++ = static_cast<uint8_t>(0xF0 | (cp >> 18));
        *out++ = static_cast<uint8_t>(0x80 | ((cp >> 12) & 0x3F));
        *out++ = static_cast<uint8_t>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<uint8_t>(0x80 | (cp & 0x3F));
    }
    return out;
}

// Input items are 32-bit code points.
template <typename In, typename Out> Out utf32to8(In first, In last, Out out) {
    for (; first != last; ++first)
        out = append(static_cast<uint32_t>(*first), out);
    return out;
}

// Input items are 16-bit units; a high surrogate joins the low one after it, a lone one is
// replaced.
template <typename In, typename Out> Out utf16to8(In first, In last, Out out) {
    while (first != last) {
        uint32_t unit = static_cast<uint16_t>(*first++);
        if (unit >= 0xD800 && unit <= 0xDBFF && first != last) {
            const uint32_t low = static_cast<uint16_t>(*first);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                ++first;
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            }
        }
        out = append(unit, out);
    }
    return out;
}

} // namespace utf8
