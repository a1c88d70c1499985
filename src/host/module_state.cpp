#include "host/module_state.h"

namespace {
host_core* g_core = nullptr;
module_handle g_instance = nullptr;
} // namespace

namespace module_state {

host_core* core() noexcept {
    return g_core;
}
module_handle instance() noexcept {
    return g_instance;
}
void set_host(host_core* core_ptr, module_handle instance_handle) noexcept {
    g_core = core_ptr;
    g_instance = instance_handle;
}

} // namespace module_state
