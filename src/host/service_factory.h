// Factory nodes of the chain the host walks. A node starts with the layout the
// host reads directly (table pointer, next, pointer to the class GUID); the
// node's single service instance follows those three words.
#pragma once

#include <utility>

#include "host/factory_chain.h"
#include "host/service_class.h"
#include "host/service_impl_single.h"

// A node for service class Interface, linked at the head of the chain by its
// construction.
template <typename Interface> class service_factory_base_t : public service_factory_base {
protected:
    service_factory_base_t()
        : service_factory_base(factory_chain::head(),
                               &service_class_traits<Interface>::class_guid()) {
        factory_chain::link_at_head(this);
    }
    ~service_factory_base_t() = default;
};

// A node holding a single instance of T as its member.
template <typename T>
class service_factory_single_t : public service_factory_base_t<typename T::service_class> {
public:
    template <typename... Args>
    explicit service_factory_single_t(Args&&... args) : m_instance(std::forward<Args>(args)...) {}

    void instance_create(service_base** holder) override {
        try {
            store_counted_reference(holder, &m_instance);
        } catch (...) {
            // Only the previous holder's release can throw; the instance is stored.
        }
    }

    T& instance() noexcept { return m_instance; }

private:
    service_impl_single_t<T> m_instance;
};

// A node that is its own single instance of T: the instance part follows the
// node's fields.
template <typename T>
class service_factory_single_transparent_t
    : public service_factory_base_t<typename T::service_class>,
      public service_impl_single_t<T> {
public:
    template <typename... Args>
    explicit service_factory_single_transparent_t(Args&&... args)
        : service_impl_single_t<T>(std::forward<Args>(args)...) {}

    void instance_create(service_base** holder) override {
        try {
            store_counted_reference(holder, static_cast<service_impl_single_t<T>*>(this));
        } catch (...) {
            // Only the previous holder's release can throw; the instance is stored.
        }
    }
};
