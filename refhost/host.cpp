#include "refhost/host_api.h"

#include <commctrl.h>

#include <stdexcept>

#include "refhost/component_loader.h"
#include "refhost/host_context.h"
#include "refhost/library_services.h"
#include "refhost/main_window.h"
#include "refhost/menu_model.h"
#include "refhost/message_hook_service.h"
#include "refhost/message_pump.h"
#include "refhost/output_services.h"
#include "refhost/service_registry.h"
#include "refhost/text_convert.h"
#include "refhost/track_cache.h"
#include "refhost/window_tracker.h"

namespace refhost {

namespace {
bool g_host_alive = false;

void prepare_process() {
    // A broken DLL must give an error code, not a system dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES |
                                                       ICC_TAB_CLASSES | ICC_PROGRESS_CLASS |
                                                       ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
}
} // namespace

class host_impl {
public:
    host_impl(const packed_library& data, host_options options)
        : context(std::move(options)), tracks(context, data), hook(context), alerts(context),
          console(context), library(context, tracks), playlists(context, tracks), cache(context),
          registry(context), menu(context, registry) {
        registry.add_service(guids::dialog_message_hook, &hook);
        registry.add_service(guids::alert_service, &alerts);
        registry.add_service(guids::console_sink, &console);
        registry.add_service(guids::media_library, &library);
        registry.add_service(guids::playlist_service, &playlists);
        registry.add_service(guids::metadata_cache, &cache);
        window = std::make_unique<main_window>(
            context, main_window::actions{[this](std::size_t i) { run(i); },
                                          [this] {
                                              menu.update_states();
                                              window->apply_states(menu.commands());
                                          },
                                          [this] { list_components(); }});
        context.owner = window->handle();
        context.console_pane = [this](const std::string& line) { window->append_console(line); };
    }

    bool run(std::size_t position) {
        menu.update_states();
        return menu.run(position);
    }

    void list_components() {
        if (components.empty()) {
            context.host_message("No components are loaded.", false);
        }
        for (const loaded_component& c : components) {
            context.host_message(
                "Component: " + (c.name.empty() ? std::string("(no version record)") : c.name) +
                    " " + c.version + " - " + c.path_utf8,
                false);
        }
    }

    void refresh_menu() {
        menu.refresh();
        window->build_menu(menu.commands());
    }

    template <typename Interface> std::uint32_t references(const host_service<Interface>& s) const {
        return s.outside_references();
    }

