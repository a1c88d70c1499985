// The value page's table as the copy commands read it: the header, the row
// count and the selection come from the list (list_view_table_source), the
// cells from the page's own rows, taken in the order the list shows them
// (through the table's permutation, so after any header sort). Figures are
// written as the list shows them; the "Value" cell is the whole value
// converted from UTF-8 as every text for the platform is (up to its first
// malformed sequence or unencodable code point), never the display text the
// list cuts to its buffer. One buffer serves every value: a copy allocates
// only when a value is longer than any before it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "ui/controls/list_view_table_source.h"
#include "ui/pool_window/value_rows.h"

class value_copy_source final : public list_view_table_source {
public:
    explicit value_copy_source(const value_rows& table) noexcept : m_table(table) {}

    // Display row `row` of the table (an empty cell beyond its rows). Raises
    // std::bad_alloc when the value does not fit in memory.
    cell_view<wchar_t> cell_text(std::uint32_t row, std::uint32_t column) override;

private:
    cell_view<wchar_t> value_cell(const value_row& entry);

    const value_rows& m_table;
    wchar_t m_digits[10] = {};
    std::vector<char16_t> m_value;
};
