#include "host/console_output.h"

#include "host/component_state.h"
#include "host/host_guard.h"
#include "host/module_state.h"
#include "host/service_ptr.h"

void console_print(const char* utf8) {
    if (!component_state::host_ready()) {
        return;
    }
    host_core* core = module_state::core();
    if (core == nullptr) {
        return;
    }
    const service_class_ref console_class = guarded_host_value<service_class_ref>(
        [&] { return core->lookup_class(guids::console_sink); });
    for (std::uint32_t index = 0;; ++index) {
        service_base* raw = nullptr;
        const bool created = guarded_host_value<bool>(
            [&] { return core->create_instance(&raw, console_class, index); });
        service_ptr_t<console_sink> console;
        console.attach(static_cast<console_sink*>(raw));
        if (!created || !console) {
            return;
        }
        guarded_host_calls(
            [&] { console->print_line(utf8 != nullptr ? utf8 : "", string_base::until_nul); });
    }
}
