// The figures of the pools of one computation, with the distinct values of
// the five gathered pools kept so that "All" is summarized by merging them
// instead of grouping its strings again.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/pools.h"
#include "engine/text_order.h"

// Distinct values in ascending byte order: key of the first eight bytes,
// one physical string holding the value, its length, and its logical count
// in `count`.
using value_records = std::vector<text_sort_record>;

// summarize_pool, also handing out the pool's distinct values when values is
// not null.
pool_summary summarize_pool_values(const string_info_list& pool, value_records* values);

// The figures of merged, the union by address of pools whose distinct values
// are parts[0 .. count): the same figures as summarize_pool(merged), since a
// value of the union is a value of one or more of the pools, with the sum of
// their logical counts. The parts are freed as they are merged.
pool_summary summarize_merged_pool(const string_info_list& merged, value_records* parts,
                                   std::uint32_t count);
