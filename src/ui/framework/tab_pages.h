// Placing a tab control's page: the pages are siblings of the tab control
// (children of the dialog), fitted to the tab control's display area. And
// choosing pages by keyboard the way a click on a tab chooses them.
#pragma once

#include <windows.h>

// Moves and sizes page to the display area of tab (both children of dialog),
// at the top of the sibling order, without activating it. Does nothing when
// page is not a window.
void place_page_in_tab(HWND dialog, HWND tab, HWND page);

// Selects the tab step items away from the selected one, wrapping around, as
// a click on it does: TCN_SELCHANGING to the tab control's parent (a non-zero
// answer keeps the selection), TCM_SETCURSEL, then TCN_SELCHANGE. Nothing
// happens when that is the selected tab already or there are no tabs.
void step_tab_as_click(HWND tab, int step);

// A queued key for dialog that asks for another tab (tab_step_of_key)
// selects it on tab with step_tab_as_click. Answers whether the message was
// such a key, which the caller then consumes.
bool switch_tab_on_key(HWND dialog, HWND tab, const MSG& message);

// Whether the keyboard focus is on window or on one of its descendants.
bool focus_is_within(HWND window) noexcept;

// After a page switch took the focus from the page it hid: the focus goes to
// control (the shown page or the control in it) when that is a visible
// window, else to the tab control.
void focus_shown_page(HWND control, HWND tab) noexcept;
