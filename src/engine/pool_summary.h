// The figures of a pool row: grouping by value, the length quartiles and the
// nine figures of one pool.
#pragma once

#include <cstdint>

#include "engine/pools.h"

// Replaces the contents of out with one entry per distinct value of pool, in
// ascending unsigned byte order of the values (case-sensitive, no locale; a
// text that is a prefix of another sorts first). Each entry names one of the
// value's physical strings, its length, the sum of their counts (plain 32-bit
// sum) and their number. Raises std::bad_alloc (out then empty).
void group_unique(string_info_list2& out, const string_info_list& pool);

// The four length figures of a pool.
struct length_quartile_figures {
    std::uint32_t lower_quartile = 0;
    std::uint32_t median = 0;
    std::uint32_t upper_quartile = 0;
    std::uint32_t maximum = 0;
};

// One length with the logical strings of one value of that length.
struct t_length_entry {
    std::uint32_t length;
    std::uint32_t weight;
};

// The quartiles of the lengths, each value weighted by its logical count: a
// quartile is the shortest length at which the running sum of weights
// (ascending lengths, no wrap-around) reaches floor(W / 4), floor(W / 2) or
// floor(3 * W / 4), W being the 32-bit sum of the weights and 3 * W taken
// modulo 2^32. All four figures are 0 for no values.
length_quartile_figures length_quartiles(const string_info_list2& values);

// The same over a temporary array of entries, which it may reorder.
length_quartile_figures length_quartiles(t_length_entry* entries, std::uint32_t count);

// The nine figures of a pool (entries in ascending address order). Used
// memory counts the bytes of each string object once, except that an object
// starting inside the last counted object, on its terminator or right after
// it is taken to share its bytes; every logical string adds a 4-byte
// reference. Required memory counts each value once with its NUL plus the
// references. Memory figures wrap modulo 2^32. Raises std::bad_alloc.
pool_summary summarize_pool(const string_info_list& pool);
