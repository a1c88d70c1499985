// Copying the pool window's tables: Ctrl+C, Ctrl+A and the context menu on the
// length page and the value page, through the host's message loop (filters
// first), read back from the clipboard.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pool_test_support.h"
#include "ui/controls/list_copy_commands.h"
#include "win32/windows/list_copy_support.h"

namespace {

using copy_test::all_rows;
using copy_test::clipboard_text;
using copy_test::plain_table_text;
using copy_test::press;
using pool_test::find_parts;
using pool_test::in_process_host;

class PoolCopy : public ::testing::Test {
protected:
    void SetUp() override {
        window = h.open(pool_meta_value, track_set_library);
        ASSERT_NE(window, nullptr);
        parts = find_parts(window);
        ASSERT_NE(parts.length_list, nullptr);
        ASSERT_NE(parts.value_list, nullptr);
        SetForegroundWindow(window);
        copy_test::clear_clipboard();
    }
    void TearDown() override { EXPECT_TRUE(h.host.violations().empty()); }

    // Shows the page of list and gives the list the focus.
    void focus(HWND list) {
        pool_test::click_tab(parts.tab, list == parts.value_list ? 1 : 0);
        h.host.pump_until_idle(50);
        SetFocus(list);
        ASSERT_EQ(GetFocus(), list);
    }
    HWND lists(int i) const { return i == 0 ? parts.length_list : parts.value_list; }

    in_process_host h{pool_test::small_library()};
    HWND window = nullptr;
    pool_test::pool_window_parts parts;
};

TEST_F(PoolCopy, CtrlCCopiesTheSelectedRowsOfEitherPage) {
    for (int i = 0; i < 2; ++i) {
        const HWND list = lists(i);
        ASSERT_GE(copy_test::row_count(list), 3) << "page " << i;
        focus(list);

        copy_test::select_rows(list, {});
        press(h.host, list, 'C', copy_test::ctrl);
        EXPECT_FALSE(clipboard_text().has_value()) << "nothing selected, nothing copied";

        copy_test::select_rows(list, {0, 2});
        press(h.host, list, 'C', copy_test::ctrl);
        EXPECT_EQ(clipboard_text(), plain_table_text(list, {0, 2})) << "page " << i;
        EXPECT_EQ(copy_test::selected_rows(list), (std::vector<int>{0, 2})) << "page " << i;

        copy_test::clear_clipboard();
        press(h.host, list, 'C'); // without Ctrl: the list's own key
        press(h.host, list, 'C', copy_test::ctrl | copy_test::shift);
        press(h.host, list, 'C', copy_test::ctrl | copy_test::alt);
        EXPECT_FALSE(clipboard_text().has_value()) << "page " << i;
    }
}

TEST_F(PoolCopy, CtrlAThenCtrlCCopiesEveryRow) {
    for (int i = 0; i < 2; ++i) {
        const HWND list = lists(i);
        focus(list);
        copy_test::select_rows(list, {1});
        press(h.host, list, 'A', copy_test::ctrl);
        EXPECT_EQ(copy_test::selected_rows(list), all_rows(list)) << "page " << i;
        press(h.host, list, 'C', copy_test::ctrl);
        EXPECT_EQ(clipboard_text(), plain_table_text(list, all_rows(list))) << "page " << i;
    }
}

TEST_F(PoolCopy, TheValuePageCopiesInTheOrderOfItsHeaderSort) {
    const HWND list = parts.value_list;
    focus(list);
    press(h.host, list, 'A', copy_test::ctrl);
    press(h.host, list, 'C', copy_test::ctrl);
    const std::optional<std::wstring> filled = clipboard_text();

    pool_test::click_header_item(list, 5); // Value, ascending
    pool_test::click_header_item(list, 5); // descending
    press(h.host, list, 'C', copy_test::ctrl);
    const std::optional<std::wstring> sorted = clipboard_text();
    EXPECT_EQ(sorted, plain_table_text(list, all_rows(list)));
    EXPECT_NE(sorted, filled) << "the sort changed nothing the test could see";
    // Descending by value: the first row holds the last value.
    const std::vector<std::string> values = pool_test::column_cells(list, 5);
    ASSERT_FALSE(values.empty());
    EXPECT_EQ(values.front(), "Song 4");
}

TEST_F(PoolCopy, TheMenuCommandsCopyTheSelectionCopyAllAndSelectAll) {
    for (int i = 0; i < 2; ++i) {
        const HWND list = lists(i);
        focus(list);
        auto run = [&](UINT command) {
            copy_test::clear_clipboard();
            SendMessageW(list, WM_COMMAND, MAKEWPARAM(command, 0), 0);
        };
        copy_test::select_rows(list, {1});
        run(list_copy_commands::command_copy);
        EXPECT_EQ(clipboard_text(), plain_table_text(list, {1})) << "page " << i;

        run(list_copy_commands::command_copy_all);
        EXPECT_EQ(clipboard_text(), plain_table_text(list, all_rows(list))) << "page " << i;
        EXPECT_EQ(copy_test::selected_rows(list), std::vector<int>{1})
            << "Copy All selects nothing";

        run(list_copy_commands::command_select_all);
        EXPECT_EQ(copy_test::selected_rows(list), all_rows(list)) << "page " << i;
        EXPECT_FALSE(clipboard_text().has_value()) << "Select All copies nothing";
    }
}

TEST_F(PoolCopy, RightClickOnARowOffersTheThreeItemsAndCopiesThatRow) {
    const HWND list = parts.value_list;
    focus(list);
    copy_test::select_rows(list, {0});
    RECT row{};
    row.left = LVIR_LABEL;
    ASSERT_TRUE(SendMessageW(list, LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row)));
    const LPARAM at = MAKELPARAM((row.left + row.right) / 2, (row.top + row.bottom) / 2);

