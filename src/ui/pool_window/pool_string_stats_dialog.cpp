#include "ui/pool_window/pool_string_stats_dialog.h"

#include <cstring>
#include <new>

#include "resources/resource_ids.h"
#include "support/shared_api.h"
#include "support/sort.h"
#include "ui/controls/playlist_view_notifications.h"
#include "ui/pool_window/page_list.h"

namespace {

using t_entry = CPoolStringStatsDialog::t_entry;

const page_column k_columns[] = {
    {L"Length", LVCFMT_RIGHT, 40},           {L"Logical Strings", LVCFMT_RIGHT, 60},
    {L"Physical Strings", LVCFMT_RIGHT, 60}, {L"Used Memory", LVCFMT_RIGHT, 60},
    {L"Required Memory", LVCFMT_RIGHT, 60},  {L"Value", LVCFMT_LEFT, 300},
};
constexpr int k_column_count = sizeof(k_columns) / sizeof(k_columns[0]);

int compare_numbers(std::uint32_t a, std::uint32_t b) noexcept {
    return a < b ? -1 : (a > b ? 1 : 0);
}

int sign_of(int value) noexcept {
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

// Without letter case first; equal texts then by their bytes (unsigned, a
// prefix first). The result is -1, 0 or 1, so that negating it for a
// descending sort is defined whatever the host's comparison returns.
int compare_texts(const t_entry& a, const t_entry& b) {
    const int folded = sign_of(stricmp_utf8(a.text, b.text));
    if (folded != 0) {
        return folded;
    }
    return sign_of(std::strcmp(a.text, b.text));
}

// The order of the rows right after a fill.
int compare_fill_order(const t_entry& a, const t_entry& b) {
    const int by_length = compare_numbers(a.length, b.length);
    return by_length != 0 ? by_length : compare_texts(a, b);
}

int compare_by_column(const t_entry& a, const t_entry& b, int column) {
    switch (column) {
    case 0:
        return compare_numbers(a.length, b.length);
    case 1:
        return compare_numbers(a.logical_count, b.logical_count);
    case 2:
        return compare_numbers(a.physical_count, b.physical_count);
    case 3:
        return compare_numbers(CPoolStringStatsDialog::used_memory(a),
                               CPoolStringStatsDialog::used_memory(b));
    case 4:
        return compare_numbers(CPoolStringStatsDialog::required_memory(a),
                               CPoolStringStatsDialog::required_memory(b));
    case 5:
        return compare_texts(a, b);
    default:
        return 0;
    }
}

struct sort_request {
    const t_entry* rows;
    int column;
    bool descending;
};

// LVM_SORTITEMS callback: item data are indexes into the rows array.
int CALLBACK compare_list_rows(LPARAM a, LPARAM b, LPARAM context) {
    const auto& request = *reinterpret_cast<const sort_request*>(context);
    const int order =
        compare_by_column(request.rows[static_cast<std::uint32_t>(a)],
                          request.rows[static_cast<std::uint32_t>(b)], request.column);
    return request.descending ? -order : order;
}

} // namespace

std::uint32_t CPoolStringStatsDialog::used_memory(const t_entry& row) noexcept {
    return (row.length + 1u) * row.physical_count + 4u * row.logical_count;
}

std::uint32_t CPoolStringStatsDialog::required_memory(const t_entry& row) noexcept {
    return (row.length + 1u) + 4u * row.logical_count;
}

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
        return lparam != 0 && on_notify(*reinterpret_cast<const NMHDR*>(lparam));
    default:
        return false;
    }
}

void CPoolStringStatsDialog::on_init_dialog(HWND window) {
    m_list = GetDlgItem(window, IDC_POOL_LIST);
    // Before any column exists, so the control's column bookkeeping sees them all.
    m_sort.subclass(m_list);
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

bool CPoolStringStatsDialog::on_notify(const NMHDR& header) {
    if (header.idFrom != IDC_POOL_LIST || static_cast<int>(header.code) != PVN_SORTCHANGED) {
        return false; // PVN_SORTCHANGING is never vetoed, PVN_MOVESELECTION ignored
    }
    const auto& sort = reinterpret_cast<const NMPVSORT&>(header);
    sort_rows(sort.new_column, sort.descending);
    return true;
}

void CPoolStringStatsDialog::fill(const string_info_list2& values) {
    list_view_ctrl(m_list).delete_all_items();
    copy_values(values);
    sort_callback_impl_simple_wrap_t order(m_rows, compare_fill_order);
    sort_indexed(m_rows.size(), order);
    insert_rows();
    m_sort.set_sort_indicator(0, false);
}

void CPoolStringStatsDialog::copy_values(const string_info_list2& values) {
    // Rows and texts are replaced together, so the rows never point into a
    // buffer that is gone, whatever fails.
    m_rows.set_size(0);
    m_text.set_size(0);

    const std::uint32_t n = values.get_count();
    std::uint64_t total = 0;
    for (std::uint32_t i = 0; i < n; ++i) {
        total += std::uint64_t{values[i].length} + 1;
    }
    if (total > 0xFFFFFFFFull) {
        throw std::bad_alloc();
    }
    m_text.set_size(static_cast<std::uint32_t>(total));
    try {
        m_rows.set_size(n);
    } catch (...) {
        m_text.set_size(0);
        throw;
    }

    char* at = m_text.data();
    for (std::uint32_t i = 0; i < n; ++i) {
        const string_info2& value = values[i];
        t_entry& row = m_rows[i];
        row.length = value.length;
        row.logical_count = value.logical_count;
        row.physical_count = value.physical_count;
        row.text = at;
        std::memcpy(at, value.text, std::size_t{value.length});
        at[value.length] = '\0';
        at += std::size_t{value.length} + 1;
    }
}

void CPoolStringStatsDialog::insert_rows() {
    list_view_ctrl list(m_list);
    list_view_redraw_off quiet(list);
    const std::uint32_t n = m_rows.size();
    for (std::uint32_t i = 0; i < n; ++i) {
        const t_entry& row = m_rows[i];
        const int item = list.insert_item(static_cast<int>(i), static_cast<LPARAM>(i));
        if (item < 0) {
            throw std::bad_alloc();
        }
        set_number_cell(list, item, 0, row.length);
        set_number_cell(list, item, 1, row.logical_count);
        set_number_cell(list, item, 2, row.physical_count);
        set_number_cell(list, item, 3, used_memory(row));
        set_number_cell(list, item, 4, required_memory(row));
        set_text_cell(list, item, 5, row.text);
    }
}

void CPoolStringStatsDialog::sort_rows(int column, bool descending) {
    if (m_list == nullptr) {
        return;
    }
    sort_request request{m_rows.data(), column, descending};
    list_view_ctrl(m_list).sort_items(compare_list_rows, reinterpret_cast<LPARAM>(&request));
}
