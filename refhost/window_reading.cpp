#include "refhost/window_reading.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>

#include "refhost/text_convert.h"

namespace refhost {

std::string window_title(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(got < 0 ? 0 : got));
    return wide_to_utf8(text);
}

std::string window_class_name(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return wide_to_utf8(name);
}

namespace {

struct child_search {
    const wchar_t* class_name;
    std::vector<HWND>* found;
    std::exception_ptr error; // raised again once the enumeration is over
};

BOOL CALLBACK collect_child(HWND child, LPARAM lparam) {
    auto* search = reinterpret_cast<child_search*>(lparam);
    if (search->class_name != nullptr) {
        wchar_t name[256] = {};
        GetClassNameW(child, name, 256);
        if (lstrcmpiW(name, search->class_name) != 0) {
            return TRUE;
        }
    }
    try {
        search->found->push_back(child);
    } catch (...) {
        search->error = std::current_exception();
        return FALSE;
    }
    return TRUE;
}

std::string cell_text(HWND list, int row, int column) {
    std::wstring buffer(1024, L'\0');
    for (;;) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        const auto length = static_cast<std::size_t>(SendMessageW(
            list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < buffer.size()) {
            return wide_to_utf8(std::wstring_view(buffer.data(), length));
        }
        buffer.assign(buffer.size() * 4, L'\0');
        if (buffer.size() > (1u << 22)) {
            return wide_to_utf8(std::wstring_view(buffer.data(), length));
        }
    }
}

std::string progress_line(HWND bar) {
    const progress_state p = read_progress(bar);
    return "Progress bar: " + std::to_string(p.position) + " of " + std::to_string(p.low) + ".." +
           std::to_string(p.high) + (p.visible ? " (visible)" : " (hidden)");
}

} // namespace

std::vector<HWND> descendants(HWND parent, const wchar_t* class_name) {
    std::vector<HWND> found;
    child_search search{class_name, &found, nullptr};
    EnumChildWindows(parent, &collect_child, reinterpret_cast<LPARAM>(&search));
    if (search.error) {
        std::rethrow_exception(search.error);
    }
    return found;
}

HWND find_descendant(HWND parent, int control_id) {
    for (HWND child : descendants(parent)) {
        if (GetDlgCtrlID(child) == control_id) {
            return child;
        }
    }
    return nullptr;
}

tab_state read_tabs(HWND tab_control) {
    tab_state state;
    const auto count = static_cast<int>(SendMessageW(tab_control, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[512] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 512;
        SendMessageW(tab_control, TCM_GETITEMW, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&item));
        state.items.push_back(wide_to_utf8(item.pszText != nullptr ? item.pszText : L""));
    }
    state.selected = static_cast<int>(SendMessageW(tab_control, TCM_GETCURSEL, 0, 0));
    return state;
}

list_view_contents read_list_view(HWND list, std::size_t max_rows) {
    list_view_contents contents;
    contents.visible = IsWindowVisible(list) != 0;
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    const int columns =
        header != nullptr ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (int c = 0; c < columns; ++c) {
        wchar_t text[512] = {};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = text;
        column.cchTextMax = 512;
        SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(c),
                     reinterpret_cast<LPARAM>(&column));
        contents.headers.push_back(wide_to_utf8(text));
        contents.column_widths.push_back(column.cx);
        contents.column_formats.push_back(column.fmt & LVCFMT_JUSTIFYMASK);
    }
    const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    contents.row_count = count < 0 ? 0 : static_cast<std::size_t>(count);
    const int rows = static_cast<int>(std::min(contents.row_count, max_rows));
    const int cells = columns == 0 ? 1 : columns;
    contents.rows.reserve(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r) {
        std::vector<std::string> row;
        row.reserve(static_cast<std::size_t>(cells));
        for (int c = 0; c < cells; ++c) {
            row.push_back(cell_text(list, r, c));
        }
        contents.rows.push_back(std::move(row));
    }
    return contents;
}

progress_state read_progress(HWND bar) {
    progress_state p;
    PBRANGE range{};
    SendMessageW(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    p.low = range.iLow;
    p.high = range.iHigh;
    p.position = static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0));
    p.visible = IsWindowVisible(bar) != 0;
    return p;
}

RECT rect_in_client(HWND window, HWND reference) {
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(HWND_DESKTOP, reference, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string describe_window_tables(HWND window, std::size_t max_rows) {
    std::string out = "Window \"" + window_title(window) + "\" (class " +
                      window_class_name(window) +
                      (IsWindowVisible(window) ? ", visible" : ", hidden") + ")\n";
    for (HWND tab : descendants(window, WC_TABCONTROLW)) {
        const tab_state tabs = read_tabs(tab);
        out += "Tabs:";
        for (std::size_t i = 0; i < tabs.items.size(); ++i) {
            out += (i == 0 ? " " : " | ") + tabs.items[i];
        }
        out += " (selected " + std::to_string(tabs.selected) + ")\n";
    }
    for (HWND bar : descendants(window, PROGRESS_CLASSW)) {
        out += progress_line(bar) + "\n";
    }
    int number = 0;
    for (HWND list : descendants(window, WC_LISTVIEWW)) {
        const list_view_contents contents = read_list_view(list, max_rows);
        ++number;
        out += "List view " + std::to_string(number) +
               (contents.visible ? " (visible)" : " (hidden)") + ": " +
               std::to_string(contents.row_count) + " rows\n";
        std::string header_line;
        for (std::size_t c = 0; c < contents.headers.size(); ++c) {
            header_line += (c == 0 ? "" : "\t") + contents.headers[c];
        }
        out += header_line + "\n";
        for (const auto& row : contents.rows) {
            std::string line;
            for (std::size_t c = 0; c < row.size(); ++c) {
                line += (c == 0 ? "" : "\t") + row[c];
            }
            out += line + "\n";
        }
        if (max_rows != all_rows) {
            out += "(" + std::to_string(contents.row_count) + " rows)\n";
        }
    }
    return out;
}

} // namespace refhost
