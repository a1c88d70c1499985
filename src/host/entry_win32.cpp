// The exported entry point of poolscope.dll. cdecl with C linkage, so the
// export table carries the plain name (no leading underscore, no @n suffix).
#include <windows.h>

#include "host/component_gateway_impl.h"
#include "host/entry_point.h"

extern "C" __declspec(dllexport) component_gateway* AUVIA_ENTRY_CALL
    auvia_get_interface(host_core* core, HINSTANCE instance) {
    return component_entry(core, instance);
}
