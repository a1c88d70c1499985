// The boundary through which the component calls the host. A host built with
// another compiler raises its errors in its own exception model, which our
// frames neither catch nor unwind; every batch of host calls that may raise
// therefore runs inside a guard, whose platform part (run_guarded) turns such
// an error into the component's own exception once the guard has been left:
// host_guard_win64.cpp and host_guard_win32.cpp for the host's Microsoft-ABI
// C++ errors (their own rules are written there). The portable run_guarded
// (host_guard.cpp) serves hosts that share our exception model, whose errors
// need no translation.
//
// Rules that keep a guard sound:
// - No frame of the component with a pending cleanup (an object with a
//   destructor, a scope guard, a held lock) may stand between a guard and the
//   host calls it protects: a foreign error skips those frames instead of
//   unwinding them. Keep such objects outside the guarded body.
// - No exception of ours crosses a guard: the body's own errors (an allocation
//   that fails while a walk collects) are caught inside it and raised again
//   after the guard has been left, with their type intact.
// - Guard a batch of host calls (one walk over the tracks, one lookup), not
//   each call: a guard costs several plain calls.
#pragma once

#include <exception>
#include <type_traits>
#include <utility>

namespace host_guard_detail {

using body_function = void (*)(void* body) noexcept;

// Runs body_fn(body) inside the platform's guard; raises the component's own
// equivalent of a host error once the guard has been left.
void run_guarded(body_function body_fn, void* body);

} // namespace host_guard_detail

// Runs body() (a batch of host calls) inside a guard. An error the body
// raises, the host's or ours, reaches the caller as an exception of ours.
template <typename Body> void guarded_host_calls(Body&& body) {
    struct frame {
        std::remove_reference_t<Body>* body;
        std::exception_ptr error;
    };
    frame state{&body, nullptr};
    host_guard_detail::run_guarded(
        [](void* raw) noexcept {
            frame& f = *static_cast<frame*>(raw);
            try {
                (*f.body)();
            } catch (...) {
                f.error = std::current_exception();
            }
        },
        &state);
    if (state.error) {
        std::rethrow_exception(std::move(state.error));
    }
}

// guarded_host_calls for a body that answers a value.
template <typename Result, typename Body> Result guarded_host_value(Body&& body) {
    Result result{};
    guarded_host_calls([&] { result = body(); });
    return result;
}
