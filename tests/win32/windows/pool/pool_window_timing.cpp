// Measures how long pool windows take to open over a generated library
// (default 100,000 tracks, the Combined set): the window's creation, its
// refresh (track set, the engine and the page copies under the metadata-cache
// lock, then the pages shown), the first paint, showing and painting the
// value page, and header clicks on the value page. The process's first
// window is opened before and timed on its own. The refresh is the
// window's own sequence run here with clocks between its steps: the tool
// intercepts the posted refresh command. Not a test: run it by hand under
// wine and read the figures.
//
//   wine pool_window_timing.exe [tracks] [pool ...]
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "engine/pool_values.h"
#include "engine/track_sets.h"
#include "host/module_state.h"
#include "refhost/host_api.h"
#include "ui/pool_window/pool_stats_dialog.h"

namespace {

using clock_type = std::chrono::steady_clock;

double seconds_since(clock_type::time_point start) {
    return std::chrono::duration<double>(clock_type::now() - start).count();
}

// The window's pages as its refresh hands them to the engine, with the time
// at which the engine gives the lock back.
class timed_pages final : public pool_value_view {
public:
    timed_pages(CPoolStatsDialog& window) : m_window(window) {}
    pool_kind pool() const override { return m_window.pool(); }
    bool length_page_exists() const override { return IsWindow(m_window.length_page().handle()); }
    void fill_length_page(const string_info_list2& values) override {
        const auto start = clock_type::now();
        distinct = values.get_count();
        m_window.length_page().take_values(values);
        copies += seconds_since(start);
    }
    bool value_page_exists() const override { return IsWindow(m_window.value_page().handle()); }
    void fill_value_page(const string_info_list2& values) override {
        const auto start = clock_type::now();
        m_window.value_page().take_values(values);
        copies += seconds_since(start);
    }
    void present_pages() override {
        released = clock_type::now();
        m_window.length_page().present();
        const auto value_start = clock_type::now();
        m_window.value_page().present();
        shown = seconds_since(released);
        value_shown = seconds_since(value_start);
    }
    std::uint32_t distinct = 0;
    double copies = 0; // the pages' copies under the lock
    double shown = 0;  // the pages shown after it
    double value_shown = 0;
    clock_type::time_point released;

private:
    CPoolStatsDialog& m_window;
};

// The window's first paint: all of it.
void paint(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// What the window's own code left to be painted (a page shown, a list
// sorted), painted now, as the message loop would.
void update(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void click_header(HWND list, int column) {
    const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    RECT rect{};
    SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&rect));
    const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(header, WM_LBUTTONUP, 0, at);
}

double time_header_click(HWND window, HWND list, int column, const char* what) {
    const auto start = clock_type::now();
    click_header(list, column);
    update(window);
    const double seconds = seconds_since(start);
    std::printf("    click on %-28s sorted and painted %7.3f s\n", what, seconds);
    return seconds;
}

// A pool window is opened from the statistics window, which has loaded the
// common controls, the dialog font and the list views' resources by then. One
// pool window over no values is opened and closed first, so that the first
// window timed does not carry the process's first window, and that first
// creation is printed on its own.
void open_first_window(refhost::host& host) {
    const auto start = clock_type::now();
    auto* dialog = new CPoolStatsDialog(pool_kind{0}, track_set_playlists);
    const HWND window = dialog->create(host.main_window());
    if (window == nullptr) {
        delete dialog;
        return;
    }
    host.pump_until_idle(50);
    std::printf("first window of the process created and refreshed in %.3f s\n",
                seconds_since(start));
    DestroyWindow(window);
    host.pump_until_idle(50);
}

void time_pool_window(refhost::host& host, pool_kind pool, track_set set) {
    const auto start = clock_type::now();
    auto* dialog = new CPoolStatsDialog(pool, set); // deletes itself after its final message
    const HWND window = dialog->create(host.main_window());
    const double created = seconds_since(start);
    if (window == nullptr) {
        delete dialog;
        std::printf("no window\n");
        return;
    }

    // Run the loop until the posted refresh arrives; run it here instead.
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == window && msg.message == WM_COMMAND && LOWORD(msg.wParam) == 3) {
            break;
        }
        if (!host.offer_message(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    const auto refresh_start = clock_type::now();
    metadb_handle_list_t tracks;
    build_track_set(set, tracks);
    const double track_set = seconds_since(refresh_start);
    timed_pages pages(*dialog);
    const auto engine_start = clock_type::now();
    compute_pool_values(pages, tracks);
    const double locked = std::chrono::duration<double>(pages.released - engine_start).count();
    const double refreshed = seconds_since(start);
    paint(window);
    const double painted = seconds_since(start);

    const HWND tab = GetDlgItem(window, 1001);
    SendMessageW(tab, TCM_SETCURSEL, 1, 0);
    NMHDR change{tab, 1001, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(window, WM_NOTIFY, 1001, reinterpret_cast<LPARAM>(&change));
    update(window);
    const double value_painted = seconds_since(start);

    const HWND values = dialog->value_page().list_view();
    std::printf(
        "%-10s %-10s %u distinct: created %6.3f s  track set %6.3f s  lock held %7.3f s "
        "(page copies %6.3f s)  pages shown %6.3f s (value page %6.3f s)  refreshed %7.3f s  "
        "painted %7.3f s  value "
        "page painted %7.3f s  | %d length rows, %d value rows\n",
        track_set_name(set), pool_label(pool), pages.distinct, created, track_set, locked,
        pages.copies, pages.shown, pages.value_shown, refreshed, painted, value_painted,
        static_cast<int>(SendMessageW(dialog->length_page().list_view(), LVM_GETITEMCOUNT, 0, 0)),
        static_cast<int>(SendMessageW(values, LVM_GETITEMCOUNT, 0, 0)));
    const double value_sort = time_header_click(window, values, 5, "\"Value\" (ascending)");
    time_header_click(window, values, 5, "\"Value\" (descending)");
    time_header_click(window, values, 3, "\"Used Memory\" (ascending)");
    time_header_click(window, values, 0, "\"Length\" (ascending)");
    if (pool == pool_all) {
        // For scripts: from the window's creation until both pages are
        // filled and painted, the lock, the engine's own share of it (the
        // lock less the pages' copies), the value page's rows and one click
        // on "Value".
        std::printf("pool_all_open_s %.2f\n", value_painted);
        std::printf("pool_all_lock_held_s %.2f\n", locked);
        std::printf("pool_all_engine_s %.2f\n", locked - pages.copies);
        std::printf("pool_all_rows %d\n",
                    static_cast<int>(SendMessageW(values, LVM_GETITEMCOUNT, 0, 0)));
        std::printf("pool_sort_value_s %.2f\n", value_sort);
    }
    std::fflush(stdout);
    DestroyWindow(window);
    host.pump_until_idle(50);
}

} // namespace

int main(int argc, char** argv) {
    // Lines end in LF alone, as scripts reading the figures expect.
    _setmode(_fileno(stdout), _O_BINARY);
    const std::uint32_t tracks = argc > 1 ? static_cast<std::uint32_t>(std::atoi(argv[1])) : 100000;
    std::vector<pool_kind> pools;
    for (int i = 2; i < argc; ++i) {
        pools.push_back(static_cast<pool_kind>(std::atoi(argv[i])));
    }
    if (pools.empty()) {
        pools = {pool_all, pool_meta_value};
    }

    auto start = clock_type::now();
    refhost::packed_library data = refhost::generate_packed_library(tracks);
    std::printf("generated %u tracks in %.2f s\n", tracks, seconds_since(start));
    start = clock_type::now();
    refhost::host_options options;
    refhost::host host(std::move(data), options);
    std::printf("host ready in %.2f s (%u tracks in the cache, library of %u)\n",
                seconds_since(start), host.track_count(), host.library_size());
    std::fflush(stdout);
    module_state::set_host(&host.core(), GetModuleHandleW(nullptr));

    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&classes);
    open_first_window(host);
    for (pool_kind pool : pools) {
        time_pool_window(host, pool, track_set_combined);
    }
    host.shut_down();
    module_state::set_host(nullptr, nullptr);
    return 0;
}
