// The window after it opened: template, pages, the first refresh, the tables
// against the engine, the progress bar and the metadata-cache lock.
#include <windows.h>

#include <commctrl.h>

#include "engine/pools.h"
#include "win32/windows/cache/cache_window_fixture.h"

namespace cache_window {
namespace {

const std::vector<std::string> k_headers = {"Pool",
                                            "Logical Strings",
                                            "Physical Strings",
                                            "Unique Strings",
                                            "Used Memory",
                                            "Required Memory",
                                            "Length (Lower Quartile)",
                                            "Length (Median)",
                                            "Length (Upper Quartile)",
                                            "Length (Maximum)"};
const std::vector<int> k_widths = {90, 60, 60, 60, 60, 60, 40, 40, 40, 40};
const std::vector<std::string> k_labels = {"Path",      "Meta Name",  "Meta Value",
                                           "Info Name", "Info Value", "All"};

TEST_F(CacheWindow, OpensFromTheTemplateShownOwnedByTheHostAndRefreshesOnlyOnceShown) {
    HWND window = run_command();
    ASSERT_NE(window, nullptr);
    // Shown during initialisation; the first refresh is posted, not run yet.
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetWindow(window, GW_OWNER), host().main_window());
    for (HWND list : find_pages(window).lists) {
        EXPECT_TRUE(rows_of(list).empty());
    }
    EXPECT_EQ(host().lock().acquires, 0u);

    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    EXPECT_EQ(style & ~(WS_VISIBLE | WS_CLIPSIBLINGS), 0x80CC004Cu);
    EXPECT_TRUE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);

    RECT client{};
    GetClientRect(window, &client);
    EXPECT_RECT_EQ(template_rect(window, 0, 0, 397, 137), client);
    EXPECT_RECT_EQ(template_rect(window, 4, 4, 389, 108),
                   refhost::rect_in_client(tab_control(window), window));
    EXPECT_RECT_EQ(template_rect(window, 280, 120, 50, 14),
                   refhost::rect_in_client(refresh_button(window), window));
    EXPECT_RECT_EQ(template_rect(window, 341, 120, 50, 14),
                   refhost::rect_in_client(GetDlgItem(window, k_close_id), window));
    EXPECT_RECT_EQ(template_rect(window, 4, 120, 268, 14),
                   refhost::rect_in_client(progress_bar(window), window));
    EXPECT_EQ(refhost::window_title(refresh_button(window)), "&Refresh");
    EXPECT_EQ(refhost::window_title(GetDlgItem(window, k_close_id)), "&Close");
    const auto bar_style = static_cast<DWORD>(GetWindowLongPtrW(progress_bar(window), GWL_STYLE));
    EXPECT_TRUE(bar_style & PBS_SMOOTH);
    EXPECT_TRUE(GetWindowLongPtrW(progress_bar(window), GWL_EXSTYLE) & WS_EX_STATICEDGE);

    EXPECT_TRUE(host().pump_until_idle());
    EXPECT_EQ(rows_of(find_pages(window).lists[0]).size(), 6u);
}

TEST_F(CacheWindow, FirstRefreshFillsEachTableWithTheEnginesRowsForItsSet) {
    HWND window = open_window();
    ASSERT_NE(window, nullptr);
    const pages p = find_pages(window);
    const track_set sets[] = {track_set_library, track_set_playlists, track_set_combined};
    for (int i = 0; i < 3; ++i) {
        ASSERT_NE(p.lists[i], nullptr) << "tab " << i;
        const table shown = rows_of(p.lists[i]);
        const table expected = engine_table(sets[i]);
        ASSERT_EQ(shown.size(), 6u) << "tab " << i;
        ASSERT_EQ(expected.size(), 6u);
        for (std::size_t row = 0; row < 6; ++row) {
            EXPECT_EQ(shown[row][0], k_labels[row]);
            for (std::size_t column = 0; column < 10; ++column) {
                EXPECT_EQ(shown[row][column], expected[row][column])
                    << "tab " << i << ", row " << row << ", column " << column;
            }
        }
    }
    // The sample data makes the three sets differ: every track has a path.
    EXPECT_EQ(rows_of(p.lists[0])[0][1], std::to_string(host().library_size()));
    EXPECT_NE(rows_of(p.lists[0])[0][1], rows_of(p.lists[1])[0][1]);
    EXPECT_NE(rows_of(p.lists[0])[0][1], rows_of(p.lists[2])[0][1]);
}