    copy_test::menu_watch watch([] { copy_test::type_into_menu(L'c'); });
    PostMessageW(list, WM_RBUTTONUP, 0, at); // the list waits for it before it tells of the click
    SendMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, at);
    h.host.pump_until_idle(50);

    ASSERT_EQ(watch.menus.size(), 1u);
    EXPECT_EQ(watch.owners[0], list);
    const std::vector<copy_test::menu_item>& items = watch.menus[0];
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].text, L"&Copy");
    EXPECT_EQ(items[1].text, L"Copy &All");
    EXPECT_EQ(items[2].text, L"Select &All");
    EXPECT_FALSE(items[0].grayed || items[1].grayed || items[2].grayed);
    EXPECT_EQ(copy_test::selected_rows(list), std::vector<int>{2}) << "the click selects its row";
    EXPECT_EQ(clipboard_text(), plain_table_text(list, {2}));
}

TEST_F(PoolCopy, ShiftF10AndTheMenuKeyOpenTheMenuOnceAndTabAndEscapeStillWork) {
    for (int i = 0; i < 2; ++i) {
        const HWND list = lists(i);
        focus(list);
        copy_test::menu_watch watch([] { copy_test::close_menu(); });
        press(h.host, list, VK_F10, copy_test::shift);
        press(h.host, list, VK_APPS);
        ASSERT_EQ(watch.menus.size(), 2u) << "page " << i;
        EXPECT_EQ(watch.owners[0], list);
        EXPECT_EQ(watch.owners[1], list);
    }
    EXPECT_TRUE(IsWindow(window));
    const HWND list = GetFocus();
    press(h.host, list, VK_TAB);
    EXPECT_NE(GetFocus(), list) << "Tab moves on from the list";
    EXPECT_TRUE(IsChild(window, GetFocus()));
    press(h.host, GetFocus(), VK_ESCAPE);
    EXPECT_FALSE(IsWindow(window)) << "Escape closes the window after the copy keys";
}

