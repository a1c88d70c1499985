// The metadata-cache lock against what the pool window's pages send their
// list views during the refresh: every message to either list arrives while
// the lock is free, the lock is taken once, and the lists are filled after.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "pool_test_support.h"
#include "refhost/host_api.h"
#include "ui/window_openers.h"

namespace {

using pool_test::find_parts;

// Sees every message of a list view before the list (and its sortable
// control) does, with the lock's depth at that moment.
class lock_watch {
public:
    lock_watch(HWND list, const refhost::host& host, const char* name)
        : m_list(list), m_host(host), m_name(name) {
        SetPropW(list, L"PoolLockWatch", this);
        m_original = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&proc)));
    }
    ~lock_watch() {
        if (IsWindow(m_list)) {
            SetWindowLongPtrW(m_list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_original));
            RemovePropW(m_list, L"PoolLockWatch");
        }
    }
    lock_watch(const lock_watch&) = delete;
    lock_watch& operator=(const lock_watch&) = delete;

    std::vector<UINT> messages;      // in arrival order
    std::vector<std::string> locked; // "<list> message 0x...." seen under the lock

    std::size_t count(UINT message) const {
        return static_cast<std::size_t>(std::count(messages.begin(), messages.end(), message));
    }

private:
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
        auto* self = static_cast<lock_watch*>(GetPropW(window, L"PoolLockWatch"));
        self->messages.push_back(message);
        if (self->m_host.lock().depth != 0) {
            char text[64];
            wsprintfA(text, "%s message 0x%04X", self->m_name, message);
            self->locked.push_back(text);
        }
        return CallWindowProcW(self->m_original, window, message, wparam, lparam);
    }

    HWND m_list;
    const refhost::host& m_host;
    const char* m_name;
    WNDPROC m_original = nullptr;
};

TEST(PoolLockTimeline, NoListMessageArrivesWhileTheCacheIsLocked) {
    for (pool_kind pool : {pool_path, pool_meta_value, pool_all}) {
        pool_test::in_process_host h(refhost::generate_library(400));
        const std::vector<HWND> before = h.host.top_level_windows();
        // Created and initialised; its refresh is posted, not yet run.
        open_pool_statistics_window(pool, track_set_combined, h.host.main_window());
        HWND window = nullptr;
        for (HWND w : h.host.top_level_windows()) {
            if (std::find(before.begin(), before.end(), w) == before.end()) {
                window = w;
            }
        }
        ASSERT_NE(window, nullptr);
        const pool_test::pool_window_parts parts = find_parts(window);
        ASSERT_NE(parts.length_list, nullptr);
        ASSERT_NE(parts.value_list, nullptr);
        const std::uint32_t acquires = h.host.lock().acquires;
        std::size_t value_rows = 0;
        {
            lock_watch length(parts.length_list, h.host, "length list");
            lock_watch values(parts.value_list, h.host, "value list");
            h.host.pump_until_idle(100);

            EXPECT_EQ(h.host.lock().acquires, acquires + 1) << "one refresh, one lock";
            EXPECT_EQ(h.host.lock().depth, 0u);
            EXPECT_EQ(length.locked, std::vector<std::string>{}) << "pool " << pool;
            EXPECT_EQ(values.locked, std::vector<std::string>{}) << "pool " << pool;
            // The pages did talk to their lists, all of it after the lock.
            EXPECT_GT(length.count(LVM_INSERTITEMW), 0u);
            EXPECT_EQ(values.count(LVM_SETITEMCOUNT), 1u);
            EXPECT_EQ(values.count(LVM_INSERTITEMW), 0u) << "no rows of the list's own";
            EXPECT_EQ(values.count(LVM_SETITEMTEXTW), 0u);
            value_rows =
                static_cast<std::size_t>(SendMessageW(parts.value_list, LVM_GETITEMCOUNT, 0, 0));
        }
        EXPECT_GT(value_rows, 0u);
        EXPECT_EQ(pool_test::list_rows(parts.value_list).size(), value_rows);
        EXPECT_TRUE(h.host.violations().empty());
    }
}

} // namespace
