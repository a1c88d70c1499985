#include "refhost/host_track.h"

#include <string>
#include <utility>

namespace refhost {

host_track::host_track(host_context& host, const char* path, bool cached,
                       std::vector<meta_entry> meta, std::vector<const char*> values,
                       std::vector<info_entry> info)
    : m_host(&host), m_path(path), m_cached(cached), m_meta(std::move(meta)),
      m_values(std::move(values)), m_info(std::move(info)) {}

int host_track::service_release() {
    if (m_references <= 1) {
        m_host->record_violation("metadb_handle released more often than referenced");
        return 1;
    }
    return --m_references;
}

const track_location* host_track::location() const {
    m_host->enter_cached_read(host_call::location);
    return this;
}

bool host_track::cached_info(const track_info** out) const {
    m_host->enter_cached_read(host_call::cached_info);
    if (out == nullptr) {
        m_host->record_violation("metadb_handle::cached_info called with a null out pointer");
        return false;
    }
    if (*out != nullptr) {
        m_host->record_violation("metadb_handle::cached_info called with a non-null out pointer");
    }
    if (!m_cached) {
        return false;
    }
    *out = this;
    return true;
}

const char* host_track::path_text() const {
    m_host->enter_cached_read(host_call::path_text);
    return m_path;
}

bool host_track::meta_index_ok(std::uint32_t field) const {
    if (field < m_meta.size()) {
        return true;
    }
    m_host->record_violation("track_info meta field " + std::to_string(field) +
                             " asked of a track with " + std::to_string(m_meta.size()));
    return false;
}

bool host_track::info_index_ok(std::uint32_t field) const {
    if (field < m_info.size()) {
        return true;
    }
    m_host->record_violation("track_info info field " + std::to_string(field) +
                             " asked of a track with " + std::to_string(m_info.size()));
    return false;
}

std::uint32_t host_track::meta_field_count() const {
    m_host->enter_cached_read(host_call::meta_field_count);
    return static_cast<std::uint32_t>(m_meta.size());
}

const char* host_track::meta_field_name(std::uint32_t field) const {
    m_host->enter_cached_read(host_call::meta_field_name);
    return meta_index_ok(field) ? m_meta[field].name : "";
}

std::uint32_t host_track::meta_field_value_count(std::uint32_t field) const {
    m_host->enter_cached_read(host_call::meta_field_value_count);
    return meta_index_ok(field) ? m_meta[field].value_count : 0;
}

const char* host_track::meta_field_value(std::uint32_t field, std::uint32_t value) const {
    m_host->enter_cached_read(host_call::meta_field_value);
    if (!meta_index_ok(field)) {
        return "";
    }
    if (value >= m_meta[field].value_count) {
        m_host->record_violation("track_info value " + std::to_string(value) + " of meta field " +
                                 std::to_string(field) + " asked; it has " +
                                 std::to_string(m_meta[field].value_count));
        return "";
    }
    return m_values[m_meta[field].first_value + value];
}

std::uint32_t host_track::info_field_count() const {
    m_host->enter_cached_read(host_call::info_field_count);
    return static_cast<std::uint32_t>(m_info.size());
}

const char* host_track::info_field_name(std::uint32_t field) const {
    m_host->enter_cached_read(host_call::info_field_name);
    return info_index_ok(field) ? m_info[field].name : "";
}

const char* host_track::info_field_value(std::uint32_t field) const {
    m_host->enter_cached_read(host_call::info_field_value);
    return info_index_ok(field) ? m_info[field].value : "";
}

} // namespace refhost
