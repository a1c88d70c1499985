#include "ui/framework/tab_pages.h"

#include <commctrl.h>

#include "ui/framework/dialog_keys.h"

namespace {

LRESULT notify_tab_parent(HWND tab, UINT code) {
    NMHDR header{};
    header.hwndFrom = tab;
    header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(tab));
    header.code = code;
    return SendMessageW(GetParent(tab), WM_NOTIFY, header.idFrom,
                        reinterpret_cast<LPARAM>(&header));
}

} // namespace

void place_page_in_tab(HWND dialog, HWND tab, HWND page) {
    if (page == nullptr || tab == nullptr || !IsWindow(page)) {
        return;
    }
    RECT area{};
    GetWindowRect(tab, &area);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&area), 2);
    SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    SetWindowPos(page, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOACTIVATE);
}

void step_tab_as_click(HWND tab, int step) {
    const auto count = static_cast<int>(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
    if (count <= 0 || step == 0) {
        return;
    }
    const auto current = static_cast<int>(SendMessageW(tab, TCM_GETCURSEL, 0, 0));
    const int chosen = current < 0 ? (step > 0 ? 0 : count - 1)
                                   : ((current + step % count) % count + count) % count;
    if (chosen == current) {
        return;
    }
    if (notify_tab_parent(tab, TCN_SELCHANGING) != 0) {
        return;
    }
    SendMessageW(tab, TCM_SETCURSEL, static_cast<WPARAM>(chosen), 0);
    notify_tab_parent(tab, TCN_SELCHANGE);
}

bool switch_tab_on_key(HWND dialog, HWND tab, const MSG& message) {
    if (tab == nullptr || !message_is_for(dialog, message)) {
        return false;
    }
    const int step = tab_step_of_key(message);
    if (step == 0) {
        return false;
    }
    step_tab_as_click(tab, step);
    return true;
}

bool focus_is_within(HWND window) noexcept {
    if (window == nullptr) {
        return false;
    }
    const HWND focus = GetFocus();
    return focus != nullptr && (focus == window || IsChild(window, focus) != FALSE);
}

void focus_shown_page(HWND control, HWND tab) noexcept {
    if (control != nullptr && IsWindow(control) && IsWindowVisible(control)) {
        SetFocus(control);
    } else if (tab != nullptr) {
        SetFocus(tab);
    }
}
