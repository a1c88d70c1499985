// Loading and unloading component DLLs: the entry point, the interface
// version, the factory chain, paths, configuration and the host-ready flag.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "refhost/host_context.h"
#include "refhost/service_registry.h"

namespace refhost {

struct loaded_component {
    std::uint32_t id = 0;
    std::wstring path;
    std::string path_utf8;
    HMODULE module = nullptr;
    component_gateway* gateway = nullptr;
    std::vector<service_factory_base*> nodes; // the factory chain, in chain order
    // From the component's componentversion record, when it has one.
    std::string name;
    std::string version;
    std::string about;
    std::string file_name;
    std::wstring configuration_file;
    std::uint32_t configuration_bytes_read = 0;      // stream position after reading
    std::vector<std::uint8_t> configuration_written; // what it wrote at unload
};

// Loads the DLL at path and registers its factories. On failure returns false
// with a message in error; nothing of the component stays loaded. A DLL that
// is one of `loaded` already is refused (its factories are registered).
bool load_component(host_context& host, service_registry& registry, const std::wstring& path,
                    std::uint32_t id, const std::vector<loaded_component>& loaded,
                    loaded_component& out, std::string& error);

// Asks the component for its configuration (kept in out.configuration_written
// and written to its file), removes its factories and frees the DLL.
void unload_component(host_context& host, service_registry& registry, loaded_component& component);

// The profile folder: options.profile_dir, or "profile" beside the executable.
std::wstring profile_folder(const host_context& host);

} // namespace refhost
