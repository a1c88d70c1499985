// CCopyableListCtrl: a plain report list view (one that a dialog created)
// with the copy commands of list_copy_commands: Ctrl+C, Ctrl+A and the
// context menu. Every other message goes unchanged to the list.
#pragma once

#include <windows.h>

#include "ui/controls/list_copy_commands.h"
#include "ui/framework/subclassed_window.h"

class CCopyableListCtrl final : public subclassed_window {
public:
    CCopyableListCtrl() = default;

    list_copy_commands& copy_commands() noexcept { return m_copy; }

    bool process_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                         LRESULT& result) override {
        return m_copy.handle_message(window, message, wparam, lparam, result);
    }

private:
    list_copy_commands m_copy;
};
