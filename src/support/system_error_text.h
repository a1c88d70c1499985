// The text of a Win32 error code.
#pragma once

#include <cstdint>

#include "support/string8.h"

// The system's message for code (through the host's shared utility library),
// or "Unknown error code (<code in unsigned decimal>)" when it has none.
string8 system_error_text(std::uint32_t code);
