#include "ui/framework/subclassed_window.h"

#include <exception>

#include "ui/framework/error_report.h"

namespace {
const wchar_t k_property[] = L"PoolScope.SubclassedWindow";

// The window whose messages came last, and its object. A window property read
// is a round trip to the window server under wine, and a list being filled
// receives several messages per row, all for the same window.
thread_local HWND t_last_window = nullptr;
thread_local subclassed_window* t_last_object = nullptr;

subclassed_window* object_of(HWND window) {
    if (window != t_last_window || window == nullptr) {
        t_last_object = static_cast<subclassed_window*>(GetPropW(window, k_property));
        t_last_window = t_last_object != nullptr ? window : nullptr;
    }
    return t_last_object;
}

void forget_window(HWND window) {
    if (window == t_last_window) {
        t_last_window = nullptr;
        t_last_object = nullptr;
    }
}
} // namespace

subclassed_window::~subclassed_window() {
    unsubclass();
}

bool subclassed_window::subclass(HWND window) {
    if (m_hwnd != nullptr || window == nullptr || !IsWindow(window)) {
        return false;
    }
    forget_window(window);
    if (!SetPropW(window, k_property, reinterpret_cast<HANDLE>(this))) {
        return false;
    }
    SetLastError(0);
    const LONG_PTR previous =
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(window_procedure()));
    if (previous == 0 && GetLastError() != 0) {
        RemovePropW(window, k_property);
        return false;
    }
    m_original = reinterpret_cast<WNDPROC>(previous);
    m_hwnd = window;
    return true;
}

void subclassed_window::unsubclass() {
    if (m_hwnd == nullptr) {
        return;
    }
    if (IsWindow(m_hwnd)) {
        const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(m_hwnd, GWLP_WNDPROC));
        if (current == window_procedure()) {
            SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_original));
        }
        RemovePropW(m_hwnd, k_property);
    }
    forget_window(m_hwnd);
    m_hwnd = nullptr;
    m_original = DefWindowProcW;
}

LRESULT subclassed_window::call_original(UINT message, WPARAM wparam, LPARAM lparam) {
    return CallWindowProcW(m_original, m_hwnd, message, wparam, lparam);
}

LRESULT CALLBACK subclassed_window::window_proc(HWND window, UINT message, WPARAM wparam,
                                                LPARAM lparam) {
    subclassed_window* self = object_of(window);
    if (self == nullptr) {
        return DefWindowProcW(window, message, wparam, lparam);
    }
    if (message == WM_NCDESTROY) {
        const WNDPROC original = self->m_original;
        self->unsubclass();
        self->on_final_message(window);
        return CallWindowProcW(original, window, message, wparam, lparam);
    }
    LRESULT result = 0;
    try {
        if (self->process_message(window, message, wparam, lparam, result)) {
            return result;
        }
    } catch (const std::exception& error) {
        report_unhandled_exception(error);
        return 0;
    } catch (...) {
        report_unhandled_exception_text("Unknown exception");
        return 0;
    }
    return self->call_original(message, wparam, lparam);
}
