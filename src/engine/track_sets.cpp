#include "engine/track_sets.h"

#include <exception>
#include <memory>

#include "engine/address_sort.h"
#include "host/host_guard.h"
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

// The track list as the media library fills it. The host calls it: nothing
// may escape, so an error (no memory for the tracks, a failing host list or
// comparator) leaves that one call without effect and is raised again once
// the host has returned.
class guarded_track_list final : public list_base_t<metadb_handle_ptr> {
public:
    explicit guarded_track_list(metadb_handle_list_t& out) : m_out(out) {}

    std::uint32_t item_count() const override { return m_out.item_count(); }
    void copy_item(metadb_handle_ptr& destination, std::uint32_t index) const override {
        guard([&] { m_out.copy_item(destination, index); });
    }
    void keep_marked(const bit_array& mask) override {
        guard([&] { m_out.keep_marked(mask); });
    }
    std::uint32_t insert_list(const list_base_const_t<metadb_handle_ptr>& source,
                              std::uint32_t position) override {
        const std::uint32_t count = m_out.item_count();
        std::uint32_t used = position < count ? position : count;
        guard([&] { used = m_out.insert_list(source, position); });
        return used;
    }
    void reorder_range(std::uint32_t base, const std::uint32_t* order,
                       std::uint32_t count) override {
        guard([&] { m_out.reorder_range(base, order, count); });
    }
    void sort_items(compare_fn compare) override {
        guard([&] { m_out.sort_items(compare); });
    }
    void sort_items_stable(compare_fn compare) override {
        guard([&] { m_out.sort_items_stable(compare); });
    }
    void store_item(std::uint32_t index, const metadb_handle_ptr& value) override {
        guard([&] { m_out.store_item(index, value); });
    }
    void exchange_item(std::uint32_t index, metadb_handle_ptr& value) override {
        guard([&] { m_out.exchange_item(index, value); });
    }
    void swap_positions(std::uint32_t i, std::uint32_t j) override {
        guard([&] { m_out.swap_positions(i, j); });
    }

    void raise_pending_error() const {
        if (m_error) {
            std::rethrow_exception(m_error);
        }
    }

private:
    template <typename F> void guard(F&& f) const noexcept {
        try {
            f();
        } catch (...) {
            if (!m_error) {
                m_error = std::current_exception();
            }
        }
    }

    metadb_handle_list_t& m_out;
    mutable std::exception_ptr m_error; // the first error met
};

void add_library_tracks(metadb_handle_list_t& out) {
    guarded_track_list receiver(out);
    {
        const service_ptr_t<media_library> library =
            lookup_single<media_library>(guids::media_library);
        guarded_host_calls([&] { library->all_tracks(receiver); });
    }
    receiver.raise_pending_error();
}

void add_playlist_tracks(metadb_handle_list_t& out) {
    {
        const service_ptr_t<playlist_service> playlists =
            lookup_single<playlist_service>(guids::playlist_service);
        const std::uint32_t count =
            guarded_host_value<std::uint32_t>([&] { return playlists->playlist_count(); });
        if (count == playlist_service::no_playlists) {
            return;
        }
        append_track_visitor visitor(out);
        const bit_array_true every_track;
        for (std::uint32_t playlist = 0; playlist < count; ++playlist) {
            guarded_host_calls(
                [&] { playlists->enumerate_tracks(playlist, visitor, every_track); });
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
