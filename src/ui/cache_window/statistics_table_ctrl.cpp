#include "ui/cache_window/statistics_table_ctrl.h"

#include <commctrl.h>

#include "ui/framework/dialog_keys.h"

int CStatisticsTableCtrl::focused_row(HWND list) noexcept {
    return static_cast<int>(
        SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_FOCUSED, 0)));
}

bool CStatisticsTableCtrl::process_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                           LRESULT& result) {
    if (message == WM_KEYDOWN && wparam == VK_RETURN) {
        const int row = focused_row(window);
        if (row >= 0) {
            activate_row(window, row);
        }
        result = 0;
        return true;
    }
    return m_copy.handle_message(window, message, wparam, lparam, result);
}

void CStatisticsTableCtrl::activate_row(HWND list, int row) {
    const unsigned held = modifiers_down();
    NMITEMACTIVATE activation{};
    activation.hdr.hwndFrom = list;
    activation.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list));
    activation.hdr.code = LVN_ITEMACTIVATE;
    activation.iItem = row;
    activation.iSubItem = 0;
    activation.uKeyFlags = ((held & modifier_alt) != 0 ? LVKF_ALT : 0) |
                           ((held & modifier_ctrl) != 0 ? LVKF_CONTROL : 0) |
                           ((held & modifier_shift) != 0 ? LVKF_SHIFT : 0);
    SendMessageW(GetParent(list), WM_NOTIFY, activation.hdr.idFrom,
                 reinterpret_cast<LPARAM>(&activation));
}
