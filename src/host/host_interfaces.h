// The host's interfaces as the component sees them, and the component's own
// services that the host calls. Every class here is a binary interface: plain
// C++ classes whose virtual operations stand in exactly the order the host
// contracts give, thiscall member functions (the i686 default), no destructor
// slot, no overloaded virtuals. Never reorder.
#pragma once

#include <cstdint>

#include "support/bit_array.h"
#include "support/errors.h"
#include "support/list_base.h"
#include "support/string_base.h"

#ifdef _WIN32
#include <guiddef.h>
#else
struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};
inline bool operator==(const GUID& a, const GUID& b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) {
        return false;
    }
    for (int i = 0; i < 8; ++i) {
        if (a.Data4[i] != b.Data4[i]) {
            return false;
        }
    }
    return true;
}
inline bool operator!=(const GUID& a, const GUID& b) {
    return !(a == b);
}
#endif

// Win32 handle types, declared the way <windows.h> (STRICT) declares them so
// that portable code and Win32 code name the same types.
struct HWND__;
struct HINSTANCE__;
struct tagMSG;
using window_handle = HWND__*;
using module_handle = HINSTANCE__*;

// ---------------------------------------------------------------- services

// Root of every host service object: release, add-reference, query.
class service_base {
public:
    virtual int service_release() = 0;
    virtual int service_add_ref() = 0;
    // Stores this object into *out (taking a reference, releasing what *out
    // held) and answers true when it implements the class guid.
    virtual bool service_query(service_base** out, const GUID& guid) = 0;

protected:
    ~service_base() = default;
};

// Opaque class handle answered by host_core::lookup_class.
struct service_class_opaque;
using service_class_ref = service_class_opaque*;

// The host's core: the pointer handed to auvia_get_interface.
class host_core {
public:
    virtual service_class_ref lookup_class(const GUID& class_guid) = 0;
    // Fills *out (null beforehand) with a new reference to instance index of
    // the class; false when there is no such instance.
    virtual bool create_instance(service_base** out, service_class_ref cls,
                                 std::uint32_t index) = 0;
    virtual std::uint32_t count_instances(service_class_ref cls) = 0;
    // The host's main window, owner of the component's windows.
    virtual window_handle owner_window() = 0;

protected:
    ~host_core() = default;
};

// A keyboard message filter that a modeless window registers with the host.
class message_filter {
public:
    // Offered every queued message; true when consumed.
    virtual bool filter_message(const tagMSG* message) = 0;

protected:
    ~message_filter() = default;
};

class dialog_message_hook : public service_base {
public:
    virtual void register_filter(message_filter* filter) = 0;
    virtual void unregister_filter(message_filter* filter) = 0;

protected:
    ~dialog_message_hook() = default;
};

class alert_service : public service_base {
public:
    // Texts are UTF-8; a length of 0xFFFFFFFF means NUL-terminated.
    virtual void show_alert(const char* text, std::uint32_t text_length, const char* caption,
                            std::uint32_t caption_length, std::uint32_t kind) = 0;

protected:
    ~alert_service() = default;
};

class console_sink : public service_base {
public:
    virtual void print_line(const char* text, std::uint32_t length) = 0;

protected:
    ~console_sink() = default;
};

// ------------------------------------------------------------ track objects

// A track's location record; valid only while the metadata-cache lock is held.
class track_location {
public:
    // UTF-8 path, or null.
    virtual const char* path_text() const = 0;

protected:
    ~track_location() = default;
};

// Read-only view of a track's cached fields; valid only under the lock.
class track_info {
public:
    virtual std::uint32_t meta_field_count() const = 0;
    virtual const char* meta_field_name(std::uint32_t field) const = 0;
    virtual std::uint32_t meta_field_value_count(std::uint32_t field) const = 0;
    virtual const char* meta_field_value(std::uint32_t field, std::uint32_t value) const = 0;
    virtual std::uint32_t info_field_count() const = 0;
    virtual const char* info_field_name(std::uint32_t field) const = 0;
    virtual const char* info_field_value(std::uint32_t field) const = 0;

protected:
    ~track_info() = default;
};

// The host's counted handle to one track; tracks are the same when the
// handles are the same object.
class metadb_handle : public service_base {
public:
    virtual const track_location* location() const = 0;
    // *out must be null beforehand; true when the track has cached info.
    // Asked under the metadata-cache lock.
    virtual bool cached_info(const track_info** out) const = 0;

protected:
    ~metadb_handle() = default;
};

// Visits the tracks of one playlist.
class track_visitor {
public:
    // handle is borrowed: take a reference to keep it. Return false to stop.
    virtual bool on_track(std::uint32_t position, metadb_handle* handle, bool flag) = 0;

protected:
    ~track_visitor() = default;
};

template <typename T> class service_ptr_t;
using metadb_handle_ptr = service_ptr_t<metadb_handle>;

class media_library : public service_base {
public:
    // Appends every library track to the list.
    virtual void all_tracks(list_base_t<metadb_handle_ptr>& out) = 0;

protected:
    ~media_library() = default;
};

class playlist_service : public service_base {
public:
    static constexpr std::uint32_t no_playlists = 0xFFFFFFFFu;
    virtual std::uint32_t playlist_count() = 0;
    virtual void enumerate_tracks(std::uint32_t playlist, track_visitor& visitor,
                                  const bit_array& mask) = 0;

protected:
    ~playlist_service() = default;
};

