// The engine's view of one statistics table: a report list view of the cache
// statistics window and the window's progress bar. Neither handle is owned.
#pragma once

#include <windows.h>

#include "engine/cache_statistics.h"

// Advances a progress bar by one: reads its position and sets position + 1.
void step_progress_bar(HWND progress_bar);

class statistics_list_view : public cache_statistics_view {
public:
    statistics_list_view(HWND list_view, HWND progress_bar) noexcept
        : m_list_view(list_view), m_progress_bar(progress_bar) {}

    void clear_rows() override;
    // Inserts the label at row, then the nine figures as decimal digits into
    // columns 1 to 9.
    void insert_pool_row(std::uint32_t row, const char* label,
                         const pool_summary& summary) override;
    void progress_step() override;

private:
    HWND m_list_view;
    HWND m_progress_bar;
};
