#include "refhost/host_string.h"

#include <cstring>

namespace refhost {

void host_string::append(const char* text, std::uint32_t max_bytes) {
    if (text == nullptr) {
        return;
    }
    const void* nul =
        std::memchr(text, 0, max_bytes == until_nul ? std::strlen(text) + 1 : max_bytes);
    const std::size_t size =
        nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - text) : max_bytes;
    m_text.append(text, size);
}

void host_string::assign(const char* text, std::uint32_t max_bytes) {
    if (text >= m_text.data() && text <= m_text.data() + m_text.size()) {
        const std::string copy(text); // text points into this string
        m_text.clear();
        append(copy.c_str(), max_bytes);
        return;
    }
    m_text.clear();
    append(text, max_bytes);
}

void host_string::shorten(std::uint32_t n) {
    if (n < m_text.size()) {
        m_text.resize(n);
    }
}

char* host_string::open_buffer(std::uint32_t n) {
    m_text.assign(n, '\0');
    return m_text.data();
}

void host_string::close_buffer() {
    m_text.resize(std::strlen(m_text.c_str()));
}

} // namespace refhost
