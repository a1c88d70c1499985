#include "refhost/library_services.h"

#include <exception>
#include <string>

namespace refhost {

namespace {

// Calls component code back: an exception leaving it breaks the contract. The
// breach is recorded and the exception goes on to the component that called
// the host.
template <typename F> auto call_component(host_context& host, const char* what, F&& f) {
    try {
        return f();
    } catch (const std::exception& e) {
        host.record_violation(std::string("exception left ") + what + ": " + e.what());
        throw;
    } catch (...) {
        host.record_violation(std::string("exception left ") + what);
        throw;
    }
}

} // namespace

std::uint32_t host_handle_list::item_count() const {
    return static_cast<std::uint32_t>(m_tracks.size());
}

void host_handle_list::copy_item(service_ptr_t<metadb_handle>& destination,
                                 std::uint32_t index) const {
    if (index >= m_tracks.size()) {
        m_host.record_violation("list item " + std::to_string(index) + " asked of a host list of " +
                                std::to_string(m_tracks.size()));
        return;
    }
    destination.reset(m_tracks[index]);
}

void media_library_service::all_tracks(list_base_t<metadb_handle_ptr>& out) {
    m_host.enter(host_call::all_tracks);
    const host_handle_list source(m_host, m_tracks.library());
    const std::uint32_t before = out.item_count();
    const std::uint32_t position = call_component(m_host, "list_base_t::insert_list",
                                                  [&] { return out.insert_list(source, before); });
    if (position != before) {
        m_host.record_violation("insert_list at the end (" + std::to_string(before) +
                                ") answered position " + std::to_string(position));
    }
    const std::uint32_t after = out.item_count();
    if (after - before != source.item_count()) {
        m_host.record_violation("a list took " + std::to_string(after - before) + " of " +
                                std::to_string(source.item_count()) + " library tracks");
    }
}

std::uint32_t playlist_service_impl::playlist_count() {
    m_host.enter(host_call::playlist_count);
    if (m_count_override) {
        return *m_count_override;
    }
    return static_cast<std::uint32_t>(m_tracks.playlists().size());
}

void playlist_service_impl::enumerate_tracks(std::uint32_t playlist, track_visitor& visitor,
                                             const bit_array& mask) {
    m_host.enter(host_call::enumerate_tracks);
    const auto& playlists = m_tracks.playlists();
    if (playlist >= playlists.size()) {
        m_host.record_violation("playlist " + std::to_string(playlist) + " enumerated; there are " +
                                std::to_string(playlists.size()));
        return;
    }
    const cached_playlist& p = playlists[playlist];
    const auto count = static_cast<std::uint32_t>(p.tracks.size());
    for (std::uint32_t position = 0; position < count; ++position) {
        if (!call_component(m_host, "bit_array::bit_at", [&] { return mask.bit_at(position); })) {
            continue;
        }
        const bool go_on = call_component(m_host, "track_visitor::on_track", [&] {
            return visitor.on_track(position, p.tracks[position], p.selected[position]);
        });
        if (!go_on) {
            return;
        }
    }
}

void metadata_cache_service::acquire_lock() {
    m_host.enter(host_call::acquire_lock);
    m_host.acquire_cache_lock();
}

void metadata_cache_service::release_lock() {
    m_host.enter(host_call::release_lock);
    m_host.release_cache_lock();
}

} // namespace refhost
