// Walks the distinct values of a pool in ascending byte order.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/pools.h"
#include "engine/text_order.h"

// Calls on_value(text, length, logical_count, physical_count) once per
// distinct value of pool, in ascending unsigned byte order of the values;
// text is one of the physical strings holding the value. Logical counts are
// plain 32-bit sums of the entries' counts. Raises std::bad_alloc before the
// first call when the sort records cannot be had.
template <typename OnValue> void for_each_value(const string_info_list& pool, OnValue&& on_value) {
    const std::uint32_t n = pool.get_count();
    if (n == 0) {
        return;
    }
    std::unique_ptr<text_sort_record[]> records(new text_sort_record[n]);
    const string_info* entries = pool.data();
    for (std::uint32_t i = 0; i < n; ++i) {
        records[i] = make_text_sort_record(entries[i].text, entries[i].length, entries[i].count);
    }
    sort_texts(records.get(), n);
    std::uint32_t start = 0;
    std::uint32_t logical = records[0].count;
    for (std::uint32_t i = 1; i < n; ++i) {
        if (records[i].key != 0) {
            on_value(records[start].text, records[start].length, logical, i - start);
            start = i;
            logical = 0;
        }
        logical += records[i].count;
    }
    on_value(records[start].text, records[start].length, logical, n - start);
}
