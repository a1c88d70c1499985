// Reading a C++ error that a host built with Microsoft's compiler raised (the
// structured exception 0xE06D7363), for the guards of both Windows editions:
// what kind of error of ours it becomes, a copy of its what(), and how to
// destroy the host's object. Nothing here raises.
#pragma once

#include <windows.h>

#include "host/host_error_translation.h"

// What a guard learned of a host error, kept in the guard's frame.
struct host_error_capture {
    host_error_kind kind;
    char* message; // malloc'd copy of what(), or null
    void* object;  // the host's object, until it has been destroyed
    void* destroy; // its destructor (thiscall in 32-bit), or null
};

// The host's C++ error in an exception record: the magic 0x19930520,
// 0x19930521 or 0x19930522 in the first parameter, the object in the second,
// the ThrowInfo in the third; in 64-bit the fourth is the thrower's image
// base, from which every field of the ThrowInfo is an offset (in 32-bit they
// are addresses).
struct host_cxx_error {
    void* object;
    const void* info;
    std::uintptr_t image_base;
};

// False for every other exception (an access violation, another runtime's
// error, a record without the C++ parameters).
bool read_host_cxx_error(const EXCEPTION_RECORD& record, host_cxx_error& error) noexcept;

// Reads the decorated names of the types the error can be caught as, the
// kind they make, and, when one of them is std::exception, a copy of what()
// (slot 1 of the table of Microsoft's std::exception). An error whose message
// does not fit in memory becomes out of memory.
void capture_host_cxx_error(const host_cxx_error& error, host_error_capture& capture) noexcept;

// Destroys the host's object (once: capture.object is null afterwards).
void destroy_host_object(host_error_capture& capture) noexcept;