TEST_F(PoolCopy, TheKeyboardPlacesTheMenuBelowTheFocusedRow) {
    const HWND list = parts.value_list;
    focus(list);
    copy_test::focus_row(list, 1);
    RECT row{};
    row.left = LVIR_BOUNDS;
    ASSERT_TRUE(SendMessageW(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row)));
    POINT expected{row.left > 0 ? row.left : 0, row.bottom};
    ClientToScreen(list, &expected);
    const POINT at = list_copy_commands::keyboard_menu_point(list);
    EXPECT_EQ(at.x, expected.x);
    EXPECT_EQ(at.y, expected.y);

    // A focused row scrolled out of view: the top left of the rows.
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_SCROLL, 0, 10000);
    RECT client{};
    GetClientRect(list, &client);
    const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    RECT header_rect{};
    GetWindowRect(header, &header_rect);
    POINT top_left{0, header_rect.bottom - header_rect.top};
    ClientToScreen(list, &top_left);
    ASSERT_GT(SendMessageW(list, LVM_GETTOPINDEX, 0, 0), 1);
    const POINT scrolled = list_copy_commands::keyboard_menu_point(list);
    EXPECT_EQ(scrolled.x, top_left.x);
    EXPECT_EQ(scrolled.y, top_left.y);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
}

TEST_F(PoolCopy, ARightClickOnTheHeaderOpensNoMenuAndSortsNothing) {
    const HWND list = parts.value_list;
    focus(list);
    const pool_test::rows_t before = pool_test::list_rows(list);
    const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    RECT item{};
    ASSERT_TRUE(SendMessageW(header, HDM_GETITEMRECT, 5, reinterpret_cast<LPARAM>(&item)));
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    copy_test::menu_watch watch([] { copy_test::close_menu(); });
    SendMessageW(header, WM_RBUTTONDOWN, MK_RBUTTON, at);
    SendMessageW(header, WM_RBUTTONUP, 0, at);
    h.host.pump_until_idle(50);
    EXPECT_TRUE(watch.menus.empty());
    EXPECT_EQ(pool_test::list_rows(list), before);
}

// Values that need quotes, that hold a character outside the BMP, that are
// not valid UTF-8 or longer than any display text: the value page's cell as
// the list shows it, and the copied cell.
TEST(PoolCopyValues, EveryValueIsCopiedAsItsCellShowsIt) {
    struct case_t {
        std::string value;    // UTF-8 bytes, as the host stores them
        std::wstring shown;   // the cell
        std::wstring written; // in the copied line
    };
    const std::string long_value(3000, 'x');
    const case_t cases[] = {
        {"tab\there", L"tab\there", L"\"tab\there\""},
        {"say \"hi\"", L"say \"hi\"", L"say \"hi\""},
        {"\"lead", L"\"lead", L"\"\"\"lead\""},
        {"two\r\nlines \"q\"", L"two\r\nlines \"q\"", L"\"two\r\nlines \"\"q\"\"\""},
        {"note \xF0\x9F\x8E\xB5", L"note \xD83C\xDFB5", L"note \xD83C\xDFB5"},
        {"ab\xE9"
         "cd",
         L"ab", L"ab"}, // shown up to the malformed sequence
        {long_value, std::wstring(3000, L'x'), std::wstring(3000, L'x')},
    };
    refhost::library_data data;
    refhost::track_data track;
    track.path = "C:\\Music\\odd.flac";
    for (const case_t& c : cases) {
        refhost::add_meta_value(track, "comment", c.value);
    }
    data.add_track(track, true);
    in_process_host h(std::move(data));
    const HWND window = h.open(pool_meta_value, track_set_library);
    ASSERT_NE(window, nullptr);
    const HWND list = find_parts(window).value_list;
    pool_test::click_tab(find_parts(window).tab, 1);
    h.host.pump_until_idle(50);
    SetForegroundWindow(window);
    SetFocus(list);

    std::wstring header;
    for (int c = 0; c < 6; ++c) {
        header += copy_test::header_text(list, c) + (c < 5 ? L"\t" : L"\r\n");
    }
    for (const case_t& c : cases) {
        int row = -1;
        for (int r = 0; r < copy_test::row_count(list); ++r) {
            if (copy_test::cell_text(list, r, 5) == c.shown) {
                row = r;
            }
        }
        ASSERT_GE(row, 0) << "no row shows the value " << c.value.substr(0, 20);
        std::wstring line;
        for (int col = 0; col < 5; ++col) {
            line += copy_test::cell_text(list, row, col) + L"\t";
        }
        copy_test::select_rows(list, {row});
        copy_test::clear_clipboard();
        press(h.host, list, 'C', copy_test::ctrl);
        EXPECT_EQ(clipboard_text(), header + line + c.written + L"\r\n")
            << "value " << c.value.substr(0, 20);
    }
}

} // namespace
