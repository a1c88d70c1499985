// Number formatting for every figure the windows show: plain ASCII digits,
// no grouping, no unit.
#pragma once

#include <cstdint>

#include "support/string8.h"

// The decimal digits of an unsigned value, most significant first, without
// leading zeros (0 gives "0").
class decimal_text {
public:
    explicit decimal_text(std::uint64_t value) noexcept;
    const char* chars() const noexcept { return m_buffer; }
    std::uint32_t length() const noexcept { return m_length; }

private:
    char m_buffer[64];
    std::uint32_t m_length;
};

// value read as a count of tenths: optional "-", the whole part (at least one
// digit), "." and exactly one decimal digit. 1000 gives "100.0", -7 "-0.7".
string8_fast tenths_text(std::int64_t value);
