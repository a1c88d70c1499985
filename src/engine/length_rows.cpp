#include "engine/length_rows.h"

#include <algorithm>
#include <memory>

#include "engine/radix_sort.h"

namespace {

// One value's figures, to be grouped by length.
struct t_length_info2 {
    std::uint32_t length;
    std::uint32_t logical_count;
    std::uint32_t physical_count;
};

// S * 1000 / T to the nearest, halves going up; 0 when there is nothing to
// share, and never above 1000.
std::uint32_t per_mille(std::uint32_t part, std::uint32_t total) {
    if (total == 0) {
        return 0;
    }
    const std::uint64_t p = (std::uint64_t{part} * 1000 + total / 2) / total;
    return p > 1000 ? 1000 : static_cast<std::uint32_t>(p);
}

} // namespace

void compute_length_rows(const string_info_list2& values, length_row_array& rows) {
    const std::uint32_t n = values.get_count();
    std::unique_ptr<t_length_info2[]> infos(new t_length_info2[n]);
    std::uint32_t total = 0;
    for (std::uint32_t i = 0; i < n; ++i) {
        infos[i] =
            t_length_info2{values[i].length, values[i].logical_count, values[i].physical_count};
        total += values[i].logical_count;
    }
    // Only the lengths order the values: every figure of a row is a sum over
    // the values of its length, which no order within the length changes.
    std::uint64_t differing = 0;
    for (std::uint32_t i = 1; i < n; ++i) {
        differing |= infos[i].length ^ infos[0].length;
    }
    if (differing != 0) {
        std::unique_ptr<t_length_info2[]> scratch(new t_length_info2[n]);
        std::unique_ptr<std::uint32_t[]> histogram(new std::uint32_t[radix_histogram_size]);
        radix_sort(infos.get(), scratch.get(), histogram.get(), n, differing,
                   [](const t_length_info2& v) { return std::uint64_t{v.length}; });
    }
    std::uint32_t lengths = 0;
    for (std::uint32_t i = 0; i < n; ++i) {
        if (i == 0 || infos[i].length != infos[i - 1].length) {
            ++lengths;
        }
    }
    rows.set_size(lengths);
    std::uint32_t running = 0;
    std::uint32_t row = 0;
    for (std::uint32_t i = 0; i < n;) {
        const std::uint32_t length = infos[i].length;
        std::uint32_t logical = 0;
        std::uint32_t physical = 0;
        std::uint32_t unique = 0;
        for (; i < n && infos[i].length == length; ++i) {
            logical += infos[i].logical_count;
            physical += infos[i].physical_count;
            ++unique;
        }
        running += logical;
        const std::uint32_t stored = length + 1;
        rows[row++] = length_row{length,
                                 per_mille(running, total),
                                 logical,
                                 physical,
                                 unique,
                                 stored * physical + string_reference_bytes * logical,
                                 stored * unique + string_reference_bytes * logical};
    }
}
