// The walk over a track set that feeds the pools' collectors, asking the host
// only for what the wanted pools need.
#pragma once

#include <array>
#include <cstdint>

#include "engine/pools.h"
#include "engine/reference_collector.h"

// Bit of each of the five gathered pools in a walk mask.
inline constexpr std::uint32_t pool_bit(pool_kind kind) {
    return std::uint32_t{1} << kind;
}
inline constexpr std::uint32_t all_gathered_pools =
    pool_bit(pool_path) | pool_bit(pool_meta_name) | pool_bit(pool_meta_value) |
    pool_bit(pool_info_name) | pool_bit(pool_info_value);

// The pools a computation of one pool kind must gather: "All" needs the
// five, a kind outside 1 .. 6 none.
std::uint32_t pools_needed_for(pool_kind kind) noexcept;

struct pool_collectors {
    // Shared by the five collectors, which sort one chunk at a time; give it
    // back once every collector has finished.
    address_sort_buffer sort_buffer;
    reference_collector path{sort_buffer};
    reference_collector meta_name{sort_buffer};
    reference_collector meta_value{sort_buffer};
    reference_collector info_name{sort_buffer};
    reference_collector info_value{sort_buffer};

    // Seals every collector's references into runs and gives the sort
    // buffer back; element p holds the runs of pool kind p + 1 (Path ..
    // Info Value). Raises std::bad_alloc (nothing lost; it may be called
    // again).
    std::array<address_runs*, 5> finish() {
        const std::array<address_runs*, 5> gathered = {&path.finish(), &meta_name.finish(),
                                                       &meta_value.finish(), &info_name.finish(),
                                                       &info_value.finish()};
        sort_buffer.release();
        return gathered;
    }
};

// Walks the tracks (index from 0 while below the list's current count) and
// adds each reference of a wanted pool to its collector. Host errors and
// std::bad_alloc propagate at once.
void walk_tracks(const metadb_handle_list_t& tracks, std::uint32_t wanted,
                 pool_collectors& collectors);
