// The reference host as a library: a stand-in for the Auvia host that loads
// component DLLs, offers the host services over a data set, runs main-menu
// commands, drives the message loop, and lets tests watch and steer all of it.
//
//   refhost::host h(refhost::sample_library());
//   h.load_component(L"poolscope.dll");
//   h.run_command("Metadata Cache Statistics");
//   h.pump_until_idle();
//   for (HWND w : h.top_level_windows()) { ... refhost::read_list_view(...) ... }
//   h.shut_down();   // closes windows, checks references and the lock, unloads
//   EXPECT_TRUE(h.violations().empty());
//
// One host at a time per process (it owns the thread's message loop).
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/host_interfaces.h"
#include "refhost/host_records.h"
#include "refhost/library_data.h"
#include "refhost/sample_library.h"
#include "refhost/window_reading.h"

namespace refhost {

struct component_summary {
    std::string path; // UTF-8, full path
    std::string name; // from its componentversion record ("" without one)
    std::string version;
    std::string about;
    std::string file_name; // what the record reports as its file name
    std::uint32_t factories = 0;
    std::vector<GUID> classes; // class GUID of each factory, in chain order
    std::uint32_t configuration_bytes_read = 0;
    std::vector<std::uint8_t> configuration_written; // after shut_down
};

class host_impl;

class host {
public:
    explicit host(library_data data = sample_library(), host_options options = {});
    // The same from the packed form (what the generator writes; the host keeps
    // nothing of it once built).
    explicit host(packed_library data, host_options options = {});
    ~host(); // shut_down() if not done yet
    host(const host&) = delete;
    host& operator=(const host&) = delete;

    // ------------------------------------------------------------ components
    // Loads a component DLL: false when it could not be loaded (missing, not
    // a DLL, no auvia_get_interface, wrong interface version, bad chain); the
    // reason is a host message ("Cannot load component <path>: <reason>").
    bool load_component(const std::wstring& path);
    std::vector<component_summary> components() const;
    std::uint32_t failed_components() const;

    // ------------------------------------------------------------- main menu
    // The commands of every mainmenu_commands provider, display state asked anew.
    std::vector<menu_command_info> menu_commands();
    // Runs the first command with this name as the menu would; false when
    // there is none or its run raised (recorded as a breach).
    bool run_command(std::string_view name);
    // The texts of the main window's menu items (popup, item), as shown.
    std::vector<std::pair<std::string, std::string>> menu_items() const;

    // ---------------------------------------------------------- message loop
    // Pumps (filters first) until nothing but timers arrived for quiet_ms.
    bool pump_until_idle(std::uint32_t quiet_ms = 250, std::uint32_t limit_ms = 120000);
    void pump_for(std::uint32_t ms);
    // The application's loop: runs until the main window is closed.
    int run_message_loop();
    // Offers one message to the registered filters; true when one consumed it.
    bool offer_message(const MSG& msg);

    HWND main_window() const;
    // Living top-level windows other than the main window, in creation order.
    std::vector<HWND> top_level_windows() const;
    // The first of them whose title is title (UTF-8), or null.
    HWND find_window(std::string_view title) const;
    // Destroys every window of top_level_windows() and pumps what follows.
    void close_windows();

    // ------------------------------------------------------------ recordings
    const std::vector<alert_record>& alerts() const;
    const std::vector<std::string>& console_lines() const;
    const std::vector<std::string>& messages() const;
    // Contract breaches the host saw (lock, references, filters, exceptions
    // that left component code, bad indexes, ...).
    const std::vector<std::string>& violations() const;
    void clear_records();
    lock_figures lock() const;
    std::uint32_t calls(host_call call) const;
    void reset_call_counts();
    std::size_t registered_filters() const;

    // ------------------------------------------------------- misbehaviour
    void remove_service(const GUID& class_guid);
    // Registers the class's first instance once more (two media_library ...).
    bool duplicate_service(const GUID& class_guid);
    // create_instance fails for the class although it reports instances.
    void fail_instance_creation(const GUID& class_guid, bool fail = true);
    // The (skip + 1)-th and following calls raise kind, `times` of them (0: all).
    void inject_fault(host_call call, fault_kind kind, std::uint32_t skip = 0,
                      std::uint32_t times = 1);
    void clear_faults();
    // playlist_count answers this (e.g. 0xFFFFFFFF) instead of the real count.
    void override_playlist_count(std::optional<std::uint32_t> count);

    // ------------------------------------------------------------------ data
    std::uint32_t track_count() const;  // tracks in the metadata cache
    std::uint32_t library_size() const; // entries of the media library
    std::uint32_t playlist_count() const;
    std::uint32_t playlist_size(std::uint32_t playlist) const;
    metadb_handle* track_handle(std::uint32_t track); // index into library_data::tracks
    // The stored path text of a track (null when it has none), without counting.
    const char* track_path(std::uint32_t track) const;
    // References components hold on one track's handle / on all handles.
    std::uint32_t handle_references(std::uint32_t track) const;
    std::uint64_t outside_handle_references() const;
    // References components hold on a host service object.
    std::uint32_t service_references(const GUID& class_guid) const;
    // "Library: N tracks", "Playlists: K", one line per playlist, cache size.
    std::string figures_text() const;
    // Bytes of track text the metadata cache holds, and bytes its track data
    // (texts, track objects, tables) took from the heap.
    track_memory memory() const;

    // ------------------------------------------- the host's objects, directly
    host_core& core();
    media_library& library_service();
    playlist_service& playlist_service_object();
    metadata_cache& cache_service();
    dialog_message_hook& message_hook();
    alert_service& alert_service_object();
    console_sink& console_service_object();

    // Closes the windows, gives back the menu providers, checks that no
    // filter, lock or reference is left (breaches otherwise), writes each
    // component's configuration and unloads the components. Idempotent.
    void shut_down();

private:
    std::unique_ptr<host_impl> m_impl;
};

} // namespace refhost
