// Linked into every 64-bit Windows test host: before any other static
// initialisation the address space below 4 GB is reserved, so that the
// component's memory, and the tests' own, lies above it and a pointer cut to
// 32 bits faults instead of passing.
#include "refhost/low_address_space.h"

namespace {

__attribute__((constructor(101))) void reserve_low_address_space_first() {
    refhost::reserve_low_address_space();
}

} // namespace
