// The six rows of a track set from the pools' sorted runs, in one walk in
// address order: every string object is read once (its length and hash),
// the address figures of the five pools and of "All" (their union) are
// counted on the way, and each pool's distinct values are found in a value
// table. "All"'s values are the union of the pools' values, merged segment
// by segment. Memory: the runs, given back as they are read, and one entry
// per distinct value of each pool.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/address_walk.h"
#include "engine/pools.h"
#include "engine/value_table.h"

// Logical and physical strings and used memory of a pool whose string
// objects are added in ascending address order: an object starting no
// further than one byte past the end of the last counted object shares its
// bytes; every logical string adds a 4-byte reference. Sums wrap.
struct address_figures {
    std::uint32_t logical = 0;
    std::uint32_t physical = 0;
    std::uint32_t used_memory = 0;
    std::uintptr_t last_address = 0;
    std::uintptr_t last_length = 0;

    void add(std::uintptr_t address, std::uint32_t length, std::uint32_t count) noexcept {
        logical += count;
        used_memory += string_reference_bytes * count;
        if (physical == 0 || address - last_address > last_length + 1) {
            used_memory += length + 1;
            last_address = address;
            last_length = length;
        }
        ++physical;
    }
};

class pool_statistics final : public address_walk_sink {
public:
    // gathered: the five pools, Path .. Info Value.
    pool_statistics();

    // Reads the runs of the five pools (consuming them). Raises
    // std::bad_alloc.
    void walk(address_runs* const* gathered);
    // The figures of pool kind 1 .. 5 (its value table is kept for "All").
    pool_summary pool_row(pool_kind kind) const;
    // The figures of "All"; the pools' value tables are given back.
    pool_summary all_row();

    void on_strings(const walked_string* strings, std::uint32_t count) override;

private:
    address_figures m_figures[walk_pool_limit + 1];
    std::vector<value_table> m_values;
    // The strings of the window being walked, by pool.
    std::vector<pending_value> m_pending[walk_pool_limit];
};
