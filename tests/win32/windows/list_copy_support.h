// What the copy tests of both windows share: keys pressed through the host's
// message loop, the clipboard read back, a list view's cells read in UTF-16,
// and a watch on the context menus that open.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "refhost/host_api.h"

namespace copy_test {

// Empties the clipboard, so that a copy that puts nothing there shows.
void clear_clipboard();
// Puts text on the clipboard as CF_UNICODETEXT.
void set_clipboard_text(const std::wstring& text);
// The CF_UNICODETEXT on the clipboard, or nothing.
std::optional<std::wstring> clipboard_text();

enum modifier : unsigned { none = 0, ctrl = 1, shift = 2, alt = 4 };

// Presses and releases key at target as the user would: the thread's key
// state holds the modifiers while the host's loop (message filters first,
// then translation and dispatch) handles the posted messages. F10 and keys
// with Alt arrive as system keys.
void press(refhost::host& host, HWND target, WPARAM key, unsigned modifiers = none);

std::wstring header_text(HWND list, int column);
std::wstring cell_text(HWND list, int row, int column);
int row_count(HWND list);
int column_count(HWND list);
std::vector<int> selected_rows(HWND list);
// Selects exactly these rows.
void select_rows(HWND list, const std::vector<int>& rows);
void focus_row(HWND list, int row);

// The expected clipboard text of these rows: the list's own cells joined by
// TAB and CR LF, header first. Fails the test if a cell would need quotes
// (those are checked against written-out texts instead).
std::wstring plain_table_text(HWND list, const std::vector<int>& rows);
std::vector<int> all_rows(HWND list);

struct menu_item {
    std::wstring text;
    UINT id = 0;
    bool grayed = false;
};

// Watches the context menus that open on this thread; while one is open the
// action runs (posting a key to choose an item, or closing it).
class menu_watch {
public:
    explicit menu_watch(std::function<void()> while_open);
    ~menu_watch();
    menu_watch(const menu_watch&) = delete;
    menu_watch& operator=(const menu_watch&) = delete;

    // One entry per menu opened: its items and the window that owns it.
    std::vector<std::vector<menu_item>> menus;
    std::vector<HWND> owners;

private:
    static LRESULT CALLBACK hook(int code, WPARAM wparam, LPARAM lparam);
    std::function<void()> m_while_open;
    HHOOK m_hook = nullptr;
};

// Closes the open menu without choosing anything.
void close_menu();
// Types a menu item's mnemonic into the open menu.
void type_into_menu(wchar_t mnemonic);

} // namespace copy_test
