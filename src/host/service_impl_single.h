// service_impl_single_t<T>: a service implementation T made into a static
// single instance. Its lifetime is the module's, so reference counting does
// nothing; query answers only T's own service class.
#pragma once

#include <utility>

#include "host/service_class.h"

template <typename T> class service_impl_single_t : public T {
public:
    template <typename... Args>
    explicit service_impl_single_t(Args&&... args) : T(std::forward<Args>(args)...) {}

    int service_release() override { return 1; }
    int service_add_ref() override { return 1; }

    // True only for T's class GUID; then *out holds this instance (a reference
    // taken, the one *out held given back). Any other GUID leaves *out as it was.
    bool service_query(service_base** out, const GUID& guid) override {
        if (out == nullptr ||
            guid != service_class_traits<typename T::service_class>::class_guid()) {
            return false;
        }
        try {
            store_counted_reference(out, this);
        } catch (...) {
            // Only the previous holder's release can throw; the instance is stored.
        }
        return true;
    }
};
