// The component's main-menu command provider: one command, "Metadata Cache
// Statistics", which opens a new cache statistics window on every run.
#pragma once

#include <cstdint>

#include "host/host_interfaces.h"
#include "host/service_factory.h"

class mainmenu_commands_poolscope : public mainmenu_commands {
public:
    using service_class = mainmenu_commands;

    static constexpr std::uint32_t command_statistics_index = 0;
    static constexpr std::uint32_t placement_value = 0x80000000u;

    // 1.
    std::uint32_t command_count() override;
    // The command's identifier for index 0, the all-zero GUID otherwise.
    GUID command_identifier(std::uint32_t index) override;
    // Index 0 sets the command's name; other indexes leave out unchanged.
    void command_name(std::uint32_t index, string_base& out) override;
    // Index 0 sets the description and answers true; other indexes answer false.
    bool command_description(std::uint32_t index, string_base& out) override;
    GUID parent_group() override;
    std::uint32_t placement() override;
    // flags becomes 0, out gets what command_name gives; true for every index.
    bool display_state(std::uint32_t index, string_base& out, std::uint32_t& flags) override;
    // Index 0 opens a new cache statistics window owned by the host's main
    // window; reference is released exactly once in every case.
    void run(std::uint32_t index, service_base* reference) override;
};

// The chain node holding the provider's single instance.
template <typename T> class mainmenu_commands_factory_t : public service_factory_single_t<T> {};
