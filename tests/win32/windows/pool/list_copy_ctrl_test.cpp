// The copy machinery on a list view of its own: a source that answers the
// cells from its own rows, the clipboard left alone when memory runs out or
// the table changes while it is read, and the commands' limits (an empty
// list, a single-selection list).
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "ui/controls/copyable_list_ctrl.h"
#include "ui/controls/list_view_table_source.h"
#include "ui/controls/table_clipboard.h"
#include "win32/windows/list_copy_support.h"

namespace {

using copy_test::clipboard_text;

// A visible window with a report list of two columns and the given rows.
class list_host {
public:
    explicit list_host(int rows, DWORD extra_style = 0) {
        window = CreateWindowExW(0, L"STATIC", L"list host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                 400, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        list = CreateWindowExW(0, WC_LISTVIEWW, L"",
                               WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS | extra_style,
                               0, 0, 380, 260, window, nullptr, GetModuleHandleW(nullptr), nullptr);
        const wchar_t* headers[] = {L"Name", L"Value"};
        for (int c = 0; c < 2; ++c) {
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.cx = 100;
            column.pszText = const_cast<wchar_t*>(headers[c]);
            SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c),
                         reinterpret_cast<LPARAM>(&column));
        }
        for (int r = 0; r < rows; ++r) {
            std::wstring name = L"row " + std::to_wstring(r);
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = r;
            item.pszText = name.data();
            SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
            std::wstring cut = L"shown " + std::to_wstring(r);
            item.iSubItem = 1;
            item.pszText = cut.data();
            SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(r),
                         reinterpret_cast<LPARAM>(&item));
        }
        EXPECT_TRUE(control.subclass(list));
    }
    ~list_host() { DestroyWindow(window); }
    list_host(const list_host&) = delete;
    list_host& operator=(const list_host&) = delete;

    // Ctrl+key as the list receives it from the dialog manager.
    void ctrl_key(WPARAM key) {
        BYTE saved[256];
        GetKeyboardState(saved);
        BYTE state[256];
        GetKeyboardState(state);
        state[VK_CONTROL] = 0x80;
        SetKeyboardState(state);
        SendMessageW(list, WM_KEYDOWN, key, 1);
        SetKeyboardState(saved);
    }

    HWND window = nullptr;
    HWND list = nullptr;
    CCopyableListCtrl control;
};

// The value column from the window's own data, as a page that keeps its rows
// answers it: the whole value, not the text the list holds.
class whole_values final : public list_view_table_source {
public:
    using list_view_table_source::list_view_table_source;
    cell_view<wchar_t> cell_text(std::uint32_t row, std::uint32_t column) override {
        if (column != 1) {
            return list_view_table_source::cell_text(row, column);
        }
        m_text = L"whole value " + std::to_wstring(row) + L"\twith tab";
        return {m_text.data(), m_text.size()};
    }

private:
    std::wstring m_text;
};

TEST(ListCopyCtrl, TheCommandsCopyFromTheSourceTheyAreGiven) {
    list_host h(3);
    copy_test::select_rows(h.list, {0, 2});
    copy_test::clear_clipboard();
    h.ctrl_key('C');
    EXPECT_EQ(clipboard_text(), L"Name\tValue\r\nrow 0\tshown 0\r\nrow 2\tshown 2\r\n");

    whole_values source; // as a page holds it, before its list exists
    source.set_list(h.list);
    h.control.copy_commands().set_source(&source);
    h.ctrl_key('C');
    EXPECT_EQ(clipboard_text(), L"Name\tValue\r\nrow 0\t\"whole value 0\twith tab\"\r\n"
                                L"row 2\t\"whole value 2\twith tab\"\r\n");
    h.control.copy_commands().set_source(nullptr);
    h.ctrl_key('C');
    EXPECT_EQ(clipboard_text(), L"Name\tValue\r\nrow 0\tshown 0\r\nrow 2\tshown 2\r\n");
}

HGLOBAL WINAPI no_block(UINT, SIZE_T) {
    return nullptr;
}

// Cells that fail to be read, or that grow after the text was measured.
class troubled_source final : public list_view_table_source {
public:
    enum class trouble { no_memory, grows };
    troubled_source(HWND list, trouble t) : list_view_table_source(list), m_trouble(t) {}
    cell_view<wchar_t> cell_text(std::uint32_t row, std::uint32_t) override {
        if (m_trouble == trouble::no_memory && row == 1) {
            throw std::bad_alloc();
        }
        m_text.assign(++m_calls, L'x');
        return {m_text.data(), m_text.size()};
    }

private:
    trouble m_trouble;
    std::size_t m_calls = 0;
    std::wstring m_text;
};

TEST(ListCopyCtrl, AFailedCopyLeavesTheClipboardAsItWas) {
    list_host h(3);
    copy_test::set_clipboard_text(L"kept");
    list_view_table_source plain(h.list);
    EXPECT_EQ(copy_table_to_clipboard(h.list, plain, table_rows::all, &no_block),
              copy_result::no_memory);
    EXPECT_EQ(clipboard_text(), L"kept");

    troubled_source unreadable(h.list, troubled_source::trouble::no_memory);
    EXPECT_EQ(copy_table_to_clipboard(h.list, unreadable, table_rows::all), copy_result::no_memory);
    EXPECT_EQ(clipboard_text(), L"kept");

    troubled_source growing(h.list, troubled_source::trouble::grows);
    EXPECT_EQ(copy_table_to_clipboard(h.list, growing, table_rows::all),
              copy_result::source_changed);
    EXPECT_EQ(clipboard_text(), L"kept");

    EXPECT_EQ(copy_table_to_clipboard(h.list, plain, table_rows::all), copy_result::copied);
    EXPECT_EQ(clipboard_text(),
              L"Name\tValue\r\nrow 0\tshown 0\r\nrow 1\tshown 1\r\nrow 2\tshown 2\r\n");
}

TEST(ListCopyCtrl, AnEmptyListCopiesItsHeaderAndOffersNothingElse) {
    list_host h(0);
    const HMENU menu = list_copy_commands::create_menu(h.list);
    ASSERT_NE(menu, nullptr);
    EXPECT_NE(GetMenuState(menu, list_copy_commands::command_copy, MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_EQ(GetMenuState(menu, list_copy_commands::command_copy_all, MF_BYCOMMAND) & MF_GRAYED,
              0u);
    EXPECT_NE(GetMenuState(menu, list_copy_commands::command_select_all, MF_BYCOMMAND) & MF_GRAYED,
              0u);
    DestroyMenu(menu);
    SendMessageW(h.list, WM_COMMAND, list_copy_commands::command_copy_all, 0);
    EXPECT_EQ(clipboard_text(), L"Name\tValue\r\n");
}

TEST(ListCopyCtrl, ASingleSelectionListHasNoSelectAll) {
    list_host h(3, LVS_SINGLESEL);
    copy_test::select_rows(h.list, {1});
    const HMENU menu = list_copy_commands::create_menu(h.list);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuState(menu, list_copy_commands::command_copy, MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_NE(GetMenuState(menu, list_copy_commands::command_select_all, MF_BYCOMMAND) & MF_GRAYED,
              0u);
    DestroyMenu(menu);
    h.ctrl_key('A');
    EXPECT_EQ(copy_test::selected_rows(h.list), std::vector<int>{1});
}

} // namespace
