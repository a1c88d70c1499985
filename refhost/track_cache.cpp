#include "refhost/track_cache.h"

#include <numeric>

namespace refhost {

track_cache::track_cache(host_context& host, const library_data& data)
    : m_intern_values(host.options.intern_values) {
    const std::size_t n = data.tracks.size();
    // Build the tracks in a shuffled order so that neither the handles nor
    // their texts lie in memory in track order.
    std::vector<std::uint32_t> order(n);
    std::iota(order.begin(), order.end(), 0u);
    std::uint64_t state = host.options.layout_seed * 0x9E3779B97F4A7C15ull + 1;
    for (std::size_t i = n; i > 1; --i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        std::swap(order[i - 1], order[static_cast<std::size_t>(state % i)]);
    }
    m_tracks.resize(n);
    for (std::uint32_t index : order) {
        m_tracks[index] = build(host, data.tracks[index]);
    }
    m_library.reserve(data.library.size());
    for (std::uint32_t index : data.library) {
        m_library.push_back(m_tracks.at(index).get());
    }
    for (const playlist_data& p : data.playlists) {
        cached_playlist playlist;
        playlist.name = p.name;
        for (const playlist_entry& e : p.entries) {
            playlist.tracks.push_back(m_tracks.at(e.track).get());
            playlist.selected.push_back(e.selected);
        }
        m_playlists.push_back(std::move(playlist));
    }
}

std::unique_ptr<host_track> track_cache::build(host_context& host, const track_data& data) {
    auto value_text = [this](const std::string& text) {
        return m_intern_values ? m_values.intern(text) : m_texts.store(text);
    };
    const char* path = data.has_path ? m_texts.store(data.path) : nullptr;
    std::vector<host_track::meta_entry> meta;
    std::vector<const char*> values;
    std::vector<host_track::info_entry> info;
    if (data.cached) {
        meta.reserve(data.meta.size());
        for (const meta_field_data& field : data.meta) {
            meta.push_back(host_track::meta_entry{m_names.intern(field.name),
                                                  static_cast<std::uint32_t>(values.size()),
                                                  static_cast<std::uint32_t>(field.values.size())});
            for (const std::string& value : field.values) {
                values.push_back(value_text(value));
            }
        }
        info.reserve(data.info.size());
        for (const info_field_data& field : data.info) {
            info.push_back(
                host_track::info_entry{m_names.intern(field.name), value_text(field.value)});
        }
    }
    return std::make_unique<host_track>(host, path, data.cached, std::move(meta), std::move(values),
                                        std::move(info));
}

std::uint64_t track_cache::outside_references() const {
    std::uint64_t total = 0;
    for (const auto& t : m_tracks) {
        total += t->outside_references();
    }
    return total;
}

} // namespace refhost
