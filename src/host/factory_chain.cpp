#include "host/factory_chain.h"

namespace {
// Constant-initialised, so it is valid before any factory's constructor runs,
// whatever the order of the translation units.
service_factory_base* g_head = nullptr;
} // namespace

namespace factory_chain {

service_factory_base* head() noexcept {
    return g_head;
}

void link_at_head(service_factory_base* node) noexcept {
    g_head = node;
}

} // namespace factory_chain
