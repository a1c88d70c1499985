// Copying the Library, Playlists and Combined tables: Ctrl+C, Ctrl+A and the
// menu's commands through the host's message loop, read back from the
// clipboard; Enter and Escape keep their meaning.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "ui/controls/list_copy_commands.h"
#include "win32/windows/cache/cache_window_fixture.h"
#include "win32/windows/list_copy_support.h"

namespace cache_window {
namespace {

using copy_test::clipboard_text;
using copy_test::plain_table_text;
using copy_test::press;

class CacheWindowCopy : public CacheWindow {
protected:
    // Shows table t and gives its list the focus.
    HWND show_table(HWND window, const pages& p, int t) {
        select_tab(window, t);
        SetForegroundWindow(window);
        SetFocus(p.lists[t]);
        EXPECT_EQ(GetFocus(), p.lists[t]);
        copy_test::clear_clipboard();
        return p.lists[t];
    }
};

TEST_F(CacheWindowCopy, CtrlCAndCtrlACopyEachTable) {
    HWND window = open_window();
    ASSERT_NE(window, nullptr);
    const pages p = find_pages(window);
    for (int t = 0; t < 3; ++t) {
        const HWND list = show_table(window, p, t);
        ASSERT_EQ(copy_test::row_count(list), 6) << "table " << t;
        ASSERT_EQ(copy_test::column_count(list), 10);

        copy_test::select_rows(list, {1, 3});
        press(host(), list, 'C', copy_test::ctrl);
        const std::wstring two_rows = plain_table_text(list, {1, 3});
        EXPECT_EQ(clipboard_text(), two_rows) << "table " << t;
        EXPECT_EQ(two_rows.substr(0, 20), L"Pool\tLogical Strings");

        press(host(), list, 'A', copy_test::ctrl);
        EXPECT_EQ(copy_test::selected_rows(list), copy_test::all_rows(list));
        press(host(), list, 'C', copy_test::ctrl);
        const std::optional<std::wstring> all = clipboard_text();
        EXPECT_EQ(all, plain_table_text(list, copy_test::all_rows(list))) << "table " << t;
        ASSERT_TRUE(all.has_value());
        EXPECT_EQ(std::count(all->begin(), all->end(), L'\n'), 7) << "header and six rows";
    }
}

TEST_F(CacheWindowCopy, TheMenuCommandsWorkOnEachTable) {
    HWND window = open_window();
    ASSERT_NE(window, nullptr);
    const pages p = find_pages(window);
    for (int t = 0; t < 3; ++t) {
        const HWND list = show_table(window, p, t);
        copy_test::select_rows(list, {5});
        SendMessageW(list, WM_COMMAND, list_copy_commands::command_copy, 0);
        EXPECT_EQ(clipboard_text(), plain_table_text(list, {5})) << "table " << t;
        SendMessageW(list, WM_COMMAND, list_copy_commands::command_copy_all, 0);
        EXPECT_EQ(clipboard_text(), plain_table_text(list, copy_test::all_rows(list)));
        SendMessageW(list, WM_COMMAND, list_copy_commands::command_select_all, 0);
        EXPECT_EQ(copy_test::selected_rows(list), copy_test::all_rows(list));
    }
}

// Enter on the focused row opens its pool window, through the host's loop as
// when the list receives Enter itself: the table then tells which row it
// activates. Tab and Escape keep their meaning after the copy keys.
TEST_F(CacheWindowCopy, EnterTabAndEscapeKeepTheirMeaningAfterTheCopyKeys) {
    HWND window = open_window();
    ASSERT_NE(window, nullptr);
    const pages p = find_pages(window);
    const HWND list = show_table(window, p, 1);
    copy_test::select_rows(list, {2});
    copy_test::focus_row(list, 2);
    press(host(), list, 'C', copy_test::ctrl);
    ASSERT_TRUE(clipboard_text().has_value());

    const std::size_t before = host().top_level_windows().size();
    press(host(), list, VK_RETURN);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(host().top_level_windows().size(), before + 1);

    SendMessageW(list, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_TRUE(host().pump_until_idle());
    EXPECT_EQ(host().top_level_windows().size(), before + 2);
    EXPECT_EQ(refhost::window_title(host().top_level_windows().back()),
              "Playlists: Meta Value - Metadata Pool Statistics");

    SetForegroundWindow(window);
    SetFocus(list);
    press(host(), list, VK_TAB);
    EXPECT_NE(GetFocus(), list) << "Tab moves on from the table";
    EXPECT_TRUE(IsChild(window, GetFocus()));
    press(host(), GetFocus(), VK_ESCAPE);
    EXPECT_FALSE(IsWindow(window));
}

} // namespace
} // namespace cache_window