TEST_F(CacheWindow, ListViewsHaveTheirStylesColumnsWidthsAndAlignments) {
    HWND window = open_window();
    const pages p = find_pages(window);
    for (HWND list : p.lists) {
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(GetParent(list), window);
        EXPECT_EQ(GetDlgCtrlID(list), 0);
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(list, GWL_STYLE)) & ~WS_VISIBLE,
                  0x46018001u);
        EXPECT_TRUE(GetWindowLongPtrW(list, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
        EXPECT_EQ(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), LVS_EX_FULLROWSELECT);
        const refhost::list_view_contents contents = refhost::read_list_view(list);
        EXPECT_EQ(contents.headers, k_headers);
        EXPECT_EQ(contents.column_widths, k_widths);
        ASSERT_EQ(contents.column_formats.size(), 10u);
        EXPECT_EQ(contents.column_formats[0] & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
        for (std::size_t c = 1; c < 10; ++c) {
            EXPECT_EQ(contents.column_formats[c] & LVCFMT_JUSTIFYMASK, LVCFMT_RIGHT) << c;
        }
    }
    ASSERT_NE(p.about, nullptr);
    EXPECT_EQ(refhost::window_class_name(p.about), "RichEdit20W");
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(p.about, GWL_STYLE)) & ~WS_VISIBLE, 0x46210804u);
    EXPECT_TRUE(GetWindowLongPtrW(p.about, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

TEST_F(CacheWindow, FourTabsEachShowingItsOwnPageFittedToTheDisplayArea) {
    HWND window = open_window();
    const refhost::tab_state tabs = refhost::read_tabs(tab_control(window));
    EXPECT_EQ(tabs.items, (std::vector<std::string>{"Library", "Playlists", "Combined", "About"}));
    EXPECT_EQ(tabs.selected, 0);

    const pages p = find_pages(window);
    const HWND all[] = {p.lists[0], p.lists[1], p.lists[2], p.about};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < i; ++j) {
            EXPECT_NE(all[i], all[j]) << "tabs " << j << " and " << i << " share a page";
        }
    }
    // Back and forth in another order: exactly the tab's page is visible.
    for (int i : {3, 1, 0, 2, 3, 0}) {
        select_tab(window, i);
        EXPECT_EQ(shown_page(window), all[i]) << "tab " << i;
        EXPECT_RECT_EQ(display_area(window), refhost::rect_in_client(all[i], window));
    }
}

TEST_F(CacheWindow, ProgressBarRunsTo27AndIsHiddenAfterwardsWithRefreshEnabled) {
    HWND window = open_window();
    refhost::progress_state bar = refhost::read_progress(progress_bar(window));
    EXPECT_EQ(bar.low, 0);
    EXPECT_EQ(bar.high, 27);
    EXPECT_EQ(bar.position, 27);
    EXPECT_FALSE(bar.visible);
    EXPECT_TRUE(IsWindowEnabled(refresh_button(window)));

    // A refresh sets range and position anew rather than going on from there.
    SendMessageW(progress_bar(window), PBM_SETRANGE32, 0, 100);
    SendMessageW(progress_bar(window), PBM_SETPOS, 50, 0);
    press_refresh(window);
    bar = refhost::read_progress(progress_bar(window));
    EXPECT_EQ(bar.high, 27);
    EXPECT_EQ(bar.position, 27);
    EXPECT_FALSE(bar.visible);
    EXPECT_TRUE(IsWindowEnabled(refresh_button(window)));
}

TEST_F(CacheWindow, EachTableTakesAndGivesBackTheCacheLockOnce) {
    HWND window = open_window();
    refhost::lock_figures lock = host().lock();
    EXPECT_EQ(lock.acquires, 3u);
    EXPECT_EQ(lock.releases, 3u);
    EXPECT_EQ(lock.depth, 0u);
    EXPECT_EQ(lock.max_depth, 1u);
    EXPECT_EQ(lock.unlocked_reads, 0u);

    press_refresh(window);
    lock = host().lock();
    EXPECT_EQ(lock.acquires, 6u);
    EXPECT_EQ(lock.releases, 6u);
    EXPECT_EQ(lock.depth, 0u);
    EXPECT_EQ(lock.nested_acquires, 0u);
    EXPECT_EQ(host().outside_handle_references(), 0u);
}

} // namespace
} // namespace cache_window
