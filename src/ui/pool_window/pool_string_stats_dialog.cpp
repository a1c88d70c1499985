#include "ui/pool_window/pool_string_stats_dialog.h"

#include <cwchar>

#include "resources/resource_ids.h"
#include "ui/controls/playlist_view_notifications.h"
#include "ui/pool_window/page_list.h"
#include "ui/pool_window/row_selection.h"

namespace {

const page_column k_columns[] = {
    {L"Length", LVCFMT_RIGHT, 40},           {L"Logical Strings", LVCFMT_RIGHT, 60},
    {L"Physical Strings", LVCFMT_RIGHT, 60}, {L"Used Memory", LVCFMT_RIGHT, 60},
    {L"Required Memory", LVCFMT_RIGHT, 60},  {L"Value", LVCFMT_LEFT, 300},
};
constexpr int k_column_count = sizeof(k_columns) / sizeof(k_columns[0]);
static_assert(k_column_count == value_rows::column_count, "one column per table column");

// Whether a row's label (its "Length" cell) is what a find asks for: the
// whole text, or its beginning with LVFI_PARTIAL, without letter case.
bool label_matches(const wchar_t* label, const LVFINDINFOW& find) {
    if ((find.flags & LVFI_PARTIAL) != 0) {
        return _wcsnicmp(label, find.psz, std::wcslen(find.psz)) == 0;
    }
    return _wcsicmp(label, find.psz) == 0;
}

} // namespace

bool CPoolStringStatsDialog::process_message(HWND window, UINT message, WPARAM, LPARAM lparam,
                                             LRESULT& result) {
    switch (message) {
    case WM_INITDIALOG:
        on_init_dialog(window);
        result = FALSE; // the pool window decides where the focus goes
        return true;
    case WM_SIZE:
        on_size(LOWORD(lparam), HIWORD(lparam));
        return true;
    case WM_NOTIFY:
        return lparam != 0 && on_notify(*reinterpret_cast<const NMHDR*>(lparam), result);
    default:
        return false;
    }
}

void CPoolStringStatsDialog::on_init_dialog(HWND window) {
    m_list = GetDlgItem(window, IDC_POOL_LIST);
    // Before any column exists, so the control's column bookkeeping sees them all.
    m_sort.subclass(m_list);
    m_copy_source.set_list(m_list);
    m_sort.copy_commands().set_source(&m_copy_source);
    const LONG_PTR style = GetWindowLongPtrW(m_list, GWL_STYLE);
    if ((style & LVS_NOSORTHEADER) != 0) {
        SetWindowLongPtrW(m_list, GWL_STYLE, style & ~static_cast<LONG_PTR>(LVS_NOSORTHEADER));
    }
    list_view_ctrl list(m_list);
    list.set_extended_style(LVS_EX_FULLROWSELECT);
    insert_page_columns(list, k_columns, k_column_count);
}

void CPoolStringStatsDialog::on_size(int width, int height) {
    fit_list_to_page(m_list, width, height);
}

bool CPoolStringStatsDialog::on_notify(const NMHDR& header, LRESULT& result) {
    if (header.idFrom != IDC_POOL_LIST) {
        return false;
    }
    const int code = static_cast<int>(header.code);
    if (code == static_cast<int>(LVN_GETDISPINFOW)) {
        on_get_display_info(*reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header)));
        return true;
    }
    if (code == static_cast<int>(LVN_ODFINDITEMW)) {
        result = find_row(reinterpret_cast<const NMLVFINDITEMW&>(header));
        return true;
    }
    if (code == PVN_SORTCHANGED) {
        const auto& sort = reinterpret_cast<const NMPVSORT&>(header);
        sort_rows(sort.new_column, sort.descending);
        return true;
    }
    return false; // PVN_SORTCHANGING is never vetoed, PVN_MOVESELECTION ignored
}

void CPoolStringStatsDialog::on_get_display_info(NMLVDISPINFOW& info) const noexcept {
    LVITEMW& item = info.item;
    if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0 ||
        item.iItem < 0) {
        return;
    }
    m_table.cell_text(static_cast<std::uint32_t>(item.iItem), item.iSubItem,
                      reinterpret_cast<char16_t*>(item.pszText),
                      static_cast<std::uint32_t>(item.cchTextMax));
}

int CPoolStringStatsDialog::find_row(const NMLVFINDITEMW& find) const {
    const LVFINDINFOW& what = find.lvfi;
    const int n = static_cast<int>(m_table.size());
    if ((what.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || what.psz == nullptr || n == 0) {
        return -1; // rows carry no item data to find by
    }
    const int start = find.iStart >= 0 && find.iStart < n ? find.iStart : 0;
    const int end = (what.flags & LVFI_WRAP) != 0 ? start + n : n;
    wchar_t label[32];
    for (int i = start; i < end; ++i) {
        const int position = i % n;
        m_table.cell_text(static_cast<std::uint32_t>(position), 0,
                          reinterpret_cast<char16_t*>(label), 32);
        if (label_matches(label, what)) {
            return position;
        }
    }
    return -1;
}

void CPoolStringStatsDialog::take_values(const string_info_list2& values) {
    m_table.copy(values);
}

void CPoolStringStatsDialog::present() {
    list_view_ctrl list(m_list);
    list.delete_all_items();
    m_table.arrange_in_fill_order();
    list.set_item_count(static_cast<int>(m_table.size()));
    m_sort.set_sort_indicator(0, false);
}

void CPoolStringStatsDialog::fill(const string_info_list2& values) {
    take_values(values);
    present();
}

void CPoolStringStatsDialog::sort_rows(int column, bool descending) {
    if (m_list == nullptr) {
        return;
    }
    list_view_ctrl list(m_list);
    row_selection kept;
    kept.capture(list, m_table);
    m_table.sort(column, descending);
    kept.restore(list, m_table);
    InvalidateRect(m_list, nullptr, FALSE);
}
