// The host's message loop: every queued message is first offered to the
// registered message filters, and only a message none of them consumed is
// translated and dispatched.
#pragma once

#include <cstdint>

#include "refhost/host_context.h"

namespace refhost {

void dispatch_message(host_context& host, MSG& msg);

// Runs until WM_QUIT; answers its exit code.
int run_message_loop(host_context& host);

// Processes messages until none but timer messages arrived for quiet_ms (so
// that posted work such as a window's first refresh has run and settled), or
// until limit_ms passed (then false). A WM_QUIT met on the way is posted again
// and ends the pumping (false).
bool pump_until_idle(host_context& host, std::uint32_t quiet_ms, std::uint32_t limit_ms);

// Processes whatever arrives during ms milliseconds.
void pump_for(host_context& host, std::uint32_t ms);

} // namespace refhost
