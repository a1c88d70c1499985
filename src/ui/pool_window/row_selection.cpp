#include "ui/pool_window/row_selection.h"

namespace {

constexpr std::uint32_t no_row = 0xFFFFFFFFu;

std::uint32_t row_at(const value_rows& table, int position) noexcept {
    return position >= 0 && static_cast<std::uint32_t>(position) < table.size()
               ? table.row_at(static_cast<std::uint32_t>(position))
               : no_row;
}

} // namespace

void row_selection::capture(list_view_ctrl list, const value_rows& table) {
    m_focused = row_at(table, list.next_item(-1, LVNI_FOCUSED));
    m_mark = row_at(table, list.selection_mark());
    const int selected = list.selected_count();
    const std::uint32_t n = table.size();
    // Everything or nothing selected stays so in any order: no walk needed.
    const bool all = static_cast<std::uint32_t>(selected) >= n;
    m_selected.clear();
    if (selected <= 0 || all) {
        return;
    }
    m_selected.assign(table.row_count(), false);
    for (int position = list.next_item(-1, LVNI_SELECTED); position >= 0;
         position = list.next_item(position, LVNI_SELECTED)) {
        const std::uint32_t row = row_at(table, position);
        if (row == no_row) {
            break;
        }
        m_selected[row] = true;
    }
}

void row_selection::restore(list_view_ctrl list, const value_rows& table) const {
    const std::uint32_t n = table.size();
    if (!m_selected.empty()) {
        list.set_item_state(-1, 0, LVIS_SELECTED);
    }
    int focus = -1;
    int mark = -1;
    for (std::uint32_t position = 0; position < n; ++position) {
        const std::uint32_t row = table.row_at(position);
        if (!m_selected.empty() && m_selected[row]) {
            list.set_item_state(static_cast<int>(position), LVIS_SELECTED, LVIS_SELECTED);
        }
        if (row == m_focused) {
            focus = static_cast<int>(position);
        }
        if (row == m_mark) {
            mark = static_cast<int>(position);
        }
    }
    if (focus >= 0) {
        list.set_item_state(focus, LVIS_FOCUSED, LVIS_FOCUSED);
    }
    if (m_mark != none) {
        list.set_selection_mark(mark);
    }
}
