// The configuration streams the host hands to a component: a reader over the
// bytes of the component's configuration file and a writer collecting what the
// component writes, plus the host's abort token.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "refhost/host_context.h"

namespace refhost {

class host_abort final : public abort_callback {
public:
    bool is_aborting() const override { return aborting; }
    bool aborting = false;
};

// read raises exception_io_data when the request reaches past the end (or, in
// short_read mode, returns what is left); skip past the end always raises.
// Both raise exception_aborted when the abort token is set.
class memory_stream_reader final : public stream_reader {
public:
    memory_stream_reader(host_context& host, std::vector<std::uint8_t> bytes)
        : m_host(host), m_bytes(std::move(bytes)) {}

    std::uint32_t read(void* buffer, std::uint32_t bytes, abort_callback& abort) override;
    void skip(std::uint32_t bytes, abort_callback& abort) override;

    std::uint32_t position() const { return m_position; }
    std::uint32_t size() const { return static_cast<std::uint32_t>(m_bytes.size()); }

private:
    host_context& m_host;
    std::vector<std::uint8_t> m_bytes;
    std::uint32_t m_position = 0;
};

class memory_stream_writer final : public stream_writer {
public:
    explicit memory_stream_writer(host_context& host) : m_host(host) {}
    void write(const void* buffer, std::uint32_t bytes, abort_callback& abort) override;
    const std::vector<std::uint8_t>& bytes() const { return m_bytes; }

private:
    host_context& m_host;
    std::vector<std::uint8_t> m_bytes;
};

// Whole-file helpers; false (and error set) when the file cannot be used.
// A missing file reads as no bytes.
bool read_file_bytes(const std::wstring& path, std::vector<std::uint8_t>& bytes,
                     std::string& error);
bool write_file_bytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes,
                      std::string& error);

} // namespace refhost
