// What the host tells the component through its gateway: the component's file
// name and whether the host's services are ready. Module-wide, UI thread only.
#pragma once

namespace component_state {

// The file name the host set (UTF-8); empty text until it does.
const char* file_name() noexcept;
// Keeps a copy of text (null reads as empty). Raises std::bad_alloc and then
// keeps the previous name.
void set_file_name(const char* text);

// False at load; console output is dropped while it is false.
bool host_ready() noexcept;
void set_host_ready(bool ready) noexcept;

} // namespace component_state