class metadata_cache : public service_base {
public:
    virtual void acquire_lock() = 0;
    virtual void release_lock() = 0;

protected:
    ~metadata_cache() = default;
};

// ------------------------------------------------- the component's services

class mainmenu_commands : public service_base {
public:
    virtual std::uint32_t command_count() = 0;
    virtual GUID command_identifier(std::uint32_t index) = 0;
    virtual void command_name(std::uint32_t index, string_base& out) = 0;
    virtual bool command_description(std::uint32_t index, string_base& out) = 0;
    virtual GUID parent_group() = 0;
    virtual std::uint32_t placement() = 0;
    virtual bool display_state(std::uint32_t index, string_base& out, std::uint32_t& flags) = 0;
    // Owns reference: releases it exactly once before returning.
    virtual void run(std::uint32_t index, service_base* reference) = 0;

protected:
    ~mainmenu_commands() = default;
};

class componentversion : public service_base {
public:
    virtual void file_name(string_base& out) = 0;
    virtual void component_name(string_base& out) = 0;
    virtual void component_version(string_base& out) = 0;
    virtual void about_text(string_base& out) = 0;

protected:
    ~componentversion() = default;
};

// A node of a component's factory chain. The host reads the first three
// words directly: the table pointer, next, and the pointer to the class GUID.
class service_factory_base {
public:
    // Stores the node's single instance into *holder, taking a reference and
    // releasing what *holder held.
    virtual void instance_create(service_base** holder) = 0;

    service_factory_base* next;
    const GUID* class_guid;

protected:
    service_factory_base(service_factory_base* next_node, const GUID* guid)
        : next(next_node), class_guid(guid) {}
    ~service_factory_base() = default;
};

// ------------------------------------------------------- configuration I/O

class abort_callback {
public:
    virtual bool is_aborting() const = 0;

protected:
    ~abort_callback() = default;
};

class stream_reader {
public:
    // Reads up to bytes; returns how many were read (fewer at the end).
    virtual std::uint32_t read(void* buffer, std::uint32_t bytes, abort_callback& abort) = 0;
    // Skips bytes; raises auvia_io::exception_io_data past the end.
    virtual void skip(std::uint32_t bytes, abort_callback& abort) = 0;

protected:
    ~stream_reader() = default;
};

class stream_writer {
public:
    virtual void write(const void* buffer, std::uint32_t bytes, abort_callback& abort) = 0;

protected:
    ~stream_writer() = default;
};

// What auvia_get_interface returns.
class component_gateway {
public:
    virtual std::uint32_t interface_version() = 0;
    virtual service_factory_base* first_factory() = 0;
    virtual void write_configuration(stream_writer* writer, abort_callback& abort) = 0;
    virtual void read_configuration(stream_reader* reader, abort_callback& abort) = 0;
    virtual void set_paths(const char* text_a, const char* text_b) = 0;
    virtual void set_host_ready(bool ready) = 0;
    virtual bool reserved_query() = 0;

protected:
    ~component_gateway() = default;
};

// -------------------------------------------------------------------- GUIDs

namespace guids {
// clang-format off
inline constexpr GUID dialog_message_hook = {0x5CD49B5D, 0xD604, 0x4C07, {0xA8, 0xFA, 0xFF, 0xD8, 0x51, 0x2A, 0xFD, 0x2B}};
inline constexpr GUID alert_service       = {0xD5CAC75A, 0x3023, 0x4DCE, {0x8B, 0x0D, 0xB5, 0x02, 0xBD, 0x05, 0x6A, 0x7C}};
inline constexpr GUID console_sink        = {0x90DF5270, 0x65BB, 0x4DBA, {0xBA, 0xF5, 0x86, 0xBE, 0x9E, 0x59, 0xDC, 0x20}};
inline constexpr GUID media_library       = {0xFEBD85B5, 0xC12D, 0x45B5, {0xB5, 0x5D, 0x0D, 0x3F, 0x43, 0x2B, 0x0C, 0x6B}};
inline constexpr GUID playlist_service    = {0xD8D51855, 0xD79D, 0x49B8, {0x97, 0xA8, 0x06, 0x57, 0x85, 0xFA, 0x24, 0x26}};
inline constexpr GUID metadata_cache      = {0x609D48C8, 0xC6A6, 0x4784, {0x8B, 0xBD, 0xFD, 0xD3, 0x2B, 0xF0, 0x74, 0x0E}};
inline constexpr GUID mainmenu_commands   = {0x35077B8C, 0x6E70, 0x47BA, {0xB9, 0xDD, 0xD5, 0x15, 0x00, 0xE1, 0x2F, 0x2E}};
inline constexpr GUID componentversion    = {0x10BB3EBD, 0xDDF7, 0x4975, {0xA3, 0xCC, 0x23, 0x08, 0x48, 0x29, 0x45, 0x3E}};
inline constexpr GUID command_statistics  = {0xD8E71BA1, 0x4AAD, 0x4FE5, {0x80, 0xB2, 0x36, 0x8B, 0xDF, 0x75, 0xA2, 0x23}};
inline constexpr GUID mainmenu_group_view = {0xF8BE5604, 0x165F, 0x4BB9, {0xB6, 0xA9, 0x15, 0xE5, 0x5E, 0x0E, 0x0D, 0x3A}};
inline constexpr GUID null_guid           = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
// clang-format on
} // namespace guids

inline constexpr std::uint32_t component_interface_version = 71;
