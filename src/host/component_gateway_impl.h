// The object the entry point hands the host: the component's interface
// version, its factory chain, its (empty) configuration, its file name and the
// host-ready flag. One static instance; no operation lets an exception out.
#pragma once

#include "host/host_interfaces.h"

class component_gateway_impl final : public component_gateway {
public:
    std::uint32_t interface_version() override;
    service_factory_base* first_factory() override;
    void write_configuration(stream_writer* writer, abort_callback& abort) override;
    void read_configuration(stream_reader* reader, abort_callback& abort) override;
    // Keeps text_b as the component's file name; text_a is not used.
    void set_paths(const char* text_a, const char* text_b) override;
    void set_host_ready(bool ready) override;
    bool reserved_query() override;
};

// Stores the host's core and the module handle (later calls overwrite them)
// and answers the gateway. The Win32 export forwards here.
component_gateway* component_entry(host_core* core, module_handle instance) noexcept;
