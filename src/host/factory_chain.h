// The component's chain of service factories. Each factory links itself at
// the head while the library's static objects are constructed; the host walks
// the chain from the head that the gateway's first_factory answers.
#pragma once

#include "host/host_interfaces.h"

namespace factory_chain {

// The most recently linked node; null before any factory exists.
service_factory_base* head() noexcept;
// Makes node the new head. node->next must already name the previous head.
void link_at_head(service_factory_base* node) noexcept;

} // namespace factory_chain
