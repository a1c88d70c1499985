// The About page's document: rich-text resource 104 of the component's module.
#pragma once

#include <windows.h>

// Streams the document into rich_edit as RTF. When the resource cannot be
// found or loaded or is empty, the system's text for the last error goes to
// the host console and the page stays empty; nothing is thrown for that.
void stream_about_document(HWND rich_edit, HMODULE module);
