#include "refhost/output_services.h"

#include <windows.h>

#include <cstring>

#include "refhost/text_convert.h"

namespace refhost {

std::string text_argument(const char* text, std::uint32_t length) {
    if (text == nullptr) {
        return {};
    }
    if (length == 0xFFFFFFFFu) {
        return std::string(text);
    }
    const void* nul = std::memchr(text, 0, length);
    const std::size_t size =
        nul == nullptr ? length : static_cast<std::size_t>(static_cast<const char*>(nul) - text);
    return std::string(text, size);
}

void alert_service_impl::show_alert(const char* text, std::uint32_t text_length,
                                    const char* caption, std::uint32_t caption_length,
                                    std::uint32_t kind) {
    m_host.enter(host_call::show_alert);
    alert_record alert{text_argument(text, text_length), text_argument(caption, caption_length),
                       kind};
    m_host.alerts.push_back(alert);
    if (m_host.options.interactive) {
        const UINT icon = kind == 0   ? MB_ICONERROR
                          : kind == 1 ? MB_ICONWARNING
                                      : MB_ICONINFORMATION;
        MessageBoxW(m_host.owner, utf8_to_wide(alert.text).c_str(),
                    utf8_to_wide(alert.caption).c_str(), MB_OK | icon);
        return;
    }
    if (m_host.options.echo_stdout) {
        write_stdout_line("alert [" + alert.caption + "] (kind " + std::to_string(kind) +
                          "): " + alert.text);
    }
    if (m_host.console_pane) {
        m_host.console_pane("Alert: " + alert.caption + ": " + alert.text);
    }
}

void console_service::print_line(const char* text, std::uint32_t length) {
    m_host.enter(host_call::print_line);
    m_host.console_line(text_argument(text, length));
}

} // namespace refhost
