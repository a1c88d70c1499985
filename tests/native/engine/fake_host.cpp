#include "fake_host.h"

#include <cstring>

#include "host/module_state.h"
#include "host/service_ptr.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define ENGINE_FAKES_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define ENGINE_FAKES_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define ENGINE_FAKES_POISON(p, n) ((void)(p), (void)(n))
#define ENGINE_FAKES_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace engine_fakes {

// ------------------------------------------------------------- text_arena

text_arena::text_arena(std::size_t capacity)
    : m_bytes(new char[capacity]()), m_capacity(capacity) {}

text_arena::~text_arena() {
    ENGINE_FAKES_UNPOISON(m_bytes.get(), m_capacity);
}

const char* text_arena::add(const std::string& text, std::size_t gap) {
    if (m_used + gap + text.size() + 1 > m_capacity) {
        throw std::length_error("text arena full");
    }
    ENGINE_FAKES_UNPOISON(m_bytes.get(), m_capacity);
    char* p = m_bytes.get() + m_used + gap;
    std::memcpy(p, text.c_str(), text.size() + 1);
    m_used += gap + text.size() + 1;
    if (!m_readable) {
        // Stored the way every unreadable byte is stored.
        scramble(p, text.size(), true);
        ENGINE_FAKES_POISON(m_bytes.get(), m_capacity);
    }
    return p;
}

void text_arena::set_readable(bool readable) {
    if (readable == m_readable) {
        return;
    }
    ENGINE_FAKES_UNPOISON(m_bytes.get(), m_capacity);
    if (readable) {
        scramble(m_bytes.get(), m_used, false);
    } else {
        scramble(m_bytes.get(), m_used, true);
        ENGINE_FAKES_POISON(m_bytes.get(), m_capacity);
    }
    m_readable = readable;
}

// Changes every byte but the NULs, so texts keep their lengths but not their
// contents.
void text_arena::scramble(char* first, std::size_t count, bool forward) {
    unsigned char* bytes = reinterpret_cast<unsigned char*>(first);
    for (std::size_t i = 0; i < count; ++i) {
        unsigned char& c = bytes[i];
        if (c != 0) {
            c = forward ? (c == 0xFF ? 1 : c + 1) : (c == 1 ? 0xFF : c - 1);
        }
    }
}

// ------------------------------------------------------------------ track

int fake_track::service_release() {
    if (references == 0) {
        ++over_releases;
        return 0;
    }
    return --references;
}
int fake_track::service_add_ref() {
    return ++references;
}

const track_location* fake_track::location() const {
    m_host.enter(host_call::location, true);
    return &m_location;
}

bool fake_track::cached_info(const track_info** out) const {
    m_host.enter(host_call::cached_info, true);
    if (*out != nullptr) {
        throw std::logic_error("cached_info: out pointer not null beforehand");
    }
    if (!has_info) {
        return false;
    }
    *out = &m_info;
    return true;
}

const char* fake_location::path_text() const {
    m_track.m_host.enter(host_call::path_text, true);
    return m_track.path;
}

std::uint32_t fake_info::meta_field_count() const {
    m_track.m_host.enter(host_call::meta_field_count, true);
    return static_cast<std::uint32_t>(m_track.meta.size());
}
const char* fake_info::meta_field_name(std::uint32_t field) const {
    m_track.m_host.enter(host_call::meta_field_name, true);
    return m_track.meta.at(field).name;
}
std::uint32_t fake_info::meta_field_value_count(std::uint32_t field) const {
    m_track.m_host.enter(host_call::meta_field_value_count, true);
    return static_cast<std::uint32_t>(m_track.meta.at(field).values.size());
}
const char* fake_info::meta_field_value(std::uint32_t field, std::uint32_t value) const {
    m_track.m_host.enter(host_call::meta_field_value, true);
    return m_track.meta.at(field).values.at(value);
}
std::uint32_t fake_info::info_field_count() const {
    m_track.m_host.enter(host_call::info_field_count, true);
    return static_cast<std::uint32_t>(m_track.info.size());
}
const char* fake_info::info_field_name(std::uint32_t field) const {
    m_track.m_host.enter(host_call::info_field_name, true);
    return m_track.info.at(field).name;
}
const char* fake_info::info_field_value(std::uint32_t field) const {
    m_track.m_host.enter(host_call::info_field_value, true);
    return m_track.info.at(field).value;
}

// --------------------------------------------------------------- services

namespace {

int release_counted(counted& object) {
    if (object.references == 0) {
        ++object.over_releases;
        return 0;
    }
    return --object.references;
}

// The library's tracks as a list the component's list copies from.
class track_source final : public list_base_const_t<metadb_handle_ptr> {
public:
    track_source(const std::vector<fake_track*>& tracks, std::uint32_t claimed)
        : m_tracks(tracks), m_claimed(claimed) {}
    std::uint32_t item_count() const override {
        return m_claimed != 0 ? m_claimed : static_cast<std::uint32_t>(m_tracks.size());
    }
    void copy_item(metadb_handle_ptr& destination, std::uint32_t index) const override {
        destination.reset(m_tracks.at(index));
    }

private:
    const std::vector<fake_track*>& m_tracks;
    std::uint32_t m_claimed;
};

// Calls component code back: an exception that leaves it is counted, then
// passed on as a host would.
template <typename F> auto call_component(fake_host& host, F&& f) {
    try {
        return f();
    } catch (...) {
        ++host.escaped_callbacks;
        throw;
    }
}

} // namespace

