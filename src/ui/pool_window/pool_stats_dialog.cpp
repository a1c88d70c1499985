#include "ui/pool_window/pool_stats_dialog.h"

#include <commctrl.h>

#include "engine/pool_values.h"
#include "engine/track_sets.h"
#include "host/module_state.h"
#include "resources/resource_ids.h"
#include "ui/framework/tab_pages.h"
#include "support/shared_api.h"
#include "support/string8.h"

namespace {

const dialog_layout_entry k_layout_map[] = {
    {IDC_TAB, LAYOUT_SIZE_X | LAYOUT_SIZE_Y},
    {IDCANCEL, LAYOUT_MOVE_X | LAYOUT_MOVE_Y},
};

void insert_tab(HWND tab, int index, const wchar_t* text) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(text);
    SendMessageW(tab, TCM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

bool window_exists(HWND window) noexcept {
    return window != nullptr && IsWindow(window);
}

// The engine's view of the two pages during the one refresh: under the lock
// the pages take copies of the values; the engine has them shown once it has
// released the lock.
class pool_pages_view final : public pool_value_view {
public:
    pool_pages_view(pool_kind pool, CPoolLengthStatsDialog& length_page,
                    CPoolStringStatsDialog& value_page) noexcept
        : m_pool(pool), m_length_page(length_page), m_value_page(value_page) {}

    pool_kind pool() const override { return m_pool; }
    bool length_page_exists() const override { return window_exists(m_length_page.handle()); }
    void fill_length_page(const string_info_list2& values) override {
        m_length_page.take_values(values);
        m_length_taken = true;
    }
    bool value_page_exists() const override { return window_exists(m_value_page.handle()); }
    void fill_value_page(const string_info_list2& values) override {
        m_value_page.take_values(values);
        m_value_taken = true;
    }
    // Length page first, as the fills ran; a page is shown only if it took
    // values and its window still exists.
    void present_pages() override {
        if (m_length_taken && length_page_exists()) {
            m_length_page.present();
        }
        if (m_value_taken && value_page_exists()) {
            m_value_page.present();
        }
    }

private:
    pool_kind m_pool;
    bool m_length_taken = false;
    bool m_value_taken = false;
    CPoolLengthStatsDialog& m_length_page;
    CPoolStringStatsDialog& m_value_page;
};

} // namespace

CPoolStatsDialog::CPoolStatsDialog(pool_kind pool, track_set set)
    : m_set(set), m_pool(pool),
      m_layout(k_layout_map, sizeof(k_layout_map) / sizeof(k_layout_map[0])) {}

HWND CPoolStatsDialog::create(HWND owner) {
    return dialog_window::create(module_state::instance(), IDD_POOL_STATS, owner);
}

// The page keys are taken before the dialog manager sees them; every other
// message is the dialog manager's.
bool CPoolStatsDialog::filter_message(const tagMSG* message) {
    const HWND window = handle();
    if (window == nullptr || message == nullptr) {
        return false;
    }
    if (switch_tab_on_key(window, m_tab, *message)) {
        return true;
    }
    return IsDialogMessageW(window, const_cast<MSG*>(message)) != FALSE;
}

bool CPoolStatsDialog::process_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                       LRESULT& result) {
    if (message != WM_SIZE && m_layout.handle_message(window, message, wparam, lparam, result)) {
        return true;
    }
    switch (message) {
    case WM_INITDIALOG:
        try {
            on_init_dialog(window);
        } catch (...) {
            // A half-built window is still hidden and would never show: close
            // it once the error has been reported.
            PostMessageW(window, WM_CLOSE, 0, 0);
            throw;
        }
        result = TRUE;
        return true;
    case WM_SIZE:
        on_size();
        return true;
    case WM_COMMAND:
        return on_command(window, LOWORD(wparam));
    case WM_NOTIFY:
        return lparam != 0 && on_notify(*reinterpret_cast<const NMHDR*>(lparam));
    case WM_CLOSE:
        DestroyWindow(window);
        return true;
    case WM_DESTROY:
        on_destroy();
        return true;
    default:
        return false;
    }
}

