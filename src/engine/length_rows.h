// The rows of the pool window's length page: one per string length that
// occurs in the pool.
#pragma once

#include <cstdint>

#include "engine/pools.h"
#include "support/array.h"

// The figures of one length L over the values of that length.
struct length_row {
    std::uint32_t length;
    // Share of the pool's logical strings of length L or less, in tenths of
    // a percent (0 .. 1000), rounded to the nearest with halves going up.
    std::uint32_t percent_tenths;
    std::uint32_t logical;         // A: sum of the values' logical counts
    std::uint32_t physical;        // B: sum of the values' physical counts
    std::uint32_t unique;          // U: number of values
    std::uint32_t used_memory;     // (L + 1) * B + 4 * A, modulo 2^32
    std::uint32_t required_memory; // (L + 1) * U + 4 * A, modulo 2^32
};

using length_row_array = array_t<length_row, alloc_standard>;

// Replaces rows with one row per distinct length of values, in ascending
// order of length. The length page inserts each row at the top of its list
// as it goes, so it shows them longest first. Reads only lengths and counts.
// Raises std::bad_alloc.
void compute_length_rows(const string_info_list2& values, length_row_array& rows);
