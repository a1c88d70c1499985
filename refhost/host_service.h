// Base of the host's own service objects: counted references (the host keeps
// one itself, so an object never goes away while the host lives) and a query
// that answers only the object's own class.
#pragma once

#include <cstdint>
#include <string>

#include "host/host_interfaces.h"
#include "refhost/host_context.h"

namespace refhost {

template <typename Interface> class host_service : public Interface {
public:
    host_service(host_context& host, const GUID& class_guid, const char* name)
        : m_host(host), m_class(class_guid), m_name(name) {}
    host_service(const host_service&) = delete;
    host_service& operator=(const host_service&) = delete;

    int service_release() override {
        if (m_references <= 1) {
            m_host.record_violation(std::string(m_name) + " released more often than referenced");
            return 1;
        }
        return --m_references;
    }
    int service_add_ref() override { return ++m_references; }
    bool service_query(service_base** out, const GUID& guid) override {
        if (out == nullptr || guid != m_class) {
            return false;
        }
        service_add_ref();
        service_base* old = *out;
        *out = this;
        if (old != nullptr) {
            old->service_release();
        }
        return true;
    }

    const GUID& class_guid() const { return m_class; }
    const char* name() const { return m_name; }
    // References held outside the host.
    std::uint32_t outside_references() const {
        return static_cast<std::uint32_t>(m_references - 1);
    }

protected:
    ~host_service() = default;
    host_context& m_host;

private:
    GUID m_class;
    const char* m_name;
    int m_references = 1; // the host's own
};

} // namespace refhost
