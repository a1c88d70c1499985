#include "host/component_state.h"

#include <string>

namespace {
// Freed by static destruction when the library unloads.
std::string g_file_name;
bool g_host_ready = false;
} // namespace

namespace component_state {

const char* file_name() noexcept {
    return g_file_name.c_str();
}

void set_file_name(const char* text) {
    std::string copy(text != nullptr ? text : "");
    g_file_name.swap(copy);
}

bool host_ready() noexcept {
    return g_host_ready;
}

void set_host_ready(bool ready) noexcept {
    g_host_ready = ready;
}

} // namespace component_state
