// The host's metadata cache: the track objects built from a packed library,
// the media library's order and the playlists, all as host_track pointers.
// Field names are interned (one stored text per distinct name, meta and info
// alike); values and paths get a stored text per track unless value
// interning is on. The track objects lie in a few big blocks, their fields in
// shared tables (see host_track).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "refhost/host_context.h"
#include "refhost/host_track.h"
#include "refhost/packed_library.h"
#include "refhost/text_store.h"

namespace refhost {

struct cached_playlist {
    std::string name;
    std::vector<host_track*> tracks;
    std::vector<bool> selected;
};

class track_cache {
public:
    track_cache(host_context& host, const packed_library& data);
    ~track_cache();
    track_cache(const track_cache&) = delete;
    track_cache& operator=(const track_cache&) = delete;

    std::uint32_t track_count() const { return static_cast<std::uint32_t>(m_tracks.size()); }
    host_track& track(std::uint32_t index) { return *m_tracks[index]; }
    const host_track& track(std::uint32_t index) const { return *m_tracks[index]; }

    const std::vector<host_track*>& library() const { return m_library; }
    const std::vector<cached_playlist>& playlists() const { return m_playlists; }

    // Sum of the references components hold on track handles.
    std::uint64_t outside_references() const;
    std::size_t distinct_names() const { return m_names.distinct(); }
    // Bytes of the stored texts, each with its NUL.
    std::size_t stored_bytes() const { return m_texts.bytes_used(); }
    // Bytes the track data took from the heap: text blocks, track objects,
    // field tables, track and library lists, interning tables.
    std::size_t bytes_allocated() const;

private:
    // Track objects in blocks that grow from a few hundred objects to a few
    // megabytes; they never move.
    class track_blocks {
    public:
        ~track_blocks();
        host_track* add(const track_tables& tables, const char* path, bool cached,
                        std::uint32_t layout, std::uint32_t first_value);
        std::size_t bytes_allocated() const;

    private:
        struct block {
            std::unique_ptr<unsigned char[]> bytes;
            std::size_t capacity; // objects
            std::size_t used;
        };
        std::vector<block> m_blocks;
    };

    host_track* build(const packed_library& data, std::uint32_t index);
    const char* name_text(const packed_library& data, std::uint32_t name);
    std::uint32_t host_layout(const packed_library& data, std::uint32_t layout);

    bool m_intern_values;
    text_store m_texts;
    text_interner m_names{m_texts};
    text_interner m_values{m_texts};
    track_tables m_tables;
    std::unordered_map<std::uint32_t, std::uint32_t> m_layouts; // packed offset -> ours
    track_blocks m_blocks;
    std::vector<host_track*> m_tracks; // in library order of the data (its track indexes)
    std::vector<host_track*> m_library;
    std::vector<cached_playlist> m_playlists;
};

} // namespace refhost
