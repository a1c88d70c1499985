// Modeless dialog base: creates a dialog from a template of the component's
// module, keeps `this` in the window and forwards every message to one member
// handler. After the window's last message (WM_NCDESTROY) it calls
// on_final_message, where a top-level window may delete itself.
#pragma once

#include <windows.h>

class dialog_window {
public:
    dialog_window() = default;
    dialog_window(const dialog_window&) = delete;
    dialog_window& operator=(const dialog_window&) = delete;

    HWND handle() const noexcept { return m_hwnd; }

    // Creates the dialog from template_id of module with the given owner (a
    // top-level window) or parent (a child dialog). Returns null on failure,
    // also when the window was destroyed again before creation returned (its
    // initialisation failed and something pumped the close): on_final_message
    // is not called then, and the object still belongs to the caller.
    HWND create(HINSTANCE module, WORD template_id, HWND owner_or_parent);

    // One handler per window: answers whether the message was handled and, if
    // so, with which result. Exceptions never leave it: the dialog procedure
    // catches them and reports them.
    virtual bool process_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                 LRESULT& result) = 0;
    virtual ~dialog_window() = default;
    virtual DLGPROC dialog_procedure() const { return &dialog_window::dialog_proc; }
    // Called after WM_NCDESTROY, when handle() is already null.
    virtual void on_final_message(HWND) {}

private:
    static INT_PTR CALLBACK dialog_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

    HWND m_hwnd = nullptr;
    bool m_creating = false;
    bool m_destroyed_while_creating = false;
};
