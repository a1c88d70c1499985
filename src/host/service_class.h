// What the factory and single-instance templates need to know about a host
// service class: its class GUID, and how a counted reference is stored into a
// caller's holder.
#pragma once

#include "host/host_interfaces.h"

// The class GUID of each service interface the component implements. An
// implementation names its interface with a member `using service_class = ...;`.
template <typename Interface> struct service_class_traits;

template <> struct service_class_traits<mainmenu_commands> {
    static const GUID& class_guid() noexcept { return guids::mainmenu_commands; }
};

template <> struct service_class_traits<componentversion> {
    static const GUID& class_guid() noexcept { return guids::componentversion; }
};

// Stores object into *holder: takes a reference on object first, then gives
// back the reference that *holder held (so storing the same object twice is
// safe). A null holder receives nothing.
inline void store_counted_reference(service_base** holder, service_base* object) {
    if (holder == nullptr) {
        return;
    }
    object->service_add_ref();
    service_base* previous = *holder;
    *holder = object;
    if (previous != nullptr) {
        previous->service_release();
    }
}
