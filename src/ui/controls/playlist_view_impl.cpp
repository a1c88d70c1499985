#include "ui/controls/playlist_view_impl.h"

#include <shlwapi.h>

#include "ui/controls/list_view_ctrl.h"
#include "ui/controls/playlist_view_arrows.h"
#include "ui/controls/playlist_view_move.h"
#include "ui/controls/playlist_view_notifications.h"

namespace {

constexpr int k_sort_flags = HDF_SORTUP | HDF_SORTDOWN; // 0x0600

// Sends a private notification to the list's parent; answers its reply.
LRESULT notify_parent(HWND list, NMHDR& header, int code) {
    header.hwndFrom = list;
    header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list));
    header.code = static_cast<UINT>(code);
    return SendMessageW(GetParent(list), WM_NOTIFY, header.idFrom,
                        reinterpret_cast<LPARAM>(&header));
}

bool key_is_down(int key) noexcept {
    return GetKeyState(key) < 0;
}

bool movement_key(WPARAM key, move_key& out) noexcept {
    switch (key) {
    case VK_UP:
        out = move_key::up;
        return true;
    case VK_DOWN:
        out = move_key::down;
        return true;
    case VK_HOME:
        out = move_key::home;
        return true;
    case VK_END:
        out = move_key::end;
        return true;
    case VK_PRIOR:
        out = move_key::page_up;
        return true;
    case VK_NEXT:
        out = move_key::page_down;
        return true;
    default:
        return false;
    }
}

} // namespace

bool probe_comctl32_version(DWORD& major, DWORD& minor) noexcept {
    major = 0;
    minor = 0;
    const HMODULE library = LoadLibraryW(L"comctl32.dll");
    if (library == nullptr) {
        return false;
    }
    bool known = false;
    // Through void* : FARPROC and the real signature are unrelated function types.
    const auto get_version = reinterpret_cast<DLLGETVERSIONPROC>(
        reinterpret_cast<void*>(GetProcAddress(library, "DllGetVersion")));
    if (get_version == nullptr) {
        major = 4;
        known = true;
    } else {
        DLLVERSIONINFO info{};
        info.cbSize = 20;
        if (SUCCEEDED(get_version(&info))) {
            major = info.dwMajorVersion;
            minor = info.dwMinorVersion;
            known = true;
        }
    }
    FreeLibrary(library);
    return known;
}

bool comctl32_has_native_sort_arrows() noexcept {
    DWORD major = 0;
    DWORD minor = 0;
    return probe_comctl32_version(major, minor) && major >= 6;
}

CPlaylistViewImpl::CPlaylistViewImpl() noexcept
    : m_native_indicators(comctl32_has_native_sort_arrows()) {}

CPlaylistViewImpl::CPlaylistViewImpl(sort_indicator_mode mode) noexcept
    : m_native_indicators(mode == sort_indicator_mode::native) {}

CPlaylistViewImpl::~CPlaylistViewImpl() {
    delete_sort_arrows(m_arrows);
}

void CPlaylistViewImpl::set_sort_indicator(HWND list, int column, bool descending) noexcept {
    const int previous = m_sort_column;
    m_sort_column = column;
    m_descending = descending;
    if (m_native_indicators) {
        show_native_indicator(list, previous);
    } else {
        show_drawn_indicator(list, previous);
    }
}

void CPlaylistViewImpl::show_native_indicator(HWND list, int previous) noexcept {
    list_view_ctrl view(list);
    header_ctrl header = view.header();
    HDITEMW item{};
    if (m_sort_column != previous && previous >= 0) {
        item.mask = HDI_FORMAT;
        if (header.get_item(previous, item)) {
            item.fmt &= ~k_sort_flags;
            header.set_item(previous, item);
        }
    }
    if (m_sort_column >= 0) {
        item = HDITEMW{};
        item.mask = HDI_FORMAT;
        if (header.get_item(m_sort_column, item)) {
            item.fmt &= ~k_sort_flags;
            item.fmt |= m_descending ? HDF_SORTDOWN : HDF_SORTUP;
            header.set_item(m_sort_column, item);
        }
    }
    view.set_selected_column(m_sort_column);
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE);
}

