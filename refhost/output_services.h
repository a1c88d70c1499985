// alert_service and console_sink: how components talk to the user.
#pragma once

#include <string>

#include "refhost/host_service.h"

namespace refhost {

// Alerts show as message boxes owned by the main window in interactive mode;
// otherwise they are recorded and printed, so that nothing blocks. Kinds:
// 0 error, 1 warning, anything else information.
class alert_service_impl final : public host_service<alert_service> {
public:
    explicit alert_service_impl(host_context& host)
        : host_service(host, guids::alert_service, "alert_service") {}

    void show_alert(const char* text, std::uint32_t text_length, const char* caption,
                    std::uint32_t caption_length, std::uint32_t kind) override;
};

// Console lines go to the main window's console pane and are recorded.
class console_service final : public host_service<console_sink> {
public:
    explicit console_service(host_context& host)
        : host_service(host, guids::console_sink, "console_sink") {}

    void print_line(const char* text, std::uint32_t length) override;
};

// A text given as pointer and length (0xFFFFFFFF: up to the NUL; otherwise at
// most length bytes, stopping at a NUL). Null reads as empty.
std::string text_argument(const char* text, std::uint32_t length);

} // namespace refhost
