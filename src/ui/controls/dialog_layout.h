// CDialogLayout: keeps the controls of a resizable dialog anchored to its
// right and bottom edges and owns the dialog's size grip.
//
// The owning window passes every message except WM_SIZE to handle_message()
// before its own handlers, creates the grip from its own WM_INITDIALOG handler
// and calls lay_out() on every WM_SIZE before it refits its tab pages.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "ui/controls/layout_math.h"

class CDialogLayout {
public:
    // Copies the map. Tracking sizes are in dialog units; 0 means no limit.
    CDialogLayout(const dialog_layout_entry* map, std::uint32_t count, SIZE min_track = {0, 0},
                  SIZE max_track = {0, 0});
    CDialogLayout(const CDialogLayout&) = delete;
    CDialogLayout& operator=(const CDialogLayout&) = delete;

    // Records the controls on WM_INITDIALOG, answers WM_GETMINMAXINFO and
    // forgets the dialog on WM_DESTROY. True only when the message is finished
    // here (WM_GETMINMAXINFO, with result 0); the window's own handlers run for
    // every other message.
    bool handle_message(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);

    // Creates the grip in the bottom-right corner once the dialog is recorded;
    // does nothing before that or when a grip exists. A failed creation leaves
    // the layout without a grip.
    void create_size_grip();

    // Moves every mapped control for the dialog's current client size, measured
    // from the size at WM_INITDIALOG. Does nothing before WM_INITDIALOG or after
    // WM_DESTROY.
    void lay_out();

    HWND dialog() const noexcept { return m_dialog; }
    HWND size_grip() const noexcept { return m_grip; }

private:
    void record(HWND dialog);
    void apply_tracking_limits(HWND dialog, MINMAXINFO& info) const;

    std::unique_ptr<RECT[]> m_rects;
    RECT m_initial_client{};
    HWND m_dialog = nullptr;
    HWND m_grip = nullptr;
    SIZE m_min_track;
    SIZE m_max_track;
    std::unique_ptr<dialog_layout_entry[]> m_map;
    std::uint32_t m_count;
};
