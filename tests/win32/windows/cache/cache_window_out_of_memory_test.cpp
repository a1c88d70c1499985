// A refresh that runs out of memory, in the component itself (its heap is
// capped below what a refresh needs) or in a host call: one alert that reads
// "bad allocation", everything given back, and the window usable again.
#include <windows.h>

#include <commctrl.h>

#include <cstdint>

#include "refhost/thrower/host_thrower.h"
#include "win32/windows/cache/cache_window_fixture.h"
#include "win32/windows/cache/module_heap_watch.h"

namespace cache_window {
namespace {

using refhost::fault_kind;
using refhost::host_call;

constexpr char k_out_of_memory[] = "Unhandled exception:\nbad allocation";

class OutOfMemory : public CacheWindow {
protected:
    void SetUp() override {
        CacheWindow::SetUp();
        window = open_window();
        ASSERT_NE(window, nullptr);
        p = find_pages(window);
        for (int i = 0; i < 3; ++i) {
            before[i] = rows_of(p.lists[i]);
            ASSERT_EQ(before[i].size(), 6u);
        }
        ASSERT_TRUE(host().alerts().empty());
    }

    // One alert with the out-of-memory text; the lock, the track handles
    // and the window's controls as after any refresh.
    void expect_one_out_of_memory_alert(const char* context) {
        ASSERT_EQ(host().alerts().size(), 1u) << context;
        EXPECT_EQ(host().alerts()[0].text, k_out_of_memory) << context;
        EXPECT_EQ(host().alerts()[0].caption, k_title) << context;
        const refhost::lock_figures lock = host().lock();
        EXPECT_EQ(lock.depth, 0u) << context;
        EXPECT_EQ(lock.acquires, lock.releases) << context;
        EXPECT_EQ(host().outside_handle_references(), 0u) << context;
        EXPECT_TRUE(host().violations().empty()) << context;
        EXPECT_TRUE(IsWindowEnabled(refresh_button(window))) << context;
        EXPECT_FALSE(IsWindowVisible(progress_bar(window))) << context;
    }

    void expect_full_refresh() {
        host().clear_faults();
        host().clear_records();
        press_refresh(window);
        EXPECT_TRUE(host().alerts().empty());
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(rows_of(p.lists[i]), before[i]) << "tab " << i;
        }
    }

    HWND window = nullptr;
    pages p;
    table before[3];
};

// The component's heap capped at fractions of what a refresh takes at most:
// each refresh fails somewhere else, and each gives back every block.
TEST_F(OutOfMemory, ComponentHeapCappedAnywhereInTheRefreshGivesOneAlertAndLeaksNothing) {
    module_heap_watch watch(GetModuleHandleW(L"poolscope.dll"));
    ASSERT_TRUE(watch.active());
    press_refresh(window);
    ASSERT_TRUE(host().alerts().empty());
    const std::size_t held = watch.outstanding_bytes();
    ASSERT_GT(watch.peak_bytes(), held);
    const std::size_t needed = watch.peak_bytes() - held;

    for (std::size_t percent : {1u, 10u, 30u, 50u, 70u, 90u, 99u}) {
        host().clear_records();
        watch.reset_peak();
        watch.limit_bytes(held + needed * percent / 100);
        press_refresh(window);
        watch.limit_bytes(SIZE_MAX);
        const std::string context = std::to_string(percent) + "% of the refresh's memory";
        expect_one_out_of_memory_alert(context.c_str());
        EXPECT_EQ(watch.outstanding_bytes(), held) << context << ": blocks not given back";
    }
    expect_full_refresh();
}

// The host's own out-of-memory error, raised into the gathering under the
// lock and into the track set's list: the same text, whatever the runtime's
// what() of std::bad_alloc says.
TEST_F(OutOfMemory, BadAllocFromAHostCallReadsTheSame) {
    const struct {
        host_call call;
        std::uint32_t skip;
    } cases[] = {{host_call::meta_field_value, 500},
                 {host_call::all_tracks, 0},
                 {host_call::acquire_lock, 2}};
    for (const auto& c : cases) {
        host().clear_records();
        host_thrower_reset_counts();
        host().inject_fault(c.call, fault_kind::bad_alloc, c.skip);
        press_refresh(window);
        host().clear_faults();
        const char* call = refhost::host_call_name(c.call);
        expect_one_out_of_memory_alert(call);
        host_thrower_counts counts{};
        host_thrower_read_counts(&counts);
        EXPECT_EQ(counts.thrown, 1u) << call;
        EXPECT_EQ(counts.destroyed, counts.created) << call << ": the host's object destroyed once";
        EXPECT_EQ(counts.frames_unwound, 1u) << call;
    }
    expect_full_refresh();
}

} // namespace
} // namespace cache_window
