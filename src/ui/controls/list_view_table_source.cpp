#include "ui/controls/list_view_table_source.h"

#include <commctrl.h>

#include <cwchar>
#include <new>

namespace {

constexpr std::size_t k_first_buffer = 256;
// A cell longer than this (512 MB of text) is taken as no memory to copy it.
constexpr std::size_t k_largest_buffer = 0x10000000u;

} // namespace

std::uint32_t list_view_table_source::column_count() {
    const HWND header = reinterpret_cast<HWND>(SendMessageW(m_list, LVM_GETHEADER, 0, 0));
    const LRESULT count = header != nullptr ? SendMessageW(header, HDM_GETITEMCOUNT, 0, 0) : 0;
    return count > 0 ? static_cast<std::uint32_t>(count) : 0;
}

cell_view<wchar_t> list_view_table_source::header_text(std::uint32_t column) {
    if (m_buffer.size() < k_first_buffer) {
        m_buffer.resize(k_first_buffer);
    }
    // LVM_GETCOLUMNW answers no length: grow until the text leaves room.
    for (;;) {
        LVCOLUMNW item{};
        item.mask = LVCF_TEXT;
        item.pszText = m_buffer.data();
        item.cchTextMax = static_cast<int>(m_buffer.size());
        m_buffer[0] = L'\0';
        if (SendMessageW(m_list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&item)) == 0) {
            return {};
        }
        // The list may answer with its own pointer instead of copying.
        const wchar_t* text = item.pszText != nullptr ? item.pszText : L"";
        const std::size_t length = wcslen(text);
        if (text != m_buffer.data() || length + 1 < m_buffer.size()) {
            return {text, length};
        }
        if (m_buffer.size() >= k_largest_buffer) {
            throw std::bad_alloc();
        }
        m_buffer.resize(m_buffer.size() * 2);
    }
}

std::uint32_t list_view_table_source::row_count() {
    const LRESULT count = SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0);
    return count > 0 ? static_cast<std::uint32_t>(count) : 0;
}

cell_view<wchar_t> list_view_table_source::cell_text(std::uint32_t row, std::uint32_t column) {
    if (m_buffer.size() < k_first_buffer) {
        m_buffer.resize(k_first_buffer);
    }
    // The answer is the number of units copied; a text that fills the buffer
    // may have been cut, so ask again with twice the room.
    for (;;) {
        LVITEMW item{};
        item.iSubItem = static_cast<int>(column);
        item.pszText = m_buffer.data();
        item.cchTextMax = static_cast<int>(m_buffer.size());
        const LRESULT copied =
            SendMessageW(m_list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        if (copied <= 0) {
            return {};
        }
        const auto length = static_cast<std::size_t>(copied);
        if (length + 1 < m_buffer.size()) {
            return {m_buffer.data(), length};
        }
        if (m_buffer.size() >= k_largest_buffer) {
            throw std::bad_alloc();
        }
        m_buffer.resize(m_buffer.size() * 2);
    }
}

std::uint32_t list_view_table_source::selected_count() {
    const LRESULT count = SendMessageW(m_list, LVM_GETSELECTEDCOUNT, 0, 0);
    return count > 0 ? static_cast<std::uint32_t>(count) : 0;
}

std::uint32_t list_view_table_source::next_selected(std::uint32_t after) {
    const int start = after == no_row ? -1 : static_cast<int>(after);
    const LRESULT next = SendMessageW(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(start),
                                      MAKELPARAM(LVNI_SELECTED, 0));
    return next >= 0 ? static_cast<std::uint32_t>(next) : no_row;
}
