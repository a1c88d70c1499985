// CPoolLengthStatsDialog: the "Length" page of the pool statistics window. One
// row per string length that occurs in the pool, longest first: the
// cumulative share of logical strings up to that length, the logical,
// physical and unique strings of that length, and the memory they use and
// would need. Between taking the values and showing them the page keeps
// their lengths and counts; afterwards nothing but its list's texts.
#pragma once

#include <windows.h>

#include "engine/pools.h"
#include "ui/controls/copyable_list_ctrl.h"
#include "ui/framework/dialog_window.h"

class CPoolLengthStatsDialog final : public dialog_window {
public:
    CPoolLengthStatsDialog() = default;

    // Copies the lengths and counts of the values (never their texts);
    // touches no window, so it may run under the host's lock. Raises
    // std::bad_alloc.
    void take_values(const string_info_list2& values);
    // Replaces every row of the list by the length distribution of the
    // values last taken, then forgets them.
    void present();
    // take_values, then present.
    void fill(const string_info_list2& values);

    HWND list_view() const noexcept { return m_list; }

    bool process_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                         LRESULT& result) override;

private:
    void on_init_dialog(HWND window);

    HWND m_list = nullptr;
    string_info_list2 m_taken; // lengths and counts; no texts
    CCopyableListCtrl m_copying; // Ctrl+C, Ctrl+A and the context menu
};
