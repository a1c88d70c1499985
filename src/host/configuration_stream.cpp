#include "host/configuration_stream.h"

#include <cstring>
#include <vector>

#include "host/host_guard.h"
#include "support/errors.h"

namespace {

constexpr std::uint32_t guid_bytes = 16;
constexpr std::uint32_t size_bytes = 4;

// Reads exactly bytes, or raises the data error the stream would raise past
// its end.
void read_exact(stream_reader& reader, void* buffer, std::uint32_t bytes, abort_callback& abort) {
    const std::uint32_t got =
        guarded_host_value<std::uint32_t>([&] { return reader.read(buffer, bytes, abort); });
    if (got != bytes) {
        throw auvia_io::exception_io_data();
    }
}

// GUID in the platform's layout: Data1, Data2, Data3 little-endian, Data4 as is.
GUID guid_from_bytes(const unsigned char* b) {
    GUID g{};
    g.Data1 = static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
              static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
    g.Data2 = static_cast<std::uint16_t>(b[4] | b[5] << 8);
    g.Data3 = static_cast<std::uint16_t>(b[6] | b[7] << 8);
    std::memcpy(g.Data4, b + 8, 8);
    return g;
}

void guid_to_bytes(const GUID& g, unsigned char* b) {
    const std::uint32_t d1 = g.Data1;
    b[0] = static_cast<unsigned char>(d1);
    b[1] = static_cast<unsigned char>(d1 >> 8);
    b[2] = static_cast<unsigned char>(d1 >> 16);
    b[3] = static_cast<unsigned char>(d1 >> 24);
    b[4] = static_cast<unsigned char>(g.Data2);
    b[5] = static_cast<unsigned char>(g.Data2 >> 8);
    b[6] = static_cast<unsigned char>(g.Data3);
    b[7] = static_cast<unsigned char>(g.Data3 >> 8);
    std::memcpy(b + 8, g.Data4, 8);
}

std::uint32_t uint32_from_le(const unsigned char* b) {
    return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
           static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

// A view of the next `limit` bytes of another stream.
class limited_stream_reader final : public stream_reader {
public:
    limited_stream_reader(stream_reader& base, std::uint32_t limit) noexcept
        : m_base(base), m_remaining(limit) {}

    std::uint32_t read(void* buffer, std::uint32_t bytes, abort_callback& abort) override {
        const std::uint32_t wanted = bytes < m_remaining ? bytes : m_remaining;
        if (wanted == 0) {
            return 0;
        }
        std::uint32_t got =
            guarded_host_value<std::uint32_t>([&] { return m_base.read(buffer, wanted, abort); });
        if (got > wanted) {
            got = wanted; // a stream answering more than asked is not believed
        }
        m_remaining -= got;
        return got;
    }

    void skip(std::uint32_t bytes, abort_callback& abort) override {
        if (bytes > m_remaining) {
            throw auvia_io::exception_io_data();
        }
        guarded_host_calls([&] { m_base.skip(bytes, abort); });
        m_remaining -= bytes;
    }

    std::uint32_t remaining() const noexcept { return m_remaining; }

private:
    stream_reader& m_base;
    std::uint32_t m_remaining;
};

// Collects a record's payload so that its size can precede it.
class memory_stream_writer final : public stream_writer {
public:
    void write(const void* buffer, std::uint32_t bytes, abort_callback&) override {
        const auto* p = static_cast<const unsigned char*>(buffer);
        m_bytes.insert(m_bytes.end(), p, p + bytes);
    }
    const std::vector<unsigned char>& bytes() const noexcept { return m_bytes; }

private:
    std::vector<unsigned char> m_bytes;
};

configuration_record* find_record(const configuration_record_list& list, const GUID& guid) {
    for (std::uint32_t i = 0; i < list.count; ++i) {
        if (list.records[i]->record_guid() == guid) {
            return list.records[i];
        }
    }
    return nullptr;
}

void read_known_record(stream_reader& reader, abort_callback& abort, configuration_record& record,
                       std::uint32_t size) {
    limited_stream_reader view(reader, size);
    try {
        record.read_payload(view, abort);
    } catch (const auvia_io::exception_io_data&) {
        // A damaged record is lost; the records after it are still read.
    }
    const std::uint32_t rest = view.remaining();
    guarded_host_calls([&] { reader.skip(rest, abort); });
}

} // namespace

configuration_record_list component_configuration_records() noexcept {
    return {nullptr, 0};
}

void write_configuration_records(stream_writer& writer, abort_callback& abort,
                                 const configuration_record_list& list) {
    for (std::uint32_t i = 0; i < list.count; ++i) {
        configuration_record& record = *list.records[i];
        memory_stream_writer payload;
        record.write_payload(payload, abort);
        const std::uint32_t size = static_cast<std::uint32_t>(payload.bytes().size());
        unsigned char header[guid_bytes + size_bytes];
        guid_to_bytes(record.record_guid(), header);
        for (std::uint32_t k = 0; k < size_bytes; ++k) {
            header[guid_bytes + k] = static_cast<unsigned char>(size >> (8 * k));
        }
        const unsigned char* const body = payload.bytes().data();
        guarded_host_calls([&] {
            writer.write(header, sizeof header, abort);
            if (size != 0) {
                writer.write(body, size, abort);
            }
        });
    }
}

void read_configuration_records(stream_reader& reader, abort_callback& abort,
                                const configuration_record_list& list) {
    try {
        for (;;) {
            unsigned char guid_data[guid_bytes];
            unsigned char size_data[size_bytes];
            read_exact(reader, guid_data, guid_bytes, abort);
            read_exact(reader, size_data, size_bytes, abort);
            const GUID guid = guid_from_bytes(guid_data);
            const std::uint32_t size = uint32_from_le(size_data);
            if (configuration_record* record = find_record(list, guid)) {
                read_known_record(reader, abort, *record, size);
            } else {
                guarded_host_calls([&] { reader.skip(size, abort); });
            }
        }
    } catch (const auvia_io::exception_io_data&) {
        // The stream ended (possibly inside a record): nothing more to read.
    }
}
