// CPoolStringStatsDialog: the "Value" page of the pool statistics window. One
// row per distinct value of the pool: length, logical and physical strings,
// used and required memory, and the value. The page copies every figure and
// text it shows while the host's cache is locked and shows them later: its
// list is an owner-data list that asks the page for each cell it paints, so
// the list keeps nothing per row. The user sorts the rows by clicking a
// column header (CPlaylistViewCtrl); a sort reorders the page's own
// permutation of the rows. Copying the rows (Ctrl+C, Copy All) reads the
// page's own rows in the order shown (value_copy_source).
#pragma once

#include <windows.h>

#include <cstdint>

#include "engine/pools.h"
#include "ui/controls/playlist_view_ctrl.h"
#include "ui/framework/dialog_window.h"
#include "ui/pool_window/value_copy_source.h"
#include "ui/pool_window/value_rows.h"

class CPoolStringStatsDialog final : public dialog_window {
public:
    // One distinct value; text points into the page's text copies.
    using t_entry = value_row;

    // (length + 1) x physical + 4 x logical, modulo 2^32.
    static std::uint32_t used_memory(const t_entry& row) noexcept {
        return value_rows::used_memory(row);
    }
    // (length + 1) + 4 x logical, modulo 2^32.
    static std::uint32_t required_memory(const t_entry& row) noexcept {
        return value_rows::required_memory(row);
    }

    CPoolStringStatsDialog() = default;

    // Copies the figures and texts of the values; touches no window, so it
    // may run under the host's lock. The list shows them after present().
    // Raises std::bad_alloc (the page then shows nothing after present()).
    void take_values(const string_info_list2& values);
    // Shows the values last taken, ordered by length, then without letter
    // case, then by bytes, with "Length" ascending in the header.
    void present();
    // take_values, then present.
    void fill(const string_info_list2& values);

    // Reorders the shown rows by column (0..5), descending when asked; the
    // selected and focused values stay selected and focused.
    void sort_rows(int column, bool descending);

    HWND list_view() const noexcept { return m_list; }
    const CPlaylistViewCtrl& sort_control() const noexcept { return m_sort; }
    // What the list's copy commands read.
    value_copy_source& copy_source() noexcept { return m_copy_source; }
    // Rows in fill order (the order shown right after present()).
    std::uint32_t row_count() const noexcept { return m_table.row_count(); }
    const t_entry& row(std::uint32_t index) const noexcept { return m_table.row(index); }

    bool process_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                         LRESULT& result) override;

private:
    void on_init_dialog(HWND window);
    void on_size(int width, int height);
    bool on_notify(const NMHDR& header, LRESULT& result);
    void on_get_display_info(NMLVDISPINFOW& info) const noexcept;
    int find_row(const NMLVFINDITEMW& find) const;

    value_rows m_table;
    HWND m_list = nullptr;
    // Before the list control, which points at it.
    value_copy_source m_copy_source{m_table};
    CPlaylistViewCtrl m_sort;
};
