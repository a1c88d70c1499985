// The header sort arrows of the sortable list view when the common controls
// cannot draw their own: the shell library's arrow bitmaps, or two 16x15
// triangles drawn in the button colours.
#pragma once

#include <windows.h>

// Element 0 points up (ascending), element 1 down (descending).
enum : int { arrow_ascending = 0, arrow_descending = 1 };

// Replaces both arrows (deleting the bitmaps held) by the shell library's
// bitmaps 133 and 134; stops at the first one that fails to load. Answers
// whether both loaded. Loads and frees the shell library when it is not loaded.
bool load_shell_sort_arrows(HBITMAP (&arrows)[2]) noexcept;

// Replaces both arrows (deleting the bitmaps held) by drawn triangles.
void draw_sort_arrows(HBITMAP (&arrows)[2]) noexcept;

// Deletes both arrows and nulls them.
void delete_sort_arrows(HBITMAP (&arrows)[2]) noexcept;
