#include "ui/framework/dialog_keys.h"

namespace {

bool key_is_down(int key) noexcept {
    return GetKeyState(key) < 0;
}

} // namespace

unsigned modifiers_down() noexcept {
    unsigned held = modifier_none;
    if (key_is_down(VK_CONTROL)) {
        held |= modifier_ctrl;
    }
    if (key_is_down(VK_SHIFT)) {
        held |= modifier_shift;
    }
    if (key_is_down(VK_MENU)) {
        held |= modifier_alt;
    }
    return held;
}

bool message_is_for(HWND dialog, const MSG& message) noexcept {
    return dialog != nullptr && message.hwnd != nullptr &&
           (message.hwnd == dialog || IsChild(dialog, message.hwnd) != FALSE);
}

int tab_step_of_key(const MSG& message) noexcept {
    if (message.message != WM_KEYDOWN) {
        return 0; // with Alt held a key arrives as WM_SYSKEYDOWN
    }
    const unsigned held = modifiers_down();
    switch (message.wParam) {
    case VK_TAB:
        if (held == modifier_ctrl) {
            return 1;
        }
        return held == (modifier_ctrl | modifier_shift) ? -1 : 0;
    case VK_NEXT:
        return held == modifier_ctrl ? 1 : 0;
    case VK_PRIOR:
        return held == modifier_ctrl ? -1 : 0;
    default:
        return 0;
    }
}
