// Collects the references of one pool during a walk over the tracks: the
// strings met most often are counted in a small cache of slots, the others
// leave it for sorted runs of bounded blocks (address_runs). The result is
// what add_string per reference would give (same addresses, counts saturating
// at 4294967295), at the cost of sorts instead of one binary-search insertion
// per reference.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/address_runs.h"
#include "engine/pools.h"

class reference_collector {
public:
    // Sorts with buffer's storage, which must outlive it.
    explicit reference_collector(address_sort_buffer& buffer);
    reference_collector(const reference_collector&) = delete;
    reference_collector& operator=(const reference_collector&) = delete;

    // One logical reference to text. A null text is no string and is ignored.
    // Raises std::bad_alloc when memory runs out (what was added stays).
    void add(const char* text) {
        const auto address = reinterpret_cast<std::uintptr_t>(text);
        if (address == 0) {
            return;
        }
        slot* set = m_slots.get() + 2 * ((address >> 4 ^ address >> 15) & (slot_sets - 1));
        if (set[0].address == address) {
            count_again(set[0]);
        } else if (set[1].address == address) {
            count_again(set[1]);
        } else {
            take_slot(set, address);
        }
    }

    // Adds every reference collected so far to list, exactly as add_string
    // per reference would, and empties the collector. Lengths are measured
    // once per new string object (the texts must be readable: call it under
    // the metadata-cache lock). On std::bad_alloc list is unchanged.
    void add_to(string_info_list& list);

    // Moves every reference collected so far into the runs and gives back
    // the unsorted chunk; the runs then hold the whole pool (an address may
    // occur in several runs: their counts add up, saturating). Raises
    // std::bad_alloc (nothing lost; it may be called again).
    address_runs& finish();

private:
    // Recently met strings with their counts; most references to a string
    // shared by many tracks (a field name) end here instead of in m_spilled.
    struct slot {
        std::uintptr_t address;
        std::uint32_t count;
    };
    static constexpr std::uint32_t slot_sets = 2048;

    static void count_again(slot& s) {
        if (s.count != 0xFFFFFFFFu) {
            ++s.count;
        }
    }
    void take_slot(slot* set, std::uintptr_t address);
    void spill(std::uintptr_t address, std::uint32_t count) { m_spilled.append(address, count); }
    void spill_slots();
    void clear_slots() noexcept;

    std::unique_ptr<slot[]> m_slots;
    // Addresses with the references counted for them, once they have left
    // the slots; one address may occur several times.
    address_runs m_spilled;
};
