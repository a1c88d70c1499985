// Live, peak and largest-block figures of the C heap of the Windows benchmark
// (the linker routes malloc, calloc, realloc and free through these
// counters, for our code and the C++ runtime alike).
#pragma once

#include <cstddef>

namespace bench {

std::size_t live_heap_bytes();
// The most live bytes since the last reset.
std::size_t peak_heap_bytes();
// The largest single block asked for since the last reset.
std::size_t largest_heap_block();
void reset_heap_marks();

} // namespace bench
