#include "support/utf8.h"

namespace {

// Sequence length announced by a first byte of 0x80 or more; 0 when it
// cannot start a sequence.
std::uint32_t sequence_length(std::uint32_t first) noexcept {
    if ((first & 0xE0) == 0xC0) {
        return 2;
    }
    if ((first & 0xF0) == 0xE0) {
        return 3;
    }
    if ((first & 0xF8) == 0xF0) {
        return 4;
    }
    if ((first & 0xFC) == 0xF8) {
        return 5;
    }
    if ((first & 0xFE) == 0xFC) {
        return 6;
    }
    return 0;
}

constexpr std::uint32_t first_unencodable = 0x100000;

} // namespace

std::uint32_t decode_utf8_sequence(std::uint32_t max_bytes, const char* text,
                                   std::uint32_t& code_point) noexcept {
    if (max_bytes == 0) {
        return 0;
    }
    const std::uint32_t looked_at = max_bytes < 6 ? max_bytes : 6;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    const std::uint32_t first = bytes[0];
    if (first < 0x80) {
        if (first == 0) {
            return 0;
        }
        code_point = first;
        return 1;
    }
    const std::uint32_t n = sequence_length(first);
    if (n == 0 || n > looked_at) {
        return 0;
    }
    if (n == 2 && (first == 0xC0 || first == 0xC1)) {
        return 0;
    }
    std::uint32_t value = first & ((1u << (7 - n)) - 1);
    const std::uint32_t first_payload = value;
    for (std::uint32_t k = 1; k < n; ++k) {
        const std::uint32_t byte = bytes[k]; // a NUL fails the test below, so no read passes it
        if ((byte & 0xC0) != 0x80) {
            return 0;
        }
        value = (value << 6) | (byte & 0x3F);
    }
    if (n >= 3 && first_payload == 0 && (bytes[1] & 0x3F) == 0) {
        // The top n - 1 payload bits of the third byte must not all be zero.
        const std::uint32_t top_bits = 0x3Fu & ~((1u << (7 - n)) - 1);
        if ((bytes[2] & top_bits) == 0) {
            return 0;
        }
    }
    code_point = value;
    return n;
}

std::uint32_t wide_length_of_utf8(const char* text) noexcept {
    std::uint32_t units = 1;
    for (;;) {
        std::uint32_t code_point = 0;
        const std::uint32_t consumed = decode_utf8_sequence(0xFFFFFFFFu, text, code_point);
        if (consumed == 0 || code_point >= first_unencodable) {
            return units;
        }
        units += code_point < 0x10000 ? 1 : 2;
        text += consumed;
    }
}

std::uint32_t convert_utf8_to_wide(char16_t* buffer, std::uint32_t capacity,
                                   const char* text) noexcept {
    std::uint32_t count = 0;
    while (count < capacity) {
        std::uint32_t code_point = 0;
        const std::uint32_t consumed = decode_utf8_sequence(0xFFFFFFFFu, text, code_point);
        // The text ends at a code point that UTF-16 cannot carry here, as the
        // length estimate does; converting on past it would skip characters.
        if (consumed == 0 || code_point >= first_unencodable) {
            break;
        }
        text += consumed;
        if (code_point < 0x10000) {
            buffer[count++] = static_cast<char16_t>(code_point);
        } else {
            const std::uint32_t offset = code_point - 0x10000;
            buffer[count++] = static_cast<char16_t>(0xD800 | ((offset >> 10) & 0x3FF));
            if (count < capacity) {
                buffer[count++] = static_cast<char16_t>(0xDC00 | (code_point & 0x3FF));
            }
        }
    }
    if (capacity == 0) {
        return 0;
    }
    const std::uint32_t end = count < capacity - 1 ? count : capacity - 1;
    buffer[end] = 0;
    return end;
}

std::uint32_t wide_text::length() const noexcept {
    std::uint32_t n = 0;
    const char16_t* units = c_str();
    while (units[n] != 0) {
        ++n;
    }
    return n;
}

wide_text utf8_to_wide_text(const char* text) {
    if (!text) {
        text = "";
    }
    array_t<char16_t, alloc_standard> units;
    units.set_size(wide_length_of_utf8(text));
    convert_utf8_to_wide(units.data(), units.size(), text);
    return wide_text(static_cast<array_t<char16_t, alloc_standard>&&>(units));
}
