#include "engine/cache_statistics.h"

#include "engine/metadata_cache_lock.h"
#include "engine/pool_figures.h"
#include "engine/string_gathering.h"

bool fill_cache_statistics(cache_statistics_view& view, const metadb_handle_list_t& tracks) {
    view.clear_rows();
    // In pool_kind order; declared before the lock so that they are freed
    // after it has been released.
    string_info_list pools[pool_kind_count];
    string_info_list& path = pools[pool_path - 1];
    string_info_list& meta_name = pools[pool_meta_name - 1];
    string_info_list& meta_value = pools[pool_meta_value - 1];
    string_info_list& info_name = pools[pool_info_name - 1];
    string_info_list& info_value = pools[pool_info_value - 1];
    string_info_list& all = pools[pool_all - 1];

    const metadata_cache_lock lock;
    gather_pools(tracks, path, meta_name, meta_value, info_name, info_value);
    view.progress_step();
    build_all_pool(all, path, meta_name, meta_value, info_name, info_value);
    view.progress_step();
    // The distinct values of the five pools are kept for "All", which is
    // their union.
    value_records values[pool_kind_count - 1];
    for (std::uint32_t row = 0; row < pool_kind_count; ++row) {
        const pool_summary summary = row + 1 == pool_all
                                         ? summarize_merged_pool(all, values, pool_kind_count - 1)
                                         : summarize_pool_values(pools[row], &values[row]);
        view.insert_pool_row(row, pool_label(row + 1), summary);
        view.progress_step();
    }
    return true;
}
