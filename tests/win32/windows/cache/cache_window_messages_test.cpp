// The conditions of the window's message handlers: commands 2 and 3 only with
// notification code 0, page switching only on TCN_SELCHANGE from the tab
// control (1001).
#include <windows.h>

#include <commctrl.h>

#include "win32/windows/cache/cache_window_fixture.h"

namespace cache_window {
namespace {

TEST_F(CacheWindow, CommandsActOnlyWithNotificationCodeZero) {
    HWND window = open_window();
    ASSERT_NE(window, nullptr);
    const auto acquires = host().lock().acquires;
    ASSERT_EQ(acquires, 3u); // the first refresh: one lock per table

    SendMessageW(window, WM_COMMAND, MAKEWPARAM(k_refresh_id, 1), 0);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(k_close_id, 1), 0);
    EXPECT_TRUE(host().pump_until_idle());
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(host().lock().acquires, acquires) << "a refresh ran on code 1";

    SendMessageW(window, WM_COMMAND, MAKEWPARAM(k_refresh_id, 0), 0);
    EXPECT_EQ(host().lock().acquires, acquires + 3);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(k_close_id, 0), 0);
    EXPECT_TRUE(host().pump_until_idle());
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(CacheWindow, PagesSwitchOnlyOnSelectionChangesFromTheTabControl) {
    HWND window = open_window();
    ASSERT_NE(window, nullptr);
    const pages p = find_pages(window);
    HWND tab = tab_control(window);
    SendMessageW(tab, TCM_SETCURSEL, 2, 0); // selects without notifying

    NMHDR change{};
    change.hwndFrom = tab;
    change.idFrom = k_tab_id + 4;
    change.code = TCN_SELCHANGE;
    SendMessageW(window, WM_NOTIFY, change.idFrom, reinterpret_cast<LPARAM>(&change));
    EXPECT_EQ(shown_page(window), p.lists[0]);

    change.idFrom = k_tab_id;
    change.code = TCN_SELCHANGING;
    SendMessageW(window, WM_NOTIFY, change.idFrom, reinterpret_cast<LPARAM>(&change));
    EXPECT_EQ(shown_page(window), p.lists[0]);

    change.code = TCN_SELCHANGE;
    SendMessageW(window, WM_NOTIFY, change.idFrom, reinterpret_cast<LPARAM>(&change));
    EXPECT_EQ(shown_page(window), p.lists[2]);
}

} // namespace
} // namespace cache_window
