// The options of auvia-refhost.exe.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace refhost {

// What --activate and --select-tab ask for, done in command-line order after
// the --run commands.
struct window_step {
    enum class kind { activate_row, select_tab };
    kind what = kind::activate_row;
    std::uint32_t tab = 0;
    std::uint32_t row = 0; // activate_row only
};

struct app_options {
    std::vector<std::wstring> components; // empty: poolscope.dll beside the executable
    std::wstring library_file;
    bool generate = false;
    std::uint32_t generate_count = 0;
    std::uint64_t seed = 1;
    bool intern_values = false;
    bool reserve_low_4gb = false;
    std::vector<std::string> run; // UTF-8 command names, in order
    bool wait_idle = false;
    std::vector<window_step> steps;
    bool print_tables = false;
    bool limit_rows = false;    // --max-rows given
    std::uint32_t max_rows = 0; // rows printed per list view
    std::wstring screenshot_prefix;
    bool exit = false;
    bool hide = false;
    std::wstring profile_dir;
    bool help = false;
};

// Parses argv (without the program name). False with a message in error
// for an unknown option or a missing or bad value.
bool parse_command_line(const std::vector<std::wstring>& args, app_options& out,
                        std::string& error);

extern const char usage_text[];

// Exit code bits of --exit (combined when several apply; 0 when all went well).
enum exit_bits : int {
    exit_usage = 1,
    exit_component_failed = 2,
    exit_alert = 4,
    exit_unknown_command = 8,
    exit_contract_breach = 16,
    exit_library_problem = 32,
    exit_not_idle = 64,
    exit_step_failed = 128,
};

} // namespace refhost
