#include "engine/track_sets.h"

#include <exception>
#include <memory>

#include "engine/address_sort.h"
#include "host/service_lookup.h"
#include "support/bit_array_bittable.h"

namespace {

// Appends every visited track. The host calls it: nothing may escape, so an
// error stops the enumeration and is raised again once the host has returned.
class append_track_visitor final : public track_visitor {
public:
    explicit append_track_visitor(metadb_handle_list_t& out) : m_out(out) {}

    bool on_track(std::uint32_t, metadb_handle* handle, bool) override {
        try {
            m_out.push_item(service_ptr_t<metadb_handle>(handle));
            return true;
        } catch (...) {
            m_error = std::current_exception();
            return false;
        }
    }

    void raise_pending_error() const {
        if (m_error) {
            std::rethrow_exception(m_error);
        }
    }

private:
    metadb_handle_list_t& m_out;
    std::exception_ptr m_error;
};

void add_library_tracks(metadb_handle_list_t& out) {
    const service_ptr_t<media_library> library = lookup_single<media_library>(guids::media_library);
    library->all_tracks(out);
}

void add_playlist_tracks(metadb_handle_list_t& out) {
    {
        const service_ptr_t<playlist_service> playlists =
            lookup_single<playlist_service>(guids::playlist_service);
        const std::uint32_t count = playlists->playlist_count();
        if (count == playlist_service::no_playlists) {
            return;
        }
        append_track_visitor visitor(out);
        const bit_array_true every_track;
        for (std::uint32_t playlist = 0; playlist < count; ++playlist) {
            playlists->enumerate_tracks(playlist, visitor, every_track);
            visitor.raise_pending_error();
        }
    }
    remove_duplicate_tracks(out);
}

} // namespace

void build_track_set(track_set set, metadb_handle_list_t& out) {
    out.remove_all();
    switch (set) {
    case track_set_library:
        add_library_tracks(out);
        break;
    case track_set_playlists:
        add_playlist_tracks(out);
        break;
    case track_set_combined: {
        add_library_tracks(out);
        metadb_handle_list_t playlist_tracks;
        add_playlist_tracks(playlist_tracks);
        for (std::uint32_t i = 0; i < playlist_tracks.get_count(); ++i) {
            out.push_item(playlist_tracks[i]);
        }
        remove_duplicate_tracks(out);
        break;
    }
    default:
        break;
    }
}

void remove_duplicate_tracks(metadb_handle_list_t& tracks) {
    const std::uint32_t n = tracks.get_count();
    if (n < 2) {
        return;
    }
    // A permutation sorted by handle address (stable, so the first of equal
    // handles comes first), then one pass that marks every repeat.
    std::unique_ptr<address_value[]> order(new address_value[n]);
    for (std::uint32_t i = 0; i < n; ++i) {
        order[i] = address_value{reinterpret_cast<std::uintptr_t>(tracks[i].get()), i};
    }
    sort_by_address(order.get(), n);
    bit_array_bittable repeats(n);
    bool any = false;
    for (std::uint32_t p = 1; p < n; ++p) {
        if (order[p].address == order[p - 1].address) {
            repeats.set(order[p].value, true);
            any = true;
        }
    }
    if (any) {
        tracks.remove_marked(repeats);
    }
}
