// Small stand-ins for the host objects the component talks to: a core with a
// registry of service instances, console sinks that record lines, counted
// objects that count their references, strings, and configuration streams.
// Shared by the native host tests and the Win32 tests that load the DLL.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "host/host_interfaces.h"
#include "support/errors.h"
#ifdef _WIN32
#include "refhost/thrower/host_thrower.h"
#endif

namespace fakes {

// A service object that only counts its references.
class counted_object : public service_base {
public:
    int service_release() override {
        ++releases;
        return --references;
    }
    int service_add_ref() override {
        ++add_refs;
        return ++references;
    }
    bool service_query(service_base**, const GUID&) override { return false; }

    int references = 1;
    int add_refs = 0;
    int releases = 0;
};

class console : public console_sink {
public:
    int service_release() override {
        ++releases;
        return --references;
    }
    int service_add_ref() override { return ++references; }
    bool service_query(service_base**, const GUID&) override { return false; }
    void print_line(const char* text, std::uint32_t length) override {
        lines.push_back(text);
        lengths.push_back(length);
    }

    int references = 1;
    int releases = 0;
    std::vector<std::string> lines;
    std::vector<std::uint32_t> lengths;
};

// The host's core: each class GUID answers its own list of instances.
class core : public host_core {
public:
    void add(const GUID& guid, service_base* instance) {
        for (auto& c : classes) {
            if (c.guid == guid) {
                c.instances.push_back(instance);
                return;
            }
        }
        classes.push_back({guid, {instance}});
    }

    service_class_ref lookup_class(const GUID& guid) override {
        ++lookups;
        for (auto& c : classes) {
            if (c.guid == guid) {
                return reinterpret_cast<service_class_ref>(&c);
            }
        }
        return nullptr;
    }
    bool create_instance(service_base** out, service_class_ref cls, std::uint32_t index) override {
        ++creates;
        auto* c = reinterpret_cast<service_class*>(cls);
        if (c == nullptr || index >= c->instances.size()) {
            return false;
        }
        *out = c->instances[index];
        (*out)->service_add_ref();
        return true;
    }
    std::uint32_t count_instances(service_class_ref cls) override {
        auto* c = reinterpret_cast<service_class*>(cls);
        return c == nullptr ? 0 : static_cast<std::uint32_t>(c->instances.size());
    }
    window_handle owner_window() override { return main_window; }

    struct service_class {
        GUID guid;
        std::vector<service_base*> instances;
    };
    std::vector<service_class> classes;
    window_handle main_window = reinterpret_cast<window_handle>(std::uintptr_t{0x1234});
    int lookups = 0;
    int creates = 0;
};

// A string_base over std::string that counts the operations used on it.
class string : public string_base {
public:
    string() = default;
    explicit string(const char* initial) : m_text(initial) {}

    void append(const char* text, std::uint32_t max_bytes) override {
        ++appends;
        m_text.append(take(text, max_bytes));
    }
    const char* chars() const override { return m_text.c_str(); }
    void assign(const char* text, std::uint32_t max_bytes) override {
        ++assigns;
        m_text = take(text, max_bytes);
    }
    void shorten(std::uint32_t n) override {
        if (n < m_text.size()) {
            m_text.resize(n);
        }
    }
    std::uint32_t byte_length() const override { return static_cast<std::uint32_t>(m_text.size()); }
    char* open_buffer(std::uint32_t n) override {
        m_buffer.assign(n + 1, '\0');
        return &m_buffer[0];
    }
    void close_buffer() override { m_text = m_buffer.c_str(); }

    const std::string& text() const { return m_text; }
    int assigns = 0;
    int appends = 0;

private:
    static std::string take(const char* text, std::uint32_t max_bytes) {
        if (text == nullptr) {
            return std::string();
        }
        std::size_t n = 0;
        while (n < max_bytes && text[n] != '\0') {
            ++n;
        }
        return std::string(text, n);
    }
    std::string m_text;
    std::string m_buffer;
};

class abort_token : public abort_callback {
public:
    bool is_aborting() const override { return false; }
};

// A stream over bytes. read answers fewer bytes at the end; skip past the end
// raises the data error; throw_at_read makes the n-th read (1-based) raise
// the error the stream is told to raise. In the Windows builds the errors are
// raised as a Windows host raises them (refhost/thrower/host_thrower.h).
class memory_reader : public stream_reader {
public:
    enum class failure { none, data, aborted, not_standard };

    explicit memory_reader(std::vector<unsigned char> data) : bytes(std::move(data)) {}

    std::uint32_t read(void* buffer, std::uint32_t count, abort_callback&) override {
        ++reads;
        if (reads == throw_at_read) {
            raise(raise_kind);
        }
        const std::size_t left = bytes.size() - position;
        const std::size_t n = count < left ? count : left;
        std::memcpy(buffer, bytes.data() + position, n);
        position += n;
        return static_cast<std::uint32_t>(n);
    }
    void skip(std::uint32_t count, abort_callback&) override {
        ++skips;
        if (count > bytes.size() - position) {
            position = bytes.size();
            raise(failure::data);
        }
        position += count;
    }

    std::vector<unsigned char> bytes;
    std::size_t position = 0;
    int reads = 0;
    int skips = 0;
    int throw_at_read = 0;
    failure raise_kind = failure::data;

private:
    [[noreturn]] static void raise(failure kind) {
#ifdef _WIN32
        switch (kind) {
        case failure::aborted:
            host_thrower_raise(host_thrower_aborted, nullptr);
        case failure::not_standard:
            host_thrower_raise(host_thrower_not_standard, nullptr);
        default:
            host_thrower_raise(host_thrower_io_data, "Unexpected end of file");
        }
#else
        switch (kind) {
        case failure::aborted:
            throw auvia_io::exception_aborted();
        case failure::not_standard:
            throw 42;
        default:
            throw auvia_io::exception_io_data();
        }
#endif
    }
};

class memory_writer : public stream_writer {
public:
    void write(const void* buffer, std::uint32_t count, abort_callback&) override {
        ++writes;
        const auto* p = static_cast<const unsigned char*>(buffer);
        bytes.insert(bytes.end(), p, p + count);
    }
    std::vector<unsigned char> bytes;
    int writes = 0;
};

// One configuration record in stream form: GUID (platform layout), 32-bit
// little-endian size, payload.
inline void append_record(std::vector<unsigned char>& out, const GUID& guid,
                          const std::vector<unsigned char>& payload) {
    const std::uint32_t d1 = guid.Data1;
    const unsigned char head[8] = {
        static_cast<unsigned char>(d1),         static_cast<unsigned char>(d1 >> 8),
        static_cast<unsigned char>(d1 >> 16),   static_cast<unsigned char>(d1 >> 24),
        static_cast<unsigned char>(guid.Data2), static_cast<unsigned char>(guid.Data2 >> 8),
        static_cast<unsigned char>(guid.Data3), static_cast<unsigned char>(guid.Data3 >> 8)};
    out.insert(out.end(), head, head + 8);
    out.insert(out.end(), guid.Data4, guid.Data4 + 8);
    const std::uint32_t size = static_cast<std::uint32_t>(payload.size());
    for (int k = 0; k < 4; ++k) {
        out.push_back(static_cast<unsigned char>(size >> (8 * k)));
    }
    out.insert(out.end(), payload.begin(), payload.end());
}

inline bool same_guid(const GUID& a, const GUID& b) {
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}

} // namespace fakes
