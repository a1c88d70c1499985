// Watches one loaded module's heap blocks: while a watch exists, the module's
// imported malloc, calloc, realloc and free (msvcrt.dll) go through counting
// hooks, so a test can see whether everything the module allocated in between
// was given back, how much it held at most, and can refuse the module's
// allocations beyond a byte limit (as if memory had run out). One watch at a
// time; UI thread only.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

class module_heap_watch {
public:
    // Patches the module's import table; active() is true when all four
    // functions were found and redirected.
    explicit module_heap_watch(HMODULE module);
    ~module_heap_watch(); // puts the original entries back
    module_heap_watch(const module_heap_watch&) = delete;
    module_heap_watch& operator=(const module_heap_watch&) = delete;

    bool active() const noexcept { return m_patched == 4; }
    // Blocks allocated by the module since the watch began and not freed yet.
    std::size_t outstanding() const;
    // Allocations made by the module since the watch began.
    std::size_t allocations() const;
    // Bytes (as asked for) of the blocks outstanding(), and the most of them
    // at any one time since the watch began or the peak was last reset.
    std::size_t outstanding_bytes() const;
    std::size_t peak_bytes() const;
    void reset_peak() const;
    // The lowest address of a block the module allocated since the watch
    // began (UINTPTR_MAX if none).
    std::uintptr_t lowest_block() const;
    // From now on an allocation that would take outstanding_bytes() above
    // limit fails (null, which the module's runtime turns into bad_alloc).
    // SIZE_MAX: no limit.
    void limit_bytes(std::size_t limit) const;

private:
    HMODULE m_module;
    int m_patched = 0;
};
