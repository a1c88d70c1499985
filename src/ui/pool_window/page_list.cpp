#include "ui/pool_window/page_list.h"

#include "support/number_text.h"
#include "support/utf8.h"

void insert_page_columns(list_view_ctrl list, const page_column* columns, int count) {
    if (count <= 0) {
        return;
    }
    LVCOLUMNW placeholder{};
    placeholder.mask = LVCF_FMT | LVCF_TEXT;
    placeholder.fmt = LVCFMT_LEFT;
    placeholder.pszText = const_cast<wchar_t*>(L"");
    list.insert_column(0, placeholder);

    // The first column goes right of the placeholder; once the placeholder is
    // gone it stands at 0, and column i goes to index i.
    for (int i = 0; i < count; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.fmt = columns[i].format;
        column.cx = columns[i].width;
        column.pszText = const_cast<wchar_t*>(columns[i].title);
        if (i == 0) {
            list.insert_column(1, column);
            list.delete_column(0);
        } else {
            list.insert_column(i, column);
        }
    }
}

void set_number_cell(list_view_ctrl list, int row, int column, std::uint64_t value) {
    const auto digits = decimal_text(value);
    wchar_t wide[32];
    int i = 0;
    for (const char* c = digits.chars(); *c != '\0' && i < 31; ++c) {
        wide[i++] = static_cast<wchar_t>(*c);
    }
    wide[i] = L'\0';
    list.set_item_text(row, column, wide);
}

void set_text_cell(list_view_ctrl list, int row, int column, const char* text) {
    const wide_text wide = utf8_to_wide_text(text);
    list.set_item_text(row, column, wide.wchars());
}

void fit_list_to_page(HWND list, int width, int height) {
    if (list != nullptr) {
        SetWindowPos(list, nullptr, 0, 0, width, height, SWP_NOACTIVATE | SWP_NOZORDER);
    }
}
