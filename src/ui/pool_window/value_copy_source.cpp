#include "ui/pool_window/value_copy_source.h"

#include <new>

#include "support/utf8.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the platform's text is UTF-16");

cell_view<wchar_t> value_copy_source::cell_text(std::uint32_t row, std::uint32_t column) {
    if (row >= m_table.size()) {
        return {};
    }
    const value_row& entry = m_table.row(m_table.row_at(row));
    switch (column) {
    case 0:
        return decimal_cell(entry.length, m_digits);
    case 1:
        return decimal_cell(entry.logical_count, m_digits);
    case 2:
        return decimal_cell(entry.physical_count, m_digits);
    case 3:
        return decimal_cell(value_rows::used_memory(entry), m_digits);
    case 4:
        return decimal_cell(value_rows::required_memory(entry), m_digits);
    case value_rows::value_column:
        return value_cell(entry);
    default:
        return {};
    }
}

cell_view<wchar_t> value_copy_source::value_cell(const value_row& entry) {
    // The copy holds at most length bytes before its NUL, and no UTF-8
    // sequence gives more UTF-16 units than it has bytes: length + 1 units
    // hold the whole converted value and its terminator.
    if (entry.length >= 0xFFFFFFFFu) {
        throw std::bad_alloc();
    }
    const std::uint32_t capacity = entry.length + 1;
    if (m_value.size() < capacity) {
        m_value.resize(capacity);
    }
    // ASCII converts to itself, one unit per byte: only the rest of the value
    // (from its first other byte) goes through the conversion.
    char16_t* out = m_value.data();
    const auto* bytes = reinterpret_cast<const unsigned char*>(entry.text);
    std::uint32_t ascii = 0;
    while (bytes[ascii] != 0 && bytes[ascii] < 0x80) {
        out[ascii] = bytes[ascii];
        ++ascii;
    }
    std::uint32_t units = ascii;
    if (bytes[ascii] != 0) {
        units += convert_utf8_to_wide(out + ascii, capacity - ascii, entry.text + ascii);
    }
    return {reinterpret_cast<const wchar_t*>(out), units};
}
