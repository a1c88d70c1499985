// Reading windows back as text, for the host's automation output and for
// tests: titles, tab items, list-view headers and cells (virtual lists too:
// the list asks its owner, in this process), progress bars, rectangles.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace refhost {

std::string window_title(HWND window);
std::string window_class_name(HWND window);

// Every descendant of parent (children of children too) in Z order per level,
// optionally only those of one window class.
std::vector<HWND> descendants(HWND parent, const wchar_t* class_name = nullptr);
// The first descendant with this control id, or null.
HWND find_descendant(HWND parent, int control_id);

struct tab_state {
    std::vector<std::string> items;
    int selected = -1;
};
tab_state read_tabs(HWND tab_control);

struct list_view_contents {
    std::vector<std::string> headers;
    std::vector<int> column_widths;
    std::vector<int> column_formats; // LVCFMT_LEFT, LVCFMT_RIGHT, ...
    std::vector<std::vector<std::string>> rows;
    std::size_t row_count = 0; // rows of the list (rows holds at most max_rows of them)
    bool visible = false;      // the list and all its parents are visible
};
inline constexpr std::size_t all_rows = static_cast<std::size_t>(-1);
// Headers and the first max_rows rows (cell texts through LVM_GETITEMTEXTW,
// so virtual lists read the same).
list_view_contents read_list_view(HWND list_view, std::size_t max_rows = all_rows);

struct progress_state {
    int low = 0;
    int high = 0;
    int position = 0;
    bool visible = false;
};
progress_state read_progress(HWND progress_bar);

// A window's rectangle in the client coordinates of reference.
RECT rect_in_client(HWND window, HWND reference);

// The text --print-tables writes for one top-level window: its title and
// class, the items of every tab control, every progress bar, and for every
// list view (hidden ones too, labelled) its headers and all rows, cells
// separated by TAB. With max_rows, only the first max_rows rows of each list,
// followed by a line "(R rows)" with the list's row count.
std::string describe_window_tables(HWND window, std::size_t max_rows = all_rows);

} // namespace refhost
