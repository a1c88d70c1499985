// The reference host's errors raised the way a Windows host raises them: a
// small module built with clang for the Microsoft C++ ABI (see
// cmake/host_thrower.cmake) throws them, so that they reach a component as
// the platform's C++ exceptions (code 0xE06D7363) and never as ours.
//
// Every error object counts its constructions and destructions, and the
// thrower's own frame between the caller and the throw counts its unwinding,
// so that tests can see that whoever stopped the error destroyed the object
// exactly once and let the thrower's frames unwind.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// What host_thrower_raise throws. The types carry Microsoft's decorated
// names: auvia_io::exception_aborted, auvia_io::exception_io_data (derived from
// auvia_io::exception_io), std::bad_alloc and std::runtime_error (derived from
// std::exception), and host_status, which derives from nothing.
enum host_thrower_kind {
    host_thrower_aborted = 0,
    host_thrower_io_data = 1,
    host_thrower_bad_alloc = 2,
    host_thrower_runtime_error = 3,
    host_thrower_not_standard = 4,
};

struct host_thrower_counts {
    unsigned thrown;         // calls of host_thrower_raise
    unsigned created;        // error objects constructed (copies included)
    unsigned destroyed;      // error objects destroyed
    unsigned frames_unwound; // thrower frames whose cleanup ran
    unsigned unwound_early;  // of those, the ones that ran while the object lived
    unsigned host_catches;   // errors that reached host_thrower_call_catching's catch
};

// Throws an error of this kind; message is its what() text (copied into the
// object; null: the type's own text).
#if defined(__GNUC__) || defined(__clang__)
__attribute__((noreturn))
#endif
void host_thrower_raise(unsigned kind, const char* message);

// Calls fn(context) inside a catch (...) of the Microsoft ABI, as a host's
// own handler above a component; answers whether an error reached it.
int host_thrower_call_catching(void (*fn)(void*), void* context);

// Calls fn(context) inside a structured handler for the given exception
// code; answers whether such an exception reached it.
int host_thrower_call_catching_seh(void (*fn)(void*), void* context, unsigned long code);

void host_thrower_read_counts(struct host_thrower_counts* counts);
void host_thrower_reset_counts(void);

#ifdef __cplusplus
}
#endif
