#include "ui/framework/error_report.h"

#include "host/service_lookup.h"
#include "support/string8.h"

void report_unhandled_exception(const std::exception& error) noexcept {
    report_unhandled_exception_text(error.what());
}

void report_unhandled_exception_text(const char* text) noexcept {
    try {
        string8_fast message;
        message.append("Unhandled exception:\n", string_base::until_nul);
        message.append(text, string_base::until_nul);
        service_ptr_t<alert_service> alerts = lookup_single<alert_service>(guids::alert_service);
        alerts->show_alert(message.chars(), string_base::until_nul, "Metadata Cache Statistics",
                           string_base::until_nul, 0);
    } catch (...) {
        // Nothing left to report through.
    }
}
