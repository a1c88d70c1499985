// The component's one export, as a host loads it: extern "C", cdecl, exported
// under the undecorated name "auvia_get_interface".
#pragma once

#include "host/host_interfaces.h"

#if defined(_WIN32)
#define AUVIA_ENTRY_CALL __cdecl
#else
#define AUVIA_ENTRY_CALL
#endif

using auvia_get_interface_function = component_gateway*(AUVIA_ENTRY_CALL*)(host_core* core,
                                                                           module_handle instance);

inline constexpr char auvia_get_interface_name[] = "auvia_get_interface";
