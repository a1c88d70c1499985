#include "ui/framework/error_report.h"

#include "host/host_guard.h"
#include "host/service_lookup.h"
#include "support/string8.h"

#include <new>

void report_unhandled_exception(const std::exception& error) noexcept {
    // An out-of-memory error reads the same whichever runtime raised it (ours,
    // or the host's, into a host call): the C++ runtime's own what() of
    // std::bad_alloc differs between runtimes.
    const bool out_of_memory = dynamic_cast<const std::bad_alloc*>(&error) != nullptr;
    report_unhandled_exception_text(out_of_memory ? "bad allocation" : error.what());
}

void report_unhandled_exception_text(const char* text) noexcept {
    try {
        string8_fast message;
        message.append("Unhandled exception:\n", string_base::until_nul);
        message.append(text, string_base::until_nul);
        service_ptr_t<alert_service> alerts = lookup_single<alert_service>(guids::alert_service);
        guarded_host_calls([&] {
            alerts->show_alert(message.chars(), string_base::until_nul, "Metadata Cache Statistics",
                               string_base::until_nul, 0);
        });
    } catch (...) {
        // Nothing left to report through.
    }
}
