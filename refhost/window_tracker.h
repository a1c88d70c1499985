// Follows the top-level windows created on the host's thread (a CBT hook), so
// that the host can list the component's windows in the order they appeared.
#pragma once

#include <windows.h>

#include <vector>

namespace refhost {

class window_tracker {
public:
    window_tracker();
    ~window_tracker();
    window_tracker(const window_tracker&) = delete;
    window_tracker& operator=(const window_tracker&) = delete;

    // The living top-level windows created since the tracker started, in
    // creation order, without `exclude` and without the system's helper
    // windows (tool tips, menus, IME windows, hidden OLE and clipboard
    // windows and the like). Hidden windows count when they are dialogs or
    // owned by exclude (the main window).
    std::vector<HWND> windows(HWND exclude) const;

private:
    static LRESULT CALLBACK hook(int code, WPARAM wparam, LPARAM lparam);
    HHOOK m_hook = nullptr;
};

} // namespace refhost
