// The main-menu command provider as the host sees it, and the run's
// reference handling. The window opener is this test's recording stand-in.
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include "host/component_gateway_impl.h"
#include "host/module_state.h"
#include "native/host/host_fakes.h"
#include "ui/window_openers.h"

namespace {
std::vector<window_handle> g_opened;
bool g_opener_throws = false;
} // namespace

void open_cache_statistics_window(window_handle owner) {
    g_opened.push_back(owner);
    if (g_opener_throws) {
        throw std::runtime_error("window failed");
    }
}

void open_pool_statistics_window(std::uint32_t, std::uint32_t, window_handle) {}

namespace {

class MainMenuCommands : public ::testing::Test {
protected:
    void SetUp() override {
        g_opened.clear();
        g_opener_throws = false;
        service_factory_base* node = component_entry(&core, nullptr)->first_factory();
        service_base* instance = nullptr;
        node->instance_create(&instance);
        commands = static_cast<mainmenu_commands*>(instance);
    }
    void TearDown() override { module_state::set_host(nullptr, nullptr); }

    fakes::core core;
    mainmenu_commands* commands = nullptr;
};

TEST_F(MainMenuCommands, ProviderProperties) {
    EXPECT_EQ(commands->command_count(), 1u);
    EXPECT_TRUE(fakes::same_guid(
        commands->parent_group(),
        GUID{0xF8BE5604, 0x165F, 0x4BB9, {0xB6, 0xA9, 0x15, 0xE5, 0x5E, 0x0E, 0x0D, 0x3A}}));
    EXPECT_EQ(commands->placement(), 0x80000000u);
}

TEST_F(MainMenuCommands, CommandZero) {
    EXPECT_TRUE(fakes::same_guid(
        commands->command_identifier(0),
        GUID{0xD8E71BA1, 0x4AAD, 0x4FE5, {0x80, 0xB2, 0x36, 0x8B, 0xDF, 0x75, 0xA2, 0x23}}));
    fakes::string name("old");
    commands->command_name(0, name);
    EXPECT_EQ(name.text(), "Metadata Cache Statistics");
    fakes::string description;
    EXPECT_TRUE(commands->command_description(0, description));
    EXPECT_EQ(description.text(), "Show statistics about the metadata cache.");
    fakes::string shown;
    std::uint32_t flags = 0xFFFFFFFFu;
    EXPECT_TRUE(commands->display_state(0, shown, flags));
    EXPECT_EQ(flags, 0u);
    EXPECT_EQ(shown.text(), "Metadata Cache Statistics");
}

TEST_F(MainMenuCommands, OtherIndexesAnswerNothingButDisplayState) {
    for (std::uint32_t index : {1u, 2u, 0xFFFFFFFFu}) {
        EXPECT_TRUE(fakes::same_guid(commands->command_identifier(index), guids::null_guid));
        fakes::string name("unchanged");
        commands->command_name(index, name);
        EXPECT_EQ(name.text(), "unchanged");
        fakes::string description("unchanged");
        EXPECT_FALSE(commands->command_description(index, description));
        EXPECT_EQ(description.text(), "unchanged");
        fakes::string shown("unchanged");
        std::uint32_t flags = 7;
        EXPECT_TRUE(commands->display_state(index, shown, flags));
        EXPECT_EQ(flags, 0u);
        EXPECT_EQ(shown.text(), "unchanged");
        EXPECT_EQ(shown.assigns + shown.appends, 0);
    }
}

TEST_F(MainMenuCommands, RunOpensAWindowPerRunOwnedByTheMainWindow) {
    fakes::counted_object first;
    fakes::counted_object second;
    commands->run(0, &first);
    commands->run(0, &second);
    EXPECT_EQ(g_opened, (std::vector<window_handle>{core.main_window, core.main_window}));
    EXPECT_EQ(first.releases, 1);
    EXPECT_EQ(second.releases, 1);
    EXPECT_EQ(first.add_refs + second.add_refs, 0);
}

TEST_F(MainMenuCommands, RunOfOtherIndexOnlyReleases) {
    fakes::counted_object reference;
    commands->run(1, &reference);
    EXPECT_TRUE(g_opened.empty());
    EXPECT_EQ(reference.releases, 1);
    EXPECT_NO_THROW(commands->run(1, nullptr));
}

TEST_F(MainMenuCommands, FailingWindowStaysInsideRunAndReferenceIsReleased) {
    g_opener_throws = true;
    fakes::counted_object reference;
    EXPECT_NO_THROW(commands->run(0, &reference));
    EXPECT_EQ(g_opened.size(), 1u);
    EXPECT_EQ(reference.releases, 1);
}

} // namespace
