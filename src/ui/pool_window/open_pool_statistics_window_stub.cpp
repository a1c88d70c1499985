// Placeholder until the pool statistics window exists: opens nothing.
#include "ui/window_openers.h"

void open_pool_statistics_window(std::uint32_t, std::uint32_t, window_handle) {}
