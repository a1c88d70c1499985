// The chief types of the statistics engine: pool and track-set codes, the
// per-pool string records and the nine figures of a pool row.
//
// Every record here that holds a `text` pointer points into the host's
// metadata cache: it is valid only while the metadata-cache lock is held, so
// lists of them live inside one locked computation.
#pragma once

#include <cstdint>

#include "host/host_interfaces.h"
#include "host/service_ptr.h"
#include "support/list.h"

// Kind of string gathered from the tracks; also the row order of the
// statistics tables (row position + 1).
using pool_kind = std::uint32_t;
inline constexpr pool_kind pool_path = 1;
inline constexpr pool_kind pool_meta_name = 2;
inline constexpr pool_kind pool_meta_value = 3;
inline constexpr pool_kind pool_info_name = 4;
inline constexpr pool_kind pool_info_value = 5;
inline constexpr pool_kind pool_all = 6;
// Number of pools, "All" included.
inline constexpr std::uint32_t pool_kind_count = 6;

// The set of tracks a computation runs over; also the tab order.
using track_set = std::uint32_t;
inline constexpr track_set track_set_library = 1;
inline constexpr track_set track_set_playlists = 2;
inline constexpr track_set track_set_combined = 3;

// "Path", "Meta Name", "Meta Value", "Info Name", "Info Value", "All";
// "<None>" for any other code.
const char* pool_label(pool_kind kind) noexcept;
// "Library", "Playlists", "Combined"; "<None>" for any other code.
const char* track_set_name(track_set set) noexcept;

// One physical string of a pool: the host's string object (its address is
// its identity), its byte length and the number of references met.
struct string_info {
    const char* text;
    std::uint32_t length;
    std::uint32_t count;
};
// Strictly ascending by text address, one entry per address.
using string_info_list = list_t<string_info, alloc_fast>;

// One distinct value of a pool: one of the physical strings holding it, its
// byte length, the references to it and the physical strings holding it.
struct string_info2 {
    const char* text;
    std::uint32_t length;
    std::uint32_t logical_count;
    std::uint32_t physical_count;
};
// Ascending unsigned byte order of the values, one entry per value.
using string_info_list2 = list_t<string_info2, alloc_fast>;

// A track set: counted references to the host's track handles.
using metadb_handle_list_t = list_t<service_ptr_t<metadb_handle>, alloc_fast>;

// The nine figures of one pool row, in column order.
struct pool_summary {
    std::uint32_t logical_strings = 0;
    std::uint32_t physical_strings = 0;
    std::uint32_t unique_strings = 0;
    std::uint32_t used_memory = 0;
    std::uint32_t required_memory = 0;
    std::uint32_t length_lower_quartile = 0;
    std::uint32_t length_median = 0;
    std::uint32_t length_upper_quartile = 0;
    std::uint32_t length_maximum = 0;
};

// Bytes of one string reference in the figures. The product is 32-bit and the
// figures must not change with the build's pointer size.
inline constexpr std::uint32_t string_reference_bytes = 4;
