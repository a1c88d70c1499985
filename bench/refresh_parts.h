// What both refresh benchmarks (native and 32-bit) share: a view that keeps
// the rows, the floor pass, and the track sets as the statistics window
// builds them.
#pragma once

#include <cstddef>
#include <cstring>
#include <functional>

#include "engine/cache_statistics.h"
#include "engine/metadata_cache_lock.h"
#include "engine/track_sets.h"

namespace bench {

class null_view final : public cache_statistics_view {
public:
    void clear_rows() override {}
    void insert_pool_row(std::uint32_t row, const char*, const pool_summary& summary) override {
        rows[row] = summary;
    }
    void progress_step() override {}
    pool_summary rows[pool_kind_count];
};

// The least time of a few runs of work, each timed by seconds() (the
// thread's processor time on each platform).
template <typename Seconds>
double best_seconds(Seconds seconds, int repeats, const std::function<void()>& work) {
    double best = 1e30;
    for (int r = 0; r < repeats; ++r) {
        const double start = seconds();
        work();
        const double s = seconds() - start;
        best = s < best ? s : best;
    }
    return best;
}

inline volatile std::size_t g_floor_sink;

// Every logical string of the tracks read once through the host calls,
// under the lock: the least any refresh must do.
inline void floor_pass(const metadb_handle_list_t& tracks) {
    const metadata_cache_lock lock;
    std::size_t bytes = 0;
    for (std::uint32_t i = 0; i < tracks.get_count(); ++i) {
        const metadb_handle* h = tracks[i].get();
        if (const track_location* location = h->location()) {
            if (const char* path = location->path_text()) {
                bytes += std::strlen(path);
            }
        }
        const track_info* info = nullptr;
        if (!h->cached_info(&info) || info == nullptr) {
            continue;
        }
        const std::uint32_t n = info->meta_field_count();
        for (std::uint32_t f = 0; f < n; ++f) {
            bytes += std::strlen(info->meta_field_name(f));
            const std::uint32_t m = info->meta_field_value_count(f);
            for (std::uint32_t v = 0; v < m; ++v) {
                bytes += std::strlen(info->meta_field_value(f, v));
            }
        }
        const std::uint32_t k = info->info_field_count();
        for (std::uint32_t f = 0; f < k; ++f) {
            bytes += std::strlen(info->info_field_name(f));
            bytes += std::strlen(info->info_field_value(f));
        }
    }
    g_floor_sink = bytes;
}

struct track_sets {
    metadb_handle_list_t library, playlists, combined;
};

// Combined: the library, then the playlists, each handle once.
inline void build_combined(track_sets& sets) {
    sets.combined.remove_all();
    for (std::uint32_t i = 0; i < sets.library.get_count(); ++i) {
        sets.combined.push_item(sets.library[i]);
    }
    for (std::uint32_t i = 0; i < sets.playlists.get_count(); ++i) {
        sets.combined.push_item(sets.playlists[i]);
    }
    remove_duplicate_tracks(sets.combined);
}

// The three sets as the statistics window builds them.
inline void build_sets(track_sets& sets) {
    build_track_set(track_set_library, sets.library);
    build_track_set(track_set_playlists, sets.playlists);
    build_combined(sets);
}

} // namespace bench
