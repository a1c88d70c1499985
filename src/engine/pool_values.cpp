#include "engine/pool_values.h"

#include "engine/metadata_cache_lock.h"
#include "engine/pool_value_list.h"
#include "engine/track_walk.h"

namespace {

// Gathers the pool, groups it and hands it to the pages; the caller holds
// the lock. Nothing pointing into the host's cache outlives this call.
void fill_pages(pool_value_view& view, pool_kind kind, const metadb_handle_list_t& tracks) {
    pool_collectors collectors;
    walk_tracks(tracks, pools_needed_for(kind), collectors);
    string_info_list2 values;
    if (kind >= pool_path && kind <= pool_all) {
        // The pools the kind does not need were not walked: their runs are
        // empty and add nothing.
        const auto runs = collectors.finish();
        collect_pool_values(runs.data(), 5, values);
    }
    if (view.length_page_exists()) {
        view.fill_length_page(values);
    }
    if (view.value_page_exists()) {
        view.fill_value_page(values);
    }
}

} // namespace

bool compute_pool_values(pool_value_view& view, const metadb_handle_list_t& tracks) {
    const pool_kind kind = view.pool();
    {
        const metadata_cache_lock lock;
        fill_pages(view, kind, tracks);
    }
    // The pages talk to their windows only now, with the host's cache free.
    view.present_pages();
    return true;
}
