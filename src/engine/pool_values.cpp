#include "engine/pool_values.h"

#include "engine/metadata_cache_lock.h"
#include "engine/pool_summary.h"
#include "engine/string_gathering.h"
#include "engine/track_walk.h"

namespace {

// Gathers the pool, groups it and hands it to the pages; the caller holds
// the lock. Nothing pointing into the host's cache outlives this call.
void fill_pages(pool_value_view& view, pool_kind kind, const metadb_handle_list_t& tracks) {
    string_info_list pools[pool_kind_count];
    string_info_list& path = pools[pool_path - 1];
    string_info_list& meta_name = pools[pool_meta_name - 1];
    string_info_list& meta_value = pools[pool_meta_value - 1];
    string_info_list& info_name = pools[pool_info_name - 1];
    string_info_list& info_value = pools[pool_info_value - 1];
    {
        pool_collectors collectors;
        walk_tracks(tracks, pools_needed_for(kind), collectors);
        collectors.path.add_to(path);
        collectors.meta_name.add_to(meta_name);
        collectors.meta_value.add_to(meta_value);
        collectors.info_name.add_to(info_name);
        collectors.info_value.add_to(info_value);
    }
    if (kind == pool_all) {
        build_all_pool(pools[pool_all - 1], path, meta_name, meta_value, info_name, info_value);
    }
    string_info_list2 values;
    if (kind >= pool_path && kind <= pool_all) {
        group_unique(values, pools[kind - 1]);
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
