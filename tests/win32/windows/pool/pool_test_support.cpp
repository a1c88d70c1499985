#include "pool_test_support.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "host/module_state.h"
#include "refhost/screenshot.h"
#include "refhost/window_reading.h"
#include "ui/window_openers.h"

namespace pool_test {

in_process_host::in_process_host(refhost::library_data data, refhost::host_options options)
    : host(std::move(data), options) {
    module_state::set_host(&host.core(), GetModuleHandleW(nullptr));
}

in_process_host::~in_process_host() {
    host.shut_down();
    module_state::set_host(nullptr, nullptr);
}

HWND in_process_host::open(pool_kind pool, track_set set) {
    const std::vector<HWND> before = host.top_level_windows();
    open_pool_statistics_window(pool, set, host.main_window());
    host.pump_until_idle(100);
    for (HWND window : host.top_level_windows()) {
        if (std::find(before.begin(), before.end(), window) == before.end()) {
            return window;
        }
    }
    return nullptr;
}

pool_window_parts find_parts(HWND window) {
    pool_window_parts parts;
    parts.tab = GetDlgItem(window, 1001);
    parts.close = GetDlgItem(window, IDCANCEL);
    for (HWND list : refhost::descendants(window, WC_LISTVIEWW)) {
        const refhost::list_view_contents contents = refhost::read_list_view(list);
        if (contents.headers.size() == 7) {
            parts.length_list = list;
            parts.length_page = GetParent(list);
        } else if (contents.headers.size() == 6) {
            parts.value_list = list;
            parts.value_page = GetParent(list);
        }
    }
    return parts;
}

std::string expected_title(const char* set_name, const char* pool_name) {
    return std::string(set_name) + ": " + pool_name + " - Metadata Pool Statistics";
}

rows_t list_rows(HWND list) {
    return refhost::read_list_view(list).rows;
}

std::vector<std::string> column_cells(HWND list, int column) {
    std::vector<std::string> cells;
    for (const auto& row : list_rows(list)) {
        cells.push_back(static_cast<std::size_t>(column) < row.size() ? row[column] : "?");
    }
    return cells;
}

namespace {

void click_at(HWND window, POINT at, bool twice = false) {
    const LPARAM where = MAKELPARAM(at.x, at.y);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, where);
    SendMessageW(window, WM_LBUTTONUP, 0, where);
    if (twice) {
        SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, where);
        SendMessageW(window, WM_LBUTTONUP, 0, where);
    }
}

POINT middle(const RECT& r) {
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

} // namespace

void click_header_item(HWND list, int column) {
    const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    RECT rect{};
    ASSERT_TRUE(SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column),
                             reinterpret_cast<LPARAM>(&rect)));
    click_at(header, middle(rect));
}

void click_tab(HWND tab, int index) {
    RECT rect{};
    ASSERT_TRUE(SendMessageW(tab, TCM_GETITEMRECT, static_cast<WPARAM>(index),
                             reinterpret_cast<LPARAM>(&rect)));
    click_at(tab, middle(rect));
}

void double_click_row(HWND list, int row) {
    RECT rect{};
    rect.left = LVIR_LABEL;
    ASSERT_TRUE(SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                             reinterpret_cast<LPARAM>(&rect)));
    click_at(list, middle(rect), true);
}

RECT rect_in(HWND window, HWND reference) {
    return refhost::rect_in_client(window, reference);
}

RECT tab_display_area(HWND tab) {
    RECT area = rect_in(tab, GetParent(tab));
    SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    return area;
}

refhost::library_data small_library() {
    using refhost::add_meta_value;
    refhost::library_data data;
    const char* artists[] = {"Anna", "Björn", "Anna", "Clara", "Anna", "Dmitri", "Björn", "Léa"};
    const char* genres[] = {"Rock", "rock", "Jazz", "Rock", "Pop", "", "Jazz", "Ambient"};
    for (int i = 0; i < 8; ++i) {
        refhost::track_data track;
        track.path = "C:\\Music\\track" + std::to_string(i) + ".flac";
        add_meta_value(track, "artist", artists[i]);
        add_meta_value(track, "title", "Song " + std::to_string(i % 5));
        add_meta_value(track, "genre", genres[i]);
        if (i % 3 == 0) {
            add_meta_value(track, "genre", "Live");
        }
        track.info.push_back({"codec", i % 2 ? "FLAC" : "MP3"});
        track.info.push_back({"bitrate", std::to_string(128 * (1 + i % 3))});
        data.add_track(std::move(track), i != 7); // track 7 only in a playlist
    }
    data.playlists.push_back({"Favourites", {{0, false}, {2, true}, {7, false}}});
    data.playlists.push_back({"Mix", {{2, false}, {3, false}, {0, false}, {7, true}}});
    return data;
}

void save_screenshot(HWND window, const std::wstring& name) {
    CreateDirectoryW(L"..\\screenshots", nullptr);
    std::string error;
    EXPECT_TRUE(refhost::save_window_bitmap(window, L"..\\screenshots\\" + name + L".bmp", error))
        << error;
}

} // namespace pool_test
