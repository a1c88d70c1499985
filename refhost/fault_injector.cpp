#include "refhost/fault_injector.h"

#include "refhost/thrower/host_thrower.h"

namespace refhost {

const char* host_call_name(host_call call) {
    static const char* const names[] = {"host_core::lookup_class",
                                        "host_core::create_instance",
                                        "host_core::count_instances",
                                        "host_core::owner_window",
                                        "dialog_message_hook::register_filter",
                                        "dialog_message_hook::unregister_filter",
                                        "alert_service::show_alert",
                                        "console_sink::print_line",
                                        "media_library::all_tracks",
                                        "playlist_service::playlist_count",
                                        "playlist_service::enumerate_tracks",
                                        "metadata_cache::acquire_lock",
                                        "metadata_cache::release_lock",
                                        "metadb_handle::location",
                                        "metadb_handle::cached_info",
                                        "track_location::path_text",
                                        "track_info::meta_field_count",
                                        "track_info::meta_field_name",
                                        "track_info::meta_field_value_count",
                                        "track_info::meta_field_value",
                                        "track_info::info_field_count",
                                        "track_info::info_field_name",
                                        "track_info::info_field_value",
                                        "stream_reader::read",
                                        "stream_reader::skip",
                                        "stream_writer::write"};
    static_assert(sizeof names / sizeof names[0] == static_cast<std::size_t>(host_call::count_),
                  "one name per host call");
    const auto i = static_cast<std::size_t>(call);
    return i < static_cast<std::size_t>(host_call::count_) ? names[i] : "?";
}

// The host's errors leave through the thrower, as the platform's C++
// exceptions: no frame of this host between the thrower and the component
// holds anything to clean up.
void raise_fault(fault_kind kind) {
    switch (kind) {
    case fault_kind::bad_alloc:
        host_thrower_raise(host_thrower_bad_alloc, nullptr);
    case fault_kind::aborted:
        host_thrower_raise(host_thrower_aborted, nullptr);
    case fault_kind::io_data:
        host_thrower_raise(host_thrower_io_data, nullptr);
    case fault_kind::not_standard:
        host_thrower_raise(host_thrower_not_standard, nullptr);
    case fault_kind::runtime_error:
        break;
    }
    host_thrower_raise(host_thrower_runtime_error, "Injected host failure");
}

void fault_injector::arm(host_call call, fault_kind kind, std::uint32_t skip, std::uint32_t times) {
    slot& s = m_slots[static_cast<std::size_t>(call)];
    s.armed = true;
    s.kind = kind;
    s.skip = skip;
    s.times = times;
}

void fault_injector::disarm(host_call call) {
    m_slots[static_cast<std::size_t>(call)].armed = false;
}

void fault_injector::disarm_all() {
    for (slot& s : m_slots) {
        s.armed = false;
    }
}

void fault_injector::enter(host_call call) {
    slot& s = m_slots[static_cast<std::size_t>(call)];
    ++s.calls;
    if (!s.armed) {
        return;
    }
    if (s.skip != 0) {
        --s.skip;
        return;
    }
    if (s.times != 0 && --s.times == 0) {
        s.armed = false;
    }
    raise_fault(s.kind);
}

std::uint32_t fault_injector::calls(host_call call) const {
    return m_slots[static_cast<std::size_t>(call)].calls;
}

void fault_injector::reset_counts() {
    for (slot& s : m_slots) {
        s.calls = 0;
    }
}

} // namespace refhost
