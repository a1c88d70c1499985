// stricmp_utf8: case-insensitive order of two UTF-8 texts.
//
// Each text is read as a sequence of units: a well-formed UTF-8 sequence
// (shortest form, no surrogates, at most U+10FFFF) is one code point, folded
// to lower case; any other byte is a unit of its own. Code points sort by
// their folded value, and every malformed byte sorts after every code point,
// by its byte value. The end of a text sorts before everything. The texts
// compare unit by unit, so the order is total and the same on every system.
// No byte after a text's terminating NUL is ever read: a sequence is only
// followed while each next byte is a continuation byte, which NUL never is.
//
// Portable on purpose: no <windows.h>, so the native tests can run it under
// the address sanitizer.
#include <cstdint>

#include "support/shared_api.h"

namespace {

constexpr std::int64_t end_of_text = -1;
constexpr std::int64_t malformed_base = 0x110000; // above every code point

bool is_continuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Reads one unit at text (not at its end) and advances text past it.
std::int64_t next_unit(const unsigned char*& text) {
    const unsigned char lead = text[0];
    if (lead < 0x80) {
        ++text;
        return lead;
    }
    std::uint32_t length;
    std::uint32_t code;
    std::uint32_t minimum;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        minimum = 0x10000;
    } else {
        ++text;
        return malformed_base + lead;
    }
    for (std::uint32_t i = 1; i < length; ++i) {
        if (!is_continuation(text[i])) {
            ++text;
            return malformed_base + lead;
        }
        code = code << 6 | (text[i] & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        ++text;
        return malformed_base + lead;
    }
    text += length;
    return code;
}

// Simple lower-case mapping for Basic Latin, Latin-1 Supplement, Latin
// Extended-A, basic Greek and Cyrillic.
std::uint32_t fold_case(std::uint32_t c) {
    if (c < 0x80) {
        return c >= 'A' && c <= 'Z' ? c + 0x20 : c;
    }
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) {
        return c + 0x20;
    }
    if (c >= 0x100 && c <= 0x17F) {
        if (c == 0x130) {
            return 'i'; // capital I with dot above
        }
        if (c == 0x178) {
            return 0xFF; // capital Y with diaeresis
        }
        const bool even_upper = (c <= 0x137) || (c >= 0x14A && c <= 0x177);
        const bool odd_upper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if ((even_upper && c % 2 == 0) || (odd_upper && c % 2 == 1)) {
            return c + 1;
        }
        return c;
    }
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) {
        return c + 0x20; // Greek capitals, the two with dialytika included
    }
    if (c >= 0x410 && c <= 0x42F) {
        return c + 0x20;
    }
    if (c >= 0x400 && c <= 0x40F) {
        return c + 0x50;
    }
    return c;
}

std::int64_t folded(std::int64_t unit) {
    return unit >= 0 && unit < malformed_base ? fold_case(static_cast<std::uint32_t>(unit)) : unit;
}

} // namespace

extern "C" int stricmp_utf8(const char* a, const char* b) {
    const auto* p = reinterpret_cast<const unsigned char*>(a != nullptr ? a : "");
    const auto* q = reinterpret_cast<const unsigned char*>(b != nullptr ? b : "");
    for (;;) {
        const std::int64_t x = *p == 0 ? end_of_text : folded(next_unit(p));
        const std::int64_t y = *q == 0 ? end_of_text : folded(next_unit(q));
        if (x != y) {
            return x < y ? -1 : 1;
        }
        if (x == end_of_text) {
            return 0;
        }
    }
}
