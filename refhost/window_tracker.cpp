#include "refhost/window_tracker.h"

#include <algorithm>

namespace refhost {

namespace {

std::vector<HWND> g_created; // one host at a time per thread

bool helper_window(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    static const wchar_t* const helpers[] = {L"tooltips_class32", L"#32768",    L"IME",
                                             L"MSCTFIME UI",      L"ComboLBox", L"SysShadow",
                                             L"#32769",           L"Message"};
    for (const wchar_t* h : helpers) {
        if (lstrcmpiW(name, h) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

window_tracker::window_tracker() {
    g_created.clear();
    m_hook = SetWindowsHookExW(WH_CBT, &window_tracker::hook, nullptr, GetCurrentThreadId());
}

window_tracker::~window_tracker() {
    if (m_hook != nullptr) {
        UnhookWindowsHookEx(m_hook);
    }
    g_created.clear();
}

LRESULT CALLBACK window_tracker::hook(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HCBT_CREATEWND) {
        const auto* create = reinterpret_cast<const CBT_CREATEWNDW*>(lparam);
        if (create != nullptr && create->lpcs != nullptr && (create->lpcs->style & WS_CHILD) == 0) {
            try {
                g_created.push_back(reinterpret_cast<HWND>(wparam));
            } catch (...) {
                // Out of memory: the window goes untracked; nothing may leave a hook.
            }
        }
    } else if (code == HCBT_DESTROYWND) {
        // Handle values come back for new windows: forget destroyed ones.
        const auto w = reinterpret_cast<HWND>(wparam);
        g_created.erase(std::remove(g_created.begin(), g_created.end(), w), g_created.end());
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

std::vector<HWND> window_tracker::windows(HWND exclude) const {
    std::vector<HWND> living;
    for (HWND w : g_created) {
        if (w == exclude || !IsWindow(w) || (GetWindowLongW(w, GWL_STYLE) & WS_CHILD) != 0 ||
            helper_window(w) || std::find(living.begin(), living.end(), w) != living.end()) {
            continue;
        }
        // Hidden windows count only when they are dialogs or owned by the
        // main window: the rest are the system's helpers (OLE, clipboard).
        wchar_t name[16] = {};
        GetClassNameW(w, name, 16);
        if (IsWindowVisible(w) || lstrcmpW(name, L"#32770") == 0 ||
            (exclude != nullptr && GetWindow(w, GW_OWNER) == exclude)) {
            living.push_back(w);
        }
    }
    return living;
}

} // namespace refhost
