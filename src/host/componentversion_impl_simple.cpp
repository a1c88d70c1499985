#include "host/componentversion_impl_simple.h"

#include "host/component_state.h"

namespace {

// The host's string may fail to grow; nothing may reach the host from here.
void set_text(string_base& out, const char* text) noexcept {
    try {
        out.assign(text != nullptr ? text : "", string_base::until_nul);
    } catch (...) {
        // The host keeps whatever its string held.
    }
}

} // namespace

void componentversion_impl_simple::file_name(string_base& out) {
    set_text(out, component_state::file_name());
}

void componentversion_impl_simple::component_name(string_base& out) {
    set_text(out, m_name);
}

void componentversion_impl_simple::component_version(string_base& out) {
    set_text(out, m_version);
}

void componentversion_impl_simple::about_text(string_base& out) {
    set_text(out, m_about);
}
