// Reading the keys that a window's message filter takes from the host's
// message loop before the dialog manager sees them. The modifiers come from
// the thread's key state, which tells how they stood when the queued key
// message was retrieved.
#pragma once

#include <windows.h>

enum modifier_keys : unsigned {
    modifier_none = 0,
    modifier_ctrl = 1,
    modifier_shift = 2,
    modifier_alt = 4,
};

// The modifiers held now, as modifier_keys bits.
unsigned modifiers_down() noexcept;

// Whether a queued message is for dialog: for the dialog itself or for one of
// its descendants. False when dialog is null.
bool message_is_for(HWND dialog, const MSG& message) noexcept;

// The tab step that a key press asks for, as in every tabbed dialog: +1 (the
// next tab) for Ctrl+Tab and Ctrl+Page Down, -1 (the previous tab) for
// Ctrl+Shift+Tab and Ctrl+Page Up; 0 for every other message, Alt held or a
// shifted Page key included.
int tab_step_of_key(const MSG& message) noexcept;
