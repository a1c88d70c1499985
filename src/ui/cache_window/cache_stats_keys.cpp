// The keys of the cache statistics window. The host offers every queued
// message to the window's filter; the window takes its own keys first, as the
// dialog manager would turn Enter into the dialog's IDOK command before the
// table sees it, and leaves every other message to the dialog manager (Tab,
// the arrows, Escape, the mnemonics, and the keys it passes on to the focused
// control, Ctrl+C and Ctrl+A among them).
#include <windows.h>

#include "resources/resource_ids.h"
#include "ui/cache_window/cache_stats_dialog.h"
#include "ui/framework/dialog_keys.h"
#include "ui/framework/tab_pages.h"

bool CCacheStatsDialog::filter_message(const tagMSG* message) {
    const HWND dialog = handle();
    if (dialog == nullptr || message == nullptr) {
        return false;
    }
    if (switch_tab_on_key(dialog, m_tab, *message) || on_key_down(*message)) {
        return true;
    }
    return IsDialogMessageW(dialog, const_cast<MSG*>(message)) != FALSE;
}

bool CCacheStatsDialog::on_key_down(const MSG& message) {
    if (message.message != WM_KEYDOWN || !message_is_for(handle(), message)) {
        return false;
    }
    switch (message.wParam) {
    case VK_RETURN:
        return pass_enter_to_table(message);
    case VK_F5:
        if (modifiers_down() != modifier_none) {
            return false;
        }
        on_refresh_key();
        return true;
    default:
        return false;
    }
}

// Enter on a table with a focused row goes to the table, which activates that
// row; on a table without one, as anywhere else, Enter is the dialog
// manager's.
bool CCacheStatsDialog::pass_enter_to_table(const MSG& message) {
    for (const CStatisticsTableCtrl& table : m_tables) {
        if (table.handle() == nullptr || message.hwnd != table.handle()) {
            continue;
        }
        if (CStatisticsTableCtrl::focused_row(message.hwnd) < 0) {
            return false;
        }
        DispatchMessageW(&message);
        return true;
    }
    return false;
}

// F5 clicks "&Refresh", unless it is disabled.
void CCacheStatsDialog::on_refresh_key() {
    const HWND button = GetDlgItem(handle(), IDC_REFRESH);
    if (button == nullptr || !IsWindowEnabled(button)) {
        return;
    }
    SendMessageW(handle(), WM_COMMAND, MAKEWPARAM(IDC_REFRESH, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}
