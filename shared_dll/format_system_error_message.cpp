// uFormatSystemErrorMessage: the system's message text for a Win32 error code,
// written in UTF-8 into the caller's string through its string_base table.
#include <windows.h>

#include <string>

#include "support/shared_api.h"

namespace {

// The buffer FormatMessageW allocated, freed on every path.
class local_buffer {
public:
    local_buffer() = default;
    ~local_buffer() {
        if (m_text != nullptr) {
            LocalFree(m_text);
        }
    }
    local_buffer(const local_buffer&) = delete;
    local_buffer& operator=(const local_buffer&) = delete;
    wchar_t** address() noexcept { return &m_text; }
    const wchar_t* text() const noexcept { return m_text; }

private:
    wchar_t* m_text = nullptr;
};

// The system text for code without its trailing line break; empty when the
// system has none.
std::string system_text_utf8(std::uint32_t code) {
    local_buffer buffer;
    const DWORD flags =
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    DWORD length = FormatMessageW(flags, nullptr, code, 0,
                                  reinterpret_cast<wchar_t*>(buffer.address()), 0, nullptr);
    if (length == 0 || buffer.text() == nullptr) {
        return std::string();
    }
    while (length > 0 &&
           (buffer.text()[length - 1] == L'\r' || buffer.text()[length - 1] == L'\n')) {
        --length;
    }
    if (length == 0) {
        return std::string();
    }
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, buffer.text(), static_cast<int>(length),
                                          nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        return std::string();
    }
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, buffer.text(), static_cast<int>(length), &utf8[0], bytes,
                        nullptr, nullptr);
    return utf8;
}

} // namespace

extern "C" int uFormatSystemErrorMessage(string_base& out, std::uint32_t code) {
    try {
        const std::string text = system_text_utf8(code);
        if (!text.empty()) {
            out.assign(text.c_str(), static_cast<std::uint32_t>(text.size()));
            return 1;
        }
    } catch (...) {
        // Out of memory here or in the caller's string: report failure below.
    }
    try {
        out.assign("", 0);
    } catch (...) {
        // Emptying needs no memory; a string that still fails keeps its state.
    }
    return 0;
}
