#include "refhost/menu_model.h"

#include <algorithm>
#include <exception>
#include <string>

#include "refhost/host_string.h"

namespace refhost {

namespace {

template <typename F> bool guarded(host_context& host, const char* what, F&& f) {
    try {
        f();
        return true;
    } catch (const std::exception& e) {
        host.record_violation(std::string("exception left mainmenu_commands::") + what + ": " +
                              e.what());
    } catch (...) {
        host.record_violation(std::string("exception left mainmenu_commands::") + what);
    }
    return false;
}

bool group_order(const menu_command_info& a, const menu_command_info& b) {
    const int ga = a.parent_group == guids::mainmenu_group_view ? 0 : 1;
    const int gb = b.parent_group == guids::mainmenu_group_view ? 0 : 1;
    if (ga != gb) {
        return ga < gb;
    }
    // Placement values order the commands of a group as signed numbers.
    const auto pa = static_cast<std::int32_t>(a.placement);
    const auto pb = static_cast<std::int32_t>(b.placement);
    if (pa != pb) {
        return pa < pb;
    }
    return a.provider != b.provider ? a.provider < b.provider : a.index < b.index;
}

} // namespace

void menu_model::clear() {
    m_commands.clear();
    m_providers.clear();
}

void menu_model::refresh() {
    clear();
    const std::uint32_t providers = m_registry.instances_of(guids::mainmenu_commands);
    for (std::uint32_t p = 0; p < providers; ++p) {
        service_base* raw = m_registry.create_for_host(guids::mainmenu_commands, p);
        if (raw == nullptr) {
            continue;
        }
        service_ptr_t<mainmenu_commands> provider;
        provider.attach(static_cast<mainmenu_commands*>(raw));
        guarded(m_host, "command_count", [&] {
            const std::uint32_t count = provider->command_count();
            const GUID group = provider->parent_group();
            const std::uint32_t placement = provider->placement();
            for (std::uint32_t i = 0; i < count; ++i) {
                menu_command_info info;
                info.provider = static_cast<std::uint32_t>(m_providers.size());
                info.index = i;
                info.identifier = provider->command_identifier(i);
                info.parent_group = group;
                info.placement = placement;
                host_string name;
                provider->command_name(i, name);
                info.name = name.text();
                host_string description;
                info.has_description = provider->command_description(i, description);
                info.description = description.text();
                m_commands.push_back(std::move(info));
            }
        });
        m_providers.push_back(std::move(provider));
    }
    update_states();
    std::stable_sort(m_commands.begin(), m_commands.end(), group_order);
}

void menu_model::update_states() {
    for (menu_command_info& info : m_commands) {
        guarded(m_host, "display_state", [&] {
            host_string name;
            std::uint32_t flags = 0;
            if (m_providers[info.provider]->display_state(info.index, name, flags)) {
                if (name.byte_length() != 0) {
                    info.name = name.text();
                }
                info.flags = flags;
            }
        });
    }
}

int menu_model::find(std::string_view name) const {
    for (std::size_t i = 0; i < m_commands.size(); ++i) {
        if (m_commands[i].name == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool menu_model::run(std::size_t position) {
    if (position >= m_commands.size()) {
        return false;
    }
    const menu_command_info info = m_commands[position];
    m_references.push_back(std::make_unique<command_reference>());
    command_reference& reference = *m_references.back();
    const bool ran =
        guarded(m_host, "run", [&] { m_providers[info.provider]->run(info.index, &reference); });
    if (reference.references() > 0) {
        m_host.record_violation("mainmenu_commands::run(\"" + info.name +
                                "\") kept the reference it was given");
    } else if (reference.references() < 0) {
        m_host.record_violation("mainmenu_commands::run(\"" + info.name +
                                "\") released its reference more than once");
    }
    return ran;
}

} // namespace refhost
