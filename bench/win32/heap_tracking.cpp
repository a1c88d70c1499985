#include "heap_tracking.h"

#include <malloc.h>

#include <cstdlib>

extern "C" {
void* __real_malloc(std::size_t);
void* __real_calloc(std::size_t, std::size_t);
void* __real_realloc(void*, std::size_t);
void __real_free(void*);
}

namespace {

// One thread allocates here; plain counters do.
std::size_t g_live = 0;
std::size_t g_peak = 0;
std::size_t g_largest = 0;

void* counted(void* block, std::size_t asked) {
    if (block != nullptr) {
        g_live += _msize(block);
        if (g_live > g_peak) {
            g_peak = g_live;
        }
        if (asked > g_largest) {
            g_largest = asked;
        }
    }
    return block;
}

} // namespace

extern "C" {
void* __wrap_malloc(std::size_t size) {
    return counted(__real_malloc(size), size);
}
void* __wrap_calloc(std::size_t count, std::size_t size) {
    return counted(__real_calloc(count, size), count * size);
}
void* __wrap_realloc(void* block, std::size_t size) {
    const std::size_t before = block != nullptr ? _msize(block) : 0;
    void* result = __real_realloc(block, size);
    if (result != nullptr || size == 0) {
        g_live -= before;
        counted(result, size);
    }
    return result;
}
void __wrap_free(void* block) {
    if (block != nullptr) {
        g_live -= _msize(block);
    }
    __real_free(block);
}
}

namespace bench {

std::size_t live_heap_bytes() {
    return g_live;
}
std::size_t peak_heap_bytes() {
    return g_peak;
}
std::size_t largest_heap_block() {
    return g_largest;
}
void reset_heap_marks() {
    g_peak = g_live;
    g_largest = 0;
}

} // namespace bench
