// auvia-refhost.exe: the reference host as an application. Interactive by
// default (alerts as message boxes, runs until its main window is closed);
// with --exit it does what the options say and exits with a code that tells
// what went wrong.
#include <windows.h>

#include <psapi.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <exception>
#include <string>
#include <vector>

#include "refhost/app/command_line.h"
#include "refhost/app/window_steps.h"
#include "refhost/host_api.h"
#include "refhost/library_file.h"
#include "refhost/low_address_space.h"
#include "refhost/screenshot.h"
#include "refhost/text_convert.h"

namespace {

using namespace refhost;

std::vector<std::wstring> arguments() {
    std::vector<std::wstring> args;
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; argv != nullptr && i < count; ++i) {
        args.emplace_back(argv[i]);
    }
    if (argv != nullptr) {
        LocalFree(argv);
    }
    return args;
}

std::wstring beside_executable(const wchar_t* name) {
    wchar_t exe[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH * 4);
    std::wstring dir(exe, n);
    const std::size_t slash = dir.find_last_of(L"\\/");
    return (slash == std::wstring::npos ? std::wstring(L".") : dir.substr(0, slash)) + L"\\" + name;
}

// The data set the options ask for; problems with a library file are printed
// and set exit_library_problem in code.
packed_library choose_data(const app_options& options, int& code) {
    if (options.generate) {
        return generate_packed_library(options.generate_count, options.seed);
    }
    if (options.library_file.empty()) {
        return generate_packed_library(sample_track_count, default_sample_seed);
    }
    const std::string name = wide_to_utf8(options.library_file);
    library_load_result loaded = load_library_file(options.library_file);
    if (!loaded.opened) {
        write_stderr_line("Cannot read the library file " + name + ": " + loaded.error);
        code |= exit_library_problem;
        return {};
    }
    for (const std::string& line : describe_problems(name, loaded)) {
        write_stderr_line(line + " (line skipped)");
    }
    if (!loaded.problems.empty()) {
        code |= exit_library_problem;
    }
    return pack_library(loaded.data);
}

// The process's peak working set (the most memory it held resident), or 0
// when the system does not tell. Not the peak of committed memory: wine
// reports that as the current figure.
std::uint64_t process_peak_bytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
        return 0;
    }
    return counters.PeakWorkingSetSize;
}

// The common controls the process gets (LoadLibraryW follows the activation
// context): their version and file. Version 6 comes from the side-by-side
// store (winsxs) only when the host's manifest, of its own processor
// architecture, bound it; wine's reports 5.81 either way, so the file tells.
std::string common_controls() {
    const HMODULE module = LoadLibraryW(L"comctl32.dll");
    if (module == nullptr) {
        return "not loaded";
    }
    const auto get_version = reinterpret_cast<HRESULT(CALLBACK*)(DLLVERSIONINFO*)>(
        reinterpret_cast<void*>(GetProcAddress(module, "DllGetVersion")));
    DLLVERSIONINFO info{};
    info.cbSize = sizeof info;
    std::string out =
        get_version != nullptr && SUCCEEDED(get_version(&info))
            ? std::to_string(info.dwMajorVersion) + "." + std::to_string(info.dwMinorVersion)
            : "unknown version";
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    FreeLibrary(module);
    return out + ", " + wide_to_utf8(std::wstring(path, length));
}

void print_tables(host& h, std::size_t max_rows) {
    const track_memory memory = h.memory();
    std::string out = "== Host\n" + h.figures_text() + "Memory: track text " +
                      std::to_string(memory.text_bytes) + " bytes, host data " +
                      std::to_string(memory.data_bytes) + " bytes, process peak " +
                      std::to_string(process_peak_bytes()) + " bytes\n" +
                      "Common controls: " + common_controls() + "\n";
    for (const component_summary& c : h.components()) {
        out += "Component: " + (c.name.empty() ? std::string("(no version record)") : c.name) +
               " " + c.version + " - " + c.path + "\n";
    }
    int number = 0;
    for (HWND w : h.top_level_windows()) {
        out += "== Window " + std::to_string(++number) + "\n" + describe_window_tables(w, max_rows);
    }
    if (number == 0) {
        out += "== No windows\n";
    }
    std::size_t start = 0;
    while (start < out.size()) {
        std::size_t end = out.find('\n', start);
        if (end == std::string::npos) {
            end = out.size();
        }
        write_stdout_line(std::string_view(out).substr(start, end - start));
        start = end + 1;
    }
}

