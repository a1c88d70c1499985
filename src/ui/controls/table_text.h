// A table as clipboard text: the header line first, then one line per row in
// the order given, cells separated by TAB, every line ended by CR LF. A cell
// that holds a TAB, CR or LF, or starts with a double quote, is written in
// double quotes with each of its quotes doubled, as spreadsheet programs read
// it; every other cell is written as it stands.
//
// The text is built in two passes over the same walk of the table: the first
// counts the exact number of code units, the second writes them into a block
// of that size, so a table of any size takes one allocation. Portable (no
// window system): Char is the 16-bit unit of the platform's text.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

template <typename Char> struct cell_view {
    const Char* text = nullptr;
    std::size_t length = 0; // code units, no terminator
};

// The rows of a table in the order the user sees them. Views returned by
// header_text and cell_text stay valid until the next call on the source.
template <typename Char> class table_source {
public:
    static constexpr std::uint32_t no_row = 0xFFFFFFFFu;

    virtual std::uint32_t column_count() = 0;
    virtual cell_view<Char> header_text(std::uint32_t column) = 0;
    virtual std::uint32_t row_count() = 0;
    // The text shown in the cell of display row `row`, column `column`.
    virtual cell_view<Char> cell_text(std::uint32_t row, std::uint32_t column) = 0;
    virtual std::uint32_t selected_count() = 0;
    // The first selected display row below `after` (no_row: from the top), or no_row.
    virtual std::uint32_t next_selected(std::uint32_t after) = 0;

protected:
    ~table_source() = default;
};

enum class table_rows { all, selected };

namespace table_text_detail {

// Whether the cell needs quotes, and how many quotes it holds (doubled
// when quoted): one scan.
template <typename Char> bool needs_quotes(cell_view<Char> cell, std::size_t& quotes) noexcept {
    bool needed = cell.length > 0 && cell.text[0] == Char('"');
    quotes = 0;
    for (std::size_t i = 0; i < cell.length; ++i) {
        const Char c = cell.text[i];
        if (c == Char('"')) {
            ++quotes;
        } else if (c == Char('\t') || c == Char('\r') || c == Char('\n')) {
            needed = true;
        }
    }
    return needed;
}

// First pass: counts units, and stops counting once they exceed the limit.
template <typename Char> class unit_counter {
public:
    explicit unit_counter(std::size_t limit) noexcept : m_limit(limit) {}
    bool fits() const noexcept { return m_fits; }
    std::size_t units() const noexcept { return m_units; }

    void put(Char) noexcept { grow(1); }
    void put_cell(cell_view<Char> cell) noexcept {
        std::size_t quotes = 0;
        grow(cell.length);
        if (needs_quotes(cell, quotes)) {
            grow(quotes);
            grow(2);
        }
    }

private:
    void grow(std::size_t n) noexcept {
        if (!m_fits || n > m_limit - m_units) {
            m_fits = false;
            return;
        }
        m_units += n;
    }

    std::size_t m_limit;
    std::size_t m_units = 0;
    bool m_fits = true;
};

// Second pass: writes into [at, end); a source that grew since it was
// measured makes it stop at the end instead of writing past it.
template <typename Char> class unit_writer {
public:
    unit_writer(Char* begin, std::size_t capacity) noexcept
        : m_begin(begin), m_at(begin), m_end(begin + capacity) {}
    bool fits() const noexcept { return m_fits; }
    std::size_t units() const noexcept { return static_cast<std::size_t>(m_at - m_begin); }

    void put(Char c) noexcept {
        if (m_at == m_end) {
            m_fits = false;
            return;
        }
        *m_at++ = c;
    }
    void put_cell(cell_view<Char> cell) noexcept {
        std::size_t quotes = 0;
        if (!needs_quotes(cell, quotes)) {
            const std::size_t n = cell.length <= room() ? cell.length : room();
            std::copy(cell.text, cell.text + n, m_at);
            m_at += n;
            m_fits = m_fits && n == cell.length;
            return;
        }
        put(Char('"'));
        for (std::size_t i = 0; i < cell.length; ++i) {
            if (cell.text[i] == Char('"')) {
                put(Char('"'));
            }
            put(cell.text[i]);
        }
        put(Char('"'));
    }

private:
    std::size_t room() const noexcept { return static_cast<std::size_t>(m_end - m_at); }

    Char* m_begin;
    Char* m_at;
    Char* m_end;
    bool m_fits = true;
};

template <typename Char, typename Sink>
void put_line(table_source<Char>& source, std::uint32_t row, std::uint32_t columns, Sink& sink) {
    for (std::uint32_t c = 0; c < columns; ++c) {
        if (c > 0) {
            sink.put(Char('\t'));
        }
        sink.put_cell(row == table_source<Char>::no_row ? source.header_text(c)
                                                        : source.cell_text(row, c));
    }
    sink.put(Char('\r'));
    sink.put(Char('\n'));
}

// The header, then the rows; stops early once the sink is full.
template <typename Char, typename Sink>
void walk_table(table_source<Char>& source, table_rows rows, Sink& sink) {
    constexpr std::uint32_t no_row = table_source<Char>::no_row;
    const std::uint32_t columns = source.column_count();
    put_line(source, no_row, columns, sink);
    const std::uint32_t count = source.row_count();
    if (rows == table_rows::all) {
        for (std::uint32_t r = 0; r < count && sink.fits(); ++r) {
            put_line(source, r, columns, sink);
        }
        return;
    }
    // Rows in display order; a source that answers a row twice or goes
    // backwards ends the walk rather than looping.
    std::uint32_t previous = no_row;
    for (std::uint32_t r = source.next_selected(no_row); r != no_row && r < count && sink.fits();
         r = source.next_selected(r)) {
        if (previous != no_row && r <= previous) {
            break;
        }
        put_line(source, r, columns, sink);
        previous = r;
    }
}

} // namespace table_text_detail

// Writes the decimal digits of value (no sign, no grouping, "0" for zero)
// into digits and answers the cell: for sources that format their figures
// themselves. 32-bit arithmetic only, as the figures are.
template <typename Char> cell_view<Char> decimal_cell(std::uint32_t value, Char (&digits)[10]) {
    std::size_t first = 10;
    do {
        digits[--first] = static_cast<Char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    return {digits + first, 10 - first};
}

// The rows that a copy of `rows` takes: every row when every row is selected,
// so that copying a selection of all rows does not walk the selection.
template <typename Char> table_rows effective_rows(table_source<Char>& source, table_rows rows) {
    if (rows == table_rows::selected && source.selected_count() == source.row_count()) {
        return table_rows::all;
    }
    return rows;
}

// The exact number of units of the table's text, terminator not counted.
// False when it exceeds limit (the text would not fit any block we can ask for).
template <typename Char>
bool measure_table_text(table_source<Char>& source, table_rows rows, std::size_t limit,
                        std::size_t& units) {
    table_text_detail::unit_counter<Char> counter(limit);
    table_text_detail::walk_table(source, rows, counter);
    units = counter.units();
    return counter.fits();
}

// Writes the table's text into out (capacity units; no terminator written),
// sets written to the units written, and answers whether the whole text fit.
// Never writes past capacity (a source that grew since it was measured).
template <typename Char>
bool write_table_text(table_source<Char>& source, table_rows rows, Char* out, std::size_t capacity,
                      std::size_t& written) {
    table_text_detail::unit_writer<Char> writer(out, capacity);
    table_text_detail::walk_table(source, rows, writer);
    written = writer.units();
    return writer.fits();
}
