#include "ui/cache_window/statistics_list_view.h"

#include <commctrl.h>

#include "support/number_text.h"
#include "support/utf8.h"

void step_progress_bar(HWND progress_bar) {
    const LRESULT position = SendMessageW(progress_bar, PBM_GETPOS, 0, 0);
    SendMessageW(progress_bar, PBM_SETPOS, static_cast<WPARAM>(position + 1), 0);
}

void statistics_list_view::clear_rows() {
    SendMessageW(m_list_view, LVM_DELETEALLITEMS, 0, 0);
}

void statistics_list_view::insert_pool_row(std::uint32_t row, const char* label,
                                           const pool_summary& summary) {
    wide_text label_text = utf8_to_wide_text(label);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(row);
    item.iSubItem = 0;
    item.pszText = const_cast<wchar_t*>(label_text.wchars());
    SendMessageW(m_list_view, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));

    const std::uint32_t figures[] = {
        summary.logical_strings, summary.physical_strings,      summary.unique_strings,
        summary.used_memory,     summary.required_memory,       summary.length_lower_quartile,
        summary.length_median,   summary.length_upper_quartile, summary.length_maximum,
    };
    int column = 1;
    for (const std::uint32_t figure : figures) {
        wide_text cell = utf8_to_wide_text(decimal_text(figure).chars());
        LVITEMW sub{};
        sub.mask = LVIF_TEXT;
        sub.iItem = static_cast<int>(row);
        sub.iSubItem = column++;
        sub.pszText = const_cast<wchar_t*>(cell.wchars());
        SendMessageW(m_list_view, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&sub));
    }
}

void statistics_list_view::progress_step() {
    step_progress_bar(m_progress_bar);
}
