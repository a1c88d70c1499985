// A persistent setting that the host stores for the component inside the
// configuration stream: one record of GUID, 32-bit little-endian payload size
// and payload. The component defines none, but the stream format is kept.
#pragma once

#include <cstdint>

#include "host/host_interfaces.h"

class configuration_record {
public:
    virtual const GUID& record_guid() const = 0;
    // Reads the payload from reader, which ends where the payload ends; may
    // leave part of it unread. A data error here loses only this record.
    virtual void read_payload(stream_reader& reader, abort_callback& abort) = 0;
    // Writes the whole payload.
    virtual void write_payload(stream_writer& writer, abort_callback& abort) = 0;

protected:
    ~configuration_record() = default;
};

// The component's configuration records in stream order.
struct configuration_record_list {
    configuration_record* const* records;
    std::uint32_t count;
};

// The component's own list: always empty.
configuration_record_list component_configuration_records() noexcept;
