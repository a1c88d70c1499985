#include "ui/framework/tab_pages.h"

#include <commctrl.h>

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
