// The --activate and --select-tab steps of auvia-refhost.exe.
#pragma once

#include <string>

#include "refhost/app/command_line.h"
#include "refhost/host_api.h"

namespace refhost {

// The title of the windows --activate acts on (the newest of them).
inline constexpr char statistics_window_title[] = "Metadata Cache Statistics";

// Does one step on the host's windows: --activate selects the tab of the
// newest statistics window and activates the row of the list view it shows;
// --select-tab selects a tab of the newest top-level window. False with a
// reason in error when the window, the tab or the row does not exist.
bool do_window_step(host& h, const window_step& step, std::string& error);

} // namespace refhost
