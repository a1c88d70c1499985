#include "refhost/track_cache.h"

#include <new>
#include <numeric>

namespace refhost {

track_cache::track_blocks::~track_blocks() {
    for (block& b : m_blocks) {
        auto* tracks = reinterpret_cast<host_track*>(b.bytes.get());
        for (std::size_t i = 0; i < b.used; ++i) {
            tracks[i].~host_track();
        }
    }
}

host_track* track_cache::track_blocks::add(const track_tables& tables, const char* path,
                                           bool cached, std::uint32_t layout,
                                           std::uint32_t first_value) {
    constexpr std::size_t max_block_objects = (4u << 20) / sizeof(host_track);
    if (m_blocks.empty() || m_blocks.back().used == m_blocks.back().capacity) {
        std::size_t capacity = m_blocks.empty() ? 256 : m_blocks.back().capacity * 2;
        capacity = capacity > max_block_objects ? max_block_objects : capacity;
        // operator new[] gives memory aligned for any object.
        m_blocks.push_back(block{
            std::unique_ptr<unsigned char[]>(new unsigned char[capacity * sizeof(host_track)]),
            capacity, 0});
    }
    block& b = m_blocks.back();
    void* place = b.bytes.get() + b.used * sizeof(host_track);
    auto* track = new (place) host_track(tables, path, cached, layout, first_value);
    ++b.used;
    return track;
}

std::size_t track_cache::track_blocks::bytes_allocated() const {
    std::size_t total = m_blocks.capacity() * sizeof(block);
    for (const block& b : m_blocks) {
        total += b.capacity * sizeof(host_track);
    }
    return total;
}

track_cache::track_cache(host_context& host, const packed_library& data)
    : m_intern_values(host.options.intern_values) {
    m_tables.host = &host;
    m_tables.layouts = {0, 0, 0}; // offset 0: no fields (tracks without cached info)
    m_tables.names.assign(data.name_count(), nullptr);
    const std::size_t n = data.track_count();
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
    m_tracks.assign(n, nullptr);
    for (std::uint32_t index : order) {
        m_tracks[index] = build(data, index);
    }
    m_library.reserve(data.library.size());
    for (std::uint32_t index : data.library) {
        m_library.push_back(m_tracks.at(index));
    }
    for (const playlist_data& p : data.playlists) {
        cached_playlist playlist;
        playlist.name = p.name;
        for (const playlist_entry& e : p.entries) {
            playlist.tracks.push_back(m_tracks.at(e.track));
            playlist.selected.push_back(e.selected);
        }
        m_playlists.push_back(std::move(playlist));
    }
}

track_cache::~track_cache() = default;

const char* track_cache::name_text(const packed_library& data, std::uint32_t name) {
    const char*& text = m_tables.names[name];
    if (text == nullptr) {
        text = m_names.intern(data.name(name));
    }
    return text;
}

std::uint32_t track_cache::host_layout(const packed_library& data, std::uint32_t layout) {
    const auto found = m_layouts.find(layout);
    if (found != m_layouts.end()) {
        return found->second;
    }
    const packed_library::layout_view fields = data.layout(layout);
    std::vector<std::uint32_t>& words = m_tables.layouts;
    const auto offset = static_cast<std::uint32_t>(words.size());
    words.push_back(fields.meta_count());
    words.push_back(fields.info_count());
    words.push_back(fields.meta_values());
    std::uint32_t first = 0;
    for (std::uint32_t f = 0; f < fields.meta_count(); ++f) {
        words.push_back(fields.meta_name(f));
        words.push_back(first);
        words.push_back(fields.meta_value_count(f));
        first += fields.meta_value_count(f);
    }
    for (std::uint32_t f = 0; f < fields.info_count(); ++f) {
        words.push_back(fields.info_name(f));
    }
    m_layouts.emplace(layout, offset);
    return offset;
}

host_track* track_cache::build(const packed_library& data, std::uint32_t index) {
    const packed_library::track_record& record = data.track(index);
    auto value_text = [this, &data](packed_library::text_id id) {
        return m_intern_values ? m_values.intern(data.text(id)) : m_texts.store(data.text(id));
    };
    const char* path = record.has_path ? m_texts.store(data.text(record.path)) : nullptr;
    if (!record.cached) {
        return m_blocks.add(m_tables, path, false, 0, 0);
    }
    const auto first_value = static_cast<std::uint32_t>(m_tables.values.size());
    // Names, then values, in field order: each name is stored when a track
    // first uses it.
    const packed_library::layout_view fields = data.layout(record.layout);
    std::uint32_t value = record.first_value;
    for (std::uint32_t f = 0; f < fields.meta_count(); ++f) {
        name_text(data, fields.meta_name(f));
        for (std::uint32_t v = 0; v < fields.meta_value_count(f); ++v) {
            m_tables.values.push_back(value_text(data.value(value++)));
        }
    }
    for (std::uint32_t f = 0; f < fields.info_count(); ++f) {
        name_text(data, fields.info_name(f));
        m_tables.values.push_back(value_text(data.value(value++)));
    }
    return m_blocks.add(m_tables, path, true, host_layout(data, record.layout), first_value);
}

std::uint64_t track_cache::outside_references() const {
    std::uint64_t total = 0;
    for (const host_track* t : m_tracks) {
        total += t->outside_references();
    }
    return total;
}

std::size_t track_cache::bytes_allocated() const {
    std::size_t total = m_texts.bytes_allocated() + m_names.bytes_allocated() +
                        m_values.bytes_allocated() + m_tables.bytes_allocated() +
                        m_blocks.bytes_allocated() +
                        (m_tracks.capacity() + m_library.capacity()) * sizeof(host_track*);
    // Each layout-map node: key, value, next pointer and the heap's header.
    total += m_layouts.bucket_count() * sizeof(void*) + m_layouts.size() * 24;
    for (const cached_playlist& p : m_playlists) {
        total += sizeof(p) + p.tracks.capacity() * sizeof(host_track*) + p.selected.size() / 8;
    }
    return total;
}

} // namespace refhost
