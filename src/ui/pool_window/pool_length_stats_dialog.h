// CPoolLengthStatsDialog: the "Length" page of the pool statistics window. One
// row per string length that occurs in the pool, longest first: the
// cumulative share of logical strings up to that length, the logical,
// physical and unique strings of that length, and the memory they use and
// would need. The page keeps nothing but its list's texts.
#pragma once

#include <windows.h>

#include "engine/pools.h"
#include "ui/controls/copyable_list_ctrl.h"
#include "ui/framework/dialog_window.h"

class CPoolLengthStatsDialog final : public dialog_window {
public:
    CPoolLengthStatsDialog() = default;

    // Replaces every row by the length distribution of the values. Called
    // under the metadata-cache lock; reads only lengths and counts.
    void fill(const string_info_list2& values);

    HWND list_view() const noexcept { return m_list; }

    bool process_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                         LRESULT& result) override;

private:
    void on_init_dialog(HWND window);

    HWND m_list = nullptr;
    CCopyableListCtrl m_copying; // Ctrl+C, Ctrl+A and the context menu
};
