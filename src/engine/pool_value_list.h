// The distinct values of one pool (or of "All") for the pool window, from
// the pools' sorted runs: the string objects are walked in address order,
// grouped by value in a table and handed out in ascending byte order.
#pragma once

#include "engine/address_runs.h"
#include "engine/pools.h"

// Fills out with the distinct values of the union of pools[0 .. count) (a
// null entry is an empty pool), in ascending unsigned byte order: for each
// value one of its objects, its length, its logical count (the plain 32-bit
// sum of its objects' counts, an object's count being the plain sum of its
// counts in the pools) and its physical count (distinct addresses). The
// runs are consumed. Raises std::bad_alloc (out then empty).
void collect_pool_values(address_runs* const* pools, std::uint32_t count, string_info_list2& out);
