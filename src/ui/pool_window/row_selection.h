// row_selection: the selection, focus and selection mark of the value page's
// owner-data list, held by row instead of by position. An owner-data list
// knows its states only by position, so across a reordering of the rows the
// page reads them before and puts them back at the rows' new positions: the
// selected values stay selected, as they do when a list sorts its own rows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "ui/controls/list_view_ctrl.h"
#include "ui/pool_window/value_rows.h"

class row_selection {
public:
    // Reads the list's states; the table maps positions to rows.
    void capture(list_view_ctrl list, const value_rows& table);
    // Sets the states again at the positions the rows have now.
    void restore(list_view_ctrl list, const value_rows& table) const;

private:
    static constexpr std::uint32_t none = 0xFFFFFFFFu;

    std::vector<bool> m_selected; // by row; empty when nothing is selected
    std::uint32_t m_focused = none;
    std::uint32_t m_mark = none;
};
