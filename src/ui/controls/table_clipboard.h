// Putting a table on the clipboard as CF_UNICODETEXT (table_text.h): the text
// is measured, one movable block of exactly that size (and a terminator) is
// allocated, written, and handed to the clipboard. When anything fails the
// clipboard is left as it was.
#pragma once

#include <windows.h>

#include "ui/controls/table_text.h"

enum class copy_result {
    copied,
    no_memory,      // the text is too large for one block, or a cell could not be read
    clipboard_busy, // another window holds the clipboard open
    source_changed, // the table changed between measuring and writing
};

// The block allocation; GlobalAlloc unless a test replaces it.
using clipboard_allocator = HGLOBAL(WINAPI*)(UINT flags, SIZE_T bytes);

// Copies the rows (all, or the selected ones in display order) of source with
// its header line, owned by owner. Catches std::bad_alloc from the source
// (no_memory); other errors of the source propagate, the clipboard untouched.
copy_result copy_table_to_clipboard(HWND owner, table_source<wchar_t>& source, table_rows rows,
                                    clipboard_allocator allocate = &GlobalAlloc);
