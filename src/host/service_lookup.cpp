#include "host/service_lookup.h"

#include "host/host_guard.h"

service_ptr_t<service_base> lookup_single_instance(const GUID& class_guid) {
    host_core* core = module_state::core();
    if (core == nullptr) {
        // No lookup may happen before the entry point ran; treat as no service.
        throw exception_service_not_found();
    }
    service_class_ref cls = nullptr;
    std::uint32_t count = 0;
    guarded_host_calls([&] {
        cls = core->lookup_class(class_guid);
        count = core->count_instances(cls);
    });
    if (count == 0) {
        throw exception_service_not_found();
    }
    if (count != 1) {
        throw exception_service_duplicated();
    }
    service_base* raw = nullptr;
    const bool created =
        guarded_host_value<bool>([&] { return core->create_instance(&raw, cls, 0); });
    if (!created || raw == nullptr) {
        if (raw != nullptr) {
            raw->service_release();
        }
        throw exception_bug_check();
    }
    service_ptr_t<service_base> result;
    result.attach(raw);
    return result;
}
