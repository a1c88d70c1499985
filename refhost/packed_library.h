// The host's data in packed form, for libraries of millions of tracks: texts
// in a few big blocks (no object per text), one fixed-size record per track,
// the field layout of a track (its field names and value counts) shared by
// every track with the same layout, and one table of value texts. This is
// what the generator writes and what the host builds its metadata cache from;
// library_data converts to and from it.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "refhost/chunked_array.h"
#include "refhost/library_data.h"

namespace refhost {

class packed_library {
public:
    using text_id = std::uint32_t;

    struct track_record {
        text_id path;
        std::uint32_t layout;      // offset into the layout table
        std::uint32_t first_value; // into the value table: meta values, then info values
        bool has_path;             // false: the location answers a null path text
        bool cached;               // false: the track has no cached info
    };

    // A field layout in the layout table: meta_count, info_count, the number
    // of meta values, then (name, value count) per meta field and the name of
    // each info field. Names are indexes into names().
    class layout_view {
    public:
        explicit layout_view(const std::uint32_t* words) : m_words(words) {}
        std::uint32_t meta_count() const { return m_words[0]; }
        std::uint32_t info_count() const { return m_words[1]; }
        std::uint32_t meta_values() const { return m_words[2]; }
        std::uint32_t meta_name(std::uint32_t f) const { return m_words[3 + 2 * f]; }
        std::uint32_t meta_value_count(std::uint32_t f) const { return m_words[4 + 2 * f]; }
        std::uint32_t info_name(std::uint32_t f) const { return m_words[3 + 2 * meta_count() + f]; }

    private:
        const std::uint32_t* m_words;
    };

    packed_library();
    packed_library(packed_library&&) noexcept;
    packed_library& operator=(packed_library&&) noexcept;
    ~packed_library();

    // ------------------------------------------------------------ building
    // Starts a new track (ending the one before) and answers its index;
    // in_library also lists it in the media library.
    std::uint32_t begin_track(bool in_library);
    // The current track's path text (has_path stays as it is).
    void set_path(std::string_view path);
    void set_has_path(bool has_path);
    void set_cached(bool cached);
    // Adds a value to the named meta field of the current track, creating the
    // field (after the existing ones) when it has none yet.
    void add_meta_value(std::string_view name, std::string_view value);
    // Appends a meta field without values to the current track (even when it
    // has a field of this name), and a value to its last meta field.
    void add_meta_field(std::string_view name);
    void add_field_value(std::string_view value);
    void add_info(std::string_view name, std::string_view value);
    // Ends the current track (begin_track does it too). Read only ended data.
    void end_track();
    // Gives a finished track another path text.
    void rename_path(std::uint32_t track, std::string_view path);

    std::vector<std::uint32_t> library; // the media library, in order (indexes into tracks)
    std::vector<playlist_data> playlists;

    // ------------------------------------------------------------- reading
    std::uint32_t track_count() const { return static_cast<std::uint32_t>(m_tracks.size()); }
    const track_record& track(std::uint32_t index) const { return m_tracks[index]; }
    std::string_view text(text_id id) const;
    std::string_view path(std::uint32_t track) const { return text(m_tracks[track].path); }
    layout_view layout(std::uint32_t offset) const { return layout_view(&m_layouts[offset]); }
    text_id value(std::uint32_t index) const { return m_values[index]; }
    std::uint32_t value_count() const { return static_cast<std::uint32_t>(m_values.size()); }
    const std::string& name(std::uint32_t index) const { return m_names[index]; }
    std::uint32_t name_count() const { return static_cast<std::uint32_t>(m_names.size()); }
    // Bytes taken from the heap by the tracks, texts and tables.
    std::size_t bytes_allocated() const;

private:
    struct pending_field {
        std::uint32_t name;
        std::uint32_t values;
    };
    void add_pending_value(std::size_t field, std::string_view value);
    text_id add_text(std::string_view text);
    track_record& current();
    std::uint32_t name_index(std::string_view name);
    std::uint32_t intern_layout();

    // Texts: a length (7 bits per byte, high bit: more) and the bytes, in
    // blocks; an id is the block number above offset_bits and the offset
    // below.
    static constexpr unsigned offset_bits = 22;
    static constexpr std::size_t max_block_size = std::size_t{1} << offset_bits;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    std::vector<std::size_t> m_block_sizes;
    std::size_t m_used_in_block = 0;

    chunked_array<track_record> m_tracks;
    chunked_array<text_id> m_values;
    std::vector<std::uint32_t> m_layouts;
    std::unordered_map<std::string, std::uint32_t> m_layout_index; // words as bytes -> offset
    std::deque<std::string> m_names; // stable: the index refers to them
    std::unordered_map<std::string_view, std::uint32_t> m_name_index;

    // The track being built.
    bool m_open = false;
    text_id m_empty_text = 0;
    std::vector<pending_field> m_meta;
    std::vector<std::pair<std::uint32_t, text_id>> m_meta_values; // (field, value) as added
    std::vector<std::pair<std::uint32_t, text_id>> m_info;
    std::string m_layout_key;
    std::vector<std::uint32_t> m_layout_words;
};

// The same data in the other form (tracks, fields, values, flags, library
// order and playlists alike).
packed_library pack_library(const library_data& data);
library_data unpack_library(const packed_library& data);

} // namespace refhost
