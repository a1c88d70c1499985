#include "support/number_text.h"

decimal_text::decimal_text(std::uint64_t value) noexcept {
    char digits[20];
    std::uint32_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (std::uint32_t i = 0; i < count; ++i) {
        m_buffer[i] = digits[count - 1 - i];
    }
    m_buffer[count] = 0;
    m_length = count;
}

string8_fast tenths_text(std::int64_t value) {
    string8_fast text;
    // The magnitude as unsigned, so that the most negative value negates safely.
    std::uint64_t magnitude = static_cast<std::uint64_t>(value);
    if (value < 0) {
        text += "-";
        magnitude = 0 - magnitude;
    }
    text += decimal_text(magnitude / 10).chars();
    const char fraction[3] = {'.', static_cast<char>('0' + magnitude % 10), 0};
    text += fraction;
    return text;
}
