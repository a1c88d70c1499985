// A fake Auvia host for the engine tests: a core with a registry of services,
// a media library, a playlist service, a metadata cache and tracks whose
// texts live in one arena. It records every host call, checks that cached
// metadata is read only under the metadata-cache lock (texts are scrambled,
// and poisoned under AddressSanitizer, while the lock is not held), counts
// references, and can raise an error at any chosen call.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/pools.h"
#include "host/host_interfaces.h"

namespace engine_fakes {

class fake_host;

// The error the fake host raises at the chosen call.
class host_failure : public std::runtime_error {
public:
    host_failure() : std::runtime_error("host failure") {}
};

enum class host_call {
    lookup_class,
    count_instances,
    create_instance,
    all_tracks,
    playlist_count,
    enumerate_tracks,
    acquire_lock,
    release_lock,
    location,
    path_text,
    cached_info,
    meta_field_count,
    meta_field_name,
    meta_field_value_count,
    meta_field_value,
    info_field_count,
    info_field_name,
    info_field_value,
};

// Host texts at fixed addresses in one block. The bytes are in clear only
// while the metadata cache is locked.
class text_arena {
public:
    explicit text_arena(std::size_t capacity = 1 << 20);
    ~text_arena();
    text_arena(const text_arena&) = delete;
    text_arena& operator=(const text_arena&) = delete;

    // A new string object, `gap` zero bytes after the previous one (0: it
    // starts right after the previous terminator).
    const char* add(const std::string& text, std::size_t gap = 16);
    void set_readable(bool readable);

private:
    static void scramble(char* first, std::size_t count, bool forward);

    std::unique_ptr<char[]> m_bytes;
    std::size_t m_capacity;
    std::size_t m_used = 0;
    bool m_readable = false;
};

// Counts the references the component holds on a host object.
class counted {
public:
    int references = 0; // besides the host's own
    int over_releases = 0;
};

struct meta_field {
    const char* name;
    std::vector<const char*> values;
};
struct info_field {
    const char* name;
    const char* value;
};

class fake_track;

class fake_location final : public track_location {
public:
    explicit fake_location(fake_track& track) : m_track(track) {}
    const char* path_text() const override;

private:
    fake_track& m_track;
};

class fake_info final : public track_info {
public:
    explicit fake_info(fake_track& track) : m_track(track) {}
    std::uint32_t meta_field_count() const override;
    const char* meta_field_name(std::uint32_t field) const override;
    std::uint32_t meta_field_value_count(std::uint32_t field) const override;
    const char* meta_field_value(std::uint32_t field, std::uint32_t value) const override;
    std::uint32_t info_field_count() const override;
    const char* info_field_name(std::uint32_t field) const override;
    const char* info_field_value(std::uint32_t field) const override;

private:
    fake_track& m_track;
};

class fake_track final : public metadb_handle, public counted {
public:
    explicit fake_track(fake_host& host) : m_host(host), m_location(*this), m_info(*this) {}

    int service_release() override;
    int service_add_ref() override;
    bool service_query(service_base**, const GUID&) override { return false; }
    const track_location* location() const override;
    bool cached_info(const track_info** out) const override;

    const char* path = nullptr;
    bool has_info = true;
    std::vector<meta_field> meta;
    std::vector<info_field> info;

private:
    friend class fake_location;
    friend class fake_info;
    fake_host& m_host;
    fake_location m_location;
    fake_info m_info;
};

class fake_media_library final : public media_library, public counted {
public:
    explicit fake_media_library(fake_host& host) : m_host(host) {}
    int service_release() override;
    int service_add_ref() override;
    bool service_query(service_base**, const GUID&) override { return false; }
    void all_tracks(list_base_t<metadb_handle_ptr>& out) override;

    std::vector<fake_track*> tracks;
    // When not 0: the number of tracks the list handed to all_tracks claims
    // to hold (more than the component's list can take).
    std::uint32_t claimed_tracks = 0;

private:
    fake_host& m_host;
};

class fake_playlists final : public playlist_service, public counted {
public:
    explicit fake_playlists(fake_host& host) : m_host(host) {}
    int service_release() override;
    int service_add_ref() override;
    bool service_query(service_base**, const GUID&) override { return false; }
    std::uint32_t playlist_count() override;
    void enumerate_tracks(std::uint32_t playlist, track_visitor& visitor,
                          const bit_array& mask) override;

    std::vector<std::vector<fake_track*>> playlists;
    bool report_no_playlists = false; // answer 4294967295

private:
    fake_host& m_host;
};

class fake_metadata_cache final : public metadata_cache, public counted {
public:
    explicit fake_metadata_cache(fake_host& host) : m_host(host) {}
    int service_release() override;
    int service_add_ref() override;
    bool service_query(service_base**, const GUID&) override { return false; }
    void acquire_lock() override;
    void release_lock() override;

private:
    fake_host& m_host;
};

class fake_host final : public host_core {
public:
    fake_host();
    ~fake_host();

    // host_core
    service_class_ref lookup_class(const GUID& class_guid) override;
    bool create_instance(service_base** out, service_class_ref cls, std::uint32_t index) override;
    std::uint32_t count_instances(service_class_ref cls) override;
    window_handle owner_window() override { return nullptr; }

    // Registers another instance of a class (the three services are
    // registered once by the constructor); remove_instances empties a class.
    void add_instance(const GUID& guid, service_base* instance);
    void remove_instances(const GUID& guid);

    fake_track& new_track();
    // Convenience: a track with a path and the given fields.
    fake_track& new_track(const char* path, std::vector<meta_field> meta,
                          std::vector<info_field> info);

    // Records a call; raises host_failure when it is call number throw_at.
    void enter(host_call call, bool needs_lock);

    // True when no component reference is held on any host object and no
    // object was released more often than referenced.
    bool references_balanced() const;
    // Number of recorded calls of one kind.
    std::size_t count_of(host_call call) const;

    text_arena texts;
    fake_media_library library{*this};
    fake_playlists playlists{*this};
    fake_metadata_cache cache{*this};

    std::vector<host_call> calls;
    // Calls that may raise (every call but release_lock) so far, and the
    // number of the one that raises host_failure (-1: none).
    std::int64_t entered = 0;
    std::int64_t throw_at = -1;
    int lock_depth = 0;
    int unlocked_reads = 0; // cached metadata read without the lock
    int unbalanced_unlocks = 0;
    int escaped_callbacks = 0; // exceptions that left the component's list, visitor or mask

private:
    struct service_class {
        GUID guid;
        std::vector<service_base*> instances;
    };
    std::vector<service_class> m_classes;
    std::vector<std::unique_ptr<fake_track>> m_tracks;
};

// Installs a fake host for the engine while it lives.
class installed_host {
public:
    explicit installed_host(fake_host& host);
    ~installed_host();
};

} // namespace engine_fakes
