// Opening the component's two kinds of window. Each call creates a new,
// independent window owned by owner (the host's main window) and keeps nothing;
// the window deletes its own object after its final message. Failures to create
// a window are not reported.
#pragma once

#include <cstdint>

#include "host/host_interfaces.h"

void open_cache_statistics_window(window_handle owner);
void open_pool_statistics_window(std::uint32_t pool, std::uint32_t set, window_handle owner);
