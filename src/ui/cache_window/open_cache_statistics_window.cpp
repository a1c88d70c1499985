#include <exception>
#include <memory>

#include "host/module_state.h"
#include "resources/resource_ids.h"
#include "ui/cache_window/cache_stats_dialog.h"
#include "ui/window_openers.h"

void open_cache_statistics_window(window_handle owner) {
    try {
        auto window = std::make_unique<CCacheStatsDialog>();
        // Once created, the window owns its object and deletes it after its
        // last message; a dialog that was never created is deleted here.
        if (window->create(module_state::instance(), IDD_CACHE_STATS, owner) != nullptr) {
            window.release();
        }
    } catch (const std::exception&) {
        // Not enough memory for the window object: nothing opens.
    }
}
