// CCacheStatsDialog: the component's main window, "Metadata Cache Statistics".
// A modeless, resizable dialog (template 101) owned by the host's main window,
// with one statistics table per track set on a tab control, an About page, a
// Refresh button and a progress bar. It creates itself on the heap, registers
// its keyboard filter with the host while it exists and deletes itself after
// its final message.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "host/host_interfaces.h"
#include "ui/cache_window/statistics_table_ctrl.h"
#include "ui/controls/dialog_layout.h"
#include "ui/framework/dialog_window.h"
#include "ui/framework/message_filter_registration.h"

class CCacheStatsDialog : public dialog_window, public message_filter {
public:
    // Loads the rich-edit library the first time any window is constructed.
    CCacheStatsDialog();

    bool process_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                         LRESULT& result) override;
    void on_final_message(HWND window) override;

    // The host offers every queued message: the window's own keys (Enter on
    // a table's focused row, F5, Ctrl+Tab and the other page keys), then the
    // dialog keyboard interface.
    bool filter_message(const tagMSG* message) override;

private:
    void on_init_dialog();
    void on_destroy();
    void refresh();
    void on_tab_changed();
    void on_item_activate(const NMITEMACTIVATE& activation);
    bool on_key_down(const MSG& message);
    bool pass_enter_to_table(const MSG& message);
    void on_refresh_key();

    void register_filter();
    void create_pages();
    HWND create_statistics_list(CStatisticsTableCtrl& table);
    HWND page_for_tab(LRESULT tab) const;
    void place_current_page();
    void show_current_page();

    CDialogLayout m_layout;
    HWND m_tab = nullptr;
    HWND m_library_list = nullptr;
    HWND m_playlists_list = nullptr;
    HWND m_combined_list = nullptr;
    HWND m_progress = nullptr;
    HWND m_about = nullptr;
    HWND m_current_page = nullptr;
    message_filter_registration m_filter;
    // Enter, Ctrl+C, Ctrl+A and the context menu of the Library, Playlists
    // and Combined tables.
    CStatisticsTableCtrl m_tables[3];
};
