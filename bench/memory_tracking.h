// Live and peak heap bytes of the benchmark process (glibc only: the
// benchmark replaces malloc and friends to count them).
#pragma once

#include <cstddef>

namespace bench {

std::size_t live_heap_bytes();
// The most live bytes since the last reset.
std::size_t peak_heap_bytes();
// The largest single block (usable bytes) allocated since the last reset.
std::size_t largest_heap_block_bytes();
void reset_peak_heap_bytes();

} // namespace bench
