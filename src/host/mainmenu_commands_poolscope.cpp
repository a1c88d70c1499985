#include "host/mainmenu_commands_poolscope.h"

#include "host/host_guard.h"
#include "host/module_state.h"
#include "ui/window_openers.h"

namespace {

const char command_name_text[] = "Metadata Cache Statistics";
const char command_description_text[] = "Show statistics about the metadata cache.";

// The host's string may fail to grow; nothing may reach the host from here.
void set_text(string_base& out, const char* text) noexcept {
    try {
        out.assign(text, string_base::until_nul);
    } catch (...) {
        // The host keeps whatever its string held.
    }
}

// Gives back the reference a run received, whatever happens during the run.
class reference_release_guard {
public:
    explicit reference_release_guard(service_base* reference) noexcept : m_reference(reference) {}
    ~reference_release_guard() {
        if (m_reference != nullptr) {
            try {
                m_reference->service_release();
            } catch (...) {
                // The host's object failed to release; nothing more to do.
            }
        }
    }
    reference_release_guard(const reference_release_guard&) = delete;
    reference_release_guard& operator=(const reference_release_guard&) = delete;

private:
    service_base* m_reference;
};

} // namespace

std::uint32_t mainmenu_commands_poolscope::command_count() {
    return 1;
}

GUID mainmenu_commands_poolscope::command_identifier(std::uint32_t index) {
    return index == command_statistics_index ? guids::command_statistics : guids::null_guid;
}

void mainmenu_commands_poolscope::command_name(std::uint32_t index, string_base& out) {
    if (index == command_statistics_index) {
        set_text(out, command_name_text);
    }
}

bool mainmenu_commands_poolscope::command_description(std::uint32_t index, string_base& out) {
    if (index != command_statistics_index) {
        return false;
    }
    set_text(out, command_description_text);
    return true;
}

GUID mainmenu_commands_poolscope::parent_group() {
    return guids::mainmenu_group_view;
}

std::uint32_t mainmenu_commands_poolscope::placement() {
    return placement_value;
}

bool mainmenu_commands_poolscope::display_state(std::uint32_t index, string_base& out,
                                                std::uint32_t& flags) {
    flags = 0;
    command_name(index, out);
    return true;
}

void mainmenu_commands_poolscope::run(std::uint32_t index, service_base* reference) {
    reference_release_guard release(reference);
    if (index != command_statistics_index) {
        return;
    }
    try {
        // Without a host there is no main window to own the window, and none of
        // the services it needs.
        if (host_core* core = module_state::core()) {
            open_cache_statistics_window(
                guarded_host_value<window_handle>([&] { return core->owner_window(); }));
        }
    } catch (...) {
        // The window reports its own failures; nothing may reach the host.
    }
}
