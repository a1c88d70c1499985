// The refresh of the statistics window in the product's own setting: the
// engine built for Windows (either edition), over the reference host's generated
// library, in one process per size. Measured in one run: the floor (one pass
// that reads every string the refresh reads, through the host calls and
// under the lock), the full refresh (the three track sets and their eighteen
// rows, as the window computes them), and the refresh's extra heap (its peak
// above what the process held before) with its largest single block.
//
// Times are processor time of the thread (the machine is shared), best of
// the rounds (R, default 3, 2 from 500,000 tracks), each round a floor and
// then a refresh. The last lines are `key value` pairs.
//
// Usage: poolscope_bench_win32.exe --tracks N [--seed S] [--repeats R]
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "engine/cache_statistics.h"
#include "engine/track_sets.h"
#include "heap_tracking.h"
#include "refresh_parts.h"
#include "host/module_state.h"
#include "refhost/host_api.h"

namespace {

double thread_seconds() {
    FILETIME created, ended, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return static_cast<double>(ticks(kernel) + ticks(user)) * 1e-7;
}

double best_of(int repeats, const std::function<void()>& work) {
    return bench::best_seconds(thread_seconds, repeats, work);
}

using bench::build_combined;
using bench::build_sets;
using bench::floor_pass;
using bench::null_view;
using bench::track_sets;

// The window's refresh: the sets, then each set's six rows.
void refresh(null_view* views) {
    track_sets sets;
    build_track_set(track_set_library, sets.library);
    fill_cache_statistics(views[0], sets.library);
    build_track_set(track_set_playlists, sets.playlists);
    fill_cache_statistics(views[1], sets.playlists);
    build_combined(sets);
    fill_cache_statistics(views[2], sets.combined);
}

void print_row(const char* label, const pool_summary& s) {
    std::printf("    %-10s %9u %9u %9u %10u %10u %4u %4u %4u %5u\n", label, s.logical_strings,
                s.physical_strings, s.unique_strings, s.used_memory, s.required_memory,
                s.length_lower_quartile, s.length_median, s.length_upper_quartile,
                s.length_maximum);
}

int run(std::uint32_t tracks, std::uint64_t seed, int repeats) {
    refhost::host host(refhost::generate_packed_library(tracks, seed));
    module_state::set_host(&host.core(), nullptr);

    // Each round passes the floor just before it refreshes, so that the two
    // are timed in the same stretch of a shared machine's time (its speed
    // drifts by a third over minutes); the figures are the best of the
    // rounds, and each round's own ratio is printed too.
    null_view views[3];
    double floor_s = 1e30;
    double refresh_s = 1e30;
    std::vector<double> round_ratios;
    for (int r = 0; r < repeats; ++r) {
        track_sets sets;
        build_sets(sets);
        const double round_floor = best_of(1, [&] {
            floor_pass(sets.library);
            floor_pass(sets.playlists);
            floor_pass(sets.combined);
        });
        sets = track_sets();
        const double round_refresh = best_of(1, [&] { refresh(views); });
        floor_s = std::min(floor_s, round_floor);
        refresh_s = std::min(refresh_s, round_refresh);
        round_ratios.push_back(round_refresh / round_floor);
    }

    // The refresh's own memory, in a run of its own.
    const std::size_t before = bench::live_heap_bytes();
    bench::reset_heap_marks();
    null_view probe[3];
    refresh(probe);
    const std::size_t peak_extra = bench::peak_heap_bytes() - before;
    const std::size_t largest = bench::largest_heap_block();

    std::uint64_t physical = 0;
    for (pool_kind k = pool_path; k <= pool_info_value; ++k) {
        physical += views[0].rows[k - 1].physical_strings;
    }
    static const char* const set_names[3] = {"Library", "Playlists", "Combined"};
    for (int s = 0; s < 3; ++s) {
        std::printf("  %s rows: logical physical unique used required lq med uq max\n",
                    set_names[s]);
        for (pool_kind k = pool_path; k <= pool_all; ++k) {
            print_row(pool_label(k), views[s].rows[k - 1]);
        }
    }
    module_state::set_host(nullptr, nullptr);
    host.shut_down();
    if (!host.violations().empty()) {
        std::printf("host contract breaches: %u (first: %s)\n",
                    static_cast<unsigned>(host.violations().size()),
                    host.violations().front().c_str());
        return 1;
    }
    std::printf("tracks %u\n", tracks);
    std::printf("floor_s %.2f\n", floor_s);
    std::printf("refresh_s %.2f\n", refresh_s);
    std::printf("refresh_vs_floor %.2f\n", refresh_s / floor_s);
    std::printf("refresh_vs_floor_of_each_round");
    for (const double ratio : round_ratios) {
        std::printf(" %.2f", ratio);
    }
    std::printf("\n");
    std::printf("physical_strings %llu\n", static_cast<unsigned long long>(physical));
    std::printf("pointer_bytes %u\n", static_cast<unsigned>(sizeof(void*)));
    std::printf("peak_extra_bytes %llu\n", static_cast<unsigned long long>(peak_extra));
    std::printf("peak_extra_bytes_per_physical %.1f\n",
                physical ? static_cast<double>(peak_extra) / static_cast<double>(physical) : 0.0);
    std::printf("largest_block_bytes %llu\n", static_cast<unsigned long long>(largest));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // Lines end in LF alone, as scripts reading the figures expect.
    _setmode(_fileno(stdout), _O_BINARY);
    std::uint32_t tracks = 100000;
    std::uint64_t seed = 1;
    int repeats = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        const char* value = argv[i + 1];
        if (option == "--tracks") {
            tracks = static_cast<std::uint32_t>(std::strtoul(value, nullptr, 10));
        } else if (option == "--seed") {
            seed = std::strtoull(value, nullptr, 10);
        } else if (option == "--repeats") {
            repeats = std::atoi(value);
        } else {
            std::fprintf(stderr, "unknown option %s\n", argv[i]);
            return 2;
        }
    }
    if (repeats <= 0) {
        repeats = tracks >= 500000 ? 2 : 3;
    }
    try {
        return run(tracks, seed, repeats);
    } catch (const std::exception& error) {
        std::printf("error: %s\n", error.what());
        return 1;
    }
}
