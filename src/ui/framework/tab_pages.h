// Placing a tab control's page: the pages are siblings of the tab control
// (children of the dialog), fitted to the tab control's display area.
#pragma once

#include <windows.h>

// Moves and sizes page to the display area of tab (both children of dialog),
// at the top of the sibling order, without activating it. Does nothing when
// page is not a window.
void place_page_in_tab(HWND dialog, HWND tab, HWND page);