int fake_media_library::service_release() {
    return release_counted(*this);
}
int fake_media_library::service_add_ref() {
    return ++references;
}
void fake_media_library::all_tracks(list_base_t<metadb_handle_ptr>& out) {
    m_host.enter(host_call::all_tracks, false);
    const track_source source(tracks, claimed_tracks);
    call_component(m_host, [&] { return out.insert_list(source, out.item_count()); });
}

int fake_playlists::service_release() {
    return release_counted(*this);
}
int fake_playlists::service_add_ref() {
    return ++references;
}
std::uint32_t fake_playlists::playlist_count() {
    m_host.enter(host_call::playlist_count, false);
    return report_no_playlists ? no_playlists : static_cast<std::uint32_t>(playlists.size());
}
void fake_playlists::enumerate_tracks(std::uint32_t playlist, track_visitor& visitor,
                                      const bit_array& mask) {
    m_host.enter(host_call::enumerate_tracks, false);
    const std::vector<fake_track*>& tracks = playlists.at(playlist);
    for (std::uint32_t i = 0; i < tracks.size(); ++i) {
        if (call_component(m_host, [&] { return mask.bit_at(i); }) &&
            !call_component(m_host, [&] { return visitor.on_track(i, tracks[i], false); })) {
            return;
        }
    }
}

int fake_metadata_cache::service_release() {
    return release_counted(*this);
}
int fake_metadata_cache::service_add_ref() {
    return ++references;
}
void fake_metadata_cache::acquire_lock() {
    m_host.enter(host_call::acquire_lock, false);
    if (m_host.lock_depth++ == 0) {
        m_host.texts.set_readable(true);
    }
}
void fake_metadata_cache::release_lock() {
    m_host.calls.push_back(host_call::release_lock); // never raises
    if (m_host.lock_depth == 0) {
        ++m_host.unbalanced_unlocks;
        return;
    }
    if (--m_host.lock_depth == 0) {
        m_host.texts.set_readable(false);
    }
}

// ------------------------------------------------------------------- host

fake_host::fake_host() {
    add_instance(guids::media_library, &library);
    add_instance(guids::playlist_service, &playlists);
    add_instance(guids::metadata_cache, &cache);
}

fake_host::~fake_host() = default;

service_class_ref fake_host::lookup_class(const GUID& class_guid) {
    enter(host_call::lookup_class, false);
    for (service_class& c : m_classes) {
        if (c.guid == class_guid) {
            return reinterpret_cast<service_class_ref>(&c);
        }
    }
    return nullptr;
}

bool fake_host::create_instance(service_base** out, service_class_ref cls, std::uint32_t index) {
    enter(host_call::create_instance, false);
    auto* c = reinterpret_cast<service_class*>(cls);
    if (c == nullptr || index >= c->instances.size()) {
        return false;
    }
    service_base* instance = c->instances[index];
    instance->service_add_ref();
    *out = instance;
    return true;
}

std::uint32_t fake_host::count_instances(service_class_ref cls) {
    enter(host_call::count_instances, false);
    auto* c = reinterpret_cast<service_class*>(cls);
    return c == nullptr ? 0 : static_cast<std::uint32_t>(c->instances.size());
}

void fake_host::add_instance(const GUID& guid, service_base* instance) {
    for (service_class& c : m_classes) {
        if (c.guid == guid) {
            c.instances.push_back(instance);
            return;
        }
    }
    m_classes.push_back(service_class{guid, {instance}});
}

void fake_host::remove_instances(const GUID& guid) {
    for (service_class& c : m_classes) {
        if (c.guid == guid) {
            c.instances.clear();
        }
    }
}

fake_track& fake_host::new_track() {
    m_tracks.push_back(std::make_unique<fake_track>(*this));
    return *m_tracks.back();
}

fake_track& fake_host::new_track(const char* path, std::vector<meta_field> meta,
                                 std::vector<info_field> info) {
    fake_track& track = new_track();
    track.path = path;
    track.meta = std::move(meta);
    track.info = std::move(info);
    return track;
}

void fake_host::enter(host_call call, bool needs_lock) {
    if (needs_lock && lock_depth == 0) {
        ++unlocked_reads;
    }
    calls.push_back(call);
    if (entered++ == throw_at) {
        throw host_failure();
    }
}

bool fake_host::references_balanced() const {
    const counted* services[] = {&library, &playlists, &cache};
    for (const counted* s : services) {
        if (s->references != 0 || s->over_releases != 0) {
            return false;
        }
    }
    for (const auto& track : m_tracks) {
        if (track->references != 0 || track->over_releases != 0) {
            return false;
        }
    }
    return true;
}

std::size_t fake_host::count_of(host_call call) const {
    std::size_t n = 0;
    for (host_call c : calls) {
        n += c == call ? 1 : 0;
    }
    return n;
}

installed_host::installed_host(fake_host& host) {
    module_state::set_host(&host, nullptr);
}
installed_host::~installed_host() {
    module_state::set_host(nullptr, nullptr);
}

} // namespace engine_fakes
