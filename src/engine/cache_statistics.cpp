#include "engine/cache_statistics.h"

#include "engine/metadata_cache_lock.h"
#include "engine/pool_statistics.h"
#include "engine/track_walk.h"

bool fill_cache_statistics(cache_statistics_view& view, const metadb_handle_list_t& tracks) {
    view.clear_rows();
    // Declared before the lock so that they are freed after it has been
    // released.
    pool_collectors collectors;
    pool_statistics statistics;

    const metadata_cache_lock lock;
    walk_tracks(tracks, all_gathered_pools, collectors);
    const auto gathered = collectors.finish();
    view.progress_step();
    // One walk in address order counts the five pools and their union "All".
    statistics.walk(gathered.data());
    view.progress_step();
    for (pool_kind kind = pool_path; kind <= pool_info_value; ++kind) {
        view.insert_pool_row(kind - 1, pool_label(kind), statistics.pool_row(kind));
        view.progress_step();
    }
    view.insert_pool_row(pool_all - 1, pool_label(pool_all), statistics.all_row());
    view.progress_step();
    return true;
}
