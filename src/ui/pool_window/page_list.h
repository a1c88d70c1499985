// What both pages of the pool statistics window do with their list view:
// columns with a right-aligned first column, cells from numbers and UTF-8
// text, and fitting the list to the page.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/controls/list_view_ctrl.h"

struct page_column {
    const wchar_t* title;
    int format; // LVCFMT_LEFT or LVCFMT_RIGHT
    int width;  // pixels
};

// Inserts the columns in order. A report list always aligns its first column
// to the left, so the first one is inserted behind an empty placeholder
// column that is then deleted.
void insert_page_columns(list_view_ctrl list, const page_column* columns, int count);

// Sets a cell to the plain decimal digits of value.
void set_number_cell(list_view_ctrl list, int row, int column, std::uint64_t value);
// Sets a cell to UTF-8 text, converted to UTF-16 for the platform.
void set_text_cell(list_view_ctrl list, int row, int column, const char* text);

// Moves the list to the page's origin and sizes it to width x height, keeping
// activation and z-order.
void fit_list_to_page(HWND list, int width, int height);
