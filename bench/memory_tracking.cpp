#include "memory_tracking.h"

#include <malloc.h>

extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void __libc_free(void*);
void* __libc_memalign(std::size_t, std::size_t);
}

namespace {
std::size_t g_live = 0;
std::size_t g_peak = 0;
std::size_t g_largest = 0;

void* counted(void* block) {
    if (block != nullptr) {
        const std::size_t size = malloc_usable_size(block);
        if (size > g_largest) {
            g_largest = size;
        }
        g_live += size;
        if (g_live > g_peak) {
            g_peak = g_live;
        }
    }
    return block;
}

void uncount(void* block) {
    if (block != nullptr) {
        g_live -= malloc_usable_size(block);
    }
}
} // namespace

extern "C" {
void* malloc(std::size_t size) {
    return counted(__libc_malloc(size));
}
void* calloc(std::size_t count, std::size_t size) {
    return counted(__libc_calloc(count, size));
}
void* realloc(void* block, std::size_t size) {
    const std::size_t before = block ? malloc_usable_size(block) : 0;
    void* result = __libc_realloc(block, size);
    if (result != nullptr || size == 0) {
        g_live -= before;
        counted(result);
    }
    return result;
}
void free(void* block) {
    uncount(block);
    __libc_free(block);
}
void* memalign(std::size_t alignment, std::size_t size) {
    return counted(__libc_memalign(alignment, size));
}
int posix_memalign(void** out, std::size_t alignment, std::size_t size) {
    void* block = __libc_memalign(alignment, size);
    if (block == nullptr) {
        return 12; // ENOMEM
    }
    *out = counted(block);
    return 0;
}
void* aligned_alloc(std::size_t alignment, std::size_t size) {
    return counted(__libc_memalign(alignment, size));
}
}

namespace bench {

std::size_t live_heap_bytes() {
    return g_live;
}
std::size_t peak_heap_bytes() {
    return g_peak;
}
void reset_peak_heap_bytes() {
    g_peak = g_live;
    g_largest = 0;
}
std::size_t largest_heap_block_bytes() {
    return g_largest;
}

} // namespace bench
