// Reporting an error that reached a window boundary: an alert from the host
// with the text "Unhandled exception:\n" followed by the error's text, caption
// "Metadata Cache Statistics"; std::bad_alloc and every error derived from it
// read "bad allocation". Never throws; if the alert itself cannot be
// shown the error is dropped.
#pragma once

#include <exception>

void report_unhandled_exception(const std::exception& error) noexcept;
void report_unhandled_exception_text(const char* text) noexcept;
