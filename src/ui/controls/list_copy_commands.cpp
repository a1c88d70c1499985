#include "ui/controls/list_copy_commands.h"

#include <commctrl.h>

#include "ui/controls/list_view_ctrl.h"
#include "ui/controls/list_view_table_source.h"

namespace {

bool key_is_down(int key) noexcept {
    return GetKeyState(key) < 0;
}

// Ctrl without Shift and Alt.
bool control_alone() noexcept {
    return key_is_down(VK_CONTROL) && !key_is_down(VK_SHIFT) && !key_is_down(VK_MENU);
}

constexpr wchar_t k_ctrl_a = 0x01; // the characters Ctrl+A and Ctrl+C type
constexpr wchar_t k_ctrl_c = 0x03;

int list_count(HWND list, UINT message) noexcept {
    return static_cast<int>(SendMessageW(list, message, 0, 0));
}

const wchar_t* failure_text(copy_result result) noexcept {
    switch (result) {
    case copy_result::no_memory:
        return L"There is not enough memory to copy the table.";
    case copy_result::clipboard_busy:
        return L"The clipboard is in use by another program. Please try again.";
    default:
        return nullptr; // copied, or the table changed while it was read: nothing to say
    }
}

void tell_user(HWND list, const wchar_t* text) noexcept {
    const HWND owner = GetAncestor(list, GA_ROOT);
    wchar_t caption[256] = L"";
    GetWindowTextW(owner, caption, 256);
    MessageBoxW(owner, text, caption, MB_OK | MB_ICONWARNING);
}

} // namespace

bool list_copy_commands::handle_message(HWND list, UINT message, WPARAM wparam, LPARAM lparam,
                                        LRESULT& result) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (!on_key_down(list, message, wparam)) {
            return false;
        }
        result = 0;
        return true;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (m_swallowed_key_up == 0 || wparam != m_swallowed_key_up) {
            return false;
        }
        m_swallowed_key_up = 0;
        result = 0;
        return true;
    case WM_CHAR:
        // The characters of the keys handled above: the list would search its
        // rows for them.
        if (wparam != k_ctrl_a && wparam != k_ctrl_c) {
            return false;
        }
        result = 0;
        return true;
    case WM_CONTEXTMENU:
        // Bubbled up from the header: its clicks keep their own meaning.
        if (reinterpret_cast<HWND>(wparam) != list) {
            return false;
        }
        show_menu(list, lparam);
        result = 0;
        return true;
    case WM_COMMAND:
        if (HIWORD(wparam) != 0 || lparam != 0 || !run_command(list, LOWORD(wparam))) {
            return false;
        }
        result = 0;
        return true;
    default:
        return false;
    }
}

bool list_copy_commands::on_key_down(HWND list, UINT message, WPARAM key) {
    if (message == WM_KEYDOWN && control_alone() && (key == 'C' || key == 'A')) {
        if (key == 'C') {
            copy(list, table_rows::selected);
        } else {
            select_all(list);
        }
        return true;
    }
    const bool menu_key = message == WM_KEYDOWN && key == VK_APPS;
    const bool shift_f10 = message == WM_SYSKEYDOWN && key == VK_F10 && key_is_down(VK_SHIFT) &&
                           !key_is_down(VK_CONTROL) && !key_is_down(VK_MENU);
    if (!menu_key && !shift_f10) {
        return false;
    }
    // Neither the list nor the default window procedure sees this key, so
    // the menu opens once and F10 does not go on to the window's menu.
    m_swallowed_key_up = key;
    show_menu(list, -1);
    return true;
}

bool list_copy_commands::run_command(HWND list, UINT command) {
    switch (command) {
    case command_copy:
        copy(list, table_rows::selected);
        return true;
    case command_copy_all:
        copy(list, table_rows::all);
        return true;
    case command_select_all:
        select_all(list);
        return true;
    default:
        return false;
    }
}

void list_copy_commands::copy(HWND list, table_rows rows) {
    list_view_table_source own(list);
    table_source<wchar_t>& source = m_source != nullptr ? *m_source : own;
    if (rows == table_rows::selected && source.selected_count() == 0) {
        return; // nothing to copy; the clipboard keeps what it has
    }
    const wchar_t* failure = failure_text(copy_table_to_clipboard(list, source, rows));
    if (failure != nullptr) {
        tell_user(list, failure);
    }
}

void list_copy_commands::select_all(HWND list) noexcept {
    if ((GetWindowLongPtrW(list, GWL_STYLE) & LVS_SINGLESEL) != 0) {
        return;
    }
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    // The list sets the rows one by one, and repaints each unless told not to.
    list_view_redraw_off quiet{list_view_ctrl(list)};
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}

HMENU list_copy_commands::create_menu(HWND list) noexcept {
    const HMENU menu = CreatePopupMenu();
    if (menu == nullptr) {
        return nullptr;
    }
    const bool has_selection = list_count(list, LVM_GETSELECTEDCOUNT) > 0;
    const bool can_select = list_count(list, LVM_GETITEMCOUNT) > 0 &&
                            (GetWindowLongPtrW(list, GWL_STYLE) & LVS_SINGLESEL) == 0;
    AppendMenuW(menu, MF_STRING | (has_selection ? MF_ENABLED : MF_GRAYED), command_copy, L"&Copy");
    AppendMenuW(menu, MF_STRING, command_copy_all, L"Copy &All");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING | (can_select ? MF_ENABLED : MF_GRAYED), command_select_all,
                L"Select &All");
    return menu;
}

POINT list_copy_commands::keyboard_menu_point(HWND list) noexcept {
    RECT client{};
    GetClientRect(list, &client);
    const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    RECT header_rect{};
    if (header != nullptr && IsWindowVisible(header) && GetWindowRect(header, &header_rect)) {
        client.top += header_rect.bottom - header_rect.top;
    }
    POINT at{client.left, client.top};
    const int focused = static_cast<int>(
        SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_FOCUSED, 0)));
    RECT row{};
    row.left = LVIR_BOUNDS;
    if (focused >= 0 && SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(focused),
                                     reinterpret_cast<LPARAM>(&row)) != 0) {
        // Below the row, inside the visible rows.
        if (row.bottom > client.top && row.top < client.bottom) {
            at.x = row.left > client.left ? row.left : client.left;
            at.y = row.bottom < client.bottom ? row.bottom : client.bottom;
        }
    }
    ClientToScreen(list, &at);
    return at;
}

void list_copy_commands::show_menu(HWND list, LPARAM where) {
    POINT at{};
    if (where == -1) {
        at = keyboard_menu_point(list);
    } else {
        at.x = static_cast<short>(LOWORD(where));
        at.y = static_cast<short>(HIWORD(where));
    }
    const HMENU menu = create_menu(list);
    if (menu == nullptr) {
        return;
    }
    const UINT command = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x,
                       at.y, 0, list, nullptr));
    DestroyMenu(menu);
    // The menu ran its own message loop: a list destroyed meanwhile took this
    // object with it.
    if (command != 0 && IsWindow(list)) {
        run_command(list, command);
    }
}
