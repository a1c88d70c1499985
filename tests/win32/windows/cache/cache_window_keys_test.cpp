// The keyboard through the host's message loop: Enter on a table's focused
// row opens its pool window, Enter elsewhere is the dialog manager's, the page
// keys switch tabs as a click does, F5 refreshes, and the other keys keep
// their meaning.
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

std::string pool_title(const char* set, const char* pool) {
    return std::string(set) + ": " + pool + " - Metadata Pool Statistics";
}

// Every position the progress bar is set to while it is watched.
class progress_positions {
public:
    explicit progress_positions(HWND bar) : m_bar(bar) {
        s_watched = this;
        m_original = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&procedure)));
    }
    ~progress_positions() {
        SetWindowLongPtrW(m_bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_original));
        s_watched = nullptr;
    }
    progress_positions(const progress_positions&) = delete;
    progress_positions& operator=(const progress_positions&) = delete;

    std::vector<int> positions;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
        if (message == PBM_SETPOS) {
            s_watched->positions.push_back(static_cast<int>(wparam));
        }
        return CallWindowProcW(s_watched->m_original, window, message, wparam, lparam);
    }

    static progress_positions* s_watched;
    HWND m_bar;
    WNDPROC m_original = nullptr;
};
progress_positions* progress_positions::s_watched = nullptr;

class CacheWindowKeys : public CacheWindow {
protected:
    void focus(HWND window, HWND control) {
        SetForegroundWindow(window);
        SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
        ASSERT_EQ(GetFocus(), control);
    }
    std::size_t windows_titled(const std::string& title) {
        const std::vector<HWND> all = host().top_level_windows();
        return static_cast<std::size_t>(std::count_if(
            all.begin(), all.end(), [&](HWND w) { return refhost::window_title(w) == title; }));
    }
    void clear_tables(const pages& p) {
        for (HWND list : p.lists) {
            SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
        }
    }
};

TEST_F(CacheWindowKeys, EnterOnTheFocusedRowOpensThatRowsPoolWindowAtEachPress) {
    HWND window = open_window();
    ASSERT_NE(window, nullptr);
    const pages p = find_pages(window);
    struct row_case {
        int tab;
        int row;
        std::string title;
    };
    const row_case cases[] = {{1, 2, pool_title("Playlists", "Meta Value")},
                              {0, 0, pool_title("Library", "Path")},
                              {2, 5, pool_title("Combined", "All")}};
    for (const row_case& c : cases) {
        select_tab(window, c.tab);
        focus(window, p.lists[c.tab]);
        copy_test::focus_row(p.lists[c.tab], c.row);
        const std::size_t windows = host().top_level_windows().size();
        for (std::size_t n = 1; n <= 2; ++n) {
            press(host(), p.lists[c.tab], VK_RETURN);
            EXPECT_EQ(windows_titled(c.title), n) << c.title;
            EXPECT_EQ(host().top_level_windows().size(), windows + n) << c.title;
        }
        const HWND pool = host().find_window(c.title);
        ASSERT_NE(pool, nullptr) << c.title;
        EXPECT_EQ(GetWindow(pool, GW_OWNER), host().main_window());
        EXPECT_TRUE(IsWindow(window));
    }
}

TEST_F(CacheWindowKeys, EnterElsewhereIsTheDialogManagers) {
    HWND window = open_window();
    ASSERT_NE(window, nullptr);
    const pages p = find_pages(window);
    const std::size_t windows = host().top_level_windows().size();

    // A table without a focused row, and the About page: nothing happens.
    focus(window, p.lists[0]);
    LVITEMW unfocused{};
    unfocused.stateMask = LVIS_FOCUSED;
    SendMessageW(p.lists[0], LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&unfocused));
    ASSERT_EQ(SendMessageW(p.lists[0], LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), -1);
    press(host(), p.lists[0], VK_RETURN);
    select_tab(window, 3);
    focus(window, p.about);
    press(host(), p.about, VK_RETURN);
    EXPECT_EQ(host().top_level_windows().size(), windows);
    EXPECT_EQ(host().lock().acquires, 3u) << "only the first refresh";
    ASSERT_TRUE(IsWindow(window));

    focus(window, refresh_button(window));
    press(host(), refresh_button(window), VK_RETURN);
    EXPECT_EQ(host().lock().acquires, 6u) << "Enter on Refresh refreshes";
    EXPECT_EQ(host().top_level_windows().size(), windows);

    focus(window, GetDlgItem(window, k_close_id));
    press(host(), GetDlgItem(window, k_close_id), VK_RETURN);
    EXPECT_FALSE(IsWindow(window)) << "Enter on Close closes";
    EXPECT_EQ(host().registered_filters(), 0u);
}

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

TEST_F(CacheWindowKeys, F5RefreshesOnceAndNothingWhileRefreshIsDisabled) {
    HWND window = open_window();
    ASSERT_NE(window, nullptr);
    const pages p = find_pages(window);
    const track_set sets[] = {track_set_library, track_set_playlists, track_set_combined};
    focus(window, p.lists[0]);
    clear_tables(p);
    {
        progress_positions bar(progress_bar(window));
        press(host(), p.lists[0], VK_F5);
        std::vector<int> steps(28);
        for (int i = 0; i <= 27; ++i) {
            steps[static_cast<std::size_t>(i)] = i;
        }
        EXPECT_EQ(bar.positions, steps);
    }
    EXPECT_EQ(host().lock().acquires, 6u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(rows_of(p.lists[i]), engine_table(sets[i])) << "table " << i;
    }
    const auto acquires = host().lock().acquires; // the engine's tables took it too
    EXPECT_TRUE(IsWindowEnabled(refresh_button(window)));
    EXPECT_FALSE(IsWindowVisible(progress_bar(window)));

    // With a modifier F5 is not the refresh key; nor while Refresh is disabled.
    clear_tables(p);
    progress_positions bar(progress_bar(window));
    press(host(), p.lists[0], VK_F5, shift);
    press(host(), p.lists[0], VK_F5, ctrl);
    EnableWindow(refresh_button(window), FALSE);
    focus(window, p.lists[0]);
    press(host(), p.lists[0], VK_F5);
    EXPECT_TRUE(bar.positions.empty());
    EXPECT_EQ(host().lock().acquires, acquires);
    for (HWND list : p.lists) {
        EXPECT_TRUE(rows_of(list).empty());
    }
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
