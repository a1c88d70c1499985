// CPlaylistViewCtrl: the sortable list view. CPlaylistViewCtrlImpl joins the
// sort logic (CPlaylistViewImpl) to a subclassing wrapper of an existing
// report list view, typically one that a dialog template created:
//
//   CPlaylistViewCtrl m_list;                 // constructed with its owner
//   m_list.subclass(GetDlgItem(page, 1004));  // before any column exists
//   // clear LVS_NOSORTHEADER, insert columns, fill, set_sort_indicator(0, false)
//   // parent: sort its rows on PVN_SORTCHANGED
//
// The control sees the list's messages first: header clicks, WM_KEYDOWN,
// WM_SETTINGCHANGE, LVM_INSERTCOLUMNW and LVM_DELETECOLUMN; everything else
// goes unchanged to the replaced procedure, which is put back when the list
// receives its final message. Before all of that, the copy commands
// (list_copy_commands.h: Ctrl+C, Ctrl+A, the context menu) take their keys.
#pragma once

#include <windows.h>

#include "ui/controls/list_copy_commands.h"
#include "ui/controls/list_view_ctrl.h"
#include "ui/controls/playlist_view_impl.h"
#include "ui/framework/subclassed_window.h"

class CPlaylistViewCtrlImpl : public subclassed_window, public CPlaylistViewImpl {
public:
    CPlaylistViewCtrlImpl() noexcept = default;
    explicit CPlaylistViewCtrlImpl(sort_indicator_mode mode) noexcept : CPlaylistViewImpl(mode) {}

    list_view_ctrl list() const noexcept { return list_view_ctrl(handle()); }
    // Copying the rows; by default it reads the list's own texts.
    list_copy_commands& copy_commands() noexcept { return m_copy; }
    const list_copy_commands& copy_commands() const noexcept { return m_copy; }

    // Sets the sort column (-1: none) and direction shown in the header, without
    // notifying the parent. Does nothing while detached.
    void set_sort_indicator(int column, bool descending) noexcept {
        if (handle() != nullptr) {
            CPlaylistViewImpl::set_sort_indicator(handle(), column, descending);
        }
    }

    bool process_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                         LRESULT& result) override;

private:
    void on_notify(HWND window, const NMHDR& header);

    list_copy_commands m_copy;
};

class CPlaylistViewCtrl final : public CPlaylistViewCtrlImpl {
public:
    using CPlaylistViewCtrlImpl::CPlaylistViewCtrlImpl;
};
