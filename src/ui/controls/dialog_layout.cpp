#include "ui/controls/dialog_layout.h"

namespace {

layout_rect to_layout(const RECT& r) {
    return layout_rect{r.left, r.top, r.right, r.bottom};
}

// The grip's top-left corner for the dialog's current client area.
POINT grip_corner(HWND dialog, HWND grip) {
    RECT client{};
    RECT extent{};
    GetClientRect(dialog, &client);
    GetWindowRect(grip, &extent);
    const layout_point p = bottom_right_corner(to_layout(client), to_layout(extent));
    return POINT{p.x, p.y};
}

// A tracking size in pixels of the whole window for a client area given in
// dialog units.
POINT window_extent(HWND dialog, SIZE dialog_units) {
    RECT r{0, 0, dialog_units.cx, dialog_units.cy};
    MapDialogRect(dialog, &r);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE));
    const auto ex_style = static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE));
    AdjustWindowRectEx(&r, style, FALSE, ex_style);
    return POINT{r.right - r.left, r.bottom - r.top};
}

} // namespace

CDialogLayout::CDialogLayout(const dialog_layout_entry* map, std::uint32_t count, SIZE min_track,
                             SIZE max_track)
    : m_rects(new RECT[count]()), m_min_track(min_track), m_max_track(max_track),
      m_map(new dialog_layout_entry[count]), m_count(count) {
    for (std::uint32_t i = 0; i < count; ++i) {
        m_map[i] = map[i];
    }
}

bool CDialogLayout::handle_message(HWND dialog, UINT message, WPARAM, LPARAM lparam,
                                   LRESULT& result) {
    switch (message) {
    case WM_INITDIALOG:
        record(dialog);
        return false;
    case WM_GETMINMAXINFO:
        apply_tracking_limits(dialog, *reinterpret_cast<MINMAXINFO*>(lparam));
        result = 0;
        return true;
    case WM_DESTROY:
        m_dialog = nullptr;
        m_grip = nullptr; // destroyed with its parent
        return false;
    default:
        return false;
    }
}

void CDialogLayout::record(HWND dialog) {
    m_grip = nullptr;
    m_dialog = dialog;
    GetClientRect(dialog, &m_initial_client);
    for (std::uint32_t i = 0; i < m_count; ++i) {
        RECT r{};
        GetWindowRect(GetDlgItem(dialog, m_map[i].control_id), &r);
        MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
        m_rects[i] = r;
    }
}

void CDialogLayout::create_size_grip() {
    if (m_dialog == nullptr || m_grip != nullptr) {
        return;
    }
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(m_dialog, GWLP_HINSTANCE));
    m_grip = CreateWindowExW(
        0, L"ScrollBar", L"",
        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SBS_SIZEGRIP | SBS_SIZEBOXBOTTOMRIGHTALIGN, 0, 0,
        CW_USEDEFAULT, CW_USEDEFAULT, m_dialog, nullptr, instance, nullptr);
    if (m_grip != nullptr) {
        const POINT corner = grip_corner(m_dialog, m_grip);
        SetWindowPos(m_grip, nullptr, corner.x, corner.y, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
    }
}

void CDialogLayout::lay_out() {
    if (m_dialog == nullptr) {
        return;
    }
    RECT client{};
    GetClientRect(m_dialog, &client);
    const std::int32_t dx = client.right - m_initial_client.right;
    const std::int32_t dy = client.bottom - m_initial_client.bottom;

    // Calls move(window, x, y, w, h, flags) for every control, then the grip;
    // false as soon as one move fails.
    auto for_each_move = [&](auto&& move) {
        for (std::uint32_t i = 0; i < m_count; ++i) {
            const HWND control = GetDlgItem(m_dialog, m_map[i].control_id);
            if (control == nullptr) {
                continue; // a mapped id the template does not have
            }
            const layout_placement p =
                anchored_placement(to_layout(m_rects[i]), m_map[i].flags, dx, dy);
            if (!move(control, p.x, p.y, p.width, p.height, SWP_NOZORDER)) {
                return false;
            }
        }
        if (m_grip != nullptr) {
            const POINT corner = grip_corner(m_dialog, m_grip);
            return move(m_grip, corner.x, corner.y, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
        }
        return true;
    };

    // One batch for all moves. When the system cannot give one, or drops it on
    // a failed entry, every control is moved on its own instead.
    HDWP batch = BeginDeferWindowPos(static_cast<int>(m_count + (m_grip != nullptr ? 1 : 0)));
    if (batch != nullptr) {
        for_each_move([&batch](HWND window, int x, int y, int w, int h, UINT flags) {
            batch = DeferWindowPos(batch, window, nullptr, x, y, w, h, flags);
            return batch != nullptr;
        });
    }
    if (batch != nullptr) {
        EndDeferWindowPos(batch);
    } else {
        for_each_move([](HWND window, int x, int y, int w, int h, UINT flags) {
            SetWindowPos(window, nullptr, x, y, w, h, flags);
            return true;
        });
    }
    RedrawWindow(m_dialog, nullptr, nullptr, RDW_INVALIDATE);
}

void CDialogLayout::apply_tracking_limits(HWND dialog, MINMAXINFO& info) const {
    if (m_max_track.cx != 0 && m_max_track.cy != 0) {
        info.ptMaxTrackSize = window_extent(dialog, m_max_track);
    }
    if (m_min_track.cx != 0 && m_min_track.cy != 0) {
        info.ptMinTrackSize = window_extent(dialog, m_min_track);
    }
}
