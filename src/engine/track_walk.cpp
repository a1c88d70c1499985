#include "engine/track_walk.h"

#include "host/host_guard.h"

std::uint32_t pools_needed_for(pool_kind kind) noexcept {
    if (kind == pool_all) {
        return all_gathered_pools;
    }
    if (kind >= pool_path && kind <= pool_info_value) {
        return pool_bit(kind);
    }
    return 0;
}

namespace {

// How many tracks ahead the walk asks for a handle's memory: far enough for
// it to arrive while the tracks before it are read.
constexpr std::uint32_t handle_ahead = 8;

} // namespace

void walk_tracks(const metadb_handle_list_t& tracks, std::uint32_t wanted,
                 pool_collectors& collectors) {
    const bool want_path = (wanted & pool_bit(pool_path)) != 0;
    const bool want_meta_name = (wanted & pool_bit(pool_meta_name)) != 0;
    const bool want_meta_value = (wanted & pool_bit(pool_meta_value)) != 0;
    const bool want_info_name = (wanted & pool_bit(pool_info_name)) != 0;
    const bool want_info_value = (wanted & pool_bit(pool_info_value)) != 0;
    const bool want_meta = want_meta_name || want_meta_value;
    const bool want_info = want_info_name || want_info_value;
    if (!want_path && !want_meta && !want_info) {
        return;
    }
    // One guard for the whole walk: the collectors live outside it, and the
    // loop holds nothing that needs cleaning up while it asks the host.
    guarded_host_calls([&] {
        for (std::uint32_t i = 0; i < tracks.get_count(); ++i) {
            // The handles of a library are scattered over the host's heap:
            // the first line of one a few tracks ahead is asked for while
            // this one is read, so that the host's first call on it does not
            // wait for memory. (A prefetch reads nothing and cannot fault.)
            if (i + handle_ahead < tracks.get_count()) {
                __builtin_prefetch(tracks[i + handle_ahead].get());
            }
            const metadb_handle* handle = tracks[i].get();
            if (handle == nullptr) {
                continue;
            }
            if (want_path) {
                if (const track_location* location = handle->location()) {
                    collectors.path.add(location->path_text());
                }
            }
            if (!want_meta && !want_info) {
                continue;
            }
            const track_info* info = nullptr;
            if (!handle->cached_info(&info) || info == nullptr) {
                continue;
            }
            if (want_meta) {
                const std::uint32_t fields = info->meta_field_count();
                for (std::uint32_t f = 0; f < fields; ++f) {
                    if (want_meta_name) {
                        collectors.meta_name.add(info->meta_field_name(f));
                    }
                    if (want_meta_value) {
                        const std::uint32_t values = info->meta_field_value_count(f);
                        for (std::uint32_t v = 0; v < values; ++v) {
                            collectors.meta_value.add(info->meta_field_value(f, v));
                        }
                    }
                }
            }
            if (want_info) {
                const std::uint32_t fields = info->info_field_count();
                for (std::uint32_t f = 0; f < fields; ++f) {
                    if (want_info_name) {
                        collectors.info_name.add(info->info_field_name(f));
                    }
                    if (want_info_value) {
                        collectors.info_value.add(info->info_field_value(f));
                    }
                }
            }
        }
    });
}
