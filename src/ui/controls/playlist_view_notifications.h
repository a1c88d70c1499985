// The private WM_NOTIFY notifications that the sortable list view sends to its
// parent (wParam = the list's control id, hwndFrom = the list view).
#pragma once

#include <windows.h>

#include <cstdint>

// Sent before the sort column or direction changes: answer 0 to allow, nonzero
// to veto (nothing changes then).
inline constexpr int PVN_SORTCHANGING = -3000;
// Sent after the indicator shows the new sort; the parent sorts its rows here.
inline constexpr int PVN_SORTCHANGED = -3001;
// Ctrl+Shift with a movement key: asks the parent to move the focused item (and
// the selection) by delta rows. The list itself moves nothing.
inline constexpr int PVN_MOVESELECTION = -3002;

// Record of PVN_SORTCHANGING and PVN_SORTCHANGED.
struct NMPVSORT {
    NMHDR hdr;
    std::int32_t new_column; // the column that is to become (or became) the sort column
    std::int32_t old_column; // the sort column before the change; -1 for none
    bool descending;         // the new direction
};

// Record of PVN_MOVESELECTION.
struct NMPVMOVE {
    NMHDR hdr;
    std::int32_t delta; // rows to move by; negative = towards the top
};
