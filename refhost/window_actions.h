// Acting on windows as a user would, for the host's automation options and
// for tests: choosing a tab (the tab control's change notifications to its
// parent around the selection) and activating a list-view row (the row
// selected and focused, then LVN_ITEMACTIVATE to the list's parent, as a
// double-click does).
#pragma once

#include <windows.h>

#include <string>

namespace refhost {

// Selects tab index of tab_control: TCN_SELCHANGING to the parent (which may
// refuse it by answering non-zero), TCM_SETCURSEL, then TCN_SELCHANGE. False
// with a reason in error when the index is out of range or the parent
// refused.
bool select_tab_as_user(HWND tab_control, int index, std::string& error);

// Activates row of list_view: selects and focuses it, then sends the
// NMITEMACTIVATE notification (iItem = row) to the list's parent. False with
// a reason in error when the row does not exist.
bool activate_list_row(HWND list_view, int row, std::string& error);

// The visible list view among window's descendants (the current page of a
// tabbed window), or null.
HWND visible_list_view(HWND window);

} // namespace refhost
