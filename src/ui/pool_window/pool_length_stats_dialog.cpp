#include "ui/pool_window/pool_length_stats_dialog.h"

#include <new>

#include "engine/length_rows.h"
#include "resources/resource_ids.h"
#include "support/number_text.h"
#include "ui/pool_window/page_list.h"

namespace {

const page_column k_columns[] = {
    {L"Length", LVCFMT_RIGHT, 40},          {L"Percent", LVCFMT_RIGHT, 60},
    {L"Logical Strings", LVCFMT_RIGHT, 60}, {L"Physical Strings", LVCFMT_RIGHT, 60},
    {L"Unique Strings", LVCFMT_RIGHT, 60},  {L"Used Memory", LVCFMT_RIGHT, 60},
    {L"Required Memory", LVCFMT_RIGHT, 60},
};
constexpr int k_column_count = sizeof(k_columns) / sizeof(k_columns[0]);

} // namespace

bool CPoolLengthStatsDialog::process_message(HWND window, UINT message, WPARAM, LPARAM lparam,
                                             LRESULT& result) {
    switch (message) {
    case WM_INITDIALOG:
        on_init_dialog(window);
        result = FALSE; // the pool window decides where the focus goes
        return true;
    case WM_SIZE:
        fit_list_to_page(m_list, LOWORD(lparam), HIWORD(lparam));
        return true;
    default:
        return false;
    }
}

void CPoolLengthStatsDialog::on_init_dialog(HWND window) {
    m_list = GetDlgItem(window, IDC_POOL_LIST);
    m_copying.subclass(m_list);
    list_view_ctrl list(m_list);
    list.set_extended_style(LVS_EX_FULLROWSELECT);
    insert_page_columns(list, k_columns, k_column_count);
}

void CPoolLengthStatsDialog::take_values(const string_info_list2& values) {
    const std::uint32_t n = values.get_count();
    m_taken.set_count(0);
    m_taken.set_count(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        m_taken[i] = values[i];
        m_taken[i].text = nullptr; // the host's text is not ours to keep
    }
}

void CPoolLengthStatsDialog::fill(const string_info_list2& values) {
    take_values(values);
    present();
}

void CPoolLengthStatsDialog::present() {
    length_row_array rows;
    compute_length_rows(m_taken, rows);
    m_taken.set_count(0);
    list_view_ctrl list(m_list);
    list.delete_all_items();

    list_view_redraw_off quiet(list);
    // Shortest first, each at the top: the list ends up longest first.
    for (std::uint32_t i = 0; i < rows.size(); ++i) {
        const length_row& row = rows[i];
        if (list.insert_item(0, 0) != 0) {
            throw std::bad_alloc();
        }
        set_number_cell(list, 0, 0, row.length);
        set_text_cell(list, 0, 1, tenths_text(row.percent_tenths).c_str());
        set_number_cell(list, 0, 2, row.logical);
        set_number_cell(list, 0, 3, row.physical);
        set_number_cell(list, 0, 4, row.unique);
        set_number_cell(list, 0, 5, row.used_memory);
        set_number_cell(list, 0, 6, row.required_memory);
    }
}
