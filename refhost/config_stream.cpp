#include "refhost/config_stream.h"

#include <cstring>

#include "refhost/text_convert.h"
#include "refhost/thrower/host_thrower.h"

namespace refhost {

std::uint32_t memory_stream_reader::read(void* buffer, std::uint32_t bytes, abort_callback& abort) {
    m_host.enter(host_call::stream_read);
    if (abort.is_aborting()) {
        host_thrower_raise(host_thrower_aborted, nullptr);
    }
    const std::uint32_t left = size() - m_position;
    std::uint32_t count = bytes;
    if (bytes > left) {
        if (m_host.options.stream_end == stream_end_mode::raise) {
            host_thrower_raise(host_thrower_io_data, nullptr);
        }
        count = left;
    }
    if (count != 0) {
        std::memcpy(buffer, m_bytes.data() + m_position, count);
    }
    m_position += count;
    return count;
}

void memory_stream_reader::skip(std::uint32_t bytes, abort_callback& abort) {
    m_host.enter(host_call::stream_skip);
    if (abort.is_aborting()) {
        host_thrower_raise(host_thrower_aborted, nullptr);
    }
    if (bytes > size() - m_position) {
        m_position = size();
        host_thrower_raise(host_thrower_io_data, nullptr);
    }
    m_position += bytes;
}

void memory_stream_writer::write(const void* buffer, std::uint32_t bytes, abort_callback& abort) {
    m_host.enter(host_call::stream_write);
    if (abort.is_aborting()) {
        host_thrower_raise(host_thrower_aborted, nullptr);
    }
    const auto* p = static_cast<const std::uint8_t*>(buffer);
    m_bytes.insert(m_bytes.end(), p, p + bytes);
}

bool read_file_bytes(const std::wstring& path, std::vector<std::uint8_t>& bytes,
                     std::string& error) {
    bytes.clear();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) {
            return true;
        }
        error = system_error_message(code);
        return false;
    }
    std::uint8_t buffer[16384];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != 0) && got != 0) {
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    if (!ok) {
        error = system_error_message(GetLastError());
    }
    CloseHandle(file);
    return ok;
}

bool write_file_bytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes,
                      std::string& error) {
    // Create the folders on the way.
    for (std::size_t slash = path.find_first_of(L"\\/", 3); slash != std::wstring::npos;
         slash = path.find_first_of(L"\\/", slash + 1)) {
        CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
    }
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = system_error_message(GetLastError());
        return false;
    }
    DWORD written = 0;
    const bool ok =
        bytes.empty() ||
        (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0 &&
         written == bytes.size());
    if (!ok) {
        error = system_error_message(GetLastError());
    }
    CloseHandle(file);
    return ok;
}

} // namespace refhost
