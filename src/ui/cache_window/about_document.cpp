#include "ui/cache_window/about_document.h"

#include <richedit.h>

#include <cstring>

#include "host/console_output.h"
#include "resources/resource_ids.h"
#include "support/system_error_text.h"

namespace {

// What the rich edit reads from: the locked resource bytes and how far it got.
struct stream_cursor {
    const BYTE* start;
    DWORD size;
    DWORD position;
};

DWORD CALLBACK read_document(DWORD_PTR cookie, LPBYTE buffer, LONG requested, LONG* copied) {
    auto* cursor = reinterpret_cast<stream_cursor*>(cookie);
    const DWORD left = cursor->size - cursor->position;
    const DWORD count =
        requested < 0 ? 0 : (static_cast<DWORD>(requested) < left ? requested : left);
    std::memcpy(buffer, cursor->start + cursor->position, count);
    cursor->position += count;
    *copied = static_cast<LONG>(count);
    return 0;
}

void print_last_error() {
    const DWORD code = GetLastError();
    console_print(system_error_text(code).c_str());
}

} // namespace

void stream_about_document(HWND rich_edit, HMODULE module) {
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(IDR_ABOUT_RTF), L"RTF");
    if (resource == nullptr) {
        print_last_error();
        return;
    }
    HGLOBAL loaded = LoadResource(module, resource);
    if (loaded == nullptr) {
        print_last_error();
        return;
    }
    const DWORD size = SizeofResource(module, resource);
    if (size == 0) {
        print_last_error();
        return;
    }
    const void* bytes = LockResource(loaded);
    if (bytes == nullptr) {
        return;
    }
    stream_cursor cursor{static_cast<const BYTE*>(bytes), size, 0};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&cursor);
    stream.pfnCallback = &read_document;
    SendMessageW(rich_edit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
}
