// The strings of several pools in one walk in ascending address order, read
// from the pools' sorted runs: each string object once, with its count in
// each pool (0 where it is not in a pool). The runs give their blocks back as
// the walk passes them.
#pragma once

#include <cstdint>

#include "engine/address_runs.h"
#include "engine/pools.h"

// Most pools one walk can read.
inline constexpr std::uint32_t walk_pool_limit = 5;

// One string object of the walk.
struct walked_string {
    std::uintptr_t address;
    // Bit p is set for each pool p that holds the object.
    std::uint32_t pools;
    // The object's count in each pool of the walk (saturated at 4294967295
    // like add_string's), 0 where it is not in the pool.
    std::uint32_t counts[walk_pool_limit];
};

// For a sink that reads the texts of a window in order: asks for the text of
// the object a few places after strings[i]. Objects in address order lie
// apart (the host's other allocations are between them), too far for the
// processor to guess the next. A prefetch reads nothing and cannot fault.
inline void prefetch_text_ahead(const walked_string* strings, std::uint32_t i,
                                std::uint32_t count) noexcept {
    constexpr std::uint32_t ahead = 8;
    if (i + ahead < count) {
        __builtin_prefetch(reinterpret_cast<const char*>(strings[i + ahead].address));
    }
}

// Receives the walk, a window of objects at a time.
class address_walk_sink {
public:
    // strings[0 .. count) in strictly ascending address order, every window
    // above the previous one. May raise; the walk then stops.
    virtual void on_strings(const walked_string* strings, std::uint32_t count) = 0;

protected:
    ~address_walk_sink() = default;
};

// Walks the runs of pools[0 .. pool_count) (a null entry is an empty pool)
// and hands every distinct address to sink, in windows of at most
// engine_tuning::window_entries references. The runs are consumed: their
// blocks are given back as the walk passes them and the runs are empty
// afterwards. Raises std::bad_alloc (or what the sink raises).
void walk_addresses(address_runs* const* pools, std::uint32_t pool_count, address_walk_sink& sink);
