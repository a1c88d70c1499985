// What the reference host lets its user observe and steer: recorded alerts,
// the metadata-cache lock figures, the main-menu commands, the host calls
// that can be made to fail, and the host's options.
#pragma once

#include <cstdint>
#include <string>

#include "host/host_interfaces.h"

namespace refhost {

// Every host operation a component can call, for call counting and faults.
enum class host_call : std::uint32_t {
    lookup_class,
    create_instance,
    count_instances,
    owner_window,
    register_filter,
    unregister_filter,
    show_alert,
    print_line,
    all_tracks,
    playlist_count,
    enumerate_tracks,
    acquire_lock,
    release_lock,
    location,
    cached_info,
    path_text,
    meta_field_count,
    meta_field_name,
    meta_field_value_count,
    meta_field_value,
    info_field_count,
    info_field_name,
    info_field_value,
    stream_read,
    stream_skip,
    stream_write,
    count_ // number of entries
};

const char* host_call_name(host_call call);

// What an armed host call raises, as the platform's C++ exception (the
// types are the Microsoft-ABI ones of refhost/thrower/host_thrower.h).
enum class fault_kind : std::uint32_t {
    bad_alloc,     // std::bad_alloc
    aborted,       // auvia_io::exception_aborted (the host's cancellation)
    io_data,       // auvia_io::exception_io_data
    runtime_error, // std::runtime_error with the text "Injected host failure"
    not_standard,  // an error that derives from no std::exception
};

struct alert_record {
    std::string text;
    std::string caption;
    std::uint32_t kind = 0;
};

struct lock_figures {
    std::uint32_t acquires = 0;            // calls of acquire_lock that took the lock
    std::uint32_t releases = 0;            // calls of release_lock that gave it back
    std::uint32_t depth = 0;               // how often it is held right now
    std::uint32_t max_depth = 0;           // deepest nesting seen
    std::uint32_t nested_acquires = 0;     // acquire_lock while already held
    std::uint32_t unbalanced_releases = 0; // release_lock while not held (ignored)
    std::uint32_t unlocked_reads = 0;      // cached data read while not held
    std::int64_t balance() const { return std::int64_t(acquires) - std::int64_t(releases); }
};

struct track_memory {
    std::uint64_t text_bytes = 0; // the stored texts, each with its NUL
    std::uint64_t data_bytes = 0; // everything the track data allocated
};

struct menu_command_info {
    std::string name;
    std::string description; // empty when the provider has none
    bool has_description = false;
    GUID identifier{};
    GUID parent_group{};
    std::uint32_t placement = 0;
    std::uint32_t flags = 0;    // from display_state: bit 0 checked, bit 1 disabled
    std::uint32_t provider = 0; // position of the provider among the class instances
    std::uint32_t index = 0;    // command index within its provider
};

// How the configuration reader behaves at the end of the stored bytes.
enum class stream_end_mode : std::uint32_t {
    raise,      // a read or skip reaching past the end raises exception_io_data
    short_read, // a read returns what is left (possibly 0); skip still raises
};

struct host_options {
    // Alerts as message boxes (interactive) or recorded and printed (automation).
    bool interactive = false;
    // Console lines, alerts and host messages also go to standard output.
    bool echo_stdout = false;
    // Equal tag and information values share one stored text.
    bool intern_values = false;
    // Shows the main window (it exists either way: it owns the component's windows).
    bool show_main_window = true;
    // Profile folder (text A of set_paths, configuration files below it).
    // Empty: "profile" beside the executable.
    std::wstring profile_dir;
    stream_end_mode stream_end = stream_end_mode::raise;
    // Seed of the order in which track texts are laid out in memory, so that
    // addresses are not in track order (as in a long-running host's heap).
    std::uint64_t layout_seed = 7;
};

} // namespace refhost
