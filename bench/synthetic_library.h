// A synthetic host with a library of realistic shape for the benchmarks:
// 13 tag fields (a few with several values) and 10 info fields per track,
// field names interned (one string object per name), every value a copy of
// its own allocated with its track, tracks listed in an order unrelated to
// the order their strings were allocated in.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "host/host_interfaces.h"
#include "host/service_ptr.h"

namespace bench {

class synthetic_track final : public metadb_handle, public track_location, public track_info {
public:
    struct field {
        const char* name;
        std::uint32_t first_value;
        std::uint32_t value_count;
    };

    int service_release() override { return 1; }
    int service_add_ref() override { return 2; }
    bool service_query(service_base**, const GUID&) override { return false; }
    const track_location* location() const override { return this; }
    bool cached_info(const track_info** out) const override {
        *out = this;
        return true;
    }
    const char* path_text() const override { return path; }
    std::uint32_t meta_field_count() const override { return meta_fields; }
    const char* meta_field_name(std::uint32_t f) const override { return fields[f].name; }
    std::uint32_t meta_field_value_count(std::uint32_t f) const override {
        return fields[f].value_count;
    }
    const char* meta_field_value(std::uint32_t f, std::uint32_t v) const override {
        return values[fields[f].first_value + v];
    }
    std::uint32_t info_field_count() const override {
        return static_cast<std::uint32_t>(fields.size()) - meta_fields;
    }
    const char* info_field_name(std::uint32_t f) const override {
        return fields[meta_fields + f].name;
    }
    const char* info_field_value(std::uint32_t f) const override {
        return values[fields[meta_fields + f].first_value];
    }

    const char* path = nullptr;
    std::uint32_t meta_fields = 0;
    std::vector<field> fields;
    std::vector<const char*> values;
};

// The host: media library, playlists and a metadata cache whose lock costs
// nothing.
class synthetic_host final : public host_core {
public:
    // tracks library tracks; playlists holding about a third of them (some
    // more than once) and a few tracks of their own.
    explicit synthetic_host(std::uint32_t tracks, std::uint32_t seed = 1);
    ~synthetic_host();

    service_class_ref lookup_class(const GUID& class_guid) override;
    bool create_instance(service_base** out, service_class_ref cls, std::uint32_t index) override;
    std::uint32_t count_instances(service_class_ref cls) override;
    window_handle owner_window() override { return nullptr; }

    std::vector<synthetic_track*> library_tracks;
    std::vector<std::vector<synthetic_track*>> playlists;

private:
    class library_service;
    class playlist_service_impl;
    class cache_service;

    std::vector<std::unique_ptr<synthetic_track>> m_tracks;
    std::vector<char*> m_strings;
    std::unique_ptr<library_service> m_library;
    std::unique_ptr<playlist_service_impl> m_playlists;
    std::unique_ptr<cache_service> m_cache;
};

} // namespace bench
