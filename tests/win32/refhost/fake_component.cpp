// A deliberately sloppy component for the host's own tests, built several
// times: with FAKE_INTERFACE_VERSION 71 it loads and offers two menu commands
// that break host contracts ("Sloppy Lock" takes the metadata-cache lock twice
// and gives it back once; "Sloppy Reference" keeps the reference run() hands
// over); with another version the host must refuse to load it. FAKE_BROKEN 1
// makes its chain's node point at unmapped memory, FAKE_BROKEN 2 makes its
// entry point answer a gateway there; the host must refuse both, not crash.
#include <windows.h>

#include <cstdint>

#include "host/host_guard.h"
#include "host/host_interfaces.h"
#include "support/errors.h"

namespace {

host_core* g_core = nullptr;

class counted_static : public mainmenu_commands {
public:
    int service_release() override { return 1; }
    int service_add_ref() override { return 1; }
    bool service_query(service_base** out, const GUID& guid) override {
        if (guid != guids::mainmenu_commands) {
            return false;
        }
        *out = this;
        return true;
    }
};

class sloppy_commands final : public counted_static {
public:
    std::uint32_t command_count() override { return 2; }
    GUID command_identifier(std::uint32_t) override { return guids::null_guid; }
    void command_name(std::uint32_t index, string_base& out) override {
        out.assign(index == 0 ? "Sloppy Lock" : "Sloppy Reference", string_base::until_nul);
    }
    bool command_description(std::uint32_t, string_base&) override { return false; }
    GUID parent_group() override { return guids::mainmenu_group_view; }
    std::uint32_t placement() override { return 5; }
    bool display_state(std::uint32_t index, string_base& out, std::uint32_t& flags) override {
        flags = 0;
        command_name(index, out);
        return true;
    }
    void run(std::uint32_t index, service_base* reference) override {
        if (index == 0) {
            service_class_ref cls = g_core->lookup_class(guids::metadata_cache);
            service_base* raw = nullptr;
            if (g_core->create_instance(&raw, cls, 0)) {
                auto* cache = static_cast<metadata_cache*>(raw);
                cache->acquire_lock();
                cache->acquire_lock();
                cache->release_lock();
                cache->service_release();
            }
            reference->service_release();
        }
        // index 1: the reference is kept.
    }
};

sloppy_commands g_commands;

#ifndef FAKE_BROKEN
#define FAKE_BROKEN 0
#endif

// The first 64 KiB of a Windows process are never mapped.
template <typename T> T* unmapped() {
    return reinterpret_cast<T*>(std::uintptr_t{0x1230});
}

class sloppy_node final : public service_factory_base {
public:
    sloppy_node()
        : service_factory_base(FAKE_BROKEN == 1 ? unmapped<service_factory_base>() : nullptr,
                               &guids::mainmenu_commands) {}
    void instance_create(service_base** holder) override { *holder = &g_commands; }
};

sloppy_node g_node;

class sloppy_gateway final : public component_gateway {
public:
    std::uint32_t interface_version() override { return FAKE_INTERFACE_VERSION; }
    service_factory_base* first_factory() override { return &g_node; }
    void write_configuration(stream_writer* writer, abort_callback& abort) override {
        const char record[3] = {'a', 'b', 'c'};
        writer->write(record, 3, abort);
    }
    void read_configuration(stream_reader* reader, abort_callback& abort) override {
        // Reads byte by byte to the end, whichever way the host's stream ends
        // (through the guard that turns the host's errors into ours).
        char byte = 0;
        try {
            while (guarded_host_value<std::uint32_t>(
                       [&] { return reader->read(&byte, 1, abort); }) == 1) {
            }
        } catch (const auvia_io::exception_io_data&) {
        }
    }
    void set_paths(const char*, const char*) override {}
    void set_host_ready(bool) override {}
    bool reserved_query() override { return false; }
};

sloppy_gateway g_gateway;

} // namespace

extern "C" __declspec(dllexport) component_gateway* __cdecl auvia_get_interface(host_core* core,
                                                                                HINSTANCE) {
    g_core = core;
    return FAKE_BROKEN == 2 ? unmapped<component_gateway>() : &g_gateway;
}
