// The single-instance service lookup: the one way the component reaches a
// host service. The caller owns the returned reference for one step.
#pragma once

#include "host/host_interfaces.h"
#include "host/module_state.h"
#include "host/service_ptr.h"

// Looks up the one instance of class_guid. Raises exception_service_not_found
// (no instance), exception_service_duplicated (more than one) or
// exception_bug_check (the host failed to create the instance it reported).
service_ptr_t<service_base> lookup_single_instance(const GUID& class_guid);

// Typed form: the host's object for class T's GUID is a T.
template <typename T> service_ptr_t<T> lookup_single(const GUID& class_guid) {
    service_ptr_t<service_base> base = lookup_single_instance(class_guid);
    service_ptr_t<T> typed;
    typed.attach(static_cast<T*>(base.detach()));
    return typed;
}
