// Measures how long copying a table to the clipboard takes in the 32-bit
// build: a virtual list of two million value rows whose cells come from the
// window's own rows through a permutation (the way the value page keeps
// them), copied whole after Ctrl+A and with half of it selected; and a plain
// list of value rows read back through the list view itself. Not a test: run
// it by hand under wine and read the figures.
//
//   wine copy_timing.exe [virtual rows] [plain rows]
#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "support/utf8.h"
#include "ui/controls/list_copy_commands.h"
#include "ui/controls/list_view_table_source.h"
#include "ui/controls/table_clipboard.h"

namespace {

using clock_type = std::chrono::steady_clock;

double seconds_since(clock_type::time_point start) {
    return std::chrono::duration<double>(clock_type::now() - start).count();
}

struct entry {
    std::uint32_t length;
    std::uint32_t logical_count;
    std::uint32_t physical_count;
    const char* text;
};

const wchar_t* const k_headers[] = {L"Length",      L"Logical Strings", L"Physical Strings",
                                    L"Used Memory", L"Required Memory", L"Value"};

// Rows, one text buffer and a display order, as the value page holds them.
struct value_rows {
    std::vector<entry> rows;
    std::vector<char> text;
    std::vector<std::uint32_t> order;

    explicit value_rows(std::uint32_t n) {
        std::vector<std::string> values(n);
        std::size_t total = 0;
        for (std::uint32_t i = 0; i < n; ++i) {
            values[i] = "Value " + std::to_string(i) + (i % 3 == 0 ? " caf\xC3\xA9" : " tail");
            total += values[i].size() + 1;
        }
        text.resize(total);
        rows.resize(n);
        char* at = text.data();
        for (std::uint32_t i = 0; i < n; ++i) {
            std::memcpy(at, values[i].c_str(), values[i].size() + 1);
            rows[i] = {static_cast<std::uint32_t>(values[i].size()), 1 + i % 7, 1 + i % 3, at};
            at += values[i].size() + 1;
        }
        order.resize(n);
        for (std::uint32_t i = 0; i < n; ++i) {
            order[i] = i;
        }
        std::mt19937 random(7);
        for (std::uint32_t i = n; i > 1; --i) {
            std::swap(order[i - 1], order[random() % i]);
        }
    }
};

// The cells from the rows; selection and row count from the list.
class rows_source final : public list_view_table_source {
public:
    rows_source(HWND list, const value_rows& data) : list_view_table_source(list), m_data(data) {}
    std::uint32_t column_count() override { return 6; }
    cell_view<wchar_t> header_text(std::uint32_t column) override {
        return {k_headers[column], wcslen(k_headers[column])};
    }
    cell_view<wchar_t> cell_text(std::uint32_t row, std::uint32_t column) override {
        const entry& e = m_data.rows[m_data.order[row]];
        switch (column) {
        case 0:
            return number(e.length);
        case 1:
            return number(e.logical_count);
        case 2:
            return number(e.physical_count);
        case 3:
            return number((e.length + 1u) * e.physical_count + 4u * e.logical_count);
        case 4:
            return number((e.length + 1u) + 4u * e.logical_count);
        default:
            return value(e);
        }
    }

private:
    cell_view<wchar_t> number(std::uint32_t value) { return decimal_cell(value, m_digits); }

    // The value as the list shows it: ASCII as it stands, the rest through the
    // conversion every cell text goes through (which ends the text at a
    // malformed sequence).
    cell_view<wchar_t> value(const entry& e) {
        if (m_wide.size() < e.length + 1) {
            m_wide.resize(e.length + 1);
        }
        std::uint32_t ascii = 0;
        const auto* bytes = reinterpret_cast<const unsigned char*>(e.text);
        while (ascii < e.length && bytes[ascii] != 0 && bytes[ascii] < 0x80) {
            m_wide[ascii] = bytes[ascii];
            ++ascii;
        }
        std::uint32_t units = ascii;
        if (ascii < e.length && bytes[ascii] != 0) {
            units += convert_utf8_to_wide(m_wide.data() + ascii,
                                          static_cast<std::uint32_t>(m_wide.size()) - ascii,
                                          e.text + ascii);
        }
        return {reinterpret_cast<const wchar_t*>(m_wide.data()), units};
    }

    const value_rows& m_data;
    wchar_t m_digits[10] = {};
    std::vector<char16_t> m_wide;
};

// Fixed cells of the same sizes: what the text building itself costs.
class fixed_source final : public list_view_table_source {
public:
    using list_view_table_source::list_view_table_source;
    std::uint32_t column_count() override { return 6; }
    cell_view<wchar_t> header_text(std::uint32_t column) override {
        return {k_headers[column], wcslen(k_headers[column])};
    }
    cell_view<wchar_t> cell_text(std::uint32_t, std::uint32_t column) override {
        return column == 5 ? cell_view<wchar_t>{L"Value 1234567 tail", 18}
                           : cell_view<wchar_t>{L"123", 3};
    }
};

HWND create_list(HWND parent, DWORD extra_style) {
    return CreateWindowExW(0, WC_LISTVIEWW, L"",
                           WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS | extra_style, 0,
                           0, 600, 400, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
}

void add_columns(HWND list) {
    for (int c = 0; c < 6; ++c) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 80;
        column.pszText = const_cast<wchar_t*>(k_headers[c]);
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c),
                     reinterpret_cast<LPARAM>(&column));
    }
}

