#include "engine/pools.h"

const char* pool_label(pool_kind kind) noexcept {
    switch (kind) {
    case pool_path:
        return "Path";
    case pool_meta_name:
        return "Meta Name";
    case pool_meta_value:
        return "Meta Value";
    case pool_info_name:
        return "Info Name";
    case pool_info_value:
        return "Info Value";
    case pool_all:
        return "All";
    default:
        return "<None>";
    }
}

const char* track_set_name(track_set set) noexcept {
    switch (set) {
    case track_set_library:
        return "Library";
    case track_set_playlists:
        return "Playlists";
    case track_set_combined:
        return "Combined";
    default:
        return "<None>";
    }
}
