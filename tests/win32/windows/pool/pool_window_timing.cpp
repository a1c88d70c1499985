// Measures how long pool windows take to open over a generated library
// (default 100,000 tracks): creation and first paint, the refresh (engine and
// page fill), and the engine alone for comparison. Not a test: run it by hand
// under wine and read the figures.
//
//   wine pool_window_timing.exe [tracks] [pool ...]
#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/pool_values.h"
#include "engine/track_sets.h"
#include "host/module_state.h"
#include "refhost/host_api.h"
#include "ui/window_openers.h"

namespace {

using clock_type = std::chrono::steady_clock;

double seconds_since(clock_type::time_point start) {
    return std::chrono::duration<double>(clock_type::now() - start).count();
}

// The engine without pages: gathers and groups, fills nothing.
class counting_view final : public pool_value_view {
public:
    explicit counting_view(pool_kind pool) : m_pool(pool) {}
    pool_kind pool() const override { return m_pool; }
    bool length_page_exists() const override { return true; }
    void fill_length_page(const string_info_list2& values) override {
        distinct = values.get_count();
    }
    bool value_page_exists() const override { return false; }
    void fill_value_page(const string_info_list2&) override {}
    void present_pages() override {}
    std::uint32_t distinct = 0;

private:
    pool_kind m_pool;
};

int list_count(HWND window, int page_index) {
    HWND page = nullptr;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[16] = {};
        GetClassNameW(child, name, 16);
        if (lstrcmpW(name, L"#32770") == 0) {
            // Length page has 7 columns, value page 6.
            const HWND list = GetDlgItem(child, 1004);
            const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
            const int columns = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
            if ((page_index == 0 && columns == 7) || (page_index == 1 && columns == 6)) {
                page = child;
            }
        }
    }
    if (page == nullptr) {
        return -1;
    }
    return static_cast<int>(SendMessageW(GetDlgItem(page, 1004), LVM_GETITEMCOUNT, 0, 0));
}

void time_pool_window(refhost::host& host, pool_kind pool, track_set set) {
    const auto start = clock_type::now();
    open_pool_statistics_window(pool, set, host.main_window());
    const double created = seconds_since(start);
    const std::vector<HWND> windows = host.top_level_windows();
    const HWND window = windows.empty() ? nullptr : windows.back();

    // Run the loop until the posted refresh has been handled.
    double refreshed = -1;
    MSG msg;
    while (refreshed < 0 && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        const bool refresh =
            msg.hwnd == window && msg.message == WM_COMMAND && LOWORD(msg.wParam) == 3;
        if (!host.offer_message(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (refresh) {
            refreshed = seconds_since(start);
        }
    }
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const double painted = seconds_since(start);

    const auto engine_start = clock_type::now();
    metadb_handle_list_t tracks;
    build_track_set(set, tracks);
    counting_view view(pool);
    compute_pool_values(view, tracks);
    const double engine = seconds_since(engine_start);

    std::printf("%-10s %-10s created %6.3f s  refreshed %7.3f s  painted %7.3f s  | engine alone "
                "%6.3f s  | %d length rows, %d value rows (%u distinct)\n",
                track_set_name(set), pool_label(pool), created, refreshed, painted, engine,
                list_count(window, 0), list_count(window, 1), view.distinct);
    std::fflush(stdout);
    DestroyWindow(window);
    host.pump_until_idle(50);
}

} // namespace

int main(int argc, char** argv) {
    const std::uint32_t tracks = argc > 1 ? static_cast<std::uint32_t>(std::atoi(argv[1])) : 100000;
    std::vector<pool_kind> pools;
    for (int i = 2; i < argc; ++i) {
        pools.push_back(static_cast<pool_kind>(std::atoi(argv[i])));
    }
    if (pools.empty()) {
        pools = {pool_meta_value, pool_all};
    }

    auto start = clock_type::now();
    refhost::library_data data = refhost::generate_library(tracks);
    std::printf("generated %u tracks in %.2f s\n", tracks, seconds_since(start));
    start = clock_type::now();
    refhost::host_options options;
    refhost::host host(std::move(data), options);
    std::printf("host ready in %.2f s (%u tracks in the cache, library of %u)\n",
                seconds_since(start), host.track_count(), host.library_size());
    std::fflush(stdout);
    module_state::set_host(&host.core(), GetModuleHandleW(nullptr));

    for (pool_kind pool : pools) {
        time_pool_window(host, pool, track_set_library);
    }
    host.shut_down();
    module_state::set_host(nullptr, nullptr);
    return 0;
}
