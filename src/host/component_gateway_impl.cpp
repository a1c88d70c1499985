#include "host/component_gateway_impl.h"

#include "host/component_state.h"
#include "host/configuration_stream.h"
#include "host/factory_chain.h"
#include "host/module_state.h"

namespace {
component_gateway_impl g_gateway;
} // namespace

std::uint32_t component_gateway_impl::interface_version() {
    return component_interface_version;
}

service_factory_base* component_gateway_impl::first_factory() {
    return factory_chain::head();
}

void component_gateway_impl::write_configuration(stream_writer* writer, abort_callback& abort) {
    if (writer == nullptr) {
        return;
    }
    try {
        write_configuration_records(*writer, abort, component_configuration_records());
    } catch (...) {
        // A failing or cancelled writer ends the writing; nothing may reach the host.
    }
}

void component_gateway_impl::read_configuration(stream_reader* reader, abort_callback& abort) {
    if (reader == nullptr) {
        return;
    }
    try {
        read_configuration_records(*reader, abort, component_configuration_records());
    } catch (...) {
        // Cancellation or a failing stream ends the reading; nothing is kept anyway.
    }
}

void component_gateway_impl::set_paths(const char*, const char* text_b) {
    try {
        component_state::set_file_name(text_b);
    } catch (...) {
        // Out of memory: the previous name stays.
    }
}

void component_gateway_impl::set_host_ready(bool ready) {
    component_state::set_host_ready(ready);
}

bool component_gateway_impl::reserved_query() {
    return false;
}

component_gateway* component_entry(host_core* core, module_handle instance) noexcept {
    module_state::set_host(core, instance);
    return &g_gateway;
}
