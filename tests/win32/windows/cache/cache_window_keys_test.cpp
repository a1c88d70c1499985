// The keyboard through the host's message loop: the page keys switch tabs as
// a click does, and the other keys keep their meaning.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "win32/windows/cache/cache_window_fixture.h"
#include "win32/windows/list_copy_support.h"

namespace cache_window {
namespace {

using copy_test::ctrl;
using copy_test::press;
using copy_test::shift;

class CacheWindowKeys : public CacheWindow {
protected:
    void focus(HWND window, HWND control) {
        SetForegroundWindow(window);
        SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
        ASSERT_EQ(GetFocus(), control);
    }
};

TEST_F(CacheWindowKeys, PageKeysSelectTabsAsAClickDoesAndTheFocusFollows) {
    HWND window = open_window();
    ASSERT_NE(window, nullptr);
    const pages p = find_pages(window);
    const std::size_t windows = host().top_level_windows().size();
    const HWND page[] = {p.lists[0], p.lists[1], p.lists[2], p.about};
    struct key_case {
        int from;
        WPARAM key;
        unsigned modifiers;
        int to;
    };
    const key_case cases[] = {
        {3, VK_TAB, ctrl, 0},
        {0, VK_TAB, ctrl, 1},
        {0, VK_TAB, ctrl | shift, 3},
        {2, VK_TAB, ctrl | shift, 1},
        {1, VK_NEXT, ctrl, 2},
        {3, VK_NEXT, ctrl, 0},
        {2, VK_PRIOR, ctrl, 1},
        {0, VK_PRIOR, ctrl, 3},
        {1, VK_NEXT, ctrl | shift, 1},
        {1, VK_PRIOR, ctrl | shift, 1},
        {1, VK_NEXT, copy_test::none, 1},
    };
    for (const key_case& c : cases) {
        const std::string name = "from tab " + std::to_string(c.from) + ", key " +
                                 std::to_string(c.key) + ", modifiers " +
                                 std::to_string(c.modifiers);
        select_tab(window, c.from);
        focus(window, page[c.from]);
        press(host(), page[c.from], c.key, c.modifiers);
        EXPECT_EQ(SendMessageW(tab_control(window), TCM_GETCURSEL, 0, 0), c.to) << name;
        EXPECT_EQ(shown_page(window), page[c.to]) << name;
        EXPECT_RECT_EQ(display_area(window), refhost::rect_in_client(page[c.to], window));
        EXPECT_EQ(GetFocus(), page[c.to]) << name;
    }

    // With the focus on the tab control, the focus stays there.
    select_tab(window, 1);
    focus(window, tab_control(window));
    press(host(), tab_control(window), VK_TAB, ctrl);
    EXPECT_EQ(SendMessageW(tab_control(window), TCM_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(shown_page(window), p.lists[2]);
    EXPECT_EQ(GetFocus(), tab_control(window));
    EXPECT_EQ(host().top_level_windows().size(), windows) << "no key opened a window";
}

TEST_F(CacheWindowKeys, CopyKeysMnemonicsTabAndEscapeKeepWorkingBesideTheNewKeys) {
    HWND window = open_window();
    ASSERT_NE(window, nullptr);
    const pages p = find_pages(window);
    focus(window, p.lists[0]);
    press(host(), p.lists[0], VK_TAB, ctrl);
    ASSERT_EQ(GetFocus(), p.lists[1]);
    copy_test::clear_clipboard();
    press(host(), p.lists[1], 'A', ctrl);
    EXPECT_EQ(copy_test::selected_rows(p.lists[1]), copy_test::all_rows(p.lists[1]));
    press(host(), p.lists[1], 'C', ctrl);
    EXPECT_EQ(copy_test::clipboard_text(),
              copy_test::plain_table_text(p.lists[1], copy_test::all_rows(p.lists[1])));

    press(host(), p.lists[1], 'R', copy_test::alt);
    EXPECT_EQ(host().lock().acquires, 6u) << "Alt+R refreshes";

    focus(window, p.lists[1]);
    press(host(), p.lists[1], VK_TAB);
    EXPECT_NE(GetFocus(), p.lists[1]);
    EXPECT_TRUE(IsChild(window, GetFocus()));
    press(host(), GetFocus(), VK_ESCAPE);
    EXPECT_FALSE(IsWindow(window));
}

} // namespace
} // namespace cache_window
