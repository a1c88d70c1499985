// The keys of the cache statistics window. The host offers every queued
// message to the window's filter; the window takes its own keys first and
// leaves every other message to the dialog manager (Tab, the arrows, Escape,
// the mnemonics, and the keys it passes on to the focused control, Ctrl+C and
// Ctrl+A among them).
#include <windows.h>

#include "ui/cache_window/cache_stats_dialog.h"
#include "ui/framework/tab_pages.h"

bool CCacheStatsDialog::filter_message(const tagMSG* message) {
    const HWND dialog = handle();
    if (dialog == nullptr || message == nullptr) {
        return false;
    }
    if (switch_tab_on_key(dialog, m_tab, *message)) {
        return true;
    }
    return IsDialogMessageW(dialog, const_cast<MSG*>(message)) != FALSE;
}
