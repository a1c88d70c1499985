// Subclassing base for controls that a dialog template created: replaces the
// window's procedure, sees every message first and passes the ones it does not
// consume to the replaced procedure. On WM_NCDESTROY it puts the replaced
// procedure back (if the window's procedure is still ours) and forgets the
// window.
#pragma once

#include <windows.h>

class subclassed_window {
public:
    subclassed_window() = default;
    subclassed_window(const subclassed_window&) = delete;
    subclassed_window& operator=(const subclassed_window&) = delete;

    HWND handle() const noexcept { return m_hwnd; }

    // Attaches to window; false (and nothing changed) if the replacement fails
    // or this object is already attached.
    bool subclass(HWND window);
    // Detaches early, restoring the replaced procedure if it is still ours.
    void unsubclass();

    // Answers whether the message was consumed and with which result.
    virtual bool process_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                 LRESULT& result) = 0;
    virtual ~subclassed_window();
    virtual WNDPROC window_procedure() const { return &subclassed_window::window_proc; }
    virtual void on_final_message(HWND) {}

protected:
    // Passes a message to the replaced procedure.
    LRESULT call_original(UINT message, WPARAM wparam, LPARAM lparam);

private:
    static LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

    HWND m_hwnd = nullptr;
    WNDPROC m_original = DefWindowProcW;
};
