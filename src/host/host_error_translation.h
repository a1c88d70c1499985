// Turning an error that the host raised in another compiler's exception model
// into the component's own. The platform's guard reads what it can of the
// host's error (the decorated names of the types it can be caught as, and its
// what() text when it is a standard exception); these functions decide what
// the component raises instead, so that its catch blocks see the error as the
// host meant it.
#pragma once

#include <cstdint>

// What the component makes of a host error, from the most specific type it knows.
enum class host_error_kind : std::uint8_t {
    cancelled,     // auvia_io::exception_aborted: ends a refresh silently
    data_error,    // auvia_io::exception_io_data: ends the configuration reading
    io_error,      // auvia_io::exception_io
    out_of_memory, // std::bad_alloc
    standard,      // any other std::exception: its what() is shown
    foreign,       // not a std::exception at all (a host that throws 42)
};

// The kind of an error catchable as each of the given types (decorated names
// such as ".?AVexception_io_data@auvia_io@@", in any order). The most
// specific known type decides; a list without std::exception is foreign.
host_error_kind classify_host_error(const char* const* type_names, std::uint32_t count) noexcept;

// The text an alert shows for a host error that is not a std::exception.
extern const char* const foreign_host_error_text;

// Raises the component's own error for a host error of this kind. message is
// the host error's what() (NUL-terminated; null reads as empty) and is copied
// byte for byte; kinds without a message of their own ignore it. Raises
// std::bad_alloc when the copy does not fit in memory.
[[noreturn]] void raise_host_error(host_error_kind kind, const char* message);