std::size_t clipboard_units() {
    std::size_t units = 0;
    if (OpenClipboard(nullptr)) {
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            units = GlobalSize(data) / sizeof(wchar_t);
        }
        CloseClipboard();
    }
    return units;
}

const char* result_name(copy_result r) {
    switch (r) {
    case copy_result::copied:
        return "copied";
    case copy_result::no_memory:
        return "no memory";
    case copy_result::clipboard_busy:
        return "clipboard busy";
    default:
        return "source changed";
    }
}

void time_copy(const char* what, HWND list, table_source<wchar_t>& source, table_rows rows) {
    const auto start = clock_type::now();
    const copy_result result = copy_table_to_clipboard(list, source, rows);
    const double took = seconds_since(start);
    std::printf("%-52s %7.3f s  %s, %zu units\n", what, took, result_name(result),
                clipboard_units());
}

// The steps of one copy, timed one by one.
void time_steps(HWND list, table_source<wchar_t>& source) {
    auto start = clock_type::now();
    std::size_t units = 0;
    measure_table_text(source, table_rows::all, 0x3FFFFFFF, units);
    std::printf("  %-50s %7.3f s\n", "measuring", seconds_since(start));
    start = clock_type::now();
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (units + 1) * sizeof(wchar_t));
    auto* out = static_cast<wchar_t*>(GlobalLock(block));
    std::printf("  %-50s %7.3f s\n", "allocating", seconds_since(start));
    start = clock_type::now();
    std::size_t written = 0;
    write_table_text(source, table_rows::all, out, units, written);
    out[units] = L'\0';
    GlobalUnlock(block);
    std::printf("  %-50s %7.3f s\n", "writing", seconds_since(start));
    start = clock_type::now();
    OpenClipboard(list);
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
    std::printf("  %-50s %7.3f s\n", "handing to the clipboard", seconds_since(start));
}

} // namespace

int main(int argc, char** argv) {
    const std::uint32_t virtual_rows =
        argc > 1 ? static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 10)) : 2000000;
    const std::uint32_t plain_rows =
        argc > 2 ? static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 100000;
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    const HWND window =
        CreateWindowExW(0, L"STATIC", L"copy timing", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640,
                        480, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);

    {
        const value_rows data(virtual_rows);
        const HWND list = create_list(window, LVS_OWNERDATA);
        add_columns(list);
        SendMessageW(list, LVM_SETITEMCOUNT, virtual_rows, LVSICF_NOINVALIDATEALL);
        rows_source source(list, data);

        std::printf("virtual list of %u rows, fixed cells:\n", virtual_rows);
        fixed_source fixed(list);
        time_steps(list, fixed);
        std::printf("virtual list of %u rows, cells from the rows:\n", virtual_rows);
        time_steps(list, source);
        auto start = clock_type::now();
        list_copy_commands::select_all(list);
        std::printf("  %-50s %7.3f s\n", "select all", seconds_since(start));
        time_copy("  Ctrl+C with every row selected", list, source, table_rows::selected);
        time_copy("  Copy All", list, source, table_rows::all);

        LVITEMW none{};
        none.stateMask = LVIS_SELECTED;
        SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(&none));
        LVITEMW selected{};
        selected.stateMask = LVIS_SELECTED;
        selected.state = LVIS_SELECTED;
        for (std::uint32_t r = 0; r < virtual_rows / 2; ++r) {
            SendMessageW(list, LVM_SETITEMSTATE, r, reinterpret_cast<LPARAM>(&selected));
        }
        time_copy("  Ctrl+C with the first half selected", list, source, table_rows::selected);
        DestroyWindow(list);
    }

    {
        const value_rows data(plain_rows);
        const HWND list = create_list(window, 0);
        add_columns(list);
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        rows_source cells(list, data); // to fill the list with the same texts
        for (std::uint32_t r = 0; r < plain_rows; ++r) {
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(r);
            std::wstring first(cells.cell_text(r, 0).text, cells.cell_text(r, 0).length);
            item.pszText = first.data();
            SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
            for (int c = 1; c < 6; ++c) {
                const cell_view<wchar_t> cell = cells.cell_text(r, static_cast<std::uint32_t>(c));
                std::wstring text(cell.text, cell.length);
                LVITEMW sub{};
                sub.iSubItem = c;
                sub.pszText = text.data();
                SendMessageW(list, LVM_SETITEMTEXTW, r, reinterpret_cast<LPARAM>(&sub));
            }
        }
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        list_view_table_source source(list);
        std::printf("plain list of %u rows, read through the list view:\n", plain_rows);
        list_copy_commands::select_all(list);
        time_copy("  Ctrl+C with every row selected", list, source, table_rows::selected);
        DestroyWindow(list);
    }
    DestroyWindow(window);
    return 0;
}
