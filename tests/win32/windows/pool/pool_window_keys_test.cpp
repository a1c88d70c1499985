// The pool window's page keys through the host's message loop: Ctrl+Tab,
// Ctrl+Shift+Tab, Ctrl+Page Down and Ctrl+Page Up switch pages as a click on
// the tab does, wrapping, and the focus follows to the shown page's list.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "pool_test_support.h"
#include "refhost/window_reading.h"
#include "win32/windows/list_copy_support.h"

namespace {

using copy_test::ctrl;
using copy_test::press;
using copy_test::shift;
using pool_test::find_parts;
using pool_test::in_process_host;
using pool_test::pool_window_parts;

bool rects_equal(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

void focus(HWND window, HWND control) {
    SetForegroundWindow(window);
    SetFocus(control);
    ASSERT_EQ(GetFocus(), control);
}

TEST(PoolWindowKeys, PageKeysSwitchPagesWrappingAndTheFocusFollows) {
    in_process_host h(pool_test::small_library());
    const HWND window = h.open(pool_meta_value, track_set_playlists);
    ASSERT_NE(window, nullptr);
    const pool_window_parts parts = find_parts(window);
    const HWND page[] = {parts.length_page, parts.value_page};
    const HWND list[] = {parts.length_list, parts.value_list};
    struct key_case {
        int from;
        WPARAM key;
        unsigned modifiers;
        int to;
    };
    const key_case cases[] = {
        {0, VK_TAB, ctrl | shift, 1},
        {1, VK_TAB, ctrl | shift, 0},
        {0, VK_TAB, ctrl, 1},
        {1, VK_TAB, ctrl, 0},
        {0, VK_NEXT, ctrl, 1},
        {1, VK_NEXT, ctrl, 0},
        {0, VK_PRIOR, ctrl, 1},
        {1, VK_PRIOR, ctrl, 0},
        // Ctrl+Shift+Page Down is the value list's own; the plain keys too.
        {1, VK_NEXT, ctrl | shift, 1},
        {0, VK_NEXT, copy_test::none, 0},
    };
    for (const key_case& c : cases) {
        const std::string name = "from page " + std::to_string(c.from) + ", key " +
                                 std::to_string(c.key) + ", modifiers " +
                                 std::to_string(c.modifiers);
        pool_test::click_tab(parts.tab, c.from);
        h.host.pump_until_idle(50);
        focus(window, list[c.from]);
        press(h.host, list[c.from], c.key, c.modifiers);
        EXPECT_EQ(refhost::read_tabs(parts.tab).selected, c.to) << name;
        EXPECT_TRUE(IsWindowVisible(page[c.to])) << name;
        EXPECT_FALSE(IsWindowVisible(page[1 - c.to])) << name;
        EXPECT_TRUE(rects_equal(pool_test::rect_in(page[c.to], window),
                                pool_test::tab_display_area(parts.tab)))
            << name;
        EXPECT_EQ(GetFocus(), list[c.to]) << name;
    }
    EXPECT_TRUE(h.host.violations().empty());
}

TEST(PoolWindowKeys, PageKeysActOnTheirOwnWindowOnlyAndEscapeAndAltCStillClose) {
    in_process_host h(pool_test::small_library());
    const HWND first = h.open(pool_path, track_set_library);
    const HWND second = h.open(pool_path, track_set_library);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    const pool_window_parts one = find_parts(first);
    const pool_window_parts two = find_parts(second);

    // With the focus on the tab control, it stays there.
    focus(second, two.tab);
    press(h.host, two.tab, VK_TAB, ctrl);
    EXPECT_EQ(refhost::read_tabs(two.tab).selected, 1);
    EXPECT_TRUE(IsWindowVisible(two.value_page));
    EXPECT_EQ(GetFocus(), two.tab);
    EXPECT_EQ(refhost::read_tabs(one.tab).selected, 0);
    EXPECT_TRUE(IsWindowVisible(one.length_page));

    focus(second, two.value_list);
    press(h.host, two.value_list, VK_ESCAPE);
    EXPECT_FALSE(IsWindow(second));
    EXPECT_TRUE(IsWindow(first));
    EXPECT_EQ(h.host.registered_filters(), 1u);

    // The mnemonic of "&Close".
    focus(first, one.length_list);
    press(h.host, one.length_list, 'C', copy_test::alt);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(h.host.registered_filters(), 0u);
}

} // namespace
