// Placeholder until the cache statistics window exists: opens nothing.
#include "ui/window_openers.h"

void open_cache_statistics_window(window_handle) {}
