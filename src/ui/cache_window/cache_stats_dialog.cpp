#include "ui/cache_window/cache_stats_dialog.h"

#include <commctrl.h>

#include <exception>

#include "engine/cache_statistics.h"
#include "engine/pools.h"
#include "engine/track_sets.h"
#include "host/host_guard.h"
#include "host/module_state.h"
#include "resources/resource_ids.h"
#include "ui/cache_window/about_document.h"
#include "ui/cache_window/statistics_list_view.h"
#include "ui/framework/error_report.h"
#include "ui/framework/tab_pages.h"
#include "ui/window_openers.h"

namespace {

// The rich-edit library that the About page needs; loaded by the first window
// and kept for the life of the module.
HMODULE g_rich_edit_library = nullptr;

const dialog_layout_entry k_layout_map[] = {
    {IDC_TAB, LAYOUT_SIZE_X | LAYOUT_SIZE_Y},
    {IDC_PROGRESS, LAYOUT_SIZE_X | LAYOUT_MOVE_Y},
    {IDC_REFRESH, LAYOUT_MOVE_X | LAYOUT_MOVE_Y},
    {IDCANCEL, LAYOUT_MOVE_X | LAYOUT_MOVE_Y},
};

constexpr DWORD k_list_style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP |
                               LVS_REPORT | LVS_NOSORTHEADER; // 0x46018001
constexpr DWORD k_about_style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_VSCROLL |
                                WS_TABSTOP | ES_READONLY | ES_MULTILINE; // 0x46210804

struct column_def {
    const wchar_t* header;
    int width;
    int format;
};

const column_def k_columns[] = {
    {L"Pool", 90, LVCFMT_LEFT},
    {L"Logical Strings", 60, LVCFMT_RIGHT},
    {L"Physical Strings", 60, LVCFMT_RIGHT},
    {L"Unique Strings", 60, LVCFMT_RIGHT},
    {L"Used Memory", 60, LVCFMT_RIGHT},
    {L"Required Memory", 60, LVCFMT_RIGHT},
    {L"Length (Lower Quartile)", 40, LVCFMT_RIGHT},
    {L"Length (Median)", 40, LVCFMT_RIGHT},
    {L"Length (Upper Quartile)", 40, LVCFMT_RIGHT},
    {L"Length (Maximum)", 40, LVCFMT_RIGHT},
};

constexpr int k_progress_steps = 27; // three sets of one step here and eight in the engine

// Whatever way a refresh ends, Refresh is enabled again and the bar hidden.
class refresh_end_guard {
public:
    refresh_end_guard(HWND button, HWND progress) noexcept
        : m_button(button), m_progress(progress) {}
    refresh_end_guard(const refresh_end_guard&) = delete;
    refresh_end_guard& operator=(const refresh_end_guard&) = delete;
    ~refresh_end_guard() {
        EnableWindow(m_button, TRUE);
        ShowWindow(m_progress, SW_HIDE);
    }

private:
    HWND m_button;
    HWND m_progress;
};

void insert_tab(HWND tab, int index, const wchar_t* text) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(text);
    SendMessageW(tab, TCM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

// One table: step once, then let the engine clear it, fill it and step eight times.
void fill_table(HWND list_view, HWND progress, const metadb_handle_list_t& tracks) {
    step_progress_bar(progress);
    statistics_list_view view(list_view, progress);
    fill_cache_statistics(view, tracks);
}

} // namespace

CCacheStatsDialog::CCacheStatsDialog()
    : m_layout(k_layout_map, sizeof(k_layout_map) / sizeof(k_layout_map[0])) {
    if (g_rich_edit_library == nullptr) {
        g_rich_edit_library = LoadLibraryW(L"Riched20.dll");
    }
    INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                                 ICC_TAB_CLASSES | ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
}

bool CCacheStatsDialog::process_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                        LRESULT& result) {
    if (message == WM_SIZE) {
        m_layout.lay_out();
        place_current_page();
        result = 0;
        return true;
    }
    if (m_layout.handle_message(window, message, wparam, lparam, result)) {
        return true;
    }
    switch (message) {
    case WM_INITDIALOG:
        on_init_dialog();
        result = 0;
        return true;
    case WM_DESTROY:
        on_destroy();
        result = 0;
        return true;
    case WM_CLOSE:
        DestroyWindow(window);
        result = 0;
        return true;
    case WM_COMMAND:
        if (HIWORD(wparam) == 0 && LOWORD(wparam) == IDCANCEL) {
            DestroyWindow(window);
            result = 0;
            return true;
        }
        if (HIWORD(wparam) == 0 && LOWORD(wparam) == IDC_REFRESH) {
            refresh();
            result = 0;
            return true;
        }
        return false;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lparam);
        if (header->code == TCN_SELCHANGE && header->idFrom == IDC_TAB) {
            on_tab_changed();
            result = 0;
            return true;
        }
        if (header->code == LVN_ITEMACTIVATE) {
            on_item_activate(*reinterpret_cast<const NMITEMACTIVATE*>(lparam));
            result = 0;
            return true;
        }
        return false;
    }
    default:
        return false;
    }
}

void CCacheStatsDialog::on_final_message(HWND) {
    delete this;
}