void CPlaylistViewImpl::show_drawn_indicator(HWND list, int previous) noexcept {
    if (m_arrows[arrow_ascending] == nullptr) {
        create_arrow_bitmaps();
    }
    header_ctrl header = list_view_ctrl(list).header();
    HDITEMW item{};
    item.mask = HDI_FORMAT | HDI_BITMAP;
    if (m_sort_column != previous && previous >= 0) {
        // Exactly what the column had before it became the sort column.
        item.fmt = m_saved_format;
        item.hbm = m_saved_bitmap;
        header.set_item(previous, item);
    }
    if (m_sort_column >= 0) {
        item = HDITEMW{};
        item.mask = HDI_FORMAT | HDI_BITMAP;
        if (header.get_item(m_sort_column, item)) {
            if (m_sort_column != previous) {
                m_saved_format = item.fmt;
                m_saved_bitmap = item.hbm;
            }
            item.fmt = (item.fmt & ~HDF_IMAGE) | HDF_BITMAP | HDF_BITMAP_ON_RIGHT;
            item.hbm = m_arrows[m_descending ? arrow_descending : arrow_ascending];
            header.set_item(m_sort_column, item);
        }
    }
}

void CPlaylistViewImpl::create_arrow_bitmaps() noexcept {
    if ((m_options & option_shell_arrows) != 0 && load_shell_sort_arrows(m_arrows)) {
        return;
    }
    draw_sort_arrows(m_arrows);
}

void CPlaylistViewImpl::on_header_click(HWND list, int item, int button) {
    if (button != 0) {
        return;
    }
    NMPVSORT record{};
    record.new_column = item;
    record.old_column = m_sort_column;
    record.descending = item == m_sort_column ? !m_descending : false;
    if (notify_parent(list, record.hdr, PVN_SORTCHANGING) != 0) {
        return;
    }
    set_sort_indicator(list, record.new_column, record.descending);
    notify_parent(list, record.hdr, PVN_SORTCHANGED);
}

bool CPlaylistViewImpl::on_key_down(HWND list, WPARAM key) {
    if (!key_is_down(VK_SHIFT) || !key_is_down(VK_CONTROL) || key_is_down(VK_MENU)) {
        return false;
    }
    move_key movement{};
    if (!movement_key(key, movement)) {
        return false;
    }
    list_view_ctrl view(list);
    const int focused = view.next_item(-1, LVNI_FOCUSED);
    int top = 0;
    int per_page = 0;
    if (movement == move_key::page_up || movement == move_key::page_down) {
        top = view.top_index();
        per_page = view.count_per_page();
    }
    NMPVMOVE record{};
    record.delta = move_selection_delta(movement, focused, view.item_count(), top, per_page);
    notify_parent(list, record.hdr, PVN_MOVESELECTION);
    return true;
}

void CPlaylistViewImpl::on_setting_change(HWND list, WPARAM what) {
    if (what != SPI_SETNONCLIENTMETRICS || m_native_indicators ||
        m_arrows[arrow_ascending] == nullptr) {
        return;
    }
    create_arrow_bitmaps();
    if (m_sort_column >= 0) {
        set_sort_indicator(list, m_sort_column, m_descending);
    }
}

void CPlaylistViewImpl::on_column_inserted(LRESULT new_index) noexcept {
    if (new_index != -1 && new_index <= m_sort_column) {
        ++m_sort_column;
    }
}

void CPlaylistViewImpl::on_column_deleted(int column, LRESULT succeeded) noexcept {
    if (succeeded == 0) {
        return;
    }
    if (column == m_sort_column) {
        m_sort_column = -1;
    } else if (column < m_sort_column) {
        --m_sort_column;
    }
}
