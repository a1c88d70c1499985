// CStatisticsTableCtrl: a Library, Playlists or Combined table of the cache
// statistics window (a report list view the window created): the copy
// commands of list_copy_commands, and Enter, which activates the focused row
// as a double-click does. The list view itself would tell its parent of
// Enter with a notification that need not carry the row (a bare NMHDR under
// wine); this control sends LVN_ITEMACTIVATE with a whole NMITEMACTIVATE for
// the focused row instead, and nothing when no row has the focus. Every other
// message goes unchanged to the list.
#pragma once

#include <windows.h>

#include "ui/controls/list_copy_commands.h"
#include "ui/framework/subclassed_window.h"

class CStatisticsTableCtrl final : public subclassed_window {
public:
    CStatisticsTableCtrl() = default;

    // The row that Enter activates in list: its focused item, or -1.
    static int focused_row(HWND list) noexcept;

    bool process_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                         LRESULT& result) override;

private:
    // LVN_ITEMACTIVATE for row to the list's parent.
    static void activate_row(HWND list, int row);

    list_copy_commands m_copy;
};
