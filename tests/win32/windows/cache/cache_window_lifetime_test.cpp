// Closing the window (it deletes itself and unregisters its filter), several
// independent windows, and opening pool windows from the rows.
#include <windows.h>

#include <commctrl.h>

#include <functional>

#include "win32/windows/cache/cache_window_fixture.h"
#include "win32/windows/cache/module_heap_watch.h"

namespace cache_window {
namespace {

HMODULE component_module() {
    return GetModuleHandleW(L"poolscope.dll");
}

class Closing : public CacheWindow {
protected:
    // One open-close cycle first, so that whatever the component sets up once
    // per process (libraries, runtime pools) is not counted.
    void SetUp() override {
        CacheWindow::SetUp();
        HWND warm_up = open_window();
        SendMessageW(warm_up, WM_CLOSE, 0, 0);
        host().pump_until_idle();
    }

    // Opens a window, lets it refresh, closes it with `close`; every heap
    // block the component took over that whole life must be given back.
    void close_and_check(const std::function<void(HWND)>& close) {
        module_heap_watch watch(component_module());
        ASSERT_TRUE(watch.active());
        HWND window = open_window();
        ASSERT_NE(window, nullptr);
        EXPECT_GT(watch.allocations(), 0u);
        EXPECT_GT(watch.outstanding(), 0u); // the window object at least
        EXPECT_EQ(host().registered_filters(), 1u);
        close(window);
        EXPECT_TRUE(host().pump_until_idle());
        EXPECT_FALSE(IsWindow(window));
        EXPECT_EQ(host().registered_filters(), 0u);
        EXPECT_EQ(host().service_references(guids::dialog_message_hook), 0u);
        EXPECT_EQ(watch.outstanding(), 0u) << "blocks the component did not give back";
    }
};

TEST_F(Closing, EscapeThroughTheHostsMessageFilterDestroysAndDeletesTheWindow) {
    close_and_check([](HWND window) {
        HWND focus = GetFocus();
        HWND target = (focus != nullptr && IsChild(window, focus)) ? focus : window;
        PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageW(target, WM_KEYUP, VK_ESCAPE, 0xC0000001);
    });
}

TEST_F(Closing, CloseButtonDestroysAndDeletesTheWindow) {
    close_and_check(
        [](HWND window) { SendMessageW(GetDlgItem(window, k_close_id), BM_CLICK, 0, 0); });
}

TEST_F(Closing, CloseRequestDestroysAndDeletesTheWindow) {
    close_and_check([](HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); });
}

TEST_F(CacheWindow, TwoCommandRunsGiveTwoIndependentWindows) {
    HWND first = run_command();
    HWND second = run_command();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(host().registered_filters(), 2u);
    EXPECT_TRUE(host().pump_until_idle());
    EXPECT_EQ(host().lock().acquires, 6u); // each refreshed on its own

    const pages p1 = find_pages(first);
    const pages p2 = find_pages(second);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NE(p1.lists[i], p2.lists[i]);
        EXPECT_EQ(rows_of(p1.lists[i]), rows_of(p2.lists[i]));
    }
    // Switching tabs in one leaves the other alone.
    select_tab(first, 2);
    EXPECT_EQ(shown_page(second), p2.lists[0]);

    SendMessageW(first, WM_CLOSE, 0, 0);
    EXPECT_TRUE(host().pump_until_idle());
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(host().registered_filters(), 1u);
    SendMessageW(p2.lists[1], LVM_DELETEALLITEMS, 0, 0);
    press_refresh(second);
    EXPECT_EQ(rows_of(p2.lists[1]).size(), 6u);
}

// Double-clicks a row of a list view as the user would.
void activate_row(HWND list, int row) {
    RECT item{LVIR_BOUNDS, 0, 0, 0};
    ASSERT_TRUE(SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                             reinterpret_cast<LPARAM>(&item)));
    const LPARAM at = MAKELPARAM(item.left + 20, (item.top + item.bottom) / 2);
    SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageW(list, WM_LBUTTONUP, 0, at);
}

// An activation notification as the list view sends it, for rows it lacks.
void notify_activation(HWND window, HWND list, int row) {
    NMITEMACTIVATE activation{};
    activation.hdr.hwndFrom = list;
    activation.hdr.idFrom = 0;
    activation.hdr.code = LVN_ITEMACTIVATE;
    activation.iItem = row;
    SendMessageW(window, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&activation));
}

TEST_F(CacheWindow, ActivatingARowOpensThePoolWindowOfThatRowAndTab) {
    HWND window = open_window();
    const pages p = find_pages(window);
    select_tab(window, 1);
    activate_row(p.lists[1], 2);
    EXPECT_TRUE(host().pump_until_idle());
    HWND pool = host().find_window("Playlists: Meta Value - Metadata Pool Statistics");
    ASSERT_NE(pool, nullptr);
    EXPECT_EQ(GetWindow(pool, GW_OWNER), host().main_window());

    select_tab(window, 2);
    activate_row(p.lists[2], 5);
    notify_activation(window, p.lists[2], 6);
    select_tab(window, 0);
    notify_activation(window, p.lists[0], -1);
    EXPECT_TRUE(host().pump_until_idle());
    EXPECT_NE(host().find_window("Combined: All - Metadata Pool Statistics"), nullptr);
    EXPECT_NE(host().find_window("Combined: <None> - Metadata Pool Statistics"), nullptr);
    EXPECT_NE(host().find_window("Library: <None> - Metadata Pool Statistics"), nullptr);
    const std::size_t windows = host().top_level_windows().size();

    // The About tab has no rows: nothing opens.
    select_tab(window, 3);
    notify_activation(window, p.about, 0);
    EXPECT_TRUE(host().pump_until_idle());
    EXPECT_EQ(host().top_level_windows().size(), windows);

    // Pool windows outlive the window that opened them.
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(host().pump_until_idle());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(IsWindow(pool));
}

} // namespace
} // namespace cache_window
