#include "refhost/app/window_steps.h"

#include <commctrl.h>

#include <vector>

#include "refhost/window_actions.h"
#include "refhost/window_reading.h"

namespace refhost {

namespace {

HWND newest_window(const host& h, const char* title) {
    const std::vector<HWND> windows = h.top_level_windows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if (title == nullptr || window_title(*it) == title) {
            return *it;
        }
    }
    return nullptr;
}

bool select_tab(HWND window, std::uint32_t tab, std::string& error) {
    const std::vector<HWND> tabs = descendants(window, WC_TABCONTROLW);
    if (tabs.empty()) {
        error = "the window \"" + window_title(window) + "\" has no tabs";
        return false;
    }
    return select_tab_as_user(tabs.front(), static_cast<int>(tab), error);
}

} // namespace

bool do_window_step(host& h, const window_step& step, std::string& error) {
    if (step.what == window_step::kind::select_tab) {
        const HWND window = newest_window(h, nullptr);
        if (window == nullptr) {
            error = "there is no window";
            return false;
        }
        return select_tab(window, step.tab, error);
    }
    const HWND window = newest_window(h, statistics_window_title);
    if (window == nullptr) {
        error = std::string("there is no \"") + statistics_window_title + "\" window";
        return false;
    }
    if (!select_tab(window, step.tab, error)) {
        return false;
    }
    const HWND list = visible_list_view(window);
    if (list == nullptr) {
        error = "tab " + std::to_string(step.tab) + " shows no list";
        return false;
    }
    return activate_list_row(list, static_cast<int>(step.row), error);
}

} // namespace refhost
