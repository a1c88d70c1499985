#include "engine/pool_statistics.h"

#include <cstring>

#include "engine/engine_tuning.h"
#include "engine/length_histogram.h"

namespace {

constexpr std::uint32_t gathered_pools = 5;

} // namespace

namespace {

// Unique strings, required memory and the length figures of distinct values
// added one at a time.
class value_figures {
public:
    void add(const value_entry& e) {
        ++m_unique;
        m_required += e.length + 1 + string_reference_bytes * e.logical;
        m_lengths.add(e.length, e.logical);
    }
    void write(pool_summary& summary) const {
        summary.unique_strings = m_unique;
        summary.required_memory = m_required;
        const length_quartile_figures figures = m_lengths.quartiles();
        summary.length_lower_quartile = figures.lower_quartile;
        summary.length_median = figures.median;
        summary.length_upper_quartile = figures.upper_quartile;
        summary.length_maximum = figures.maximum;
    }

private:
    std::uint32_t m_unique = 0;
    std::uint32_t m_required = 0;
    length_histogram m_lengths;
};

pool_summary address_row(const address_figures& f) {
    pool_summary summary;
    summary.logical_strings = f.logical;
    summary.physical_strings = f.physical;
    summary.used_memory = f.used_memory;
    return summary;
}

} // namespace

pool_statistics::pool_statistics() {
    const std::uint32_t bits = current_engine_tuning().table_segment_bits;
    m_values.reserve(gathered_pools);
    for (std::uint32_t p = 0; p < gathered_pools; ++p) {
        m_values.emplace_back(bits);
    }
}

void pool_statistics::walk(address_runs* const* gathered) {
    walk_addresses(gathered, gathered_pools, *this);
}

namespace {

// Calls f(p) for each bit p of pools, lowest first.
template <typename F> void for_each_pool(std::uint32_t pools, F&& f) {
    while (pools != 0) {
        f(static_cast<std::uint32_t>(__builtin_ctz(pools)));
        pools &= pools - 1;
    }
}

} // namespace

void pool_statistics::on_strings(const walked_string* strings, std::uint32_t count) {
    // First every string of the window is measured and counted (its text is
    // read once, in address order) and set aside for the table of each of its
    // pools; then each table takes its strings in one run, which keeps the
    // parts of it most in use in the cache (the tables of a window's pools,
    // filled in turns, would push each other out).
    for (std::vector<pending_value>& values : m_pending) {
        values.clear(); // keeps its storage for the next window
    }
    address_figures& all = m_figures[gathered_pools];
    for (std::uint32_t i = 0; i < count; ++i) {
        prefetch_text_ahead(strings, i, count);
        const walked_string& s = strings[i];
        const char* text = reinterpret_cast<const char*>(s.address);
        const auto length = static_cast<std::uint32_t>(std::strlen(text));
        const value_key key = text_key(text, length);
        std::uint32_t merged = 0;
        for_each_pool(s.pools, [&](std::uint32_t p) {
            m_figures[p].add(s.address, length, s.counts[p]);
            merged += s.counts[p]; // "All" adds the pools' counts plainly
            m_pending[p].push_back(pending_value{text, length, s.counts[p], key});
        });
        all.add(s.address, length, merged);
    }
    for (std::uint32_t p = 0; p < gathered_pools; ++p) {
        m_values[p].add_each(m_pending[p].data(), static_cast<std::uint32_t>(m_pending[p].size()));
    }
}

pool_summary pool_statistics::pool_row(pool_kind kind) const {
    pool_summary summary = address_row(m_figures[kind - 1]);
    value_figures values;
    m_values[kind - 1].for_each([&](const value_entry& e) { values.add(e); });
    values.write(summary);
    return summary;
}

pool_summary pool_statistics::all_row() {
    pool_summary summary = address_row(m_figures[gathered_pools]);
    // Equal values of different pools share their hash, so they meet in the
    // same segment of every table: "All"'s values are merged a segment at a
    // time, in a small table.
    value_figures values;
    const std::uint32_t segments = m_values[0].segment_count();
    value_table merged(0);
    for (std::uint32_t s = 0; s < segments; ++s) {
        std::uint32_t most = 0;
        for (const value_table& pool : m_values) {
            most += pool.segment_size(s);
        }
        merged.empty_for(most);
        for (const value_table& pool : m_values) {
            pool.for_each_in_segment(
                s, [&](const value_entry& e) { merged.add(e.text, e.length, e.key(), e.logical); });
        }
        merged.for_each([&](const value_entry& e) { values.add(e); });
    }
    for (value_table& pool : m_values) {
        pool.clear();
    }
    values.write(summary);
    return summary;
}
