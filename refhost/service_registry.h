// host_core: the host's class registry. A class (by GUID) has an ordered list
// of instances; each is either one of the host's own service objects or a
// node of a component's factory chain, asked for its instance on creation.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "refhost/host_context.h"

namespace refhost {

class service_registry final : public host_core {
public:
    explicit service_registry(host_context& host) : m_host(host) {}
    service_registry(const service_registry&) = delete;
    service_registry& operator=(const service_registry&) = delete;

    // host_core: what components call.
    service_class_ref lookup_class(const GUID& class_guid) override;
    bool create_instance(service_base** out, service_class_ref cls, std::uint32_t index) override;
    std::uint32_t count_instances(service_class_ref cls) override;
    window_handle owner_window() override;

    static constexpr std::uint32_t host_origin = 0xFFFFFFFFu;

    void add_service(const GUID& class_guid, service_base* service);
    void add_factory(service_factory_base* node, std::uint32_t component);
    // Removes every instance of the class.
    void remove_class(const GUID& class_guid);
    // Registers the first instance of the class once more.
    bool duplicate_first(const GUID& class_guid);
    // Removes every factory node of a component.
    void remove_component(std::uint32_t component);
    // Makes create_instance fail for the class although it counts instances.
    void set_create_failure(const GUID& class_guid, bool fail);

    // The host's own use: no counting, no faults, no breach checks.
    std::uint32_t instances_of(const GUID& class_guid) const;
    // A new reference to instance index, or null (exceptions of the
    // component's factory are recorded and give null).
    service_base* create_for_host(const GUID& class_guid, std::uint32_t index);
    // The component (or host_origin) that provides instance index of a class.
    std::uint32_t origin_of(const GUID& class_guid, std::uint32_t index) const;

private:
    struct provider {
        service_base* service;      // a host object, or
        service_factory_base* node; // a component's factory node
        std::uint32_t origin;
    };
    struct class_entry {
        GUID guid;
        std::vector<provider> providers;
        bool fail_create = false;
    };

    class_entry& entry(const GUID& class_guid);
    const class_entry* find(const GUID& class_guid) const;
    class_entry* from_handle(service_class_ref cls);
    service_base* instantiate(const provider& p);

    host_context& m_host;
    std::deque<class_entry> m_classes; // stable addresses: a class handle points at its entry
};

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
std::string guid_text(const GUID& guid);

} // namespace refhost
