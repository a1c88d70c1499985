// uSetWindowText: a window caption from UTF-8 text.
#include <windows.h>

#include <string>

#include "support/shared_api.h"

extern "C" int uSetWindowText(HWND__* window, const char* text) {
    try {
        std::wstring wide;
        if (text != nullptr && *text != '\0') {
            const int units = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
            if (units > 0) {
                wide.resize(static_cast<std::size_t>(units));
                MultiByteToWideChar(CP_UTF8, 0, text, -1, &wide[0], units);
                wide.resize(static_cast<std::size_t>(units - 1)); // drop the terminator
            }
        }
        return SetWindowTextW(window, wide.c_str()) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}
