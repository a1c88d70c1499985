// The statistics computed the literal way, one step of the definition at a
// time: add_string per reference, the merges, grouping through a sorted
// permutation with byte comparison, quartiles over a sorted length table.
// Slow and plain; the engine's own ways must give exactly the same results.
#pragma once

#include <vector>

#include "engine/pool_summary.h"
#include "engine/pools.h"
#include "recording_views.h"

namespace literal {

// The five pools of the tracks, by add_string per reference; kind restricts
// what is asked of the host as compute_pool_values does (pool_all: all).
void gather_pools(const metadb_handle_list_t& tracks, string_info_list pools[pool_kind_count],
                  pool_kind kind = pool_all);

void group_unique(string_info_list2& out, const string_info_list& pool);
length_quartile_figures length_quartiles(const string_info_list2& values);
pool_summary summarize_pool(const string_info_list& pool);

// The six rows of a track set (the caller holds the lock).
std::vector<engine_fakes::pool_row> statistics_rows(const metadb_handle_list_t& tracks);

} // namespace literal
