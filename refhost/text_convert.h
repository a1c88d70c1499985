// UTF-8 / UTF-16 conversion for the host, and the host's own output lines on
// the process's standard handles (raw UTF-8 bytes, "\n" line ends).
#pragma once

#include <string>
#include <string_view>

namespace refhost {

std::wstring utf8_to_wide(std::string_view text);
std::string wide_to_utf8(std::wstring_view text);

// Writes text and a line end to standard output / standard error; silently
// does nothing when the process has no such handle.
void write_stdout_line(std::string_view text);
void write_stderr_line(std::string_view text);

// The system's message for a Win32 error code, without the trailing line end,
// or "error <code>" when the system has none.
std::string system_error_message(unsigned long code);

} // namespace refhost
