#include "refhost/low_address_space.h"

#include <windows.h>

namespace refhost {

namespace {

low_address_reservation g_made;

#ifdef _WIN64
constexpr std::uintptr_t k_four_gb = std::uintptr_t(1) << 32;

bool below_4gb(const void* p) {
    return reinterpret_cast<std::uintptr_t>(p) < k_four_gb;
}

// Reserves [first, last) or, where wine refuses one reservation that large
// (it does for a range that crosses 2 GB), its halves, down to pieces of one
// allocation granularity.
void reserve_range(std::uintptr_t first, std::uintptr_t last, std::uintptr_t granularity,
                   low_address_reservation& made) {
    if (VirtualAlloc(reinterpret_cast<void*>(first), last - first, MEM_RESERVE, PAGE_NOACCESS) !=
        nullptr) {
        made.reserved_bytes += last - first;
        ++made.ranges;
        return;
    }
    if (last - first <= granularity) {
        return;
    }
    const std::uintptr_t middle = first + (last - first) / 2 / granularity * granularity;
    reserve_range(first, middle > first ? middle : first + granularity, granularity, made);
    reserve_range(middle > first ? middle : first + granularity, last, granularity, made);
}

// Reserves every free range below 4 GB, cut to the allocation granularity
// (a free piece smaller than that cannot be allocated by anyone anyway).
void reserve_free_ranges(low_address_reservation& made) {
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    const std::uintptr_t granularity = system.dwAllocationGranularity;
    std::uintptr_t address = granularity;
    while (address < k_four_gb) {
        MEMORY_BASIC_INFORMATION region{};
        if (VirtualQuery(reinterpret_cast<void*>(address), &region, sizeof region) == 0) {
            break;
        }
        const auto base = reinterpret_cast<std::uintptr_t>(region.BaseAddress);
        const std::uintptr_t end = base + region.RegionSize;
        if (region.State == MEM_FREE) {
            const std::uintptr_t first = (base + granularity - 1) / granularity * granularity;
            const std::uintptr_t last =
                (end < k_four_gb ? end : k_four_gb) / granularity * granularity;
            if (last > first) {
                reserve_range(first, last, granularity, made);
            }
        }
        address = end;
    }
}

// Takes up the room each heap already holds below 4 GB with 16-byte blocks,
// until the heap answers with a block above 4 GB. The blocks stay allocated
// for the life of the process; a bound keeps a heap that never grows upwards
// from taking everything.
void fill_low_heap_room(low_address_reservation& made) {
    constexpr DWORD k_most_heaps = 256;
    constexpr std::uint32_t k_most_blocks_per_heap = 16u << 20;
    HANDLE heaps[k_most_heaps];
    const DWORD count = GetProcessHeaps(k_most_heaps, heaps);
    for (DWORD h = 0; h < count && h < k_most_heaps; ++h) {
        for (std::uint32_t i = 0; i < k_most_blocks_per_heap; ++i) {
            void* block = HeapAlloc(heaps[h], 0, 16);
            if (block == nullptr) {
                break;
            }
            if (!below_4gb(block)) {
                HeapFree(heaps[h], 0, block);
                break;
            }
            ++made.heap_blocks;
        }
    }
}
#endif

} // namespace

low_address_reservation reserve_low_address_space() noexcept {
#ifdef _WIN64
    reserve_free_ranges(g_made);
    fill_low_heap_room(g_made);
#endif
    return g_made;
}

void renew_low_address_reservation() noexcept {
    if (g_made.ranges != 0) {
        reserve_low_address_space();
    }
}

low_address_reservation low_address_space_reserved() noexcept {
    return g_made;
}

} // namespace refhost
