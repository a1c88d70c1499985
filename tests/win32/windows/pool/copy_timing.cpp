// Measures how long copying the value page's table to the clipboard takes in
// the 32-bit build: the real page (its template, its owner-data list, its
// rows) filled with two million generated values, copied whole through its
// own commands (Ctrl+A then Ctrl+C, and Copy All) in fill order and after a
// sort by "Value", with the steps of one copy timed one by one; and, for
// comparison, the same page read cell by cell through the list view itself.
// Not a test: run it by hand under wine and read the figures.
//
//   wine copy_timing.exe [values] [values read through the list view]
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "ui/controls/list_copy_commands.h"
#include "ui/controls/list_view_table_source.h"
#include "ui/controls/table_clipboard.h"
#include "ui/pool_window/pool_string_stats_dialog.h"
#include "generated_value_texts.h"

namespace {

using clock_type = std::chrono::steady_clock;

double seconds_since(clock_type::time_point start) {
    return std::chrono::duration<double>(clock_type::now() - start).count();
}

// The generated values, kept while the page points at them.
struct generated_values {
    std::vector<std::string> texts;
    string_info_list2 list;
    std::uint64_t bytes = 0;

    explicit generated_values(std::uint32_t count) : texts(generate_value_texts(count)) {
        std::mt19937 random(11);
        std::uniform_int_distribution<std::uint32_t> counts(1, 40);
        for (const std::string& text : texts) {
            const std::uint32_t logical = counts(random);
            list.push_item(string_info2{text.c_str(), static_cast<std::uint32_t>(text.size()),
                                        logical, 1 + logical % 3});
            bytes += text.size() + 1;
        }
    }
};

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

void empty_clipboard() {
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

// A command of the list's copy menu, run as the menu runs it.
void time_command(const char* what, HWND list, UINT command) {
    empty_clipboard();
    const auto start = clock_type::now();
    SendMessageW(list, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    const double took = seconds_since(start);
    std::printf("  %-50s %7.3f s  %zu units on the clipboard\n", what, took, clipboard_units());
}

// The steps of one copy of every row, timed one by one.
void time_steps(const char* what, HWND list, table_source<wchar_t>& source) {
    empty_clipboard();
    std::printf("  %s:\n", what);
    const auto whole = clock_type::now();
    auto start = clock_type::now();
    std::size_t units = 0;
    measure_table_text(source, table_rows::all, 0x3FFFFFFF, units);
    std::printf("    %-48s %7.3f s  %zu units\n", "measuring", seconds_since(start), units);
    start = clock_type::now();
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (units + 1) * sizeof(wchar_t));
    auto* out = block != nullptr ? static_cast<wchar_t*>(GlobalLock(block)) : nullptr;
    std::printf("    %-48s %7.3f s\n", "allocating", seconds_since(start));
    if (out == nullptr) {
        std::printf("    no memory for the text\n");
        if (block != nullptr) {
            GlobalFree(block);
        }
        return;
    }
    start = clock_type::now();
    std::size_t written = 0;
    const bool fit = write_table_text(source, table_rows::all, out, units, written);
    out[units] = L'\0';
    GlobalUnlock(block);
    std::printf("    %-48s %7.3f s  %s\n", "writing", seconds_since(start),
                fit && written == units ? "exact" : "SIZE DIFFERS");
    start = clock_type::now();
    bool taken = false;
    if (OpenClipboard(list)) {
        EmptyClipboard();
        taken = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
        CloseClipboard();
    }
    if (!taken) {
        GlobalFree(block);
    }
    std::printf("    %-48s %7.3f s  %s\n", "handing to the clipboard", seconds_since(start),
                taken ? "taken" : "REFUSED");
    std::printf("    %-48s %7.3f s\n", "together", seconds_since(whole));
}

// Copies of every row of a page holding count values.
void time_page(HWND holder, std::uint32_t count, bool through_list_view_only) {
    auto start = clock_type::now();
    const generated_values values(count);
    std::printf("%u values (%llu bytes of text) generated in %.2f s\n", values.list.get_count(),
                static_cast<unsigned long long>(values.bytes), seconds_since(start));
    CPoolStringStatsDialog page;
    if (page.create(GetModuleHandleW(nullptr), IDD_POOL_VALUE_PAGE, holder) == nullptr) {
        std::printf("the page could not be created\n");
        return;
    }
    SetWindowPos(page.handle(), nullptr, 0, 0, 780, 460, SWP_NOZORDER | SWP_SHOWWINDOW);
    start = clock_type::now();
    page.fill(values.list);
    std::printf("page filled in %.2f s\n", seconds_since(start));
    const HWND list = page.list_view();

    for (int sorted = 0; sorted < 2; ++sorted) {
        if (sorted != 0) {
            start = clock_type::now();
            page.sort_rows(value_rows::value_column, false);
            std::printf("sorted by Value in %.2f s\n", seconds_since(start));
        }
        std::printf("%s:\n", sorted != 0 ? "after the sort by Value" : "in fill order");
        list_view_table_source through_list(list);
        if (through_list_view_only) {
            time_steps("every row through the list view", list, through_list);
            continue;
        }
        start = clock_type::now();
        list_copy_commands::select_all(list);
        std::printf("  %-50s %7.3f s\n", "select all", seconds_since(start));
        time_command("Ctrl+C with every row selected", list, list_copy_commands::command_copy);
        time_command("Copy All", list, list_copy_commands::command_copy_all);
        time_steps("every row through the page's source", list, page.copy_source());
    }
    DestroyWindow(page.handle());
}

} // namespace

int main(int argc, char** argv) {
    const std::uint32_t page_values =
        argc > 1 ? static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 10)) : 2000000;
    const std::uint32_t list_view_values =
        argc > 2 ? static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 100000;
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    const HWND window =
        CreateWindowExW(0, L"STATIC", L"copy timing", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800,
                        500, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (page_values > 0) {
        std::printf("== the page's own copy commands\n");
        time_page(window, page_values, false);
    }
    if (list_view_values > 0) {
        std::printf("== the page read through the list view\n");
        time_page(window, list_view_values, true);
    }
    DestroyWindow(window);
    return 0;
}
