// Screenshots of top-level windows: BitBlt from the window's DC (frame
// included) into a 32-bit DIB, written as a BMP file. (PrintWindow only
// paints the dialog background under wine.)
#pragma once

#include <windows.h>

#include <string>

namespace refhost {

// Brings the window to the top, repaints it and writes it to path. False with
// a reason in error when it could not.
bool save_window_bitmap(HWND window, const std::wstring& path, std::string& error);

} // namespace refhost
