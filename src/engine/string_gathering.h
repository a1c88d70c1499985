// Gathering the strings of a track set into pools, identified by address.
// Every function here reads the host's cached texts: call them under the
// metadata-cache lock and use the lists only while it is held.
#pragma once

#include "engine/pools.h"

// Records one logical reference to text in list (ascending by address): the
// entry of this address counts one more (a count of 4294967295 stays), or a
// new entry {text, strlen(text), 1} is inserted in address order. This is
// the definition of what a pool holds; the gathering below produces the same
// lists in O(n log n) for a whole walk. A null text is ignored.
void add_string(string_info_list& list, const char* text);

// out = union of the address-ordered lists a and b: entries with the same
// address become one entry with a's length and the plain 32-bit sum of the
// two counts. out is emptied first and must be neither a nor b.
void merge_lists(string_info_list& out, const string_info_list& a, const string_info_list& b);

// Adds every string of the tracks to the five pools, exactly as add_string
// per reference would: for each track (the count is read again before each)
// its path, then, if it has cached info, each meta field's name and values,
// then each info field's name and value. A track without a location or path
// text contributes no path; a null handle contributes nothing.
void gather_pools(const metadb_handle_list_t& tracks, string_info_list& path,
                  string_info_list& meta_name, string_info_list& meta_value,
                  string_info_list& info_name, string_info_list& info_value);

// all = merge(merge(merge(meta name, meta value), merge(info name, info
// value)), path); the intermediate lists are freed at once.
void build_all_pool(string_info_list& all, const string_info_list& path,
                    const string_info_list& meta_name, const string_info_list& meta_value,
                    const string_info_list& info_name, const string_info_list& info_value);
