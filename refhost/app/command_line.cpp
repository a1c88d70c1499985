#include "refhost/app/command_line.h"

#include <cwchar>

#include "refhost/text_convert.h"

namespace refhost {

const char usage_text[] =
    "Usage: auvia-refhost [options]\n"
    "  --component PATH    load a component DLL (repeatable; default poolscope.dll\n"
    "                      beside the executable)\n"
    "  --library FILE      load the library and playlists from a text file\n"
    "  --generate N        use a generated library of N tracks (--seed S, default 1)\n"
    "  --intern-values     store equal tag and information values once\n"
    "  --run NAME          run the main-menu command NAME at start (repeatable)\n"
    "  --wait-idle         pump messages until the windows are idle\n"
    "  --activate TAB ROW  after the runs, activate row ROW of tab TAB (from 0) of\n"
    "                      the newest \"Metadata Cache Statistics\" window, as a\n"
    "                      double-click does, and wait until idle (repeatable)\n"
    "  --select-tab TAB    after the runs, choose tab TAB of the newest window, as a\n"
    "                      click on the tab does (repeatable, in order with --activate)\n"
    "  --print-tables      print the library figures and the tables of every window\n"
    "  --max-rows N        print only the first N rows of each list view, then its\n"
    "                      row count\n"
    "  --screenshot PREFIX save every top-level window as PREFIX-<n>.bmp\n"
    "  --exit              exit after the above (exit code: 0 ok; bits 2 component\n"
    "                      failed, 4 alert raised, 8 unknown command, 16 host\n"
    "                      contract breach, 32 library file problem, 64 not idle,\n"
    "                      128 an --activate or --select-tab step failed)\n"
    "  --profile DIR       profile folder (configuration files)\n"
    "  --hide              do not show the main window\n"
    "  --reserve-low-4gb   (64-bit, for tests) reserve the address space below 4 GB\n"
    "                      at start, so that the component's memory lies above it\n";

namespace {

bool parse_number(const std::wstring& text, std::uint64_t& value) {
    if (text.empty()) {
        return false;
    }
    value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') {
            return false;
        }
        const std::uint64_t next = value * 10 + static_cast<std::uint64_t>(c - L'0');
        if (next / 10 != value) {
            return false;
        }
        value = next;
    }
    return true;
}

} // namespace

bool parse_command_line(const std::vector<std::wstring>& args, app_options& out,
                        std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::wstring& a = args[i];
        auto value = [&](std::wstring& target) {
            if (i + 1 >= args.size()) {
                error = "option " + wide_to_utf8(a) + " needs a value";
                return false;
            }
            target = args[++i];
            return true;
        };
        // A count or index: decimal, at most limit.
        auto count = [&](std::uint32_t& target, std::uint64_t limit) {
            std::wstring text;
            if (!value(text)) {
                return false;
            }
            std::uint64_t n = 0;
            if (!parse_number(text, n) || n > limit) {
                error = "option " + wide_to_utf8(a) + " needs a number, not \"" +
                        wide_to_utf8(text) + "\"";
                return false;
            }
            target = static_cast<std::uint32_t>(n);
            return true;
        };
        std::wstring v;
        if (a == L"--component") {
            if (!value(v))
                return false;
            out.components.push_back(v);
        } else if (a == L"--library") {
            if (!value(out.library_file))
                return false;
        } else if (a == L"--generate" || a == L"--seed") {
            if (!value(v))
                return false;
            std::uint64_t n = 0;
            if (!parse_number(v, n) || (a == L"--generate" && n > 10000000)) {
                error = "option " + wide_to_utf8(a) + " needs a number, not \"" + wide_to_utf8(v) +
                        "\"";
                return false;
            }
            if (a == L"--generate") {
                out.generate = true;
                out.generate_count = static_cast<std::uint32_t>(n);
            } else {
                out.seed = n;
            }
        } else if (a == L"--intern-values") {
            out.intern_values = true;
        } else if (a == L"--reserve-low-4gb") {
            out.reserve_low_4gb = true;
        } else if (a == L"--run") {
            if (!value(v))
                return false;
            out.run.push_back(wide_to_utf8(v));
        } else if (a == L"--wait-idle") {
            out.wait_idle = true;
        } else if (a == L"--activate") {
            window_step step;
            if (!count(step.tab, INT32_MAX) || !count(step.row, INT32_MAX))
                return false;
            out.steps.push_back(step);
        } else if (a == L"--select-tab") {
            window_step step;
            step.what = window_step::kind::select_tab;
            if (!count(step.tab, INT32_MAX))
                return false;
            out.steps.push_back(step);
        } else if (a == L"--max-rows") {
            if (!count(out.max_rows, UINT32_MAX))
                return false;
            out.limit_rows = true;
        } else if (a == L"--print-tables") {
            out.print_tables = true;
        } else if (a == L"--screenshot") {
            if (!value(out.screenshot_prefix))
                return false;
        } else if (a == L"--exit") {
            out.exit = true;
        } else if (a == L"--hide") {
            out.hide = true;
        } else if (a == L"--profile") {
            if (!value(out.profile_dir))
                return false;
        } else if (a == L"--help" || a == L"-h" || a == L"/?") {
            out.help = true;
        } else {
            error = "unknown option " + wide_to_utf8(a);
            return false;
        }
    }
    if (out.generate && !out.library_file.empty()) {
        error = "--library and --generate exclude each other";
        return false;
    }
    return true;
}

} // namespace refhost
