#include "refhost/host_track.h"

#include <string>

namespace refhost {

int host_track::service_release() {
    if (m_references <= 1) {
        host().record_violation("metadb_handle released more often than referenced");
        return 1;
    }
    return --m_references;
}

const track_location* host_track::location() const {
    host().enter_cached_read(host_call::location);
    return this;
}

bool host_track::cached_info(const track_info** out) const {
    host().enter_cached_read(host_call::cached_info);
    if (out == nullptr) {
        host().record_violation("metadb_handle::cached_info called with a null out pointer");
        return false;
    }
    if (*out != nullptr) {
        host().record_violation("metadb_handle::cached_info called with a non-null out pointer");
    }
    if (!m_cached) {
        return false;
    }
    *out = this;
    return true;
}

const char* host_track::path_text() const {
    host().enter_cached_read(host_call::path_text);
    return m_path;
}

bool host_track::meta_index_ok(std::uint32_t field) const {
    if (field < meta_count()) {
        return true;
    }
    host().record_violation("track_info meta field " + std::to_string(field) +
                            " asked of a track with " + std::to_string(meta_count()));
    return false;
}

bool host_track::info_index_ok(std::uint32_t field) const {
    if (field < info_count()) {
        return true;
    }
    host().record_violation("track_info info field " + std::to_string(field) +
                            " asked of a track with " + std::to_string(info_count()));
    return false;
}

std::uint32_t host_track::meta_field_count() const {
    host().enter_cached_read(host_call::meta_field_count);
    return meta_count();
}

const char* host_track::meta_field_name(std::uint32_t field) const {
    host().enter_cached_read(host_call::meta_field_name);
    return meta_index_ok(field) ? m_tables->names[meta_entry(field)[0]] : "";
}

std::uint32_t host_track::meta_field_value_count(std::uint32_t field) const {
    host().enter_cached_read(host_call::meta_field_value_count);
    return meta_index_ok(field) ? meta_entry(field)[2] : 0;
}

const char* host_track::meta_field_value(std::uint32_t field, std::uint32_t value) const {
    host().enter_cached_read(host_call::meta_field_value);
    if (!meta_index_ok(field)) {
        return "";
    }
    const std::uint32_t* entry = meta_entry(field);
    if (value >= entry[2]) {
        host().record_violation("track_info value " + std::to_string(value) + " of meta field " +
                                std::to_string(field) + " asked; it has " +
                                std::to_string(entry[2]));
        return "";
    }
    return m_tables->values[m_first_value + entry[1] + value];
}

std::uint32_t host_track::info_field_count() const {
    host().enter_cached_read(host_call::info_field_count);
    return info_count();
}

const char* host_track::info_field_name(std::uint32_t field) const {
    host().enter_cached_read(host_call::info_field_name);
    return info_index_ok(field) ? m_tables->names[layout()[3 + 3 * meta_count() + field]] : "";
}

const char* host_track::info_field_value(std::uint32_t field) const {
    host().enter_cached_read(host_call::info_field_value);
    return info_index_ok(field) ? m_tables->values[m_first_value + layout()[2] + field] : "";
}

} // namespace refhost
