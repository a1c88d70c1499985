#include "refhost/packed_library.h"

#include <cstring>
#include <stdexcept>

namespace refhost {

packed_library::packed_library() {
    m_layouts = {0, 0, 0}; // offset 0: no fields
    m_empty_text = add_text({});
}

packed_library::packed_library(packed_library&&) noexcept = default;
packed_library& packed_library::operator=(packed_library&&) noexcept = default;
packed_library::~packed_library() = default;

packed_library::text_id packed_library::add_text(std::string_view text) {
    unsigned char length[5];
    std::size_t length_bytes = 0;
    for (auto n = static_cast<std::uint32_t>(text.size());; n >>= 7) {
        length[length_bytes++] = static_cast<unsigned char>((n & 0x7F) | (n > 0x7F ? 0x80 : 0));
        if (n <= 0x7F) {
            break;
        }
    }
    const std::size_t need = length_bytes + text.size();
    if (m_blocks.empty() || need > m_block_sizes.back() - m_used_in_block) {
        if (m_blocks.size() >= (std::size_t{1} << (32 - offset_bits))) {
            throw std::length_error("packed_library: too much text");
        }
        // Blocks double from 64 KB to the largest size; a larger text gets a
        // block of its own size.
        std::size_t size = m_blocks.empty() ? 64 * 1024 : m_block_sizes.back() * 2;
        size = size > max_block_size ? max_block_size : size;
        size = need > size ? need : size;
        m_blocks.push_back(std::unique_ptr<char[]>(new char[size]));
        m_block_sizes.push_back(size);
        m_used_in_block = 0;
    }
    char* target = m_blocks.back().get() + m_used_in_block;
    std::memcpy(target, length, length_bytes);
    if (!text.empty()) {
        std::memcpy(target + length_bytes, text.data(), text.size());
    }
    const auto id = static_cast<text_id>((m_blocks.size() - 1) << offset_bits | m_used_in_block);
    // A text of a block of its own fills it: the next one opens a new block.
    m_used_in_block = need > max_block_size ? m_block_sizes.back() : m_used_in_block + need;
    return id;
}

std::string_view packed_library::text(text_id id) const {
    const auto* p = reinterpret_cast<const unsigned char*>(m_blocks[id >> offset_bits].get()) +
                    (id & (max_block_size - 1));
    std::uint32_t length = 0;
    for (unsigned shift = 0;; shift += 7) {
        const unsigned char byte = *p++;
        length |= static_cast<std::uint32_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0) {
            break;
        }
    }
    return std::string_view(reinterpret_cast<const char*>(p), length);
}

std::uint32_t packed_library::name_index(std::string_view name) {
    const auto found = m_name_index.find(name);
    if (found != m_name_index.end()) {
        return found->second;
    }
    const auto index = static_cast<std::uint32_t>(m_names.size());
    m_names.emplace_back(name);
    m_name_index.emplace(m_names.back(), index);
    return index;
}

packed_library::track_record& packed_library::current() {
    if (!m_open) {
        throw std::logic_error("packed_library: no track begun");
    }
    return m_tracks[m_tracks.size() - 1];
}

std::uint32_t packed_library::begin_track(bool in_library) {
    end_track();
    const auto index = static_cast<std::uint32_t>(m_tracks.size());
    m_tracks.push_back(track_record{m_empty_text, 0, 0, true, true});
    if (in_library) {
        library.push_back(index);
    }
    m_open = true;
    return index;
}

void packed_library::set_path(std::string_view path) {
    current().path = add_text(path);
}

void packed_library::set_has_path(bool has_path) {
    current().has_path = has_path;
}

void packed_library::set_cached(bool cached) {
    current().cached = cached;
}

void packed_library::add_meta_value(std::string_view name, std::string_view value) {
    current();
    const std::uint32_t n = name_index(name);
    for (std::size_t f = 0; f < m_meta.size(); ++f) {
        if (m_meta[f].name == n) {
            add_pending_value(f, value);
            return;
        }
    }
    m_meta.push_back(pending_field{n, 0});
    add_pending_value(m_meta.size() - 1, value);
}

void packed_library::add_pending_value(std::size_t field, std::string_view value) {
    ++m_meta[field].values;
    m_meta_values.emplace_back(static_cast<std::uint32_t>(field), add_text(value));
}