void CPoolStatsDialog::on_final_message(HWND) {
    delete this;
}

void CPoolStatsDialog::on_init_dialog(HWND window) {
    m_filter.register_filter(this);
    const LONG_PTR ex_style = GetWindowLongPtrW(window, GWL_EXSTYLE);
    if ((ex_style & WS_EX_DLGMODALFRAME) == 0) {
        SetWindowLongPtrW(window, GWL_EXSTYLE, ex_style | WS_EX_DLGMODALFRAME);
    }
    m_layout.create_size_grip();
    set_title(window);

    m_tab = GetDlgItem(window, IDC_TAB);
    insert_tab(m_tab, 0, L"Length");
    insert_tab(m_tab, 1, L"Value");

    const HINSTANCE module = module_state::instance();
    m_length_page.create(module, IDD_POOL_LENGTH_PAGE, window);
    m_value_page.create(module, IDD_POOL_VALUE_PAGE, window);

    SendMessageW(m_tab, TCM_SETCURSEL, 0, 0);
    m_current_page = m_length_page.handle();
    if (window_exists(m_current_page)) {
        place_current_page();
        ShowWindow(m_current_page, SW_SHOW);
    }

    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(refresh_command, 0), 0);
}

void CPoolStatsDialog::set_title(HWND window) {
    string8 title;
    title += track_set_name(m_set);
    title += ": ";
    title += pool_label(m_pool);
    title += " - Metadata Pool Statistics";
    uSetWindowText(window, title.c_str());
}

void CPoolStatsDialog::on_destroy() {
    m_filter.unregister_filter();
}

void CPoolStatsDialog::on_size() {
    m_layout.lay_out();
    place_current_page();
}

bool CPoolStatsDialog::on_command(HWND window, WORD id) {
    switch (id) {
    case IDCANCEL:
        DestroyWindow(window);
        return true;
    case refresh_command:
        refresh();
        return true;
    default:
        return false; // Enter (IDOK) does nothing
    }
}

bool CPoolStatsDialog::on_notify(const NMHDR& header) {
    if (header.idFrom != IDC_TAB || header.code != TCN_SELCHANGE) {
        return false;
    }
    switch_page();
    return true;
}

// A page that had the focus (a page switch by keyboard) hands it on to the
// list of the page shown now.
void CPoolStatsDialog::switch_page() {
    const bool page_had_focus = focus_is_within(m_current_page);
    if (window_exists(m_current_page)) {
        ShowWindow(m_current_page, SW_HIDE);
    }
    m_current_page = nullptr;
    switch (SendMessageW(m_tab, TCM_GETCURSEL, 0, 0)) {
    case 0:
        m_current_page = m_length_page.handle();
        break;
    case 1:
        m_current_page = m_value_page.handle();
        break;
    default:
        break;
    }
    if (window_exists(m_current_page)) {
        place_current_page();
        ShowWindow(m_current_page, SW_SHOW);
    }
    if (page_had_focus) {
        focus_shown_page(current_page_list(), m_tab);
    }
}

HWND CPoolStatsDialog::current_page_list() const noexcept {
    if (m_current_page == nullptr) {
        return nullptr;
    }
    if (m_current_page == m_length_page.handle()) {
        return m_length_page.list_view();
    }
    return m_current_page == m_value_page.handle() ? m_value_page.list_view() : nullptr;
}

void CPoolStatsDialog::place_current_page() {
    place_page_in_tab(handle(), m_tab, m_current_page);
}

void CPoolStatsDialog::refresh() {
    // Errors end the refresh here and reach the dialog procedure, which
    // reports them; the engine gives back the lock and the services on the
    // way, and the track list is released with this frame.
    metadb_handle_list_t tracks;
    build_track_set(m_set, tracks);
    pool_pages_view pages(m_pool, m_length_page, m_value_page);
    compute_pool_values(pages, tracks);
}
