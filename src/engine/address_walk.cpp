#include "engine/address_walk.h"

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "engine/engine_tuning.h"
#include "engine/radix_sort.h"

namespace {

struct pool_reference {
    std::uintptr_t address;
    std::uint32_t count;
    std::uint32_t pool;
};

struct run_cursor {
    address_run* run;
    std::uint32_t pool;
    std::uint32_t position;
};

// An entry of a run as an address with its count.
address_value as_value(std::uintptr_t address) noexcept {
    return address_value{address, 1};
}
address_value as_value(const address_value& entry) noexcept {
    return entry;
}

// The references of one window as the runs give them up.
struct window_gather {
    pool_reference* references;
    std::uint32_t n;
    std::uintptr_t first;
    std::uintptr_t differing; // the address bits in which some reference differs from first
    bool bounded;
    std::uintptr_t end;

    // Takes the leading entries of entries[0 .. count) below the window's end
    // (every entry when the window is not bounded) and returns how many. A
    // block of a run at a time, without working out each entry's block.
    template <typename Entry>
    std::uint32_t take(const Entry* entries, std::uint32_t count, std::uint32_t pool) noexcept {
        for (std::uint32_t k = 0; k < count; ++k) {
            const address_value e = as_value(entries[k]);
            if (bounded && e.address >= end) {
                return k;
            }
            references[n++] = pool_reference{e.address, e.value, pool};
            differing |= e.address ^ first;
        }
        return count;
    }
};

} // namespace

void walk_addresses(address_runs* const* pools, std::uint32_t pool_count, address_walk_sink& sink) {
    if (pool_count > walk_pool_limit) {
        throw std::bad_alloc();
    }
    std::vector<run_cursor> cursors;
    for (std::uint32_t p = 0; p < pool_count; ++p) {
        if (pools[p] == nullptr) {
            continue;
        }
        for (address_run& run : pools[p]->runs()) {
            if (run.size() != 0) {
                cursors.push_back(run_cursor{&run, p, 0});
            }
        }
    }
    // Every run must be able to give at least one reference to a window.
    const std::uint32_t window = std::max<std::uint32_t>(
        current_engine_tuning().window_entries, static_cast<std::uint32_t>(cursors.size()));
    std::unique_ptr<pool_reference[]> references(new pool_reference[window]);
    std::unique_ptr<pool_reference[]> scratch(new pool_reference[window]);
    std::unique_ptr<std::uint32_t[]> histogram(new std::uint32_t[radix_histogram_size]);
    std::unique_ptr<walked_string[]> strings(new walked_string[window]);

    while (!cursors.empty()) {
        // The window ends below the smallest address that some run reaches
        // after its share of the window, so no run gives more than its
        // share and the run that sets the end gives all of it.
        const std::uint32_t share =
            std::max<std::uint32_t>(1, window / static_cast<std::uint32_t>(cursors.size()));
        bool bounded = false;
        std::uintptr_t end = 0;
        for (const run_cursor& c : cursors) {
            const std::uint32_t left = c.run->size() - c.position;
            if (left > share) {
                const std::uintptr_t a = c.run->address_at(c.position + share);
                if (!bounded || a < end) {
                    end = a;
                    bounded = true;
                }
            }
        }
        const std::uintptr_t first = cursors.front().run->address_at(cursors.front().position);
        window_gather gather{references.get(), 0, first, 0, bounded, end};
        for (run_cursor& c : cursors) {
            while (c.position < c.run->size()) {
                const address_run::block_view block = c.run->block_from(c.position);
                const std::uint32_t taken = block.plain != nullptr
                                                ? gather.take(block.plain, block.count, c.pool)
                                                : gather.take(block.counted, block.count, c.pool);
                c.position += taken;
                if (taken < block.count) {
                    break;
                }
            }
        }
        const std::uint32_t n = gather.n;
        const std::uintptr_t differing = gather.differing;
        radix_sort(references.get(), scratch.get(), histogram.get(), n, differing,
                   [](const pool_reference& r) { return std::uint64_t{r.address}; });
        std::uint32_t distinct = 0;
        for (std::uint32_t i = 0; i < n; ++i) {
            const pool_reference& r = references[i];
            if (distinct == 0 || strings[distinct - 1].address != r.address) {
                walked_string& s = strings[distinct++];
                s.address = r.address;
                s.pools = 0;
                std::fill(s.counts, s.counts + walk_pool_limit, 0u);
            }
            walked_string& s = strings[distinct - 1];
            s.pools |= std::uint32_t{1} << r.pool;
            s.counts[r.pool] = add_saturating(s.counts[r.pool], r.count);
        }
        // What has been read is given back before the sink works on it.
        for (run_cursor& c : cursors) {
            c.run->release_below(c.position);
        }
        cursors.erase(std::remove_if(cursors.begin(), cursors.end(),
                                     [](const run_cursor& c) {
                                         if (c.position < c.run->size()) {
                                             return false;
                                         }
                                         *c.run = address_run();
                                         return true;
                                     }),
                      cursors.end());
        sink.on_strings(strings.get(), distinct);
    }
    for (std::uint32_t p = 0; p < pool_count; ++p) {
        if (pools[p] != nullptr) {
            pools[p]->runs().clear();
        }
    }
}
