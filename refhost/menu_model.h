// The main menu's commands, gathered from every mainmenu_commands provider,
// and running one: run(index, reference) gets a counted host reference that
// it must release exactly once before returning.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "host/service_ptr.h"
#include "refhost/host_context.h"
#include "refhost/service_registry.h"

namespace refhost {

// The host object handed to a command run; its references are observable.
class command_reference final : public service_base {
public:
    int service_release() override { return --m_references; }
    int service_add_ref() override { return ++m_references; }
    bool service_query(service_base**, const GUID&) override { return false; }
    int references() const { return m_references; }

private:
    int m_references = 1;
};

class menu_model {
public:
    menu_model(host_context& host, service_registry& registry)
        : m_host(host), m_registry(registry) {}

    // Reads every provider again (after components were loaded).
    void refresh();
    // Asks each command's display_state again (name and flags).
    void update_states();
    const std::vector<menu_command_info>& commands() const { return m_commands; }
    // Position in commands() of the first command with this name, or -1.
    int find(std::string_view name) const;
    // Runs commands()[position]; false when the run raised (recorded) or the
    // position is unknown.
    bool run(std::size_t position);
    // Gives back the provider references (before the components go).
    void clear();

private:
    host_context& m_host;
    service_registry& m_registry;
    std::vector<service_ptr_t<mainmenu_commands>> m_providers;
    std::vector<menu_command_info> m_commands;
    std::vector<std::unique_ptr<command_reference>> m_references; // kept: never freed early
};

} // namespace refhost
