// media_library, playlist_service and metadata_cache over the host's track
// cache, and the host-side list the media library hands to a component's list.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "host/service_ptr.h"
#include "refhost/host_service.h"
#include "refhost/track_cache.h"

namespace refhost {

// A host list of track handles as the component's lists read it: item_count
// and copy_item (the destination takes a reference, gives back its old one).
class host_handle_list final : public list_base_const_t<service_ptr_t<metadb_handle>> {
public:
    host_handle_list(host_context& host, const std::vector<host_track*>& tracks)
        : m_host(host), m_tracks(tracks) {}

    std::uint32_t item_count() const override;
    void copy_item(service_ptr_t<metadb_handle>& destination, std::uint32_t index) const override;

private:
    host_context& m_host;
    const std::vector<host_track*>& m_tracks;
};

// all_tracks appends every library track (in library order) through the
// list's insert_list and checks that the list took them all.
class media_library_service final : public host_service<media_library> {
public:
    media_library_service(host_context& host, const track_cache& tracks)
        : host_service(host, guids::media_library, "media_library"), m_tracks(tracks) {}

    void all_tracks(list_base_t<metadb_handle_ptr>& out) override;

private:
    const track_cache& m_tracks;
};

class playlist_service_impl final : public host_service<playlist_service> {
public:
    playlist_service_impl(host_context& host, const track_cache& tracks)
        : host_service(host, guids::playlist_service, "playlist_service"), m_tracks(tracks) {}

    std::uint32_t playlist_count() override;
    // Calls on_track(position, handle, selected) for each track of the
    // playlist whose mask bit is set, in playlist order, until it answers false.
    void enumerate_tracks(std::uint32_t playlist, track_visitor& visitor,
                          const bit_array& mask) override;

    // Makes playlist_count answer this instead of the real count.
    void override_count(std::optional<std::uint32_t> count) { m_count_override = count; }

private:
    const track_cache& m_tracks;
    std::optional<std::uint32_t> m_count_override;
};

class metadata_cache_service final : public host_service<metadata_cache> {
public:
    explicit metadata_cache_service(host_context& host)
        : host_service(host, guids::metadata_cache, "metadata_cache") {}

    void acquire_lock() override;
    void release_lock() override;
};

} // namespace refhost
