// The distinct values of one pool of a track set, for the pool window.
#pragma once

#include "engine/pools.h"

// The pool window as the computation sees it.
class pool_value_view {
public:
    // The pool to compute (pool_kind; other codes give no values).
    virtual pool_kind pool() const = 0;
    virtual bool length_page_exists() const = 0;
    // Called under the metadata-cache lock; copy what is kept.
    virtual void fill_length_page(const string_info_list2& values) = 0;
    virtual bool value_page_exists() const = 0;
    // Called under the metadata-cache lock, after the length page; copy what
    // is kept.
    virtual void fill_value_page(const string_info_list2& values) = 0;
    // Called once after the lock has been released and the list discarded,
    // when both fills have returned: the pages show what they copied. Nothing
    // that takes time beyond copying belongs in the fills.
    virtual void present_pages() = 0;

protected:
    ~pool_value_view() = default;
};

// Takes the metadata-cache lock, gathers only what the view's pool needs
// (a Path pool never asks for cached info, a Meta Name pool never for meta
// values), groups it by value into ascending byte order and hands the list to
// the length page, then the value page, each only if it exists, still under
// the lock; then releases the lock and lets the view present its pages.
// Returns true; every failure is an exception, after which the lock and the
// service are released (and nothing is presented).
bool compute_pool_values(pool_value_view& view, const metadb_handle_list_t& tracks);
