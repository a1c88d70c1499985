// Copying what a report list view shows: Ctrl+C copies the selected rows,
// Ctrl+A selects every row, and a context menu (right-click on the rows,
// Shift+F10 or the context-menu key) offers "&Copy", "Copy &All" and
// "Select &All". The text goes to the clipboard as table_clipboard.h writes
// it. A list control feeds the list's messages to handle_message before its
// own handling; the keys reach the list because the dialog manager
// (IsDialogMessageW) dispatches every key it has no use of its own for to the
// focused control.
#pragma once

#include <windows.h>

#include "ui/controls/table_clipboard.h"

class list_copy_commands {
public:
    // Menu command ids; sent as WM_COMMAND (code 0, no control) to the list
    // they run the command as the menu does.
    static constexpr UINT command_copy = 0xC301;
    static constexpr UINT command_copy_all = 0xC302;
    static constexpr UINT command_select_all = 0xC303;

    list_copy_commands() = default;
    list_copy_commands(const list_copy_commands&) = delete;
    list_copy_commands& operator=(const list_copy_commands&) = delete;

    // Where the copied rows come from; null (the default) reads the list view
    // itself (list_view_table_source). Not owned; must outlive its use here.
    void set_source(table_source<wchar_t>* source) noexcept { m_source = source; }
    table_source<wchar_t>* source() const noexcept { return m_source; }

    // Handles the copy keys, the context menu and the menu's commands for
    // list; answers whether the message was consumed (result set then).
    bool handle_message(HWND list, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);

    // Runs one of the menu's commands; false for an unknown id.
    bool run_command(HWND list, UINT command);
    // Copies all rows or the selected ones; tells the user when it fails.
    void copy(HWND list, table_rows rows);
    static void select_all(HWND list) noexcept;

    // The context menu for list: "&Copy" (grayed without a selection), "Copy
    // &All", "Select &All" (grayed in an empty or single-selection list).
    static HMENU create_menu(HWND list) noexcept;
    // Where the keyboard opens the menu: below the focused row when it is in
    // view, else the top left of the rows; screen coordinates.
    static POINT keyboard_menu_point(HWND list) noexcept;

private:
    bool on_key_down(HWND list, UINT message, WPARAM key);
    void show_menu(HWND list, LPARAM where);

    table_source<wchar_t>* m_source = nullptr;
    // The release of a key whose press opened the menu, kept from the list.
    WPARAM m_swallowed_key_up = 0;
};
