// Module-wide state of the component: what the host handed over through the
// entry point. One per loaded library; no locks (UI thread only).
#pragma once

#include "host/host_interfaces.h"

namespace module_state {

// The host's core, null until auvia_get_interface has been called.
host_core* core() noexcept;
// The component's own module (dialog templates, the About document).
module_handle instance() noexcept;
// Called by the entry point (and by tests that host the engine natively).
void set_host(host_core* core, module_handle instance) noexcept;

} // namespace module_state
