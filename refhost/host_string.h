// The host's string receiver: the string object the host hands to component
// operations that answer text (names, descriptions, version records).
#pragma once

#include <string>

#include "support/string_base.h"

namespace refhost {

class host_string final : public string_base {
public:
    host_string() = default;
    host_string(const host_string&) = delete;
    host_string& operator=(const host_string&) = delete;
    ~host_string() = default;

    void append(const char* text, std::uint32_t max_bytes) override;
    const char* chars() const override { return m_text.c_str(); }
    void assign(const char* text, std::uint32_t max_bytes) override;
    void shorten(std::uint32_t n) override;
    std::uint32_t byte_length() const override { return static_cast<std::uint32_t>(m_text.size()); }
    char* open_buffer(std::uint32_t n) override;
    void close_buffer() override;

    const std::string& text() const { return m_text; }

private:
    std::string m_text;
};

} // namespace refhost
