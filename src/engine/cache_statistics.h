// The statistics of one track set: six rows of figures, one per pool.
#pragma once

#include <cstdint>

#include "engine/pools.h"

// Where the rows go: the statistics window's list view and progress bar.
class cache_statistics_view {
public:
    // Removes every row.
    virtual void clear_rows() = 0;
    // Inserts one row at index row: the label, then the nine figures.
    virtual void insert_pool_row(std::uint32_t row, const char* label,
                                 const pool_summary& summary) = 0;
    // Advances the progress bar by one.
    virtual void progress_step() = 0;

protected:
    ~cache_statistics_view() = default;
};

// Empties the view, takes the metadata-cache lock, gathers the five pools of
// the tracks (step), builds "All" (step), and writes the rows Path, Meta Name,
// Meta Value, Info Name, Info Value, All at indexes 0 .. 5 (a step after
// each): eight steps in all. The lock is held until the last row is written,
// so the view is called under it. Returns true; every failure is an
// exception, after which the lock and the service are released and the rows
// already written stay.
bool fill_cache_statistics(cache_statistics_view& view, const metadb_handle_list_t& tracks);
