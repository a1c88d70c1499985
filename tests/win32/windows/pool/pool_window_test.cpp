// The pool statistics window in a reference host: title, tabs and pages,
// the figures against the statistics rows, layout, keyboard, closing, errors.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/cache_statistics.h"
#include "engine/track_sets.h"
#include "pool_test_support.h"
#include "refhost/window_reading.h"

namespace {

using pool_test::column_cells;
using pool_test::find_parts;
using pool_test::in_process_host;
using pool_test::list_rows;
using pool_test::pool_window_parts;

bool rects_equal(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string describe(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

// Posts a key to the focused window and lets the host's loop (filters first)
// handle it.
void press_key(refhost::host& host, WPARAM key) {
    const HWND focus = GetFocus();
    ASSERT_NE(focus, nullptr);
    PostMessageW(focus, WM_KEYDOWN, key, 1);
    PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
    host.pump_until_idle(50);
}

// The statistics rows the cache statistics window would show for one set.
class recorded_statistics final : public cache_statistics_view {
public:
    void clear_rows() override { rows.clear(); }
    void insert_pool_row(std::uint32_t, const char*, const pool_summary& summary) override {
        rows.push_back(summary);
    }
    void progress_step() override {}
    std::vector<pool_summary> rows;
};

std::uint32_t column_sum(HWND list, int column) {
    std::uint32_t sum = 0; // modulo 2^32, as the figures are
    for (const std::string& cell : column_cells(list, column)) {
        sum += static_cast<std::uint32_t>(std::stoul(cell));
    }
    return sum;
}

TEST(PoolWindow, TitleNamesTheSetAndThePoolForEveryCode) {
    in_process_host h(pool_test::small_library());
    const char* sets[] = {"<None>", "Library", "Playlists", "Combined", "<None>"};
    const char* pools[] = {"<None>",    "Path",       "Meta Name", "Meta Value",
                           "Info Name", "Info Value", "All",       "<None>"};
    for (track_set set = 0; set <= 4; ++set) {
        for (pool_kind pool = 0; pool <= 7; ++pool) {
            const HWND window = h.open(pool, set);
            ASSERT_NE(window, nullptr) << "set " << set << " pool " << pool;
            EXPECT_EQ(refhost::window_title(window),
                      pool_test::expected_title(sets[set], pools[pool]));
            const refhost::tab_state tabs = refhost::read_tabs(find_parts(window).tab);
            EXPECT_EQ(tabs.items, (std::vector<std::string>{"Length", "Value"}));
            EXPECT_EQ(tabs.selected, 0);
            const bool gathers = set >= 1 && set <= 3 && pool >= 1 && pool <= 6;
            const pool_window_parts parts = find_parts(window);
            EXPECT_EQ(list_rows(parts.length_list).empty(), !gathers) << set << "/" << pool;
            EXPECT_EQ(list_rows(parts.value_list).empty(), !gathers) << set << "/" << pool;
            DestroyWindow(window);
        }
    }
    h.host.pump_until_idle(50);
    EXPECT_EQ(h.host.registered_filters(), 0u);
    EXPECT_TRUE(h.host.violations().empty());
    EXPECT_TRUE(h.host.alerts().empty());
}

TEST(PoolWindow, LengthPageSumsMatchTheStatisticsRowOfTheSameSetAndPool) {
    in_process_host h(refhost::generate_library(400, 11));
    for (track_set set = track_set_library; set <= track_set_combined; ++set) {
        metadb_handle_list_t tracks;
        build_track_set(set, tracks);
        recorded_statistics statistics;
        ASSERT_TRUE(fill_cache_statistics(statistics, tracks));
        tracks.remove_all();
        ASSERT_EQ(statistics.rows.size(), 6u);
        for (pool_kind pool = pool_path; pool <= pool_all; ++pool) {
            const pool_summary& row = statistics.rows[pool - 1];
            const HWND window = h.open(pool, set);
            ASSERT_NE(window, nullptr);
            const pool_window_parts parts = find_parts(window);
            SCOPED_TRACE("set " + std::to_string(set) + " pool " + std::to_string(pool));
            EXPECT_EQ(column_sum(parts.length_list, 2), row.logical_strings);
            EXPECT_EQ(column_sum(parts.length_list, 3), row.physical_strings);
            EXPECT_EQ(column_sum(parts.length_list, 4), row.unique_strings);
            EXPECT_EQ(column_sum(parts.length_list, 5), row.used_memory);
            EXPECT_EQ(column_sum(parts.length_list, 6), row.required_memory);
            ASSERT_FALSE(list_rows(parts.length_list).empty());
            EXPECT_EQ(column_cells(parts.length_list, 0).front(),
                      std::to_string(row.length_maximum));
            EXPECT_EQ(column_cells(parts.length_list, 1).front(), "100.0");
            EXPECT_EQ(list_rows(parts.value_list).size(), row.unique_strings);
            EXPECT_EQ(column_sum(parts.value_list, 1), row.logical_strings);
            DestroyWindow(window);
        }
    }
    EXPECT_EQ(h.host.lock().depth, 0u);
    EXPECT_EQ(h.host.lock().balance(), 0);
    EXPECT_EQ(h.host.lock().unlocked_reads, 0u);
    EXPECT_EQ(h.host.outside_handle_references(), 0u);
    EXPECT_TRUE(h.host.violations().empty());
}

TEST(PoolWindow, TwoWindowsForTheSameRowShowTheSameFigures) {
    in_process_host h(pool_test::small_library());
    const HWND first = h.open(pool_meta_value, track_set_playlists);
    const HWND second = h.open(pool_meta_value, track_set_playlists);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(first, second);
    EXPECT_EQ(refhost::window_title(first), refhost::window_title(second));
    EXPECT_EQ(refhost::window_title(first), pool_test::expected_title("Playlists", "Meta Value"));
    EXPECT_EQ(list_rows(find_parts(first).length_list), list_rows(find_parts(second).length_list));
    EXPECT_EQ(list_rows(find_parts(first).value_list), list_rows(find_parts(second).value_list));
    EXPECT_EQ(h.host.registered_filters(), 2u);
    // Owned by the host's main window, not by whatever opened it.
    EXPECT_EQ(GetWindow(first, GW_OWNER), h.host.main_window());
}

TEST(PoolWindow, TabsSwitchPagesInTheTabsDisplayArea) {
    in_process_host h(pool_test::small_library());
    const HWND window = h.open(pool_all, track_set_combined);
    ASSERT_NE(window, nullptr);
    const pool_window_parts parts = find_parts(window);
    const RECT area = pool_test::tab_display_area(parts.tab);
    EXPECT_TRUE(IsWindowVisible(parts.length_page));
    EXPECT_FALSE(IsWindowVisible(parts.value_page));
    EXPECT_TRUE(rects_equal(pool_test::rect_in(parts.length_page, window), area))
        << describe(pool_test::rect_in(parts.length_page, window)) << " vs " << describe(area);
    // The page lies above the tab control.
    EXPECT_EQ(GetWindow(parts.length_page, GW_HWNDPREV), nullptr);
    pool_test::save_screenshot(window, L"pool_window_length");

    const auto length_rows = list_rows(parts.length_list);
    pool_test::click_tab(parts.tab, 1);
    h.host.pump_until_idle(50);
    EXPECT_EQ(refhost::read_tabs(parts.tab).selected, 1);
    EXPECT_FALSE(IsWindowVisible(parts.length_page));
    EXPECT_TRUE(IsWindowVisible(parts.value_page));
    EXPECT_TRUE(rects_equal(pool_test::rect_in(parts.value_page, window), area));
    // The list fills its page.
    RECT page_client{};
    GetClientRect(parts.value_page, &page_client);
    EXPECT_TRUE(rects_equal(pool_test::rect_in(parts.value_list, parts.value_page), page_client));
    pool_test::save_screenshot(window, L"pool_window_value");

    pool_test::click_tab(parts.tab, 0);
    h.host.pump_until_idle(50);
    EXPECT_TRUE(IsWindowVisible(parts.length_page));
    EXPECT_FALSE(IsWindowVisible(parts.value_page));
    EXPECT_EQ(list_rows(parts.length_list), length_rows);
}

TEST(PoolWindow, ResizingMovesCloseStretchesTabsAndRefitsThePage) {
    in_process_host h(pool_test::small_library());
    const HWND window = h.open(pool_meta_name, track_set_library);
    ASSERT_NE(window, nullptr);
    const pool_window_parts parts = find_parts(window);
    pool_test::click_tab(parts.tab, 1);
    const RECT tab_before = pool_test::rect_in(parts.tab, window);
    const RECT close_before = pool_test::rect_in(parts.close, window);
    RECT frame{};
    GetWindowRect(window, &frame);

    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left + 40,
                 frame.bottom - frame.top + 30, SWP_NOMOVE | SWP_NOZORDER);
    h.host.pump_until_idle(50);
    const RECT tab_after = pool_test::rect_in(parts.tab, window);
    const RECT close_after = pool_test::rect_in(parts.close, window);
    EXPECT_TRUE(rects_equal(tab_after, RECT{tab_before.left, tab_before.top, tab_before.right + 40,
                                            tab_before.bottom + 30}))
        << describe(tab_after);
    EXPECT_TRUE(rects_equal(close_after, RECT{close_before.left + 40, close_before.top + 30,
                                              close_before.right + 40, close_before.bottom + 30}))
        << describe(close_after);
    EXPECT_TRUE(rects_equal(pool_test::rect_in(parts.value_page, window),
                            pool_test::tab_display_area(parts.tab)));

    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    h.host.pump_until_idle(50);
    EXPECT_TRUE(rects_equal(pool_test::rect_in(parts.close, window), close_before));
}

TEST(PoolWindow, EscClosesEnterOnlyThroughTheCloseButton) {
    in_process_host h(pool_test::small_library());
    const HWND window = h.open(pool_path, track_set_library);
    ASSERT_NE(window, nullptr);
    const pool_window_parts parts = find_parts(window);
    EXPECT_EQ(h.host.registered_filters(), 1u);

    SetForegroundWindow(window);
    SetFocus(parts.length_list);
    press_key(h.host, VK_RETURN);
    EXPECT_TRUE(IsWindow(window)) << "Enter on the list must not close the window";

    // As tabbing to it does: the focused push button becomes the default one.
    SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(parts.close), TRUE);
    EXPECT_EQ(GetFocus(), parts.close);
    press_key(h.host, VK_RETURN);
    EXPECT_FALSE(IsWindow(window)) << "Enter on Close closes";
    EXPECT_EQ(h.host.registered_filters(), 0u);

    const HWND second = h.open(pool_path, track_set_library);
    ASSERT_NE(second, nullptr);
    SetForegroundWindow(second);
    SetFocus(find_parts(second).length_list);
    press_key(h.host, VK_ESCAPE);
    EXPECT_FALSE(IsWindow(second));

    const HWND third = h.open(pool_path, track_set_library);
    ASSERT_NE(third, nullptr);
    SendMessageW(third, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(third));
    EXPECT_EQ(h.host.registered_filters(), 0u);
    EXPECT_TRUE(h.host.violations().empty());
}

TEST(PoolWindow, AMissingServiceIsReportedAndTheWindowStaysEmpty) {
    in_process_host h(pool_test::small_library());
    h.host.remove_service(guids::media_library);
    const HWND window = h.open(pool_meta_value, track_set_library);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(h.host.alerts().size(), 1u);
    EXPECT_EQ(h.host.alerts()[0].text, "Unhandled exception:\nService not found");
    EXPECT_EQ(h.host.alerts()[0].caption, "Metadata Cache Statistics");
    EXPECT_TRUE(list_rows(find_parts(window).length_list).empty());
    EXPECT_TRUE(list_rows(find_parts(window).value_list).empty());
    EXPECT_EQ(h.host.lock().acquires, 0u);
}

TEST(PoolWindow, AWindowThatCannotRegisterItsFilterIsReportedAndClosed) {
    in_process_host h(pool_test::small_library());
    h.host.remove_service(guids::dialog_message_hook);
    const std::size_t before = h.host.top_level_windows().size();
    h.open(pool_all, track_set_library);
    EXPECT_EQ(h.host.top_level_windows().size(), before) << "a hidden window was left behind";
    ASSERT_EQ(h.host.alerts().size(), 1u);
    EXPECT_EQ(h.host.alerts()[0].text, "Unhandled exception:\nService not found");
    EXPECT_EQ(h.host.lock().acquires, 0u);
}

TEST(PoolWindow, AHostErrorWhileGatheringGivesBackTheLockAndTheTracks) {
    in_process_host h(pool_test::small_library());
    h.host.inject_fault(refhost::host_call::meta_field_value, refhost::fault_kind::runtime_error,
                        5);
    const HWND window = h.open(pool_meta_value, track_set_combined);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(h.host.alerts().size(), 1u);
    EXPECT_EQ(h.host.alerts()[0].text, "Unhandled exception:\nInjected host failure");
    EXPECT_EQ(h.host.lock().depth, 0u);
    EXPECT_EQ(h.host.lock().balance(), 0);
    EXPECT_EQ(h.host.outside_handle_references(), 0u);
    EXPECT_TRUE(list_rows(find_parts(window).value_list).empty());

    // The window stays usable.
    pool_test::click_tab(find_parts(window).tab, 1);
    EXPECT_TRUE(IsWindowVisible(find_parts(window).value_page));
    DestroyWindow(window);
    h.host.pump_until_idle(50);
    EXPECT_EQ(h.host.registered_filters(), 0u);
}

} // namespace
