// The table of any report list view, read through the list's own messages:
// the header items' texts, the rows in the order the list shows them (after
// any sort), each cell's text exactly as the list keeps it (LVM_GETITEMTEXTW,
// asked again with a larger buffer until the whole text fits) and the list's
// selection (LVM_GETNEXTITEM with LVNI_SELECTED).
//
// A window that keeps its rows itself can derive from it and answer
// cell_text (and header_text) from its own data while keeping the selection
// and row count of the list.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/controls/table_text.h"

class list_view_table_source : public table_source<wchar_t> {
public:
    explicit list_view_table_source(HWND list = nullptr) noexcept : m_list(list) {}
    virtual ~list_view_table_source() = default;
    list_view_table_source(const list_view_table_source&) = delete;
    list_view_table_source& operator=(const list_view_table_source&) = delete;

    HWND list() const noexcept { return m_list; }
    // For a source held by a window that creates its list later.
    void set_list(HWND list) noexcept { m_list = list; }

    // The header's items, in index order.
    std::uint32_t column_count() override;
    // Raises std::bad_alloc when the text does not fit in memory.
    cell_view<wchar_t> header_text(std::uint32_t column) override;
    std::uint32_t row_count() override;
    // Raises std::bad_alloc when the text does not fit in memory.
    cell_view<wchar_t> cell_text(std::uint32_t row, std::uint32_t column) override;
    std::uint32_t selected_count() override;
    std::uint32_t next_selected(std::uint32_t after) override;

private:
    HWND m_list;
    std::vector<wchar_t> m_buffer;
};
