// The gateway's seven operations, the version record read through the chain,
// and the entry point's stored host.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "host/component_gateway_impl.h"
#include "host/module_state.h"
#include "native/host/host_fakes.h"

namespace {

component_gateway* gateway() {
    static fakes::core core;
    return component_entry(&core, nullptr);
}

componentversion* version_record() {
    for (service_factory_base* node = gateway()->first_factory(); node; node = node->next) {
        if (fakes::same_guid(*node->class_guid, guids::componentversion)) {
            service_base* instance = nullptr;
            node->instance_create(&instance);
            return static_cast<componentversion*>(instance);
        }
    }
    return nullptr;
}

std::string text_of(void (componentversion::*operation)(string_base&)) {
    fakes::string out("previous");
    (version_record()->*operation)(out);
    return out.text();
}

GUID numbered_guid(unsigned char n) {
    return GUID{0x01020300u + n, 0x0405, 0x0607, {8, 9, 10, 11, 12, 13, 14, n}};
}

std::vector<unsigned char> three_records() {
    std::vector<unsigned char> data;
    fakes::append_record(data, numbered_guid(1), {});
    fakes::append_record(data, numbered_guid(2), {'a', 'b', 'c', 'd', 'e'});
    fakes::append_record(data, numbered_guid(3), {0});
    return data;
}

TEST(Gateway, EntryStoresHostAndInstanceAndLaterCallsOverwrite) {
    fakes::core first;
    fakes::core second;
    auto* module = reinterpret_cast<module_handle>(std::uintptr_t{0x400000});
    component_gateway* g = component_entry(&first, module);
    EXPECT_EQ(module_state::core(), &first);
    EXPECT_EQ(module_state::instance(), module);
    EXPECT_EQ(component_entry(&second, nullptr), g);
    EXPECT_EQ(module_state::core(), &second);
    EXPECT_EQ(module_state::instance(), nullptr);
    module_state::set_host(nullptr, nullptr);
}

TEST(Gateway, FixedAnswers) {
    EXPECT_EQ(gateway()->interface_version(), 71u);
    EXPECT_FALSE(gateway()->reserved_query());
    EXPECT_NE(gateway()->first_factory(), nullptr);
}

TEST(Gateway, VersionRecordTexts) {
    EXPECT_EQ(text_of(&componentversion::component_name), "Metadata Cache Statistics");
    EXPECT_EQ(text_of(&componentversion::component_version), "1.2");
    EXPECT_EQ(text_of(&componentversion::about_text),
              "Display information about the metadata cache.\n"
              "The displayed data is computed from the contents of the media library and the "
              "open playlists.\n"
              "There is no API to retrieve it directly from the core, so the displayed values "
              "should not be regarded as absolute truth.\n"
              "This is especially true for the estimated memory usage.");
}

// The only test that sets paths: the name is empty until the host sets it.
TEST(Gateway, FileNameIsEmptyUntilSetThenTextB) {
    EXPECT_EQ(text_of(&componentversion::file_name), "");
    gateway()->set_paths("C:\\profile", "C:\\components\\poolscope.dll");
    EXPECT_EQ(text_of(&componentversion::file_name), "C:\\components\\poolscope.dll");
    gateway()->set_paths("other", nullptr);
    EXPECT_EQ(text_of(&componentversion::file_name), "");
}

TEST(Gateway, WritesAnEmptyConfiguration) {
    fakes::memory_writer writer;
    fakes::abort_token abort;
    gateway()->write_configuration(&writer, abort);
    EXPECT_EQ(writer.writes, 0);
    EXPECT_TRUE(writer.bytes.empty());
}

TEST(Gateway, ReadConsumesWellFormedRecordsToTheEnd) {
    fakes::memory_reader reader(three_records());
    fakes::abort_token abort;
    gateway()->read_configuration(&reader, abort);
    EXPECT_EQ(reader.position, reader.bytes.size());
    EXPECT_EQ(reader.skips, 3); // each payload skipped, known to no record
}

TEST(Gateway, ReadEndsQuietlyOnTruncatedStreams) {
    const std::vector<unsigned char> whole = three_records();
    // Cut inside the second record's GUID, inside its size, inside its payload.
    for (std::size_t cut : {std::size_t{20 + 10}, std::size_t{20 + 18}, std::size_t{20 + 20 + 3}}) {
        fakes::memory_reader reader(std::vector<unsigned char>(whole.begin(), whole.begin() + cut));
        fakes::abort_token abort;
        EXPECT_NO_THROW(gateway()->read_configuration(&reader, abort)) << "cut at " << cut;
        EXPECT_EQ(reader.position, cut);
    }
}

TEST(Gateway, ReadStopsAtTheStreamsErrorsWithoutLettingThemOut) {
    for (auto kind :
         {fakes::memory_reader::failure::data, fakes::memory_reader::failure::aborted}) {
        fakes::memory_reader reader(three_records());
        reader.throw_at_read = 3; // the second record's GUID
        reader.raise_kind = kind;
        fakes::abort_token abort;
        EXPECT_NO_THROW(gateway()->read_configuration(&reader, abort));
        EXPECT_EQ(reader.reads, 3);
    }
}

} // namespace
