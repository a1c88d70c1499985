// The three functions of the host's shared utility library (shared.dll),
// imported by their plain names. Natively, tests supply them.
#pragma once

#include <cstdint>

#include "support/string_base.h"

struct HWND__;

extern "C" {
// On success (nonzero) out holds the system's message text for code in UTF-8;
// on failure (zero) out was left empty.
int uFormatSystemErrorMessage(string_base& out, std::uint32_t code);
// Sets the caption of window from UTF-8 text; the result is not used.
int uSetWindowText(HWND__* window, const char* text);
// Case-insensitive order of two NUL-terminated UTF-8 texts: negative, 0, positive.
int stricmp_utf8(const char* a, const char* b);
}
