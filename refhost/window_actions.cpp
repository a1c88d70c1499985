#include "refhost/window_actions.h"

#include <commctrl.h>

#include "refhost/window_reading.h"

namespace refhost {

namespace {

LRESULT notify_parent(HWND control, UINT code, NMHDR& header) {
    header.hwndFrom = control;
    header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(control));
    header.code = code;
    return SendMessageW(GetParent(control), WM_NOTIFY, header.idFrom,
                        reinterpret_cast<LPARAM>(&header));
}

} // namespace

bool select_tab_as_user(HWND tab_control, int index, std::string& error) {
    const auto count = static_cast<int>(SendMessageW(tab_control, TCM_GETITEMCOUNT, 0, 0));
    if (index < 0 || index >= count) {
        error = "tab " + std::to_string(index) + " asked; the window has " + std::to_string(count) +
                " tabs";
        return false;
    }
    NMHDR changing{};
    if (notify_parent(tab_control, TCN_SELCHANGING, changing) != 0) {
        error = "the window refused to leave its current tab";
        return false;
    }
    SendMessageW(tab_control, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    NMHDR changed{};
    notify_parent(tab_control, TCN_SELCHANGE, changed);
    return true;
}

bool activate_list_row(HWND list_view, int row, std::string& error) {
    const auto count = static_cast<int>(SendMessageW(list_view, LVM_GETITEMCOUNT, 0, 0));
    if (row < 0 || row >= count) {
        error = "row " + std::to_string(row) + " asked; the list has " + std::to_string(count) +
                " rows";
        return false;
    }
    // The click of a double-click: the row alone selected, and focused.
    LVITEMW none{};
    none.stateMask = LVIS_SELECTED;
    SendMessageW(list_view, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&none));
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list_view, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
    SendMessageW(list_view, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);

    RECT bounds{LVIR_LABEL, 0, 0, 0};
    SendMessageW(list_view, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&bounds));
    NMITEMACTIVATE activation{};
    activation.iItem = row;
    activation.iSubItem = 0;
    activation.uNewState = LVIS_SELECTED | LVIS_FOCUSED;
    activation.ptAction = POINT{bounds.left + 2, (bounds.top + bounds.bottom) / 2};
    notify_parent(list_view, LVN_ITEMACTIVATE, activation.hdr);
    return true;
}

HWND visible_list_view(HWND window) {
    for (HWND list : descendants(window, WC_LISTVIEWW)) {
        if (IsWindowVisible(list)) {
            return list;
        }
    }
    return nullptr;
}

} // namespace refhost
