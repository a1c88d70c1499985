// Lines on the host's console.
#pragma once

// Writes text (UTF-8) as one line to every console instance of the host.
// Dropped silently before the host has reported its services ready, before
// the entry point ran, or when the host has no console. Errors raised by the
// host's console objects propagate (the reference taken is given back).
void console_print(const char* utf8);
