// CPoolStringStatsDialog: the "Value" page of the pool statistics window. One
// row per distinct value of the pool: length, logical and physical strings,
// used and required memory, and the value. The page copies every figure and
// text it shows, so it never refers to the host's strings once the fill (which
// runs under the metadata-cache lock) has returned. The user sorts the rows by
// clicking a column header (CPlaylistViewCtrl).
#pragma once

#include <windows.h>

#include <cstdint>

#include "engine/pools.h"
#include "support/array.h"
#include "ui/controls/playlist_view_ctrl.h"
#include "ui/framework/dialog_window.h"

class CPoolStringStatsDialog final : public dialog_window {
public:
    // One distinct value; text points into the page's text buffer.
    struct t_entry {
        std::uint32_t length;
        std::uint32_t logical_count;
        std::uint32_t physical_count;
        const char* text;
    };

    // (length + 1) x physical + 4 x logical, modulo 2^32.
    static std::uint32_t used_memory(const t_entry& row) noexcept;
    // (length + 1) + 4 x logical, modulo 2^32.
    static std::uint32_t required_memory(const t_entry& row) noexcept;

    CPoolStringStatsDialog() = default;

    // Replaces every row by the values of the list, ordered by length, then
    // without letter case, then by bytes; shows "Length" ascending. Raises
    // std::bad_alloc (the list left empty) when the copies do not fit.
    void fill(const string_info_list2& values);

    // Sorts the list's rows by column (0..5), descending when asked.
    void sort_rows(int column, bool descending);

    HWND list_view() const noexcept { return m_list; }
    const CPlaylistViewCtrl& sort_control() const noexcept { return m_sort; }
    std::uint32_t row_count() const noexcept { return m_rows.size(); }
    const t_entry& row(std::uint32_t index) const noexcept { return m_rows[index]; }

    bool process_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                         LRESULT& result) override;

private:
    void on_init_dialog(HWND window);
    void on_size(int width, int height);
    bool on_notify(const NMHDR& header);
    void copy_values(const string_info_list2& values);
    void insert_rows();

    array_t<t_entry, alloc_standard> m_rows;
    array_t<char, alloc_standard> m_text;
    HWND m_list = nullptr;
    CPlaylistViewCtrl m_sort;
};