    host_context context;
    track_cache tracks;
    message_hook_service hook;
    alert_service_impl alerts;
    console_service console;
    media_library_service library;
    playlist_service_impl playlists;
    metadata_cache_service cache;
    service_registry registry;
    menu_model menu;
    window_tracker tracker;
    std::unique_ptr<main_window> window;
    std::vector<loaded_component> components;
    std::uint32_t failures = 0;
    std::uint32_t next_id = 0;
    bool shut = false;
};

host::host(library_data data, host_options options)
    : host(pack_library(data), std::move(options)) {}

host::host(packed_library data, host_options options) {
    if (g_host_alive) {
        throw std::logic_error("only one reference host may exist at a time");
    }
    prepare_process();
    m_impl = std::make_unique<host_impl>(data, std::move(options));
    g_host_alive = true;
}

host::~host() {
    try {
        shut_down();
    } catch (...) {
        // Nothing may escape a destructor; shut_down records its problems.
    }
    m_impl->context.console_pane = nullptr;
    m_impl->window.reset();
    m_impl.reset();
    g_host_alive = false;
}

bool host::load_component(const std::wstring& path) {
    host_impl& h = *m_impl;
    loaded_component component;
    std::string error;
    if (!refhost::load_component(h.context, h.registry, path, h.next_id++, h.components, component,
                                 error)) {
        ++h.failures;
        h.context.host_message("Cannot load component " + wide_to_utf8(path) + ": " + error, true);
        return false;
    }
    h.context.host_message("Loaded component " +
                               (component.name.empty()
                                    ? std::string("(no version record)")
                                    : "\"" + component.name + "\" " + component.version) +
                               " from " + component.path_utf8,
                           false);
    h.components.push_back(std::move(component));
    h.refresh_menu();
    return true;
}

std::vector<component_summary> host::components() const {
    std::vector<component_summary> out;
    for (const loaded_component& c : m_impl->components) {
        component_summary s;
        s.path = c.path_utf8;
        s.name = c.name;
        s.version = c.version;
        s.about = c.about;
        s.file_name = c.file_name;
        s.factories = static_cast<std::uint32_t>(c.nodes.size());
        for (const service_factory_base* node : c.nodes) {
            s.classes.push_back(*node->class_guid);
        }
        s.configuration_bytes_read = c.configuration_bytes_read;
        s.configuration_written = c.configuration_written;
        out.push_back(std::move(s));
    }
    return out;
}

std::uint32_t host::failed_components() const {
    return m_impl->failures;
}

std::vector<menu_command_info> host::menu_commands() {
    m_impl->menu.update_states();
    return m_impl->menu.commands();
}

bool host::run_command(std::string_view name) {
    const int position = m_impl->menu.find(name);
    if (position < 0) {
        return false;
    }
    return m_impl->run(static_cast<std::size_t>(position));
}

std::vector<std::pair<std::string, std::string>> host::menu_items() const {
    std::vector<std::pair<std::string, std::string>> items;
    HWND window = main_window();
    HMENU bar = window != nullptr ? GetMenu(window) : nullptr;
    if (bar == nullptr) {
        return items;
    }
    auto text_of = [](HMENU menu, int position) {
        wchar_t text[512] = {};
        GetMenuStringW(menu, static_cast<UINT>(position), text, 512, MF_BYPOSITION);
        return wide_to_utf8(text);
    };
    for (int p = 0; p < GetMenuItemCount(bar); ++p) {
        HMENU popup = GetSubMenu(bar, p);
        const std::string popup_text = text_of(bar, p);
        for (int i = 0; popup != nullptr && i < GetMenuItemCount(popup); ++i) {
            items.emplace_back(popup_text, text_of(popup, i));
        }
    }
    return items;
}

bool host::pump_until_idle(std::uint32_t quiet_ms, std::uint32_t limit_ms) {
    return refhost::pump_until_idle(m_impl->context, quiet_ms, limit_ms);
}

void host::pump_for(std::uint32_t ms) {
    refhost::pump_for(m_impl->context, ms);
}

int host::run_message_loop() {
    m_impl->window->quit_on_destroy(true);
    const int code = refhost::run_message_loop(m_impl->context);
    m_impl->window->quit_on_destroy(false);
    return code;
}

bool host::offer_message(const MSG& msg) {
    return offer_to_filters(m_impl->context, msg);
}

HWND host::main_window() const {
    return m_impl->window ? m_impl->window->handle() : nullptr;
}

std::vector<HWND> host::top_level_windows() const {
    return m_impl->tracker.windows(main_window());
}

HWND host::find_window(std::string_view title) const {
    for (HWND w : top_level_windows()) {
        if (window_title(w) == title) {
            return w;
        }
    }
    return nullptr;
}

void host::close_windows() {
    for (HWND w : top_level_windows()) {
        if (IsWindow(w)) {
            DestroyWindow(w);
        }
    }
    pump_for(50);
}

const std::vector<alert_record>& host::alerts() const {
    return m_impl->context.alerts;
}
const std::vector<std::string>& host::console_lines() const {
    return m_impl->context.console_lines;
}
const std::vector<std::string>& host::messages() const {
    return m_impl->context.messages;
}
const std::vector<std::string>& host::violations() const {
    return m_impl->context.violations;
}

void host::clear_records() {
    host_context& c = m_impl->context;
    c.alerts.clear();
    c.console_lines.clear();
    c.messages.clear();
    c.violations.clear();
}

lock_figures host::lock() const {
    return m_impl->context.cache_lock_figures();
}

std::uint32_t host::calls(host_call call) const {
    return m_impl->context.faults.calls(call);
}

void host::reset_call_counts() {
    m_impl->context.faults.reset_counts();
}

std::size_t host::registered_filters() const {
    return m_impl->context.filters.size();
}

void host::remove_service(const GUID& class_guid) {
    m_impl->registry.remove_class(class_guid);
}

bool host::duplicate_service(const GUID& class_guid) {
    return m_impl->registry.duplicate_first(class_guid);
}

void host::fail_instance_creation(const GUID& class_guid, bool fail) {
    m_impl->registry.set_create_failure(class_guid, fail);
}

void host::inject_fault(host_call call, fault_kind kind, std::uint32_t skip, std::uint32_t times) {
    m_impl->context.faults.arm(call, kind, skip, times);
}

void host::clear_faults() {
    m_impl->context.faults.disarm_all();
}

void host::override_playlist_count(std::optional<std::uint32_t> count) {
    m_impl->playlists.override_count(count);
}

std::uint32_t host::track_count() const {
    return m_impl->tracks.track_count();
}

std::uint32_t host::library_size() const {
    return static_cast<std::uint32_t>(m_impl->tracks.library().size());
}

std::uint32_t host::playlist_count() const {
    return static_cast<std::uint32_t>(m_impl->tracks.playlists().size());
}

std::uint32_t host::playlist_size(std::uint32_t playlist) const {
    const auto& p = m_impl->tracks.playlists();
    return playlist < p.size() ? static_cast<std::uint32_t>(p[playlist].tracks.size()) : 0;
}

metadb_handle* host::track_handle(std::uint32_t track) {
    return track < track_count() ? &m_impl->tracks.track(track) : nullptr;
}

const char* host::track_path(std::uint32_t track) const {
    return track < track_count() ? m_impl->tracks.track(track).stored_path() : nullptr;
}

std::uint32_t host::handle_references(std::uint32_t track) const {
    return track < track_count() ? m_impl->tracks.track(track).outside_references() : 0;
}

std::uint64_t host::outside_handle_references() const {
    return m_impl->tracks.outside_references();
}

std::uint32_t host::service_references(const GUID& class_guid) const {
    const host_impl& h = *m_impl;
    if (class_guid == guids::dialog_message_hook)
        return h.hook.outside_references();
    if (class_guid == guids::alert_service)
        return h.alerts.outside_references();
    if (class_guid == guids::console_sink)
        return h.console.outside_references();
    if (class_guid == guids::media_library)
        return h.library.outside_references();
    if (class_guid == guids::playlist_service)
        return h.playlists.outside_references();
    if (class_guid == guids::metadata_cache)
        return h.cache.outside_references();
    return 0;
}

std::string host::figures_text() const {
    const track_cache& t = m_impl->tracks;
    std::string out = "Library: " + std::to_string(t.library().size()) + " tracks\n";
    out += "Playlists: " + std::to_string(t.playlists().size()) + "\n";
    for (std::size_t i = 0; i < t.playlists().size(); ++i) {
        const cached_playlist& p = t.playlists()[i];
        out += "Playlist " + std::to_string(i) + " \"" + p.name +
               "\": " + std::to_string(p.tracks.size()) + " tracks\n";
    }
    out += "Metadata cache: " + std::to_string(t.track_count()) + " tracks, " +
           std::to_string(t.distinct_names()) + " field names, " +
           std::to_string(t.stored_bytes()) + " bytes of text" +
           (m_impl->context.options.intern_values ? " (values interned)" : "") + "\n";
    return out;
}

track_memory host::memory() const {
    const track_cache& t = m_impl->tracks;
    return track_memory{t.stored_bytes(), t.bytes_allocated()};
}

host_core& host::core() {
    return m_impl->registry;
}
media_library& host::library_service() {
    return m_impl->library;
}
playlist_service& host::playlist_service_object() {
    return m_impl->playlists;
}
metadata_cache& host::cache_service() {
    return m_impl->cache;
}
dialog_message_hook& host::message_hook() {
    return m_impl->hook;
}
alert_service& host::alert_service_object() {
    return m_impl->alerts;
}
console_sink& host::console_service_object() {
    return m_impl->console;
}

void host::shut_down() {
    host_impl& h = *m_impl;
    if (h.shut) {
        return;
    }
    h.shut = true;
    close_windows();
    h.menu.clear();
    host_context& c = h.context;
    if (!c.filters.empty()) {
        c.record_violation(std::to_string(c.filters.size()) +
                           " message filter(s) still registered when the host shut down");
        c.filters.clear();
    }
    const lock_figures lock = c.cache_lock_figures();
    if (lock.depth != 0) {
        c.record_violation("the metadata-cache lock is still held (depth " +
                           std::to_string(lock.depth) + ") when the host shut down");
    }
    if (const std::uint64_t refs = h.tracks.outside_references(); refs != 0) {
        c.record_violation(std::to_string(refs) +
                           " track handle reference(s) not given back when the host shut down");
    }
    for (const GUID* g :
         {&guids::dialog_message_hook, &guids::alert_service, &guids::console_sink,
          &guids::media_library, &guids::playlist_service, &guids::metadata_cache}) {
        if (const std::uint32_t refs = service_references(*g); refs != 0) {
            c.record_violation(std::to_string(refs) + " reference(s) to the host service " +
                               guid_text(*g) + " not given back when the host shut down");
        }
    }
    for (loaded_component& component : h.components) {
        unload_component(c, h.registry, component);
    }
    h.window->build_menu({});
}

} // namespace refhost
