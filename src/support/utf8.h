// UTF-8 decoding and the conversion of UTF-8 text to UTF-16, through which
// every computed text reaches a window. Malformed UTF-8 is never an error:
// the converted text ends where it starts.
#pragma once

#include <cstdint>

#include "support/array.h"

// Decodes one sequence of at most max_bytes bytes (only the first 6 are looked
// at). Returns the bytes consumed, 0 at the end of the text (a NUL) or at a
// malformed sequence. Accepts surrogates and the five- and six-byte forms;
// never reads past a NUL.
std::uint32_t decode_utf8_sequence(std::uint32_t max_bytes, const char* text,
                                   std::uint32_t& code_point) noexcept;

// UTF-16 units needed for the converted text, terminator included. The text
// ends at its NUL, at the first malformed sequence, or at the first code point
// of 0x100000 or more.
std::uint32_t wide_length_of_utf8(const char* text) noexcept;

// Converts text into buffer (capacity units, terminator included) and returns
// the units written before the terminator. Stops where wide_length_of_utf8
// stops; never writes past capacity; capacity 0 writes nothing.
std::uint32_t convert_utf8_to_wide(char16_t* buffer, std::uint32_t capacity,
                                   const char* text) noexcept;

// An owned, NUL-terminated UTF-16 text.
class wide_text {
public:
    wide_text() = default;
    explicit wide_text(array_t<char16_t, alloc_standard>&& units) noexcept
        : m_units(static_cast<array_t<char16_t, alloc_standard>&&>(units)) {}

    const char16_t* c_str() const noexcept { return m_units.size() ? m_units.data() : u""; }
    // Units before the terminator.
    std::uint32_t length() const noexcept;
#ifdef _WIN32
    const wchar_t* wchars() const noexcept {
        return reinterpret_cast<const wchar_t*>(c_str());
    }
#endif

private:
    array_t<char16_t, alloc_standard> m_units;
};

// text (null reads as empty) converted to UTF-16, measured first and
// allocated once. Raises std::bad_alloc.
wide_text utf8_to_wide_text(const char* text);
