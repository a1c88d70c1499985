// value_rows: what the value page shows, held by the page itself: one row per
// distinct value (its figures and a copy of its text), and the order in which
// the list shows the rows, a permutation of 32-bit row indexes. The list view
// keeps nothing per row; it asks for each cell as it paints. Portable: no
// window system, so the native tests run it under the sanitizers.
#pragma once

#include <cstdint>

#include "engine/pools.h"
#include "support/array.h"
#include "ui/pool_window/text_chunks.h"

// One distinct value; text points into the table's text copies.
struct value_row {
    std::uint32_t length;
    std::uint32_t logical_count;
    std::uint32_t physical_count;
    const char* text;
};

class value_rows {
public:
    static constexpr int column_count = 6;
    static constexpr int value_column = 5;

    // (length + 1) x physical + 4 x logical, modulo 2^32.
    static std::uint32_t used_memory(const value_row& row) noexcept;
    // (length + 1) + 4 x logical, modulo 2^32.
    static std::uint32_t required_memory(const value_row& row) noexcept;

    // Replaces every row by a copy of the values (figures and text), in list
    // order; no row is shown until arrange_in_fill_order. This is all that
    // runs while the host's cache is locked. Raises std::bad_alloc, leaving
    // the table empty.
    void copy(const string_info_list2& values);

    // Orders the rows array by length, then without letter case, then by
    // bytes, and shows the rows in that order. Raises std::bad_alloc (the
    // table then shows nothing).
    void arrange_in_fill_order();

    // Reorders the shown rows by column (0 .. 5), ascending or descending;
    // rows with equal keys keep the order they had, as a stable sort of the
    // list's own rows would leave them. Other columns change nothing. Raises
    // std::bad_alloc (the order is then unchanged).
    void sort(int column, bool descending);

    // Rows shown (0 between copy and arrange_in_fill_order).
    std::uint32_t size() const noexcept { return m_order.size(); }
    std::uint32_t row_count() const noexcept { return m_rows.size(); }
    const value_row& row(std::uint32_t index) const noexcept { return m_rows[index]; }
    // The row index shown at a position (< size()).
    std::uint32_t row_at(std::uint32_t position) const noexcept { return m_order[position]; }

    // Writes the text of one cell into buffer (capacity units, terminator
    // included): plain decimal digits, or the value converted from UTF-8 as
    // every text for the platform is. Cut to fit; capacity 0 writes nothing;
    // a position or column outside the table gives an empty text. Returns the
    // units written before the terminator.
    std::uint32_t cell_text(std::uint32_t position, int column, char16_t* buffer,
                            std::uint32_t capacity) const noexcept;

private:
    // rank[i] = position of row i in the "Value" order (ties share one).
    void rank_values(array_t<std::uint32_t, alloc_standard>& rank) const;

    array_t<value_row, alloc_standard> m_rows;
    text_chunks m_text;
    array_t<std::uint32_t, alloc_standard> m_order;
    // Position of each row in the "Value" order (equal values share one).
    array_t<std::uint32_t, alloc_standard> m_value_rank;
};
