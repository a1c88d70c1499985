// In the 64-bit edition the test host reserved the address space below 4 GB
// before it loaded the component: every block the component allocates over a
// window's life then lies above 4 GB, so that a pointer cut to 32 bits
// anywhere in it would fault in these tests instead of passing.
#include <windows.h>

#include <cstdint>
#include <cstdlib>

#include "refhost/low_address_space.h"
#include "win32/windows/cache/cache_window_fixture.h"
#include "win32/windows/cache/module_heap_watch.h"

namespace cache_window {
namespace {

constexpr std::uint64_t k_four_gb = std::uint64_t(1) << 32;

TEST_F(CacheWindow, TheComponentsMemoryLiesAbove4GB) {
    if (sizeof(void*) == 4) {
        GTEST_SKIP() << "a 32-bit process has no address space above 4 GB";
    }
    const refhost::low_address_reservation made = refhost::low_address_space_reserved();
    EXPECT_GT(made.reserved_bytes, std::uint64_t(1) << 30);
    EXPECT_GT(made.heap_blocks, 0u);
    // What the host asks of the system from now on lies above 4 GB as well.
    void* block = std::malloc(16);
    void* pages = VirtualAlloc(nullptr, 1 << 16, MEM_COMMIT, PAGE_READWRITE);
    EXPECT_GE(std::uint64_t(reinterpret_cast<std::uintptr_t>(block)), k_four_gb);
    EXPECT_GE(std::uint64_t(reinterpret_cast<std::uintptr_t>(pages)), k_four_gb);
    std::free(block);
    VirtualFree(pages, 0, MEM_RELEASE);

    module_heap_watch watch(GetModuleHandleW(L"poolscope.dll"));
    ASSERT_TRUE(watch.active());
    HWND window = open_window(); // one refresh of the three tables
    ASSERT_NE(window, nullptr);
    EXPECT_GT(watch.allocations(), 1000u);
    EXPECT_GE(std::uint64_t(watch.lowest_block()), k_four_gb);
    EXPECT_GE(std::uint64_t(static_cast<std::uintptr_t>(GetWindowLongPtrW(window, DWLP_USER))),
              k_four_gb)
        << "the window's object";
    SendMessageW(window, WM_CLOSE, 0, 0);
    host().pump_until_idle();
}

} // namespace
} // namespace cache_window
