#include "ui/pool_window/value_rows.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/radix_sort.h"
#include "support/number_text.h"
#include "support/shared_api.h"
#include "support/utf8.h"

namespace {

constexpr std::uint32_t copy_ahead = 8;

int sign_of(int value) noexcept {
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

std::uint64_t read_word(const char* p) noexcept {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof(word));
    return word;
}

// How many leading bytes two texts share that are ASCII characters in both,
// read eight bytes at a time while they lie within the shorter text.
std::uint32_t shared_ascii_prefix(const value_row& a, const value_row& b) noexcept {
    constexpr std::uint64_t high_bits = 0x8080808080808080ull;
    constexpr std::uint64_t low_bits = 0x7F7F7F7F7F7F7F7Full;
    const std::uint32_t shorter = std::min(a.length, b.length);
    std::uint32_t i = 0;
    for (; i + 8 <= shorter; i += 8) {
        const std::uint64_t x = read_word(a.text + i);
        const std::uint64_t y = read_word(b.text + i);
        const std::uint64_t differ = x ^ y;
        // The high bit of each byte that differs or is not ASCII.
        const std::uint64_t stop = (((differ & low_bits) + low_bits) | differ | x | y) & high_bits;
        if (stop != 0) {
            if constexpr (__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__) {
                return i + static_cast<std::uint32_t>(__builtin_ctzll(stop)) / 8;
            } else {
                return i + static_cast<std::uint32_t>(__builtin_clzll(stop)) / 8;
            }
        }
    }
    while (i < shorter && a.text[i] == b.text[i] && static_cast<unsigned char>(a.text[i]) < 0x80) {
        ++i;
    }
    return i;
}

// Without letter case first; equal texts then by their bytes (unsigned, a
// prefix first). The result is -1, 0 or 1 whatever the host's comparison
// returns. A comparison without letter case is decided by the first
// characters that differ, and an ASCII byte is a whole character however a
// reader of UTF-8 treats the bytes around it; so a shared ASCII beginning is
// passed over here and the host compares only the rest. Neighbouring values
// (paths in one folder) share most of their bytes.
int compare_texts(const value_row& a, const value_row& b) {
    const std::uint32_t shared = shared_ascii_prefix(a, b);
    if (shared == a.length && shared == b.length) {
        return 0; // the same bytes
    }
    const char* x = a.text + shared;
    const char* y = b.text + shared;
    const int folded = sign_of(stricmp_utf8(x, y));
    return folded != 0 ? folded : sign_of(std::strcmp(x, y));
}

std::uint32_t number_of(const value_row& row, int column) noexcept {
    switch (column) {
    case 0:
        return row.length;
    case 1:
        return row.logical_count;
    case 2:
        return row.physical_count;
    case 3:
        return value_rows::used_memory(row);
    default:
        return value_rows::required_memory(row);
    }
}

// One shown row during a sort: its key and its row index.
struct keyed_row {
    std::uint32_t key;
    std::uint32_t row;
};

// Stable ascending sort of records by a key of up to 64 bits.
template <typename Record, typename KeyOf>
void sort_by_key(Record* records, std::uint32_t count, KeyOf key_of) {
    if (count < 2) {
        return;
    }
    std::uint64_t differing = 0;
    const std::uint64_t first = key_of(records[0]);
    for (std::uint32_t i = 1; i < count; ++i) {
        differing |= key_of(records[i]) ^ first;
    }
    if (differing == 0) {
        return;
    }
    array_t<Record, alloc_standard> scratch(count);
    array_t<std::uint32_t, alloc_standard> histogram(
        static_cast<std::uint32_t>(radix_histogram_size));
    radix_sort(records, scratch.data(), histogram.data(), count, differing,
               [&](const Record& r) { return static_cast<std::uint64_t>(key_of(r)); });
}

// Sorts items stably by less, merging the runs that are in order already.
// Values arrive in byte order, which is mostly their order without letter
// case too, so this takes far fewer comparisons than a plain merge sort (and
// never more than one pass over the items beyond it).
template <typename Less> void merge_runs(std::uint32_t* items, std::uint32_t n, Less less) {
    std::vector<std::uint32_t> bounds{0}; // run starts, then n
    for (std::uint32_t i = 1; i < n; ++i) {
        if (less(items[i], items[i - 1])) {
            bounds.push_back(i);
        }
    }
    bounds.push_back(n);
    if (bounds.size() <= 2) {
        return;
    }
    array_t<std::uint32_t, alloc_standard> buffer(n);
    std::uint32_t* from = items;
    std::uint32_t* to = buffer.data();
    while (bounds.size() > 2) {
        std::vector<std::uint32_t> merged{0};
        for (std::size_t r = 0; r + 1 < bounds.size(); r += 2) {
            const std::uint32_t begin = bounds[r];
            const std::uint32_t middle = bounds[r + 1];
            const std::uint32_t end = r + 2 < bounds.size() ? bounds[r + 2] : middle;
            std::merge(from + begin, from + middle, from + middle, from + end, to + begin, less);
            merged.push_back(end);
        }
        bounds.swap(merged);
        std::swap(from, to);
    }
    if (from != items) {
        std::memcpy(items, from, std::size_t{n} * sizeof(std::uint32_t));
    }
}

} // namespace

