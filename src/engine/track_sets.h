// The three track sets the statistics are computed over.
#pragma once

#include "engine/pools.h"

// Empties out, then fills it with the set: Library (every track the media
// library lists, as it lists them, repeats included), Playlists (the tracks
// of playlist 0, 1, ... in order, each handle once; none when the host has
// no playlists, count 4294967295) or Combined (Library followed by
// Playlists, each handle once). Other codes leave out empty. Each host
// service is looked up, used and released at once; lookup errors, host
// errors and std::bad_alloc propagate.
void build_track_set(track_set set, metadb_handle_list_t& out);

// Removes repeated handles (the same object), keeping the first entry of each
// and the relative order of the kept entries. The list is rewritten at most
// once, and not at all when there is no repeat.
void remove_duplicate_tracks(metadb_handle_list_t& tracks);
