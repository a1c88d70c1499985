// One track of the host's metadata cache: its counted handle, its location
// record and its cached info in one object. Every read of the location or the
// cached info is counted and checked against the metadata-cache lock.
#pragma once

#include <cstdint>
#include <vector>

#include "host/host_interfaces.h"
#include "refhost/host_context.h"

namespace refhost {

class host_track final : public metadb_handle, public track_location, public track_info {
public:
    struct meta_entry {
        const char* name;
        std::uint32_t first_value; // into the value table
        std::uint32_t value_count;
    };
    struct info_entry {
        const char* name;
        const char* value;
    };

    host_track(host_context& host, const char* path, bool cached, std::vector<meta_entry> meta,
               std::vector<const char*> values, std::vector<info_entry> info);
    host_track(const host_track&) = delete;
    host_track& operator=(const host_track&) = delete;
    ~host_track() = default;

    // service_base
    int service_release() override;
    int service_add_ref() override { return ++m_references; }
    bool service_query(service_base**, const GUID&) override { return false; }
    // metadb_handle
    const track_location* location() const override;
    bool cached_info(const track_info** out) const override;
    // track_location
    const char* path_text() const override;
    // track_info
    std::uint32_t meta_field_count() const override;
    const char* meta_field_name(std::uint32_t field) const override;
    std::uint32_t meta_field_value_count(std::uint32_t field) const override;
    const char* meta_field_value(std::uint32_t field, std::uint32_t value) const override;
    std::uint32_t info_field_count() const override;
    const char* info_field_name(std::uint32_t field) const override;
    const char* info_field_value(std::uint32_t field) const override;

    // References held outside the host (the host keeps one of its own).
    std::uint32_t outside_references() const {
        return static_cast<std::uint32_t>(m_references - 1);
    }
    // Direct views for the host itself (no counting, no lock check).
    const char* stored_path() const { return m_path; }
    bool has_cached_info() const { return m_cached; }

private:
    bool meta_index_ok(std::uint32_t field) const;
    bool info_index_ok(std::uint32_t field) const;

    host_context* m_host;
    const char* m_path; // null: no path text
    bool m_cached;
    std::vector<meta_entry> m_meta;
    std::vector<const char*> m_values;
    std::vector<info_entry> m_info;
    int m_references = 1;
};

} // namespace refhost
