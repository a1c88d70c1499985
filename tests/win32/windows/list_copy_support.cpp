#include "win32/windows/list_copy_support.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cwchar>

namespace copy_test {

void clear_clipboard() {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
}

void set_clipboard_text(const std::wstring& text) {
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    ASSERT_NE(block, nullptr);
    auto* units = static_cast<wchar_t*>(GlobalLock(block));
    text.copy(units, text.size());
    units[text.size()] = L'\0';
    GlobalUnlock(block);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    EXPECT_NE(SetClipboardData(CF_UNICODETEXT, block), nullptr);
    CloseClipboard();
}

std::optional<std::wstring> clipboard_text() {
    if (!OpenClipboard(nullptr)) {
        ADD_FAILURE() << "the clipboard cannot be opened";
        return std::nullopt;
    }
    std::optional<std::wstring> text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT); data != nullptr) {
        const auto* units = static_cast<const wchar_t*>(GlobalLock(data));
        if (units != nullptr) {
            const SIZE_T capacity = GlobalSize(data) / sizeof(wchar_t);
            text = std::wstring(units, wcsnlen(units, capacity));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void press(refhost::host& host, HWND target, WPARAM key, unsigned modifiers) {
    BYTE saved[256];
    GetKeyboardState(saved);
    BYTE state[256];
    GetKeyboardState(state);
    auto hold = [&](int vk, bool down) { state[vk] = down ? 0x80 : 0; };
    hold(VK_CONTROL, (modifiers & ctrl) != 0);
    hold(VK_LCONTROL, (modifiers & ctrl) != 0);
    hold(VK_SHIFT, (modifiers & shift) != 0);
    hold(VK_LSHIFT, (modifiers & shift) != 0);
    hold(VK_MENU, (modifiers & alt) != 0);
    hold(VK_LMENU, (modifiers & alt) != 0);
    SetKeyboardState(state);
    const bool system = key == VK_F10 || (modifiers & alt) != 0;
    const LPARAM alt_bit = (modifiers & alt) != 0 ? (1 << 29) : 0;
    PostMessageW(target, system ? WM_SYSKEYDOWN : WM_KEYDOWN, key, 1 | alt_bit);
    PostMessageW(target, system ? WM_SYSKEYUP : WM_KEYUP, key, 0xC0000001 | alt_bit);
    host.pump_until_idle(50);
    SetKeyboardState(saved);
}

std::wstring header_text(HWND list, int column) {
    wchar_t buffer[512] = L"";
    LVCOLUMNW item{};
    item.mask = LVCF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = 512;
    EXPECT_TRUE(SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(column),
                             reinterpret_cast<LPARAM>(&item)));
    return item.pszText != nullptr ? item.pszText : L"";
}

std::wstring cell_text(HWND list, int row, int column) {
    std::wstring buffer(1 << 16, L'\0');
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    const auto length = static_cast<std::size_t>(SendMessageW(
        list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
    EXPECT_LT(length + 1, buffer.size()) << "a cell longer than the test reads";
    buffer.resize(length);
    return buffer;
}

int row_count(HWND list) {
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

int column_count(HWND list) {
    const auto header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    return static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
}

std::vector<int> selected_rows(HWND list) {
    std::vector<int> rows;
    for (int r = 0; r < row_count(list); ++r) {
        if (SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(r), LVIS_SELECTED) != 0) {
            rows.push_back(r);
        }
    }
    return rows;
}

namespace {
void set_state(HWND list, int row, UINT mask, UINT state) {
    LVITEMW item{};
    item.stateMask = mask;
    item.state = state;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}
} // namespace

void select_rows(HWND list, const std::vector<int>& rows) {
    set_state(list, -1, LVIS_SELECTED, 0);
    for (int r : rows) {
        set_state(list, r, LVIS_SELECTED, LVIS_SELECTED);
    }
}

void focus_row(HWND list, int row) {
    set_state(list, row, LVIS_FOCUSED, LVIS_FOCUSED);
}

std::wstring plain_table_text(HWND list, const std::vector<int>& rows) {
    const int columns = column_count(list);
    auto check = [](const std::wstring& cell) {
        EXPECT_EQ(cell.find_first_of(L"\t\r\n"), std::wstring::npos) << "a cell to quote";
        EXPECT_FALSE(!cell.empty() && cell[0] == L'"') << "a cell to quote";
        return cell;
    };
    std::wstring text;
    for (int c = 0; c < columns; ++c) {
        text += (c > 0 ? L"\t" : L"") + check(header_text(list, c));
    }
    text += L"\r\n";
    for (int r : rows) {
        for (int c = 0; c < columns; ++c) {
            text += (c > 0 ? L"\t" : L"") + check(cell_text(list, r, c));
        }
        text += L"\r\n";
    }
    return text;
}

std::vector<int> all_rows(HWND list) {
    std::vector<int> rows;
    for (int r = 0; r < row_count(list); ++r) {
        rows.push_back(r);
    }
    return rows;
}

namespace {
menu_watch* g_watch = nullptr;
}

menu_watch::menu_watch(std::function<void()> while_open) : m_while_open(std::move(while_open)) {
    g_watch = this;
    m_hook = SetWindowsHookExW(WH_CALLWNDPROC, &menu_watch::hook, nullptr, GetCurrentThreadId());
    EXPECT_NE(m_hook, nullptr);
}

menu_watch::~menu_watch() {
    if (m_hook != nullptr) {
        UnhookWindowsHookEx(m_hook);
    }
    g_watch = nullptr;
}

LRESULT CALLBACK menu_watch::hook(int code, WPARAM wparam, LPARAM lparam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lparam);
    if (code == HC_ACTION && g_watch != nullptr && sent->message == WM_INITMENUPOPUP) {
        const auto menu = reinterpret_cast<HMENU>(sent->wParam);
        std::vector<menu_item> items;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            wchar_t text[128] = L"";
            MENUITEMINFOW info{};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_ID | MIIM_STATE | MIIM_STRING | MIIM_FTYPE;
            info.dwTypeData = text;
            info.cch = 128;
            GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
            if ((info.fType & MFT_SEPARATOR) != 0) {
                continue;
            }
            items.push_back({text, info.wID, (info.fState & MFS_GRAYED) != 0});
        }
        g_watch->menus.push_back(items);
        g_watch->owners.push_back(sent->hwnd);
        if (g_watch->m_while_open) {
            g_watch->m_while_open();
        }
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

void close_menu() {
    // The menu's own loop reads the thread's keys.
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageW(GetFocus(), WM_KEYUP, VK_ESCAPE, 0xC0000001);
}

void type_into_menu(wchar_t mnemonic) {
    PostMessageW(GetFocus(), WM_CHAR, mnemonic, 1);
}

} // namespace copy_test
