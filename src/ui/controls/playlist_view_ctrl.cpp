#include "ui/controls/playlist_view_ctrl.h"

bool CPlaylistViewCtrlImpl::process_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                            LRESULT& result) {
    if (m_copy.handle_message(window, message, wparam, lparam, result)) {
        return true;
    }
    switch (message) {
    case WM_NOTIFY:
        if (lparam != 0) {
            on_notify(window, *reinterpret_cast<const NMHDR*>(lparam));
        }
        return false; // the list view handles the click too (LVN_COLUMNCLICK)
    case WM_KEYDOWN:
        if (on_key_down(window, wparam)) {
            result = 0;
            return true;
        }
        return false;
    case WM_SETTINGCHANGE:
        on_setting_change(window, wparam);
        return false;
    case LVM_INSERTCOLUMNW:
        result = call_original(message, wparam, lparam);
        on_column_inserted(result);
        return true;
    case LVM_DELETECOLUMN:
        result = call_original(message, wparam, lparam);
        on_column_deleted(static_cast<int>(wparam), result);
        return true;
    default:
        return false;
    }
}

void CPlaylistViewCtrlImpl::on_notify(HWND window, const NMHDR& header) {
    if (header.code != HDN_ITEMCLICKA && header.code != HDN_ITEMCLICKW) {
        return;
    }
    if (header.hwndFrom == nullptr || header.hwndFrom != list().header().handle()) {
        return;
    }
    // NMHEADERA and NMHEADERW agree on every field read here.
    const auto& click = reinterpret_cast<const NMHEADERW&>(header);
    on_header_click(window, click.iItem, click.iButton);
}
