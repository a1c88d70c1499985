#include "win32/windows/cache/cache_window_fixture.h"

#include <commctrl.h>

#include <algorithm>

#include "engine/cache_statistics.h"
#include "engine/track_sets.h"
#include "host/component_state.h"
#include "host/module_state.h"

namespace cache_window {

namespace {

// The engine's rows as the test formats them (plain decimal figures).
class recording_view final : public cache_statistics_view {
public:
    table rows;

    void clear_rows() override { rows.clear(); }
    void insert_pool_row(std::uint32_t row, const char* label, const pool_summary& s) override {
        std::vector<std::string> cells{label};
        for (std::uint32_t figure : {s.logical_strings, s.physical_strings, s.unique_strings,
                                     s.used_memory, s.required_memory, s.length_lower_quartile,
                                     s.length_median, s.length_upper_quartile, s.length_maximum}) {
            cells.push_back(std::to_string(figure));
        }
        rows.insert(rows.begin() + row, cells);
    }
    void progress_step() override {}
};

std::vector<HWND> statistics_windows(refhost::host& h) {
    std::vector<HWND> found;
    for (HWND w : h.top_level_windows()) {
        if (refhost::window_title(w) == k_title) {
            found.push_back(w);
        }
    }
    return found;
}

} // namespace

std::string to_string(const RECT& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
           std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}

bool same_rect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

void CacheWindow::SetUp() {
    refhost::host_options options;
    options.show_main_window = true;
    m_host = std::make_unique<refhost::host>(refhost::sample_library(), options);
    ASSERT_TRUE(m_host->load_component(L"poolscope.dll"));
    // The engine linked into this test uses the same host.
    module_state::set_host(&m_host->core(), GetModuleHandleW(nullptr));
    component_state::set_host_ready(true);
}

void CacheWindow::TearDown() {
    m_host->shut_down();
    EXPECT_TRUE(m_host->violations().empty())
        << "host saw: " << (m_host->violations().empty() ? "" : m_host->violations().front());
    module_state::set_host(nullptr, nullptr);
    component_state::set_host_ready(false);
    m_host.reset();
}

HWND CacheWindow::run_command() {
    const std::vector<HWND> before = statistics_windows(host());
    EXPECT_TRUE(host().run_command(k_title));
    for (HWND w : statistics_windows(host())) {
        if (std::find(before.begin(), before.end(), w) == before.end()) {
            return w;
        }
    }
    ADD_FAILURE() << "the command opened no window";
    return nullptr;
}

HWND CacheWindow::open_window() {
    HWND window = run_command();
    EXPECT_TRUE(host().pump_until_idle());
    return window;
}

void CacheWindow::select_tab(HWND window, int index) {
    HWND tab = tab_control(window);
    RECT item{};
    ASSERT_TRUE(SendMessageW(tab, TCM_GETITEMRECT, static_cast<WPARAM>(index),
                             reinterpret_cast<LPARAM>(&item)));
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    SendMessageW(tab, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(tab, WM_LBUTTONUP, 0, at);
    ASSERT_EQ(SendMessageW(tab, TCM_GETCURSEL, 0, 0), index);
}

HWND CacheWindow::shown_page(HWND window) {
    HWND shown = nullptr;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const std::string cls = refhost::window_class_name(child);
        if ((cls == "SysListView32" || cls == "RichEdit20W") && IsWindowVisible(child)) {
            EXPECT_EQ(shown, nullptr) << "more than one page is visible";
            shown = child;
        }
    }
    return shown;
}

pages CacheWindow::find_pages(HWND window) {
    pages p;
    for (int i = 0; i < 3; ++i) {
        select_tab(window, i);
        p.lists[i] = shown_page(window);
    }
    select_tab(window, 3);
    p.about = shown_page(window);
    select_tab(window, 0);
    return p;
}

void CacheWindow::press_refresh(HWND window) {
    SendMessageW(refresh_button(window), BM_CLICK, 0, 0);
    EXPECT_TRUE(host().pump_until_idle());
}

table CacheWindow::rows_of(HWND list_view) {
    return refhost::read_list_view(list_view).rows;
}

table CacheWindow::engine_table(track_set set) {
    metadb_handle_list_t tracks;
    build_track_set(set, tracks);
    recording_view view;
    fill_cache_statistics(view, tracks);
    return view.rows;
}

RECT CacheWindow::template_rect(HWND dialog, int x, int y, int width, int height) {
    // The dialog manager converts position and extent separately.
    RECT units{x, y, width, height};
    MapDialogRect(dialog, &units);
    return RECT{units.left, units.top, units.left + units.right, units.top + units.bottom};
}

RECT CacheWindow::display_area(HWND dialog) {
    HWND tab = tab_control(dialog);
    RECT r = refhost::rect_in_client(tab, dialog);
    SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    return r;
}

} // namespace cache_window
