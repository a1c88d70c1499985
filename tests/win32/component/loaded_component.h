// poolscope.dll loaded from beside the test executable, as the host loads it,
// with a test host core passed to its entry point.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "host/entry_point.h"
#include "native/host/host_fakes.h"

namespace component {

// The folder of the running executable, with a trailing backslash.
std::wstring executable_folder();

// The names in a loaded module's export table, in table order.
std::vector<std::string> exported_names(HMODULE module);

struct loaded {
    HMODULE module = nullptr;
    auvia_get_interface_function entry = nullptr;
    component_gateway* gateway = nullptr;
    fakes::core core;
    fakes::console console_a;
    fakes::console console_b;
};

// Loads the DLL once per process and calls its entry point with the test core
// (which offers two console instances). Null module when loading failed.
loaded& component_under_test();

} // namespace component
