// Thin, non-owning wrappers over a report list view and its header: one method
// per message, no state beyond the window handle, nothing thrown.
#pragma once

#include <windows.h>

#include <commctrl.h>

class header_ctrl {
public:
    explicit header_ctrl(HWND window = nullptr) noexcept : m_hwnd(window) {}
    HWND handle() const noexcept { return m_hwnd; }

    // Reads the fields named by item.mask; false when the item does not exist.
    bool get_item(int index, HDITEMW& item) const noexcept {
        return SendMessageW(m_hwnd, HDM_GETITEMW, static_cast<WPARAM>(index),
                            reinterpret_cast<LPARAM>(&item)) != 0;
    }
    bool set_item(int index, const HDITEMW& item) noexcept {
        return SendMessageW(m_hwnd, HDM_SETITEMW, static_cast<WPARAM>(index),
                            reinterpret_cast<LPARAM>(&item)) != 0;
    }
    int item_count() const noexcept {
        return static_cast<int>(SendMessageW(m_hwnd, HDM_GETITEMCOUNT, 0, 0));
    }
    bool item_rect(int index, RECT& rect) const noexcept {
        return SendMessageW(m_hwnd, HDM_GETITEMRECT, static_cast<WPARAM>(index),
                            reinterpret_cast<LPARAM>(&rect)) != 0;
    }

private:
    HWND m_hwnd;
};

class list_view_ctrl {
public:
    explicit list_view_ctrl(HWND window = nullptr) noexcept : m_hwnd(window) {}
    HWND handle() const noexcept { return m_hwnd; }

    header_ctrl header() const noexcept {
        return header_ctrl(reinterpret_cast<HWND>(SendMessageW(m_hwnd, LVM_GETHEADER, 0, 0)));
    }
    int item_count() const noexcept {
        return static_cast<int>(SendMessageW(m_hwnd, LVM_GETITEMCOUNT, 0, 0));
    }
    // The next item after start (-1: from the beginning) with the LVNI_ flags;
    // -1 when there is none.
    int next_item(int start, UINT flags) const noexcept {
        return static_cast<int>(SendMessageW(m_hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(start),
                                             MAKELPARAM(flags, 0)));
    }
    int top_index() const noexcept {
        return static_cast<int>(SendMessageW(m_hwnd, LVM_GETTOPINDEX, 0, 0));
    }
    int count_per_page() const noexcept {
        return static_cast<int>(SendMessageW(m_hwnd, LVM_GETCOUNTPERPAGE, 0, 0));
    }
    void set_selected_column(int column) noexcept {
        SendMessageW(m_hwnd, LVM_SETSELECTEDCOLUMN, static_cast<WPARAM>(column), 0);
    }
    // Replaces every extended style bit with style.
    void set_extended_style(DWORD style) noexcept {
        SendMessageW(m_hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style));
    }
    DWORD extended_style() const noexcept {
        return static_cast<DWORD>(SendMessageW(m_hwnd, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    }
    // Index of the new column, or -1.
    int insert_column(int index, const LVCOLUMNW& column) noexcept {
        return static_cast<int>(SendMessageW(m_hwnd, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                                             reinterpret_cast<LPARAM>(&column)));
    }
    bool delete_column(int index) noexcept {
        return SendMessageW(m_hwnd, LVM_DELETECOLUMN, static_cast<WPARAM>(index), 0) != 0;
    }
    bool delete_all_items() noexcept { return SendMessageW(m_hwnd, LVM_DELETEALLITEMS, 0, 0) != 0; }
    // Inserts a row with an empty label and the given item data at index;
    // answers the row's index or -1.
    int insert_item(int index, LPARAM data) noexcept {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = index;
        item.pszText = const_cast<wchar_t*>(L"");
        item.lParam = data;
        return static_cast<int>(
            SendMessageW(m_hwnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    }
    bool set_item_text(int index, int subitem, const wchar_t* text) noexcept {
        LVITEMW item{};
        item.iSubItem = subitem;
        item.pszText = const_cast<wchar_t*>(text);
        return SendMessageW(m_hwnd, LVM_SETITEMTEXTW, static_cast<WPARAM>(index),
                            reinterpret_cast<LPARAM>(&item)) != 0;
    }
    // Sorts the rows with compare(item data a, item data b, context).
    bool sort_items(PFNLVCOMPARE compare, LPARAM context) noexcept {
        return SendMessageW(m_hwnd, LVM_SORTITEMS, static_cast<WPARAM>(context),
                            reinterpret_cast<LPARAM>(compare)) != 0;
    }
    // Rows of an owner-data list (LVS_OWNERDATA); flags are LVSICF_ bits.
    bool set_item_count(int count, DWORD flags = 0) noexcept {
        return SendMessageW(m_hwnd, LVM_SETITEMCOUNT, static_cast<WPARAM>(count),
                            static_cast<LPARAM>(flags)) != 0;
    }
    int selected_count() const noexcept {
        return static_cast<int>(SendMessageW(m_hwnd, LVM_GETSELECTEDCOUNT, 0, 0));
    }
    // Sets the state bits of mask to state on row index (-1: every row).
    bool set_item_state(int index, UINT state, UINT mask) noexcept {
        LVITEMW item{};
        item.state = state;
        item.stateMask = mask;
        return SendMessageW(m_hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                            reinterpret_cast<LPARAM>(&item)) != 0;
    }
    int selection_mark() const noexcept {
        return static_cast<int>(SendMessageW(m_hwnd, LVM_GETSELECTIONMARK, 0, 0));
    }
    void set_selection_mark(int index) noexcept {
        SendMessageW(m_hwnd, LVM_SETSELECTIONMARK, 0, static_cast<LPARAM>(index));
    }
    void set_redraw(bool redraw) noexcept {
        SendMessageW(m_hwnd, WM_SETREDRAW, redraw ? TRUE : FALSE, 0);
    }

private:
    HWND m_hwnd;
};

// Keeps a list view's painting off for one batch of changes; switches it back
// on and repaints on the way out, errors included (a list left with painting
// off never shows again).
class list_view_redraw_off {
public:
    explicit list_view_redraw_off(list_view_ctrl list) noexcept : m_list(list) {
        m_list.set_redraw(false);
    }
    ~list_view_redraw_off() {
        m_list.set_redraw(true);
        InvalidateRect(m_list.handle(), nullptr, TRUE);
    }
    list_view_redraw_off(const list_view_redraw_off&) = delete;
    list_view_redraw_off& operator=(const list_view_redraw_off&) = delete;

private:
    list_view_ctrl m_list;
};
