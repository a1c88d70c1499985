// poolscope.dll as the host sees it: its one export, the factory chain read as
// raw words, the single instances, every gateway operation (with the test's
// streams throwing the host's errors into the DLL), the version record and the
// main-menu command's properties.
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "refhost/thrower/host_thrower.h"
#include "win32/component/loaded_component.h"

namespace {

component::loaded& dll() {
    return component::component_under_test();
}

std::vector<service_factory_base*> chain() {
    std::vector<service_factory_base*> nodes;
    for (service_factory_base* node = dll().gateway->first_factory(); node && nodes.size() < 16;
         node = node->next) {
        nodes.push_back(node);
    }
    return nodes;
}

template <typename T> T* instance_of(const GUID& guid) {
    for (service_factory_base* node : chain()) {
        if (fakes::same_guid(*node->class_guid, guid)) {
            service_base* instance = nullptr;
            node->instance_create(&instance);
            return static_cast<T*>(instance);
        }
    }
    return nullptr;
}

bool inside_module(const void* address) {
    HMODULE owner = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<const wchar_t*>(address), &owner);
    return owner == dll().module;
}

GUID numbered_guid(unsigned char n) {
    return GUID{0x50010000u + n, 0x0203, 0x0405, {6, 7, 8, 9, 10, 11, 12, n}};
}

std::vector<unsigned char> two_records() {
    std::vector<unsigned char> data;
    fakes::append_record(data, numbered_guid(1), {1, 2, 3, 4, 5, 6, 7});
    fakes::append_record(data, numbered_guid(2), {});
    return data;
}

class Component : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(dll().module, nullptr) << "poolscope.dll did not load";
        ASSERT_NE(dll().entry, nullptr) << "auvia_get_interface not found";
        ASSERT_NE(dll().gateway, nullptr);
    }
};

TEST_F(Component, ExportsOnlyTheEntryPointUnderItsPlainName) {
    EXPECT_EQ(component::exported_names(dll().module),
              (std::vector<std::string>{"auvia_get_interface"}));
    EXPECT_TRUE(inside_module(dll().gateway));
}

TEST_F(Component, ChainHasTwoNodesInOrderWithTheirGuids) {
    const std::vector<service_factory_base*> nodes = chain();
    ASSERT_EQ(nodes.size(), 2u);
    EXPECT_TRUE(fakes::same_guid(*nodes[0]->class_guid, guids::mainmenu_commands));
    EXPECT_TRUE(fakes::same_guid(*nodes[1]->class_guid, guids::componentversion));
}

TEST_F(Component, NodesAreTableNextGuidWordsFollowedByTheInstance) {
    // The host reads the node as pointer-sized words: 4 bytes each in the
    // 32-bit edition, 8 in the 64-bit one.
    const std::vector<service_factory_base*> nodes = chain();
    ASSERT_EQ(nodes.size(), 2u);
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const auto* words = reinterpret_cast<const std::uintptr_t*>(nodes[i]);
        EXPECT_TRUE(inside_module(reinterpret_cast<const void*>(words[0])));
        const std::uintptr_t next =
            i + 1 < nodes.size() ? reinterpret_cast<std::uintptr_t>(nodes[i + 1]) : 0;
        EXPECT_EQ(words[1], next);
        const auto* guid = reinterpret_cast<const unsigned char*>(words[2]);
        const GUID& expected = i == 0 ? guids::mainmenu_commands : guids::componentversion;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(guid), 16),
                  std::string(reinterpret_cast<const char*>(&expected), 16));

        fakes::counted_object previous;
        service_base* holder = &previous;
        nodes[i]->instance_create(&holder);
        EXPECT_EQ(previous.releases, 1);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(holder),
                  reinterpret_cast<std::uintptr_t>(nodes[i]) + 3 * sizeof(void*));
    }
}

TEST_F(Component, SingleInstancesAnswerOnlyTheirOwnClass) {
    for (service_factory_base* node : chain()) {
        service_base* instance = nullptr;
        node->instance_create(&instance);
        ASSERT_NE(instance, nullptr);
        EXPECT_EQ(instance->service_add_ref(), 1);
        EXPECT_EQ(instance->service_release(), 1);
        fakes::counted_object previous;
        service_base* out = &previous;
        EXPECT_TRUE(instance->service_query(&out, *node->class_guid));
        EXPECT_EQ(out, instance);
        EXPECT_EQ(previous.releases, 1);
        for (const GUID* other : {&guids::mainmenu_commands, &guids::componentversion,
                                  &guids::null_guid, &guids::alert_service}) {
            if (fakes::same_guid(*other, *node->class_guid)) {
                continue;
            }
            fakes::counted_object kept;
            service_base* untouched = &kept;
            EXPECT_FALSE(instance->service_query(&untouched, *other));
            EXPECT_EQ(untouched, &kept);
            EXPECT_EQ(kept.releases, 0);
        }
    }
}

TEST_F(Component, VersionRecordAndFileName) {
    auto* version = instance_of<componentversion>(guids::componentversion);
    ASSERT_NE(version, nullptr);
    fakes::string text("x");
    version->file_name(text);
    EXPECT_EQ(text.text(), "");
    dll().gateway->set_paths("C:\\users\\profile", "C:\\players\\components\\poolscope.dll");
    version->file_name(text);
    EXPECT_EQ(text.text(), "C:\\players\\components\\poolscope.dll");
    version->component_name(text);
    EXPECT_EQ(text.text(), "Metadata Cache Statistics");
    version->component_version(text);
    EXPECT_EQ(text.text(), "1.2");
    version->about_text(text);
    EXPECT_EQ(text.text(),
              "Display information about the metadata cache.\n"
              "The displayed data is computed from the contents of the media library and the "
              "open playlists.\n"
              "There is no API to retrieve it directly from the core, so the displayed values "
              "should not be regarded as absolute truth.\n"
              "This is especially true for the estimated memory usage.");
}

