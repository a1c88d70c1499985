#include "refhost/service_registry.h"

#include <algorithm>
#include <cstdio>
#include <exception>

namespace refhost {

std::string guid_text(const GUID& g) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned long>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1],
                  g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return buffer;
}

service_registry::class_entry& service_registry::entry(const GUID& class_guid) {
    for (class_entry& e : m_classes) {
        if (e.guid == class_guid) {
            return e;
        }
    }
    m_classes.push_back(class_entry{class_guid, {}, false});
    return m_classes.back();
}

const service_registry::class_entry* service_registry::find(const GUID& class_guid) const {
    for (const class_entry& e : m_classes) {
        if (e.guid == class_guid) {
            return &e;
        }
    }
    return nullptr;
}

service_registry::class_entry* service_registry::from_handle(service_class_ref cls) {
    for (class_entry& e : m_classes) {
        if (reinterpret_cast<service_class_ref>(&e) == cls) {
            return &e;
        }
    }
    m_host.record_violation("a class handle the host never gave out was used");
    return nullptr;
}

service_class_ref service_registry::lookup_class(const GUID& class_guid) {
    m_host.enter(host_call::lookup_class);
    // Unknown classes get an empty entry: they simply have no instances.
    return reinterpret_cast<service_class_ref>(&entry(class_guid));
}

service_base* service_registry::instantiate(const provider& p) {
    if (p.service != nullptr) {
        p.service->service_add_ref();
        return p.service;
    }
    service_base* holder = nullptr;
    try {
        p.node->instance_create(&holder);
    } catch (const std::exception& e) {
        m_host.record_violation(std::string("exception left a factory's instance_create: ") +
                                e.what());
        holder = nullptr;
    } catch (...) {
        m_host.record_violation("exception left a factory's instance_create");
        holder = nullptr;
    }
    return holder;
}

bool service_registry::create_instance(service_base** out, service_class_ref cls,
                                       std::uint32_t index) {
    m_host.enter(host_call::create_instance);
    if (out == nullptr) {
        m_host.record_violation("host_core::create_instance called with a null holder");
        return false;
    }
    if (*out != nullptr) {
        m_host.record_violation("host_core::create_instance called with a holder that is not "
                                "empty");
    }
    class_entry* e = from_handle(cls);
    if (e == nullptr || e->fail_create || index >= e->providers.size()) {
        return false;
    }
    service_base* created = instantiate(e->providers[index]);
    if (created == nullptr) {
        return false;
    }
    *out = created;
    return true;
}

std::uint32_t service_registry::count_instances(service_class_ref cls) {
    m_host.enter(host_call::count_instances);
    class_entry* e = from_handle(cls);
    return e == nullptr ? 0 : static_cast<std::uint32_t>(e->providers.size());
}

window_handle service_registry::owner_window() {
    m_host.enter(host_call::owner_window);
    return m_host.owner;
}

void service_registry::add_service(const GUID& class_guid, service_base* service) {
    entry(class_guid).providers.push_back(provider{service, nullptr, host_origin});
}

void service_registry::add_factory(service_factory_base* node, std::uint32_t component) {
    entry(*node->class_guid).providers.push_back(provider{nullptr, node, component});
}

void service_registry::remove_class(const GUID& class_guid) {
    entry(class_guid).providers.clear();
}

bool service_registry::duplicate_first(const GUID& class_guid) {
    class_entry& e = entry(class_guid);
    if (e.providers.empty()) {
        return false;
    }
    e.providers.push_back(e.providers.front());
    return true;
}

void service_registry::remove_component(std::uint32_t component) {
    for (class_entry& e : m_classes) {
        e.providers.erase(std::remove_if(e.providers.begin(), e.providers.end(),
                                         [component](const provider& p) {
                                             return p.node != nullptr && p.origin == component;
                                         }),
                          e.providers.end());
    }
}

void service_registry::set_create_failure(const GUID& class_guid, bool fail) {
    entry(class_guid).fail_create = fail;
}

std::uint32_t service_registry::instances_of(const GUID& class_guid) const {
    const class_entry* e = find(class_guid);
    return e == nullptr ? 0 : static_cast<std::uint32_t>(e->providers.size());
}

service_base* service_registry::create_for_host(const GUID& class_guid, std::uint32_t index) {
    const class_entry* e = find(class_guid);
    if (e == nullptr || index >= e->providers.size()) {
        return nullptr;
    }
    return instantiate(e->providers[index]);
}

std::uint32_t service_registry::origin_of(const GUID& class_guid, std::uint32_t index) const {
    const class_entry* e = find(class_guid);
    if (e == nullptr || index >= e->providers.size()) {
        return host_origin;
    }
    return e->providers[index].origin;
}

} // namespace refhost
