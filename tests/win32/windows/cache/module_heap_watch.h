// Watches one loaded module's heap blocks: while a watch exists, the module's
// imported malloc, calloc, realloc and free (msvcrt.dll) go through counting
// hooks, so a test can see whether everything the module allocated in between
// was given back. One watch at a time; UI thread only.
#pragma once

#include <windows.h>

#include <cstddef>

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

private:
    HMODULE m_module;
    int m_patched = 0;
};
