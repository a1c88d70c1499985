#include "refhost/component_loader.h"

#include <cstdint>
#include <exception>
#include <set>

#include "host/entry_point.h"
#include "host/service_ptr.h"
#include "refhost/config_stream.h"
#include "refhost/host_string.h"
#include "refhost/low_address_space.h"
#include "refhost/text_convert.h"

namespace refhost {

namespace {

constexpr std::uint32_t chain_limit = 4096;

std::wstring file_part(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring full_path(const std::wstring& path) {
    wchar_t buffer[MAX_PATH * 4];
    const DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH * 4, buffer, nullptr);
    return n == 0 || n >= MAX_PATH * 4 ? path : std::wstring(buffer, n);
}

// Runs a call into the component; an exception leaving it is a breach.
template <typename F> bool guarded(host_context& host, const char* what, F&& f) {
    try {
        f();
        return true;
    } catch (const std::exception& e) {
        host.record_violation(std::string("exception left ") + what + ": " + e.what());
    } catch (...) {
        host.record_violation(std::string("exception left ") + what);
    }
    return false;
}

// True when size bytes at address are committed memory that may be read.
bool readable(const void* address, std::size_t size) {
    auto at = reinterpret_cast<std::uintptr_t>(address);
    const std::uintptr_t end = at + size;
    if (address == nullptr || end < at) {
        return false;
    }
    constexpr DWORD readable_pages = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY |
                                     PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE |
                                     PAGE_EXECUTE_WRITECOPY;
    while (at < end) {
        MEMORY_BASIC_INFORMATION info{};
        if (VirtualQuery(reinterpret_cast<const void*>(at), &info, sizeof info) == 0 ||
            info.State != MEM_COMMIT || (info.Protect & PAGE_GUARD) != 0 ||
            (info.Protect & readable_pages) == 0) {
            return false;
        }
        at = reinterpret_cast<std::uintptr_t>(info.BaseAddress) + info.RegionSize;
    }
    return true;
}

// An object the host calls through: the object's table pointer and the first
// `slots` entries of the table can be read.
bool callable_object(const void* object, std::size_t slots) {
    if (!readable(object, sizeof(void*))) {
        return false;
    }
    const void* table = *static_cast<const void* const*>(object);
    return readable(table, slots * sizeof(void*));
}

bool walk_chain(loaded_component& c, std::string& error) {
    std::set<service_factory_base*> seen;
    for (service_factory_base* node = c.gateway->first_factory(); node != nullptr;
         node = node->next) {
        // The host reads the node's three words and the class GUID directly: a
        // broken chain must give a message, not a crash.
        if (!readable(node, 3 * sizeof(void*)) || !callable_object(node, 1) ||
            !readable(node->class_guid, sizeof(GUID))) {
            error = "its factory chain points at unreadable memory";
            return false;
        }
        if (!seen.insert(node).second) {
            error = "its factory chain runs in a circle";
            return false;
        }
        if (seen.size() > chain_limit) {
            error = "its factory chain is longer than " + std::to_string(chain_limit) + " nodes";
            return false;
        }
        c.nodes.push_back(node);
    }
    return true;
}

void read_version_record(host_context& host, service_registry& registry, loaded_component& c) {
    const std::uint32_t count = registry.instances_of(guids::componentversion);
    for (std::uint32_t i = 0; i < count; ++i) {
        if (registry.origin_of(guids::componentversion, i) != c.id) {
            continue;
        }
        service_base* raw = registry.create_for_host(guids::componentversion, i);
        if (raw == nullptr) {
            continue;
        }
        service_ptr_t<componentversion> version;
        version.attach(static_cast<componentversion*>(raw));
        host_string name, number, about, file;
        if (guarded(host, "componentversion", [&] {
                version->file_name(file);
                version->component_name(name);
                version->component_version(number);
                version->about_text(about);
            })) {
            c.name = name.text();
            c.version = number.text();
            c.about = about.text();
            c.file_name = file.text();
        }
        return;
    }
}

} // namespace

std::wstring profile_folder(const host_context& host) {
    if (!host.options.profile_dir.empty()) {
        return host.options.profile_dir;
    }
    wchar_t exe[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH * 4);
    std::wstring dir(exe, n);
    const std::size_t slash = dir.find_last_of(L"\\/");
    dir = slash == std::wstring::npos ? L"." : dir.substr(0, slash);
    return dir + L"\\profile";
}

bool load_component(host_context& host, service_registry& registry, const std::wstring& path,
                    std::uint32_t id, const std::vector<loaded_component>& loaded,
                    loaded_component& out, std::string& error) {
    loaded_component c;
    c.id = id;
    c.path = full_path(path);
    c.path_utf8 = wide_to_utf8(c.path);
    renew_low_address_reservation();
    c.module = LoadLibraryExW(c.path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (c.module == nullptr) {
        const DWORD code = GetLastError();
        std::string text = system_error_message(code);
        if (const std::size_t insert = text.find("%1"); insert != std::string::npos) {
            text.replace(insert, 2, "this file"); // "Bad EXE format for %1"
        }
        error = text + " (error " + std::to_string(code) + ")";
        return false;
    }
    for (const loaded_component& other : loaded) {
        if (other.module == c.module) {
            error = "it is loaded already (from " + other.path_utf8 + ")";
            FreeLibrary(c.module);
            return false;
        }
    }
    const auto entry = reinterpret_cast<auvia_get_interface_function>(
        reinterpret_cast<void*>(GetProcAddress(c.module, auvia_get_interface_name)));
    if (entry == nullptr) {
        error = std::string("it does not export ") + auvia_get_interface_name;
        FreeLibrary(c.module);
        return false;
    }
    const bool entered = guarded(host, auvia_get_interface_name, [&] {
        c.gateway = entry(&registry, reinterpret_cast<module_handle>(c.module));
    });
    if (!entered || c.gateway == nullptr) {
        error = entered ? std::string(auvia_get_interface_name) + " answered no interface"
                        : std::string(auvia_get_interface_name) + " failed";
        FreeLibrary(c.module);
        return false;
    }
    constexpr std::size_t gateway_operations = 7;
    if (!callable_object(c.gateway, gateway_operations)) {
        error = std::string(auvia_get_interface_name) + " answered unreadable memory";
        FreeLibrary(c.module);
        return false;
    }
    std::uint32_t version = 0;
    if (!guarded(host, "component_gateway::interface_version",
                 [&] { version = c.gateway->interface_version(); })) {
        error = "its interface version could not be read";
        FreeLibrary(c.module);
        return false;
    }
    if (version != component_interface_version) {
        error = "it has interface version " + std::to_string(version) + "; this host needs " +
                std::to_string(component_interface_version);
        FreeLibrary(c.module);
        return false;
    }
    bool chained = false;
    guarded(host, "component_gateway::first_factory", [&] { chained = walk_chain(c, error); });
    if (!chained) {
        if (error.empty()) {
            error = "its factory chain could not be read";
        }
        FreeLibrary(c.module);
        return false;
    }
    for (service_factory_base* node : c.nodes) {
        registry.add_factory(node, id);
    }

    const std::string profile = wide_to_utf8(profile_folder(host));
    guarded(host, "component_gateway::set_paths",
            [&] { c.gateway->set_paths(profile.c_str(), c.path_utf8.c_str()); });

    c.configuration_file =
        profile_folder(host) + L"\\configuration\\" + file_part(c.path) + L".cfg";
    std::vector<std::uint8_t> stored;
    std::string read_error;
    if (!read_file_bytes(c.configuration_file, stored, read_error)) {
        host.host_message("Cannot read the configuration of " + c.path_utf8 + ": " + read_error,
                          true);
        stored.clear();
    }
    memory_stream_reader reader(host, std::move(stored));
    host_abort abort;
    guarded(host, "component_gateway::read_configuration",
            [&] { c.gateway->read_configuration(&reader, abort); });
    c.configuration_bytes_read = reader.position();

    guarded(host, "component_gateway::set_host_ready", [&] { c.gateway->set_host_ready(true); });
    read_version_record(host, registry, c);
    out = std::move(c);
    return true;
}

void unload_component(host_context& host, service_registry& registry, loaded_component& component) {
    if (component.module == nullptr) {
        return;
    }
    memory_stream_writer writer(host);
    host_abort abort;
    if (guarded(host, "component_gateway::write_configuration",
                [&] { component.gateway->write_configuration(&writer, abort); })) {
        component.configuration_written = writer.bytes();
        std::string error;
        if (!write_file_bytes(component.configuration_file, writer.bytes(), error)) {
            host.host_message(
                "Cannot write the configuration of " + component.path_utf8 + ": " + error, true);
        }
    }
    registry.remove_component(component.id);
    FreeLibrary(component.module);
    component.module = nullptr;
    component.gateway = nullptr;
    component.nodes.clear();
}

} // namespace refhost
