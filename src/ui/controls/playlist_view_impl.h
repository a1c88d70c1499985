// CPlaylistViewImpl: the sort state and logic of the sortable list view. It
// does not own or reorder rows: it tracks which column is the sort column and
// in which direction, shows that in the header, and tells the list's parent
// through the PVN_ notifications (playlist_view_notifications.h). The window
// layer (CPlaylistViewCtrlImpl) feeds it the list's messages.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdint>

// The major and minor version of the loaded common controls (LoadLibraryW,
// DllGetVersion with cbSize 20, FreeLibrary); 4.0 when the library has no
// DllGetVersion. False when the library cannot be loaded or the call fails.
bool probe_comctl32_version(DWORD& major, DWORD& minor) noexcept;

// True when the common controls draw sort arrows themselves (version 6 or later).
bool comctl32_has_native_sort_arrows() noexcept;

// Who draws the header's sort arrows.
enum class sort_indicator_mode {
    native, // the header itself (HDF_SORTUP / HDF_SORTDOWN, common controls 6 or later)
    drawn,  // the control, as header bitmaps
};

class CPlaylistViewImpl {
public:
    // Option bit 0: try the shell library's arrow bitmaps before drawing arrows.
    static constexpr std::uint32_t option_shell_arrows = 1;

    // Chooses the indicator mode by the version of the common controls.
    CPlaylistViewImpl() noexcept;
    // Uses the given mode whatever the version (for hosts whose common
    // controls misreport their version, and for tests).
    explicit CPlaylistViewImpl(sort_indicator_mode mode) noexcept;
    ~CPlaylistViewImpl();
    CPlaylistViewImpl(const CPlaylistViewImpl&) = delete;
    CPlaylistViewImpl& operator=(const CPlaylistViewImpl&) = delete;

    // Makes column the sort column (-1: none) with the given direction and
    // updates list's header. Sends no notification.
    void set_sort_indicator(HWND list, int column, bool descending) noexcept;

    bool native_indicators() const noexcept { return m_native_indicators; }
    bool descending() const noexcept { return m_descending; }
    int sort_column() const noexcept { return m_sort_column; }
    HBITMAP arrow_bitmap(int element) const noexcept { return m_arrows[element]; }
    // Takes effect when the arrows are next built (first indicator, settings change).
    void set_options(std::uint32_t options) noexcept { m_options = options; }
    std::uint32_t options() const noexcept { return m_options; }

protected:
    // A click on a header item of list: asks the parent (PVN_SORTCHANGING),
    // sets the indicator and reports the change (PVN_SORTCHANGED). Left button
    // only; a veto changes nothing.
    void on_header_click(HWND list, int item, int button);
    // Ctrl+Shift (without Alt) with a movement key: sends PVN_MOVESELECTION and
    // answers true (the key is consumed). Every other key answers false.
    bool on_key_down(HWND list, WPARAM key);
    // Rebuilds drawn arrows when the system metrics change.
    void on_setting_change(HWND list, WPARAM what);
    // Bookkeeping after the list handled LVM_INSERTCOLUMNW / LVM_DELETECOLUMN.
    void on_column_inserted(LRESULT new_index) noexcept;
    void on_column_deleted(int column, LRESULT succeeded) noexcept;

private:
    void show_native_indicator(HWND list, int previous) noexcept;
    void show_drawn_indicator(HWND list, int previous) noexcept;
    void create_arrow_bitmaps() noexcept;

    bool m_native_indicators;
    bool m_descending = false;
    std::int32_t m_sort_column = -1;
    HBITMAP m_arrows[2] = {nullptr, nullptr};
    int m_saved_format = 0;
    HBITMAP m_saved_bitmap = nullptr;
    std::uint32_t m_options = option_shell_arrows;
};
