// One track of the host's metadata cache: its counted handle, its location
// record and its cached info in one small object. Its fields live in tables
// that all tracks share: the layouts (field names and value counts, one per
// distinct layout) and the value texts. Every read of the location or the
// cached info is counted and checked against the metadata-cache lock.
#pragma once

#include <cstdint>
#include <vector>

#include "host/host_interfaces.h"
#include "refhost/chunked_array.h"
#include "refhost/host_context.h"

namespace refhost {

// The tables a host_track refers to.
struct track_tables {
    host_context* host = nullptr;
    // Per layout, at its offset: meta_count, info_count, the number of meta
    // values, then (name, first value, value count) per meta field and the
    // name of each info field; names index into names, first values count
    // from the track's first value.
    std::vector<std::uint32_t> layouts;
    std::vector<const char*> names;    // the stored text of each field name
    chunked_array<const char*> values; // meta values, then info values, per track

    std::size_t bytes_allocated() const {
        return layouts.capacity() * sizeof(std::uint32_t) + names.capacity() * sizeof(char*) +
               values.allocated_bytes();
    }
};

class host_track final : public metadb_handle, public track_location, public track_info {
public:
    // path null: no path text. layout: offset into tables.layouts.
    host_track(const track_tables& tables, const char* path, bool cached, std::uint32_t layout,
               std::uint32_t first_value)
        : m_tables(&tables), m_path(path), m_layout(layout), m_first_value(first_value),
          m_cached(cached) {}
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
    const std::uint32_t* layout() const { return &m_tables->layouts[m_layout]; }
    std::uint32_t meta_count() const { return layout()[0]; }
    std::uint32_t info_count() const { return layout()[1]; }
    const std::uint32_t* meta_entry(std::uint32_t field) const { return layout() + 3 + 3 * field; }
    bool meta_index_ok(std::uint32_t field) const;
    bool info_index_ok(std::uint32_t field) const;
    host_context& host() const { return *m_tables->host; }

    const track_tables* m_tables;
    const char* m_path; // null: no path text
    std::uint32_t m_layout;
    std::uint32_t m_first_value;
    int m_references = 1;
    bool m_cached;
};

} // namespace refhost
