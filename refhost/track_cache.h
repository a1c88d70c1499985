// The host's metadata cache: the track objects built from library_data, the
// media library's order and the playlists, all as host_track pointers. Field
// names are interned (one stored text per distinct name, meta and info alike);
// values and paths get a stored text per track unless value interning is on.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "refhost/host_context.h"
#include "refhost/host_track.h"
#include "refhost/library_data.h"
#include "refhost/text_store.h"

namespace refhost {

struct cached_playlist {
    std::string name;
    std::vector<host_track*> tracks;
    std::vector<bool> selected;
};

class track_cache {
public:
    track_cache(host_context& host, const library_data& data);
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
    std::size_t stored_bytes() const { return m_texts.bytes_used(); }

private:
    std::unique_ptr<host_track> build(host_context& host, const track_data& data);

    bool m_intern_values;
    text_store m_texts;
    text_interner m_names{m_texts};
    text_interner m_values{m_texts};
    std::vector<std::unique_ptr<host_track>> m_tracks; // in library_data order
    std::vector<host_track*> m_library;
    std::vector<cached_playlist> m_playlists;
};

} // namespace refhost