void screenshots(host& h, const std::wstring& prefix) {
    std::vector<std::pair<std::wstring, HWND>> shots{{prefix + L"-host.bmp", h.main_window()}};
    int number = 0;
    for (HWND w : h.top_level_windows()) {
        shots.emplace_back(prefix + L"-" + std::to_wstring(++number) + L".bmp", w);
    }
    for (const auto& [path, window] : shots) {
        std::string error;
        if (window == nullptr || !IsWindowVisible(window)) {
            continue;
        }
        if (save_window_bitmap(window, path, error)) {
            write_stdout_line("Screenshot: " + wide_to_utf8(path));
        } else {
            write_stderr_line("Screenshot " + wide_to_utf8(path) + " failed: " + error);
        }
    }
}

int run_host(const app_options& options) {
    int code = 0;
    if (options.reserve_low_4gb) {
        const low_address_reservation made = reserve_low_address_space();
        write_stdout_line("Reserved below 4 GB: " + std::to_string(made.reserved_bytes) +
                          " bytes in " + std::to_string(made.ranges) + " ranges, " +
                          std::to_string(made.heap_blocks) + " heap blocks");
    }
    host_options settings;
    settings.interactive = !options.exit;
    settings.echo_stdout = true;
    settings.intern_values = options.intern_values;
    settings.show_main_window = !options.hide;
    settings.profile_dir = options.profile_dir;
    host h(choose_data(options, code), settings);

    std::vector<std::wstring> components = options.components;
    if (components.empty()) {
        components.push_back(beside_executable(L"poolscope.dll"));
    }
    for (const std::wstring& path : components) {
        if (!h.load_component(path)) {
            code |= exit_component_failed;
        }
    }
    for (const std::string& name : options.run) {
        if (!h.run_command(name)) {
            write_stderr_line("No main-menu command \"" + name + "\" could be run");
            code |= exit_unknown_command;
        }
        if (options.wait_idle && !h.pump_until_idle()) {
            write_stderr_line("The windows did not become idle");
            code |= exit_not_idle;
        }
    }
    if (options.wait_idle && options.run.empty() && !h.pump_until_idle()) {
        code |= exit_not_idle;
    }
    for (const window_step& step : options.steps) {
        std::string error;
        if (!do_window_step(h, step, error)) {
            write_stderr_line(
                std::string(step.what == window_step::kind::activate_row ? "--activate "
                                                                         : "--select-tab ") +
                std::to_string(step.tab) +
                (step.what == window_step::kind::activate_row ? " " + std::to_string(step.row)
                                                              : std::string()) +
                ": " + error);
            code |= exit_step_failed;
        }
        if (!h.pump_until_idle()) {
            write_stderr_line("The windows did not become idle");
            code |= exit_not_idle;
        }
    }
    if (options.print_tables) {
        print_tables(h, options.limit_rows ? options.max_rows : all_rows);
    }
    if (!options.screenshot_prefix.empty()) {
        screenshots(h, options.screenshot_prefix);
    }
    if (!options.exit) {
        h.run_message_loop();
    }
    h.shut_down();
    if (!h.alerts().empty()) {
        code |= exit_alert;
    }
    if (!h.violations().empty()) {
        code |= exit_contract_breach;
    }
    return code;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    app_options options;
    std::string error;
    if (!parse_command_line(arguments(), options, error)) {
        write_stderr_line("auvia-refhost: " + error);
        write_stderr_line(usage_text);
        return exit_usage;
    }
    if (options.help) {
        write_stdout_line(usage_text);
        return 0;
    }
    try {
        return run_host(options);
    } catch (const std::exception& e) {
        write_stderr_line(std::string("auvia-refhost: ") + e.what());
    } catch (...) {
        write_stderr_line("auvia-refhost: unknown error");
    }
    return exit_contract_breach;
}
