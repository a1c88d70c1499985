#include "engine/pool_summary.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "engine/pool_figures.h"
#include "engine/value_grouping.h"

namespace {

// A histogram over lengths is cheaper than sorting when the lengths are short
// compared with the number of values.
bool histogram_fits(std::uint32_t maximum, std::uint32_t count) {
    return maximum < 4096 || maximum / 4 < count;
}

struct threshold_walk {
    std::uint32_t thresholds[3];
    std::uint32_t* results[3];
    std::uint32_t next = 0;
    std::uint64_t running = 0;

    // Adds the weight of one length (lengths come in ascending order).
    void add(std::uint32_t length, std::uint64_t weight) {
        running += weight;
        while (next < 3 && running >= thresholds[next]) {
            *results[next++] = length;
        }
    }
};

} // namespace

void group_unique(string_info_list2& out, const string_info_list& pool) {
    out.remove_all();
    // Room for the most values there can be, cut to the number found.
    out.set_count(pool.get_count());
    string_info2* values = out.data();
    std::uint32_t count = 0;
    try {
        for_each_value(pool, [&](const char* text, std::uint32_t length, std::uint32_t logical,
                                 std::uint32_t physical) {
            values[count++] = string_info2{text, length, logical, physical};
        });
    } catch (...) {
        out.remove_all();
        throw;
    }
    out.set_count(count);
}

length_quartile_figures length_quartiles(t_length_entry* entries, std::uint32_t count) {
    length_quartile_figures figures;
    if (count == 0) {
        return figures;
    }
    std::uint32_t total = 0;
    std::uint32_t maximum = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        total += entries[i].weight;
        maximum = std::max(maximum, entries[i].length);
    }
    figures.maximum = maximum;
    threshold_walk walk{{total / 4, total / 2, (3 * total) / 4},
                        {&figures.lower_quartile, &figures.median, &figures.upper_quartile}};
    if (histogram_fits(maximum, count)) {
        std::vector<std::uint64_t> weights(std::size_t{maximum} + 1, 0);
        std::vector<bool> present(std::size_t{maximum} + 1, false);
        for (std::uint32_t i = 0; i < count; ++i) {
            weights[entries[i].length] += entries[i].weight;
            present[entries[i].length] = true;
        }
        for (std::uint32_t length = 0; length <= maximum && walk.next < 3; ++length) {
            if (present[length]) {
                walk.add(length, weights[length]);
            }
        }
    } else {
        std::sort(entries, entries + count, [](const t_length_entry& a, const t_length_entry& b) {
            return a.length < b.length;
        });
        for (std::uint32_t i = 0; i < count && walk.next < 3; ++i) {
            walk.add(entries[i].length, entries[i].weight);
        }
    }
    return figures;
}

length_quartile_figures length_quartiles(const string_info_list2& values) {
    const std::uint32_t n = values.get_count();
    std::unique_ptr<t_length_entry[]> entries(new t_length_entry[n]);
    for (std::uint32_t i = 0; i < n; ++i) {
        entries[i] = t_length_entry{values[i].length, values[i].logical_count};
    }
    return length_quartiles(entries.get(), n);
}

namespace {

// Logical and physical strings and used memory: one pass in address order.
// The last counted string object is [A, A + L]; an object starting no further
// than A + L + 1 shares its bytes.
void add_address_figures(const string_info_list& pool, pool_summary& summary) {
    const std::uint32_t n = pool.get_count();
    summary.physical_strings = n;
    if (n == 0) {
        return;
    }
    const string_info* entries = pool.data();
    std::uintptr_t last_address = reinterpret_cast<std::uintptr_t>(entries[0].text);
    std::uintptr_t last_length = entries[0].length;
    std::uint32_t logical = entries[0].count;
    std::uint32_t used = entries[0].length + 1 + string_reference_bytes * entries[0].count;
    for (std::uint32_t i = 1; i < n; ++i) {
        const string_info& e = entries[i];
        logical += e.count;
        used += string_reference_bytes * e.count;
        const auto address = reinterpret_cast<std::uintptr_t>(e.text);
        if (address - last_address > last_length + 1) {
            used += e.length + 1;
            last_address = address;
            last_length = e.length;
        }
    }
    summary.logical_strings = logical;
    summary.used_memory = used;
}

// Unique strings, required memory and the length figures of the distinct
// values (length and logical count each); the entries may be reordered.
void add_value_figures(t_length_entry* values, std::uint32_t count, pool_summary& summary) {
    std::uint32_t required = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        required += values[i].length + 1 + string_reference_bytes * values[i].weight;
    }
    summary.unique_strings = count;
    summary.required_memory = required;
    const length_quartile_figures figures = length_quartiles(values, count);
    summary.length_lower_quartile = figures.lower_quartile;
    summary.length_median = figures.median;
    summary.length_upper_quartile = figures.upper_quartile;
    summary.length_maximum = figures.maximum;
}

// The union of two value lists in byte order; equal values add their counts.
value_records merge_values(const value_records& a, const value_records& b) {
    value_records out;
    out.reserve(a.size() + b.size());
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const int order = compare_texts(a[i], b[j]);
        if (order == 0) {
            text_sort_record both = a[i++];
            both.count += b[j++].count;
            out.push_back(both);
        } else {
            out.push_back(order < 0 ? a[i++] : b[j++]);
        }
    }
    out.insert(out.end(), a.begin() + i, a.end());
    out.insert(out.end(), b.begin() + j, b.end());
    return out;
}

} // namespace

pool_summary summarize_pool_values(const string_info_list& pool, value_records* values) {
    pool_summary summary;
    add_address_figures(pool, summary);
    const std::uint32_t n = pool.get_count();
    std::unique_ptr<t_length_entry[]> lengths(new t_length_entry[n]);
    std::uint32_t unique = 0;
    if (values != nullptr) {
        values->clear();
    }
    for_each_value(
        pool, [&](const char* text, std::uint32_t length, std::uint32_t logical, std::uint32_t) {
            lengths[unique++] = t_length_entry{length, logical};
            if (values != nullptr) {
                values->push_back(make_text_sort_record(text, length, logical));
            }
        });
    add_value_figures(lengths.get(), unique, summary);
    return summary;
}

pool_summary summarize_merged_pool(const string_info_list& merged, value_records* parts,
                                   std::uint32_t count) {
    pool_summary summary;
    add_address_figures(merged, summary);
    value_records values;
    for (std::uint32_t p = 0; p < count; ++p) {
        values = merge_values(values, parts[p]);
        value_records().swap(parts[p]);
    }
    std::unique_ptr<t_length_entry[]> lengths(new t_length_entry[values.size()]);
    for (std::size_t i = 0; i < values.size(); ++i) {
        lengths[i] = t_length_entry{values[i].length, values[i].count};
    }
    const auto unique = static_cast<std::uint32_t>(values.size());
    value_records().swap(values);
    add_value_figures(lengths.get(), unique, summary);
    return summary;
}

pool_summary summarize_pool(const string_info_list& pool) {
    return summarize_pool_values(pool, nullptr);
}
