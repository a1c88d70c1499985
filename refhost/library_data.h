// The host's data as plain records: the tracks its metadata cache knows, which
// of them the media library lists (in order, repeats allowed), and the
// playlists. The host builds its track objects from this once, at start.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace refhost {

struct meta_field_data {
    std::string name;
    std::vector<std::string> values; // may be empty: the field still has its name
};

struct info_field_data {
    std::string name;
    std::string value;
};

struct track_data {
    std::string path;     // the key playlists refer to
    bool has_path = true; // false: the location answers a null path text
    bool cached = true;   // false: the track has no cached info
    std::vector<meta_field_data> meta;
    std::vector<info_field_data> info;
};

struct playlist_entry {
    std::uint32_t track = 0; // index into library_data::tracks
    bool selected = false;   // the flag the playlist service hands to its visitor
};

struct playlist_data {
    std::string name;
    std::vector<playlist_entry> entries;
};

struct library_data {
    std::vector<track_data> tracks;     // every track of the metadata cache
    std::vector<std::uint32_t> library; // the media library, in order (indexes into tracks)
    std::vector<playlist_data> playlists;

    // Appends a track and returns its index; in_library also lists it in the
    // media library.
    std::uint32_t add_track(track_data track, bool in_library);
    // Index of the track with this path, or UINT32_MAX.
    std::uint32_t find_track(const std::string& path) const;
};

// Adds a value to the named meta field of a track, creating the field (after
// the existing ones) when it has none yet.
void add_meta_value(track_data& track, const std::string& name, const std::string& value);

} // namespace refhost
