// The component's name and version record, as the host reads it, and its
// factory: a chain node that is itself the record's single instance.
#pragma once

#include "host/host_interfaces.h"
#include "host/service_factory.h"

class componentversion_impl_simple : public componentversion {
public:
    using service_class = componentversion;

    // Each text is static UTF-8; a null about text reads as empty.
    componentversion_impl_simple(const char* name, const char* version, const char* about) noexcept
        : m_name(name), m_version(version), m_about(about) {}

    // Each operation sets out to its text; the file name is the one the host
    // set through the gateway, empty until then.
    void file_name(string_base& out) override;
    void component_name(string_base& out) override;
    void component_version(string_base& out) override;
    void about_text(string_base& out) override;

private:
    const char* m_name;
    const char* m_version;
    const char* m_about;
};

class componentversion_impl_simple_factory final
    : public service_factory_single_transparent_t<componentversion_impl_simple> {
public:
    componentversion_impl_simple_factory(const char* name, const char* version,
                                         const char* about) noexcept
        : service_factory_single_transparent_t<componentversion_impl_simple>(name, version, about) {
    }
};