void packed_library::add_meta_field(std::string_view name) {
    current();
    m_meta.push_back(pending_field{name_index(name), 0});
}

void packed_library::add_field_value(std::string_view value) {
    current();
    if (m_meta.empty()) {
        throw std::logic_error("packed_library: a value needs a meta field");
    }
    add_pending_value(m_meta.size() - 1, value);
}

void packed_library::add_info(std::string_view name, std::string_view value) {
    current();
    m_info.emplace_back(name_index(name), add_text(value));
}

std::uint32_t packed_library::intern_layout() {
    std::vector<std::uint32_t>& words = m_layout_words;
    words.clear();
    words.push_back(static_cast<std::uint32_t>(m_meta.size()));
    words.push_back(static_cast<std::uint32_t>(m_info.size()));
    words.push_back(0);
    for (const pending_field& field : m_meta) {
        words.push_back(field.name);
        words.push_back(field.values);
        words[2] += field.values;
    }
    for (const auto& field : m_info) {
        words.push_back(field.first);
    }
    m_layout_key.assign(reinterpret_cast<const char*>(words.data()),
                        words.size() * sizeof(std::uint32_t));
    const auto found = m_layout_index.find(m_layout_key);
    if (found != m_layout_index.end()) {
        return found->second;
    }
    const auto offset = static_cast<std::uint32_t>(m_layouts.size());
    m_layouts.insert(m_layouts.end(), words.begin(), words.end());
    m_layout_index.emplace(m_layout_key, offset);
    return offset;
}

void packed_library::end_track() {
    if (!m_open) {
        return;
    }
    track_record& record = current();
    record.layout = intern_layout();
    record.first_value = static_cast<std::uint32_t>(m_values.size());
    // Each field's values together, in the order they were added.
    for (std::uint32_t f = 0; f < m_meta.size(); ++f) {
        for (const auto& value : m_meta_values) {
            if (value.first == f) {
                m_values.push_back(value.second);
            }
        }
    }
    for (const auto& field : m_info) {
        m_values.push_back(field.second);
    }
    m_meta.clear();
    m_meta_values.clear();
    m_info.clear();
    m_open = false;
}

void packed_library::rename_path(std::uint32_t track, std::string_view path) {
    m_tracks[track].path = add_text(path);
}

std::size_t packed_library::bytes_allocated() const {
    std::size_t total = m_tracks.allocated_bytes() + m_values.allocated_bytes() +
                        m_layouts.capacity() * sizeof(std::uint32_t) +
                        library.capacity() * sizeof(std::uint32_t);
    for (const std::size_t size : m_block_sizes) {
        total += size;
    }
    return total;
}

packed_library pack_library(const library_data& data) {
    packed_library packed;
    for (const track_data& t : data.tracks) {
        packed.begin_track(false);
        packed.set_path(t.path);
        packed.set_has_path(t.has_path);
        packed.set_cached(t.cached);
        for (const meta_field_data& field : t.meta) {
            packed.add_meta_field(field.name);
            for (const std::string& value : field.values) {
                packed.add_field_value(value);
            }
        }
        for (const info_field_data& field : t.info) {
            packed.add_info(field.name, field.value);
        }
    }
    packed.end_track();
    packed.library = data.library;
    packed.playlists = data.playlists;
    return packed;
}

library_data unpack_library(const packed_library& data) {
    library_data out;
    out.tracks.resize(data.track_count());
    for (std::uint32_t i = 0; i < data.track_count(); ++i) {
        const packed_library::track_record& record = data.track(i);
        track_data& t = out.tracks[i];
        t.path = data.text(record.path);
        t.has_path = record.has_path;
        t.cached = record.cached;
        const packed_library::layout_view layout = data.layout(record.layout);
        std::uint32_t value = record.first_value;
        for (std::uint32_t f = 0; f < layout.meta_count(); ++f) {
            meta_field_data field{data.name(layout.meta_name(f)), {}};
            for (std::uint32_t v = 0; v < layout.meta_value_count(f); ++v) {
                field.values.emplace_back(data.text(data.value(value++)));
            }
            t.meta.push_back(std::move(field));
        }
        for (std::uint32_t f = 0; f < layout.info_count(); ++f) {
            t.info.push_back(
                {data.name(layout.info_name(f)), std::string(data.text(data.value(value++)))});
        }
    }
    out.library = data.library;
    out.playlists = data.playlists;
    return out;
}

} // namespace refhost
