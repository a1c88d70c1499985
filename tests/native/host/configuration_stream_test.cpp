// The configuration stream with records the component would know: each sees
// exactly its payload, damage inside one record loses only that record, and
// what is written reads back.
#include <gtest/gtest.h>

#include "host/configuration_stream.h"
#include "native/host/host_fakes.h"

namespace {

// A record that reads up to `wanted` bytes of its payload (or raises) and
// writes a fixed payload.
class test_record : public configuration_record {
public:
    enum class action { read, skip_too_far, raise_data, raise_aborted };

    explicit test_record(GUID id, std::uint32_t wanted_bytes = 0xFFFF, action what = action::read)
        : guid(id), wanted(wanted_bytes), act(what) {}

    const GUID& record_guid() const override { return guid; }
    void read_payload(stream_reader& reader, abort_callback& abort) override {
        ++calls;
        switch (act) {
        case action::skip_too_far:
            reader.skip(wanted, abort);
            break;
        case action::raise_data:
            throw auvia_io::exception_io_data();
        case action::raise_aborted:
            throw auvia_io::exception_aborted();
        case action::read: {
            std::vector<unsigned char> buffer(wanted);
            buffer.resize(reader.read(buffer.data(), wanted, abort));
            seen.insert(seen.end(), buffer.begin(), buffer.end());
            break;
        }
        }
    }
    void write_payload(stream_writer& writer, abort_callback& abort) override {
        if (!payload.empty()) {
            writer.write(payload.data(), static_cast<std::uint32_t>(payload.size()), abort);
        }
    }

    GUID guid;
    std::uint32_t wanted;
    action act;
    int calls = 0;
    std::vector<unsigned char> seen;
    std::vector<unsigned char> payload;
};

const GUID guid_a = {0xAAAA0001, 1, 2, {1, 2, 3, 4, 5, 6, 7, 8}};
const GUID guid_b = {0xBBBB0002, 3, 4, {8, 7, 6, 5, 4, 3, 2, 1}};
const GUID guid_unknown = {0xCCCC0003, 5, 6, {0, 0, 0, 0, 0, 0, 0, 9}};

std::vector<unsigned char> stream_a_unknown_b() {
    std::vector<unsigned char> data;
    fakes::append_record(data, guid_a, {1, 2, 3, 4, 5, 6});
    fakes::append_record(data, guid_unknown, {9, 9, 9});
    fakes::append_record(data, guid_b, {7, 8});
    return data;
}

void read_with(fakes::memory_reader& reader, test_record& a, test_record& b) {
    configuration_record* records[] = {&a, &b};
    fakes::abort_token abort;
    read_configuration_records(reader, abort, {records, 2});
}

TEST(ConfigurationStream, RecordsSeeOnlyTheirPayloadAndLeftoversAreSkipped) {
    test_record a(guid_a, 4);   // leaves two bytes unread
    test_record b(guid_b, 100); // asks for more than there is
    fakes::memory_reader reader(stream_a_unknown_b());
    read_with(reader, a, b);
    EXPECT_EQ(a.seen, (std::vector<unsigned char>{1, 2, 3, 4}));
    EXPECT_EQ(b.seen, (std::vector<unsigned char>{7, 8}));
    EXPECT_EQ(reader.position, reader.bytes.size());
}

TEST(ConfigurationStream, DataErrorInsideARecordLosesOnlyThatRecord) {
    for (auto act : {test_record::action::raise_data, test_record::action::skip_too_far}) {
        test_record a(guid_a, 7, act); // skip_too_far: 7 bytes of a 6-byte payload
        test_record b(guid_b, 100);
        fakes::memory_reader reader(stream_a_unknown_b());
        read_with(reader, a, b);
        EXPECT_EQ(a.calls, 1);
        EXPECT_EQ(b.seen, (std::vector<unsigned char>{7, 8}));
        EXPECT_EQ(reader.position, reader.bytes.size());
    }
}

TEST(ConfigurationStream, CancellationInsideARecordPropagates) {
    test_record a(guid_a, 0, test_record::action::raise_aborted);
    test_record b(guid_b, 100);
    fakes::memory_reader reader(stream_a_unknown_b());
    EXPECT_THROW(read_with(reader, a, b), auvia_io::exception_aborted);
    EXPECT_EQ(b.calls, 0);
}

TEST(ConfigurationStream, PayloadCutShortEndsTheReading) {
    std::vector<unsigned char> data = stream_a_unknown_b();
    data.resize(3); // inside the first GUID
    test_record a(guid_a);
    test_record b(guid_b);
    fakes::memory_reader short_header(data);
    EXPECT_NO_THROW(read_with(short_header, a, b));
    EXPECT_EQ(a.calls, 0);

    data = stream_a_unknown_b();
    data.resize(20 + 3); // record a's payload has 3 of its 6 bytes
    fakes::memory_reader short_payload(data);
    EXPECT_NO_THROW(read_with(short_payload, a, b));
    EXPECT_EQ(a.seen, (std::vector<unsigned char>{1, 2, 3}));
    EXPECT_EQ(b.calls, 0);
}

TEST(ConfigurationStream, WrittenRecordsReadBack) {
    test_record a(guid_a);
    test_record b(guid_b);
    a.payload = {10, 20, 30};
    configuration_record* records[] = {&a, &b};
    fakes::memory_writer writer;
    fakes::abort_token abort;
    write_configuration_records(writer, abort, {records, 2});

    std::vector<unsigned char> expected;
    fakes::append_record(expected, guid_a, {10, 20, 30});
    fakes::append_record(expected, guid_b, {});
    EXPECT_EQ(writer.bytes, expected);

    fakes::memory_reader reader(writer.bytes);
    read_with(reader, a, b);
    EXPECT_EQ(a.seen, a.payload);
    EXPECT_EQ(b.calls, 1);
    EXPECT_TRUE(b.seen.empty());
}

} // namespace
