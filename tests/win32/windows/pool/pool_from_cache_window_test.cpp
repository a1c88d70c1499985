// poolscope.dll loaded by the reference host: activating a row of the cache
// statistics window opens the pool window of that tab's set and that row's
// pool, and pool windows outlive the window that opened them.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "pool_test_support.h"
#include "refhost/host_api.h"
#include "refhost/window_reading.h"

namespace {

using pool_test::column_cells;
using pool_test::find_parts;
using pool_test::list_rows;

const char* const k_sets[] = {"Library", "Playlists", "Combined"};
const char* const k_pools[] = {"Path", "Meta Name", "Meta Value", "Info Name", "Info Value", "All"};

class PoolFromCacheWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.load_component(L"poolscope.dll"));
        ASSERT_TRUE(host.run_command("Metadata Cache Statistics"));
        host.pump_until_idle();
        cache = host.find_window("Metadata Cache Statistics");
        ASSERT_NE(cache, nullptr);
        tab = GetDlgItem(cache, 1001);
        ASSERT_NE(tab, nullptr);
    }
    void TearDown() override {
        host.shut_down();
        EXPECT_TRUE(host.violations().empty());
        for (const std::string& v : host.violations()) {
            ADD_FAILURE() << v;
        }
    }

    // The statistics list of the shown tab.
    HWND shown_table() const {
        for (HWND list : refhost::descendants(cache, WC_LISTVIEWW)) {
            if (IsWindowVisible(list)) {
                return list;
            }
        }
        return nullptr;
    }

    // Activates a row as the user does (double-click) and answers the window
    // that appeared, or null.
    HWND activate(int tab_index, int row) {
        pool_test::click_tab(tab, tab_index);
        host.pump_until_idle(50);
        const HWND table = shown_table();
        EXPECT_NE(table, nullptr);
        if (table == nullptr) {
            return nullptr;
        }
        const std::vector<HWND> before = host.top_level_windows();
        pool_test::double_click_row(table, row);
        host.pump_until_idle(100);
        for (HWND window : host.top_level_windows()) {
            if (std::find(before.begin(), before.end(), window) == before.end()) {
                return window;
            }
        }
        return nullptr;
    }

    refhost::host host{pool_test::small_library()};
    HWND cache = nullptr;
    HWND tab = nullptr;
};

TEST_F(PoolFromCacheWindow, EachTabOpensItsSetWithThePoolOfTheRow) {
    const int rows[] = {2, 2, 5};
    for (int t = 0; t < 3; ++t) {
        const int row = rows[t];
        const HWND window = activate(t, row);
        ASSERT_NE(window, nullptr) << "tab " << t;
        EXPECT_EQ(refhost::window_title(window),
                  pool_test::expected_title(k_sets[t], k_pools[row]));
        EXPECT_EQ(GetWindow(window, GW_OWNER), host.main_window());
        // The figures of the activated row, computed anew by the pool window.
        const HWND table = shown_table();
        ASSERT_NE(table, nullptr);
        const std::vector<std::string> cells = list_rows(table).at(static_cast<std::size_t>(row));
        std::uint32_t logical = 0;
        for (const std::string& cell : column_cells(find_parts(window).length_list, 2)) {
            logical += static_cast<std::uint32_t>(std::stoul(cell));
        }
        EXPECT_EQ(std::to_string(logical), cells.at(1)) << "tab " << t;
        EXPECT_EQ(list_rows(find_parts(window).value_list).size(), std::stoul(cells.at(3)));
    }
}

TEST_F(PoolFromCacheWindow, TheSameRowTwiceOpensTwoWindows) {
    const HWND first = activate(1, 2);
    const HWND second = activate(1, 2);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(refhost::window_title(first), pool_test::expected_title("Playlists", "Meta Value"));
    EXPECT_EQ(refhost::window_title(second), refhost::window_title(first));
}

TEST_F(PoolFromCacheWindow, TheAboutTabOpensNothing) {
    pool_test::click_tab(tab, 3);
    host.pump_until_idle(50);
    const std::size_t windows = host.top_level_windows().size();
    NMITEMACTIVATE activation{};
    activation.hdr.hwndFrom = cache;
    activation.hdr.code = LVN_ITEMACTIVATE;
    activation.iItem = 0;
    SendMessageW(cache, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&activation));
    host.pump_until_idle(50);
    EXPECT_EQ(host.top_level_windows().size(), windows);
}

TEST_F(PoolFromCacheWindow, PoolWindowsKeepWorkingAfterTheCacheWindowCloses) {
    const HWND pool = activate(0, 2);
    ASSERT_NE(pool, nullptr);
    const auto length_rows = list_rows(find_parts(pool).length_list);
    ASSERT_FALSE(length_rows.empty());

    SendMessageW(cache, WM_CLOSE, 0, 0);
    host.pump_until_idle(50);
    ASSERT_FALSE(IsWindow(cache));
    ASSERT_TRUE(IsWindow(pool));
    EXPECT_EQ(host.registered_filters(), 1u);

    const pool_test::pool_window_parts parts = find_parts(pool);
    EXPECT_EQ(list_rows(parts.length_list), length_rows);
    pool_test::click_tab(parts.tab, 1);
    host.pump_until_idle(50);
    EXPECT_TRUE(IsWindowVisible(parts.value_page));
    pool_test::click_header_item(parts.value_list, 1); // Logical Strings, ascending
    const std::vector<std::string> counts = column_cells(parts.value_list, 1);
    ASSERT_FALSE(counts.empty());
    for (std::size_t i = 1; i < counts.size(); ++i) {
        EXPECT_LE(std::stoul(counts[i - 1]), std::stoul(counts[i])) << "row " << i;
    }
    SetForegroundWindow(pool);
    SetFocus(parts.value_list);
    PostMessageW(parts.value_list, WM_KEYDOWN, VK_ESCAPE, 1);
    host.pump_until_idle(50);
    EXPECT_FALSE(IsWindow(pool));
    EXPECT_EQ(host.registered_filters(), 0u);
}

} // namespace
