// The cache statistics window hosted in-process: a reference host with its
// sample library loads poolscope.dll, runs "Metadata Cache Statistics" and
// pumps the host's message loop; the tests read the window back. The engine
// is linked into the test as well and pointed at the same host, so a table
// can be compared with what the engine computes for the same tracks.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/pools.h"
#include "refhost/host_api.h"

namespace cache_window {

using table = std::vector<std::vector<std::string>>;

inline constexpr char k_title[] = "Metadata Cache Statistics";
inline constexpr int k_tab_id = 1001;
inline constexpr int k_progress_id = 1002;
inline constexpr int k_refresh_id = 3;
inline constexpr int k_close_id = 2;

// The window's pages, told apart by the tab that shows them.
struct pages {
    HWND lists[3] = {}; // Library, Playlists, Combined
    HWND about = nullptr;
};

class CacheWindow : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    refhost::host& host() { return *m_host; }

    // Runs the menu command once without pumping; the window it opened.
    HWND run_command();
    // Runs the menu command and pumps until the first refresh is over.
    HWND open_window();

    static HWND tab_control(HWND window) { return GetDlgItem(window, k_tab_id); }
    static HWND progress_bar(HWND window) { return GetDlgItem(window, k_progress_id); }
    static HWND refresh_button(HWND window) { return GetDlgItem(window, k_refresh_id); }

    // Clicks tab index as the user would (the tab control notifies the window).
    void select_tab(HWND window, int index);
    // The one visible page window of the dialog, or null (failing if several are).
    static HWND shown_page(HWND window);
    // Visits every tab to find the pages, then selects tab 0 again.
    pages find_pages(HWND window);
    // Clicks "&Refresh" and pumps until the window is idle again.
    void press_refresh(HWND window);

    static table rows_of(HWND list_view);
    // What the engine computes for the set over the same host.
    table engine_table(track_set set);

    // A template rectangle (dialog units) in the dialog's client pixels.
    static RECT template_rect(HWND dialog, int x, int y, int width, int height);
    // The tab control's display area in the dialog's client coordinates.
    static RECT display_area(HWND dialog);

private:
    std::unique_ptr<refhost::host> m_host;
};

std::string to_string(const RECT& r);
bool same_rect(const RECT& a, const RECT& b);

} // namespace cache_window

#define EXPECT_RECT_EQ(expected, actual)                                                           \
    EXPECT_TRUE(cache_window::same_rect(expected, actual))                                         \
        << "expected " << cache_window::to_string(expected) << ", actual "                         \
        << cache_window::to_string(actual)
