#include "host/host_guard.h"

// A host that shares the component's exception model raises errors that our
// frames catch and unwind as they are: the guard has nothing to translate.
void host_guard_detail::run_guarded(body_function body_fn, void* body) {
    body_fn(body);
}
