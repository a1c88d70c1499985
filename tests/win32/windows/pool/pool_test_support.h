// What the pool window tests share: the component's window code linked into
// this executable and given a reference host, reading a pool window back, and
// clicking its controls the way a user would.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/pools.h"
#include "refhost/host_api.h"

namespace pool_test {

using rows_t = std::vector<std::vector<std::string>>;

// A reference host whose core the window code in this executable uses (the
// templates come from this executable's resources). One at a time.
class in_process_host {
public:
    explicit in_process_host(refhost::library_data data, refhost::host_options options = {});
    ~in_process_host();
    in_process_host(const in_process_host&) = delete;
    in_process_host& operator=(const in_process_host&) = delete;

    // Opens a pool window as the cache statistics window does, lets it
    // refresh, and answers the new window (null if none appeared).
    HWND open(pool_kind pool, track_set set);

    refhost::host host;
};

// The parts of one pool statistics window.
struct pool_window_parts {
    HWND tab = nullptr;
    HWND close = nullptr;
    HWND length_page = nullptr;
    HWND value_page = nullptr;
    HWND length_list = nullptr;
    HWND value_list = nullptr;
};
pool_window_parts find_parts(HWND window);

// "<set>: <pool> - Metadata Pool Statistics".
std::string expected_title(const char* set_name, const char* pool_name);

rows_t list_rows(HWND list);
// The cells of one column, top to bottom.
std::vector<std::string> column_cells(HWND list, int column);

// A left click on a header item (button down and up at its middle).
void click_header_item(HWND list, int column);
// A left click on a tab item.
void click_tab(HWND tab, int index);
// Double-click on a row of a report list.
void double_click_row(HWND list, int row);

// The rectangle of window in the client coordinates of reference.
RECT rect_in(HWND window, HWND reference);
// The tab control's display area in its parent's client coordinates.
RECT tab_display_area(HWND tab);

// A small library: eight tracks with paths, a few meta and info fields, two
// overlapping playlists and one track only in a playlist.
refhost::library_data small_library();

// Value texts that outlive the lists pointing at them.
class value_list {
public:
    value_list& add(std::string text, std::uint32_t logical, std::uint32_t physical) {
        m_texts.push_back(std::make_unique<std::string>(std::move(text)));
        const std::string& kept = *m_texts.back();
        m_list.push_item(
            string_info2{kept.c_str(), static_cast<std::uint32_t>(kept.size()), logical, physical});
        return *this;
    }
    const string_info_list2& list() const { return m_list; }

private:
    std::vector<std::unique_ptr<std::string>> m_texts;
    string_info_list2 m_list;
};

// A visible top-level window to hold a page.
class page_host {
public:
    page_host() {
        window = CreateWindowExW(0, L"STATIC", L"page host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                 800, 500, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    ~page_host() { DestroyWindow(window); }
    template <typename Page> HWND create(Page& page, WORD template_id) {
        const HWND created = page.create(GetModuleHandleW(nullptr), template_id, window);
        if (created != nullptr) {
            SetWindowPos(created, nullptr, 0, 0, 780, 460, SWP_NOZORDER | SWP_SHOWWINDOW);
        }
        return created;
    }
    HWND window = nullptr;
};

// Writes a screenshot of window to ../screenshots/<name>.bmp (beside bin/).
void save_screenshot(HWND window, const std::wstring& name);

} // namespace pool_test