std::uint32_t value_rows::used_memory(const value_row& row) noexcept {
    return (row.length + 1u) * row.physical_count + 4u * row.logical_count;
}

std::uint32_t value_rows::required_memory(const value_row& row) noexcept {
    return (row.length + 1u) + 4u * row.logical_count;
}

void value_rows::copy(const string_info_list2& values) {
    m_order.set_size(0);
    m_value_rank.set_size(0);
    m_rows.set_size(0);
    m_text.reset(0);

    const std::uint32_t n = values.get_count();
    std::uint64_t total = 0;
    for (std::uint32_t i = 0; i < n; ++i) {
        total += std::uint64_t{values[i].length} + 1;
    }
    try {
        m_rows.set_size(n);
        m_text.reset(total);
        for (std::uint32_t i = 0; i < n; ++i) {
            // The host's texts lie anywhere: the ones a few values on are
            // asked for while this one is copied.
            if (i + copy_ahead < n) {
                __builtin_prefetch(values[i + copy_ahead].text);
            }
            const string_info2& value = values[i];
            m_rows[i] = value_row{value.length, value.logical_count, value.physical_count,
                                  m_text.add(value.text, value.length)};
        }
    } catch (...) {
        // Rows never point into texts that are gone.
        m_rows.set_size(0);
        m_text.reset(0);
        throw;
    }
}

void value_rows::arrange_in_fill_order() {
    m_order.set_size(0);
    m_value_rank.set_size(0);
    const std::uint32_t n = m_rows.size();
    array_t<std::uint32_t, alloc_standard> rank(n);
    rank_values(rank);

    // The fill order is the "Value" order within each length: a sort by
    // (length, rank) that compares no text.
    array_t<std::uint32_t, alloc_standard> order(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        order[i] = i;
    }
    // Ranks are below n: the length goes right above their bits, so the key
    // has no gap of bits that never differ.
    unsigned rank_bits = 0;
    while (rank_bits < 32 && (std::uint64_t{1} << rank_bits) < n) {
        ++rank_bits;
    }
    const value_row* rows = m_rows.data();
    const std::uint32_t* ranks = rank.data();
    sort_by_key(order.data(), n, [rows, ranks, rank_bits](std::uint32_t i) {
        return std::uint64_t{rows[i].length} << rank_bits | ranks[i];
    });

    // Lay the rows and their ranks out in that order: row i is shown at
    // position i.
    array_t<value_row, alloc_standard> arranged(n);
    array_t<std::uint32_t, alloc_standard> arranged_rank(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        arranged[i] = m_rows[order[i]];
        arranged_rank[i] = rank[order[i]];
        order[i] = i;
    }
    m_rows.swap(arranged);
    rank.swap(arranged_rank);
    m_value_rank.swap(rank);
    m_order.swap(order);
}

void value_rows::rank_values(array_t<std::uint32_t, alloc_standard>& rank) const {
    const std::uint32_t n = m_rows.size();
    array_t<std::uint32_t, alloc_standard> sorted(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        sorted[i] = i;
    }
    const value_row* rows = m_rows.data();
    merge_runs(sorted.data(), n, [rows](std::uint32_t a, std::uint32_t b) {
        return compare_texts(rows[a], rows[b]) < 0;
    });
    // Texts that compare equal have the same bytes (up to the first NUL).
    for (std::uint32_t i = 0; i < n; ++i) {
        const bool same = i > 0 && std::strcmp(rows[sorted[i - 1]].text, rows[sorted[i]].text) == 0;
        rank[sorted[i]] = same ? rank[sorted[i - 1]] : i;
    }
}

void value_rows::sort(int column, bool descending) {
    if (column < 0 || column >= column_count) {
        return;
    }
    const std::uint32_t n = m_order.size();
    // Descending is ascending by the complemented key: equal keys stay equal,
    // so they keep their order as they do under a negated comparator.
    const std::uint32_t flip = descending ? 0xFFFFFFFFu : 0u;
    array_t<keyed_row, alloc_standard> keyed(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        const std::uint32_t row = m_order[i];
        const std::uint32_t key =
            column == value_column ? m_value_rank[row] : number_of(m_rows[row], column);
        keyed[i] = keyed_row{key ^ flip, row};
    }
    sort_by_key(keyed.data(), n, [](const keyed_row& r) { return r.key; });
    for (std::uint32_t i = 0; i < n; ++i) {
        m_order[i] = keyed[i].row;
    }
}

std::uint32_t value_rows::cell_text(std::uint32_t position, int column, char16_t* buffer,
                                    std::uint32_t capacity) const noexcept {
    if (capacity == 0) {
        return 0;
    }
    if (position >= m_order.size() || column < 0 || column >= column_count) {
        buffer[0] = u'\0';
        return 0;
    }
    const value_row& row = m_rows[m_order[position]];
    if (column == value_column) {
        return convert_utf8_to_wide(buffer, capacity, row.text);
    }
    const decimal_text digits(number_of(row, column));
    const std::uint32_t length = std::min(digits.length(), capacity - 1);
    for (std::uint32_t i = 0; i < length; ++i) {
        buffer[i] = static_cast<char16_t>(digits.chars()[i]);
    }
    buffer[length] = u'\0';
    return length;
}
