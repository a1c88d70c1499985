#include <windows.h>

#include <commctrl.h>

#include <exception>
#include <memory>

#include "ui/pool_window/pool_stats_dialog.h"
#include "ui/window_openers.h"

void open_pool_statistics_window(std::uint32_t pool, std::uint32_t set, window_handle owner) {
    // The window's controls: tab control and list views.
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&classes);

    try {
        auto window = std::make_unique<CPoolStatsDialog>(pool, set);
        if (window->create(owner) != nullptr) {
            window.release(); // the window deletes its object after its final message
        }
    } catch (const std::exception&) {
        // Not enough memory for the window object: nothing opens, nothing is reported.
    }
}