void CCacheStatsDialog::on_init_dialog() {
    const HWND dialog = handle();
    register_filter();

    const LONG_PTR ex_style = GetWindowLongPtrW(dialog, GWL_EXSTYLE);
    if ((ex_style & WS_EX_DLGMODALFRAME) == 0) {
        SetWindowLongPtrW(dialog, GWL_EXSTYLE, ex_style | WS_EX_DLGMODALFRAME);
    }
    m_layout.create_size_grip();

    m_progress = GetDlgItem(dialog, IDC_PROGRESS);
    m_tab = GetDlgItem(dialog, IDC_TAB);
    insert_tab(m_tab, 0, L"Library");
    insert_tab(m_tab, 1, L"Playlists");
    insert_tab(m_tab, 2, L"Combined");
    insert_tab(m_tab, static_cast<int>(SendMessageW(m_tab, TCM_GETITEMCOUNT, 0, 0)), L"About");

    create_pages();

    SendMessageW(m_tab, TCM_SETCURSEL, 0, 0);
    m_current_page = m_library_list;
    show_current_page();

    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
    PostMessageW(dialog, WM_COMMAND, IDC_REFRESH, 0);
}

// Keyboard navigation needs the host to offer us its queued messages. Without
// the hook the window still works, so a failed lookup is reported and the
// initialisation goes on.
void CCacheStatsDialog::register_filter() {
    try {
        m_filter.register_filter(this);
    } catch (const std::exception& error) {
        report_unhandled_exception(error);
    }
}

void CCacheStatsDialog::on_destroy() {
    m_filter.unregister_filter();
}

void CCacheStatsDialog::create_pages() {
    m_library_list = create_statistics_list(m_tables[0]);
    m_playlists_list = create_statistics_list(m_tables[1]);
    m_combined_list = create_statistics_list(m_tables[2]);

    m_about = CreateWindowExW(WS_EX_CLIENTEDGE, L"RichEdit20W", L"", k_about_style, 0, 0, 0, 0,
                              handle(), nullptr, module_state::instance(), nullptr);
    if (m_about != nullptr) {
        stream_about_document(m_about, module_state::instance());
    }
}

HWND CCacheStatsDialog::create_statistics_list(CStatisticsTableCtrl& table) {
    const HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", k_list_style, 0, 0, 0, 0,
                                      handle(), nullptr, module_state::instance(), nullptr);
    if (list == nullptr) {
        return nullptr;
    }
    table.subclass(list); // without it the table still works, without its keys
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
    int index = 0;
    for (const column_def& def : k_columns) {
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.fmt = def.format;
        column.cx = def.width;
        column.pszText = const_cast<wchar_t*>(def.header);
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index++),
                     reinterpret_cast<LPARAM>(&column));
    }
    return list;
}

HWND CCacheStatsDialog::page_for_tab(LRESULT tab) const {
    switch (tab) {
    case 0:
        return m_library_list;
    case 1:
        return m_playlists_list;
    case 2:
        return m_combined_list;
    case 3:
        return m_about;
    default:
        return nullptr;
    }
}

// Fits the shown page into the tab control's display area, above the tab
// control in the sibling order.
void CCacheStatsDialog::place_current_page() {
    place_page_in_tab(handle(), m_tab, m_current_page);
}

void CCacheStatsDialog::show_current_page() {
    if (m_current_page == nullptr || !IsWindow(m_current_page)) {
        return;
    }
    place_current_page();
    ShowWindow(m_current_page, SW_SHOW);
}

// A page that had the focus (a page switch by keyboard) hands it on to the
// page shown now.
void CCacheStatsDialog::on_tab_changed() {
    const bool page_had_focus = focus_is_within(m_current_page);
    if (m_current_page != nullptr && IsWindow(m_current_page)) {
        ShowWindow(m_current_page, SW_HIDE);
    }
    m_current_page = page_for_tab(SendMessageW(m_tab, TCM_GETCURSEL, 0, 0));
    show_current_page();
    if (page_had_focus) {
        focus_shown_page(m_current_page, m_tab);
    }
}

void CCacheStatsDialog::refresh() {
    const HWND refresh_button = GetDlgItem(handle(), IDC_REFRESH);
    EnableWindow(refresh_button, FALSE);
    SendMessageW(m_progress, PBM_SETRANGE, 0, MAKELPARAM(0, k_progress_steps));
    SendMessageW(m_progress, PBM_SETPOS, 0, 0);
    ShowWindow(m_progress, SW_SHOW);

    refresh_end_guard end_of_refresh(refresh_button, m_progress);
    try {
        metadb_handle_list_t library;
        build_track_set(track_set_library, library);
        fill_table(m_library_list, m_progress, library);

        metadb_handle_list_t playlists;
        build_track_set(track_set_playlists, playlists);
        fill_table(m_playlists_list, m_progress, playlists);

        metadb_handle_list_t combined;
        for (std::uint32_t i = 0; i < library.get_count(); ++i) {
            combined.push_item(library[i]);
        }
        for (std::uint32_t i = 0; i < playlists.get_count(); ++i) {
            combined.push_item(playlists[i]);
        }
        remove_duplicate_tracks(combined);
        fill_table(m_combined_list, m_progress, combined);
    } catch (const auvia_io::exception_aborted&) {
        // Cancelled by the host: the refresh simply ends.
    } catch (const std::exception& error) {
        report_unhandled_exception(error);
    }
}

void CCacheStatsDialog::on_item_activate(const NMITEMACTIVATE& activation) {
    const LRESULT tab = SendMessageW(m_tab, TCM_GETCURSEL, 0, 0);
    if (tab < 0 || tab > 2) {
        return; // the About page has no rows
    }
    const track_set set = static_cast<track_set>(tab) + track_set_library;
    const pool_kind pool = (activation.iItem >= 0 && activation.iItem <= 5)
                               ? static_cast<pool_kind>(activation.iItem) + pool_path
                               : 0;
    host_core* core = module_state::core();
    const window_handle owner =
        core != nullptr ? guarded_host_value<window_handle>([&] { return core->owner_window(); })
                        : nullptr;
    open_pool_statistics_window(pool, set, owner);
}