TEST_F(Component, GatewayFixedAnswersAndEmptyConfiguration) {
    EXPECT_EQ(dll().gateway->interface_version(), 71u);
    EXPECT_EQ(dll().gateway->first_factory(), chain().front());
    EXPECT_FALSE(dll().gateway->reserved_query());
    dll().gateway->set_host_ready(true);
    dll().gateway->set_host_ready(false);
    fakes::memory_writer writer;
    fakes::abort_token abort;
    dll().gateway->write_configuration(&writer, abort);
    EXPECT_EQ(writer.writes, 0);
}

TEST_F(Component, ReadingConfigurationConsumesRecordsAndEndsQuietly) {
    fakes::abort_token abort;
    fakes::memory_reader whole(two_records());
    dll().gateway->read_configuration(&whole, abort);
    EXPECT_EQ(whole.position, whole.bytes.size());

    std::vector<unsigned char> cut = two_records();
    cut.resize(cut.size() - 6); // inside the second record's GUID
    fakes::memory_reader truncated(cut);
    dll().gateway->read_configuration(&truncated, abort);
    EXPECT_EQ(truncated.position, cut.size());

    cut = two_records();
    cut.resize(20 + 4); // inside the first payload
    fakes::memory_reader short_payload(cut);
    dll().gateway->read_configuration(&short_payload, abort);
    EXPECT_EQ(short_payload.position, cut.size());
}

// The stream's errors are raised in this executable as a Windows host raises
// them (the Microsoft ABI's C++ exceptions) and end the reading in the DLL,
// inside a catch of the host's own that never sees them: the error object
// destroyed once, after the thrower's frames unwound.
struct configuration_read {
    fakes::memory_reader* reader;
};

void read_configuration_in_host(void* context) {
    fakes::abort_token abort;
    dll().gateway->read_configuration(static_cast<configuration_read*>(context)->reader, abort);
}

TEST_F(Component, ErrorsThrownByTheHostsStreamAreCaughtInTheDll) {
    using failure = fakes::memory_reader::failure;
    const struct {
        failure kind;
        int throw_at_read;
        int reads;
        int skips;
        const char* name;
    } cases[] = {
        {failure::data, 2, 2, 0, "data error reading the first size"},
        {failure::aborted, 2, 2, 0, "cancellation reading the first size"},
        {failure::not_standard, 2, 2, 0, "no standard error reading the first size"},
        {failure::data, 4, 4, 1, "data error reading the second size"},
        {failure::none, 0, 2, 1, "data error skipping past the end"},
    };
    for (const auto& c : cases) {
        std::vector<unsigned char> data = two_records();
        if (c.kind == failure::none) {
            data.resize(20 + 4); // the first payload cut: its skip fails
        }
        fakes::memory_reader reader(data);
        reader.throw_at_read = c.throw_at_read;
        reader.raise_kind = c.kind;
        host_thrower_reset_counts();
        configuration_read context{&reader};
        EXPECT_EQ(host_thrower_call_catching(&read_configuration_in_host, &context), 0) << c.name;
        EXPECT_EQ(reader.reads, c.reads) << c.name;
        EXPECT_EQ(reader.skips, c.skips) << c.name;
        host_thrower_counts counts{};
        host_thrower_read_counts(&counts);
        EXPECT_EQ(counts.thrown, 1u) << c.name;
        EXPECT_EQ(counts.created, 1u) << c.name;
        EXPECT_EQ(counts.destroyed, 1u) << c.name;
        EXPECT_EQ(counts.frames_unwound, 1u) << c.name;
        EXPECT_EQ(counts.unwound_early, 1u) << c.name;
    }
}

TEST_F(Component, CommandPropertiesForIndexZeroAndOne) {
    auto* commands = instance_of<mainmenu_commands>(guids::mainmenu_commands);
    ASSERT_NE(commands, nullptr);
    EXPECT_EQ(commands->command_count(), 1u);
    EXPECT_TRUE(fakes::same_guid(commands->command_identifier(0), guids::command_statistics));
    EXPECT_TRUE(fakes::same_guid(commands->command_identifier(1), guids::null_guid));
    EXPECT_TRUE(fakes::same_guid(commands->parent_group(), guids::mainmenu_group_view));
    EXPECT_EQ(commands->placement(), 0x80000000u);

    fakes::string name("unchanged");
    commands->command_name(1, name);
    EXPECT_EQ(name.text(), "unchanged");
    commands->command_name(0, name);
    EXPECT_EQ(name.text(), "Metadata Cache Statistics");

    fakes::string description("unchanged");
    EXPECT_FALSE(commands->command_description(1, description));
    EXPECT_EQ(description.text(), "unchanged");
    EXPECT_TRUE(commands->command_description(0, description));
    EXPECT_EQ(description.text(), "Show statistics about the metadata cache.");

    for (std::uint32_t index : {0u, 1u}) {
        fakes::string shown("unchanged");
        std::uint32_t flags = 0xFFFFFFFFu;
        EXPECT_TRUE(commands->display_state(index, shown, flags));
        EXPECT_EQ(flags, 0u);
        EXPECT_EQ(shown.text(), index == 0 ? "Metadata Cache Statistics" : "unchanged");
    }
}

TEST_F(Component, RunOfAnotherIndexReleasesTheReferenceOnce) {
    auto* commands = instance_of<mainmenu_commands>(guids::mainmenu_commands);
    ASSERT_NE(commands, nullptr);
    fakes::counted_object reference;
    commands->run(1, &reference);
    EXPECT_EQ(reference.releases, 1);
    EXPECT_EQ(reference.add_refs, 0);
}

} // namespace
