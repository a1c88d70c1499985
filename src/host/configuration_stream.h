// Reading and writing the configuration stream that the host exchanges with
// the component through its gateway.
#pragma once

#include "host/configuration_record.h"

// Writes every record of list in order: its GUID, its payload size (32-bit
// little-endian), its payload. Errors of the writer propagate.
void write_configuration_records(stream_writer& writer, abort_callback& abort,
                                 const configuration_record_list& list);

// Reads records until the stream runs out. A record of an unknown GUID is
// skipped; a known record reads its payload through a view limited to the
// payload size, and whatever it leaves unread is skipped. A data error
// (auvia_io::exception_io_data, a short read included) while reading a header
// or skipping ends the reading without error; a data error inside a record's
// own read is swallowed. Other errors (cancellation among them) propagate.
void read_configuration_records(stream_reader& reader, abort_callback& abort,
                                const configuration_record_list& list);
