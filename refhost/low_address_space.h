// Keeps a 64-bit process's memory out of the low 4 GB. Under wine64 the heaps
// and VirtualAlloc hand out addresses below 4 GB only, so a pointer cut to
// 32 bits somewhere would still work there and no test would notice. After
// reserve_low_address_space() nothing new lands below 4 GB: every free range
// there is reserved, and the room the process's heaps already hold there is
// taken up by small blocks that are never given back (a few megabytes). A
// pointer cut to 32 bits then points into reserved memory and faults.
#pragma once

#include <cstdint>

namespace refhost {

struct low_address_reservation {
    std::uint64_t reserved_bytes = 0; // free address space reserved below 4 GB
    std::uint32_t ranges = 0;         // the free ranges it was made of
    std::uint32_t heap_blocks = 0;    // blocks that took up the heaps' low room
};

// Call it as early as the process can. Does nothing and answers zeros in a
// 32-bit process. A later call reserves what was given back below 4 GB since
// (wine frees some of its start-up memory there); the answer is the total.
low_address_reservation reserve_low_address_space() noexcept;

// Calls reserve_low_address_space() again if it ran before: just before a
// component is loaded, so that nothing freed since start lands in it.
void renew_low_address_reservation() noexcept;

// What the calls made (zeros if none ran).
low_address_reservation low_address_space_reserved() noexcept;

} // namespace refhost
