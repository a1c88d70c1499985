#include "win32/windows/cache/module_heap_watch.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>

namespace {

using malloc_fn = void*(__cdecl*)(std::size_t);
using calloc_fn = void*(__cdecl*)(std::size_t, std::size_t);
using realloc_fn = void*(__cdecl*)(void*, std::size_t);
using free_fn = void(__cdecl*)(void*);

malloc_fn g_malloc = nullptr;
calloc_fn g_calloc = nullptr;
realloc_fn g_realloc = nullptr;
free_fn g_free = nullptr;
std::map<void*, std::size_t>* g_live = nullptr; // blocks of the watched module, their sizes
std::size_t g_allocations = 0;
std::size_t g_bytes = 0;
std::size_t g_peak = 0;
std::size_t g_limit = SIZE_MAX;
std::uintptr_t g_lowest = UINTPTR_MAX;

void note_allocated(void* block, std::size_t size) {
    if (block != nullptr) {
        (*g_live)[block] = size;
        g_lowest = std::min(g_lowest, reinterpret_cast<std::uintptr_t>(block));
        g_bytes += size;
        if (g_bytes > g_peak) {
            g_peak = g_bytes;
        }
        ++g_allocations;
    }
}

void note_freed(void* block) {
    const auto i = g_live->find(block);
    if (i != g_live->end()) {
        g_bytes -= i->second;
        g_live->erase(i);
    }
}

std::size_t size_of(void* block) {
    const auto i = g_live->find(block);
    return i != g_live->end() ? i->second : 0;
}

bool refused(std::size_t old_size, std::size_t size) {
    return size > old_size && size - old_size > g_limit - (g_bytes < g_limit ? g_bytes : g_limit);
}

void* __cdecl hook_malloc(std::size_t size) {
    if (refused(0, size)) {
        return nullptr;
    }
    void* block = g_malloc(size);
    note_allocated(block, size);
    return block;
}

void* __cdecl hook_calloc(std::size_t count, std::size_t size) {
    if (size != 0 && count > SIZE_MAX / size) {
        return nullptr;
    }
    if (refused(0, count * size)) {
        return nullptr;
    }
    void* block = g_calloc(count, size);
    note_allocated(block, count * size);
    return block;
}

void* __cdecl hook_realloc(void* old_block, std::size_t size) {
    if (refused(size_of(old_block), size)) {
        return nullptr;
    }
    void* block = g_realloc(old_block, size);
    if (block != nullptr || size == 0) {
        note_freed(old_block);
    }
    if (size != 0) {
        note_allocated(block, size);
    }
    return block;
}

void __cdecl hook_free(void* block) {
    note_freed(block);
    g_free(block);
}

struct hook_entry {
    const char* name;
    void* hook;
    void** original;
};

// Replaces the import address entries of the named msvcrt functions; swaps
// back when restoring (the originals are then written again).
int patch_imports(HMODULE module, bool install) {
    hook_entry entries[] = {
        {"malloc", reinterpret_cast<void*>(&hook_malloc), reinterpret_cast<void**>(&g_malloc)},
        {"calloc", reinterpret_cast<void*>(&hook_calloc), reinterpret_cast<void**>(&g_calloc)},
        {"realloc", reinterpret_cast<void*>(&hook_realloc), reinterpret_cast<void**>(&g_realloc)},
        {"free", reinterpret_cast<void*>(&hook_free), reinterpret_cast<void**>(&g_free)},
    };
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    int patched = 0;
    for (auto* desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
         dir.VirtualAddress != 0 && desc->Name != 0; ++desc) {
        if (_stricmp(reinterpret_cast<const char*>(base + desc->Name), "msvcrt.dll") != 0 ||
            desc->OriginalFirstThunk == 0) {
            continue;
        }
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
                continue;
            }
            const char* name = reinterpret_cast<const char*>(
                reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name);
            for (hook_entry& e : entries) {
                if (std::strcmp(name, e.name) != 0) {
                    continue;
                }
                DWORD protection = 0;
                VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE,
                               &protection);
                if (install) {
                    *e.original = reinterpret_cast<void*>(slots->u1.Function);
                    slots->u1.Function = reinterpret_cast<DWORD_PTR>(e.hook);
                } else {
                    slots->u1.Function = reinterpret_cast<DWORD_PTR>(*e.original);
                }
                VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), protection,
                               &protection);
                ++patched;
            }
        }
    }
    return patched;
}

} // namespace

module_heap_watch::module_heap_watch(HMODULE module) : m_module(module) {
    g_live = new std::map<void*, std::size_t>();
    g_allocations = 0;
    g_bytes = 0;
    g_peak = 0;
    g_limit = SIZE_MAX;
    g_lowest = UINTPTR_MAX;
    m_patched = module != nullptr ? patch_imports(module, true) : 0;
}

module_heap_watch::~module_heap_watch() {
    if (m_patched != 0) {
        patch_imports(m_module, false);
    }
    delete g_live;
    g_live = nullptr;
    g_limit = SIZE_MAX;
}

std::size_t module_heap_watch::outstanding() const {
    return g_live->size();
}

std::size_t module_heap_watch::allocations() const {
    return g_allocations;
}

std::size_t module_heap_watch::outstanding_bytes() const {
    return g_bytes;
}

std::size_t module_heap_watch::peak_bytes() const {
    return g_peak;
}

void module_heap_watch::reset_peak() const {
    g_peak = g_bytes;
}

std::uintptr_t module_heap_watch::lowest_block() const {
    return g_lowest;
}

void module_heap_watch::limit_bytes(std::size_t limit) const {
    g_limit = limit;
}
