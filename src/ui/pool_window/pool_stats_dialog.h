// CPoolStatsDialog: the "Metadata Pool Statistics" window. It breaks one pool
// of one track set down into its length distribution (page "Length") and its
// distinct values (page "Value"). It receives only the two codes; once visible
// it builds its track set and fills both pages once, a snapshot never
// refreshed again. A modeless, resizable top-level dialog owned by the host's
// main window; it deletes its own object after its final message.
#pragma once

#include <windows.h>

#include <cstdint>

#include "engine/pools.h"
#include "host/host_interfaces.h"
#include "ui/controls/dialog_layout.h"
#include "ui/framework/dialog_window.h"
#include "ui/framework/message_filter_registration.h"
#include "ui/pool_window/pool_length_stats_dialog.h"
#include "ui/pool_window/pool_string_stats_dialog.h"

class CPoolStatsDialog final : public dialog_window, public message_filter {
public:
    // Command id of the one refresh the window posts itself.
    static constexpr WORD refresh_command = 3;

    CPoolStatsDialog(pool_kind pool, track_set set);

    // Creates the window from template 105, owned by owner. Null on failure
    // (the object is then not attached to a window and belongs to the caller).
    HWND create(HWND owner);

    pool_kind pool() const noexcept { return m_pool; }
    track_set set() const noexcept { return m_set; }
    HWND current_page() const noexcept { return m_current_page; }
    CPoolLengthStatsDialog& length_page() noexcept { return m_length_page; }
    CPoolStringStatsDialog& value_page() noexcept { return m_value_page; }

    bool process_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                         LRESULT& result) override;
    void on_final_message(HWND window) override;

    // Dialog keyboard interface for this modeless window, and the page keys:
    // Ctrl+Tab or Ctrl+Page Down the next page, Ctrl+Shift+Tab or Ctrl+Page
    // Up the previous one.
    bool filter_message(const tagMSG* message) override;

private:
    void on_init_dialog(HWND window);
    void on_destroy();
    void on_size();
    bool on_command(HWND window, WORD id);
    bool on_notify(const NMHDR& header);
    void set_title(HWND window);
    void switch_page();
    HWND current_page_list() const noexcept;
    void place_current_page();
    void refresh();

    track_set m_set;
    pool_kind m_pool;
    CDialogLayout m_layout;
    HWND m_tab = nullptr;
    HWND m_current_page = nullptr;
    CPoolLengthStatsDialog m_length_page;
    CPoolStringStatsDialog m_value_page;
    message_filter_registration m_filter; // unregistered at WM_DESTROY only if registered
};
