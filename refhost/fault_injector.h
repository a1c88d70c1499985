// Counts every host call a component makes and raises an armed error from a
// chosen call, so that tests can see how the component copes.
#pragma once

#include <array>
#include <cstdint>

#include "refhost/host_records.h"

namespace refhost {

class fault_injector {
public:
    // From the (skip + 1)-th call of `call` on, the next `times` calls raise
    // `kind` (times 0: every later call).
    void arm(host_call call, fault_kind kind, std::uint32_t skip, std::uint32_t times);
    void disarm(host_call call);
    void disarm_all();
    // Counts the call and raises when armed.
    void enter(host_call call);
    std::uint32_t calls(host_call call) const;
    void reset_counts();

private:
    struct slot {
        bool armed = false;
        fault_kind kind = fault_kind::runtime_error;
        std::uint32_t skip = 0;
        std::uint32_t times = 0;
        std::uint32_t calls = 0;
    };
    std::array<slot, static_cast<std::size_t>(host_call::count_)> m_slots{};
};

[[noreturn]] void raise_fault(fault_kind kind);

} // namespace refhost
