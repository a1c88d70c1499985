#include "ui/framework/dialog_window.h"

#include <exception>

#include "ui/framework/error_report.h"

HWND dialog_window::create(HINSTANCE module, WORD template_id, HWND owner_or_parent) {
    m_creating = true;
    m_destroyed_while_creating = false;
    const HWND window = CreateDialogParamW(module, MAKEINTRESOURCEW(template_id), owner_or_parent,
                                           dialog_procedure(), reinterpret_cast<LPARAM>(this));
    m_creating = false;
    if (m_destroyed_while_creating) {
        m_destroyed_while_creating = false;
        return nullptr;
    }
    return window;
}

namespace {

// Messages whose result a dialog procedure returns directly rather than
// through DWLP_MSGRESULT.
bool returns_result_directly(UINT message) {
    switch (message) {
    case WM_INITDIALOG:
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_QUERYDRAGICON:
    case WM_VKEYTOITEM:
        return true;
    default:
        return false;
    }
}

} // namespace

INT_PTR CALLBACK dialog_window::dialog_proc(HWND window, UINT message, WPARAM wparam,
                                            LPARAM lparam) {
    dialog_window* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<dialog_window*>(lparam);
        SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        if (self != nullptr) {
            self->m_hwnd = window;
        }
    } else {
        self = reinterpret_cast<dialog_window*>(GetWindowLongPtrW(window, DWLP_USER));
    }
    if (self == nullptr) {
        return FALSE; // messages before WM_INITDIALOG (WM_SETFONT) get default handling
    }

    LRESULT result = 0;
    bool handled = false;
    try {
        handled = self->process_message(window, message, wparam, lparam, result);
    } catch (const std::exception& error) {
        report_unhandled_exception(error);
    } catch (...) {
        report_unhandled_exception_text("Unknown exception");
    }

    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, DWLP_USER, 0);
        self->m_hwnd = nullptr;
        if (self->m_creating) {
            // The creator still holds the object and learns of the failure
            // from create(); deleting it here would delete it twice.
            self->m_destroyed_while_creating = true;
        } else {
            self->on_final_message(window); // may delete self
        }
        return handled ? TRUE : FALSE;
    }
    if (!handled) {
        return FALSE;
    }
    if (returns_result_directly(message)) {
        return static_cast<INT_PTR>(result);
    }
    SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
    return TRUE;
}
