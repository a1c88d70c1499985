#include "literal_engine.h"

#include "engine/string_gathering.h"
#include "support/sort.h"

namespace literal {

void gather_pools(const metadb_handle_list_t& tracks, string_info_list pools[pool_kind_count],
                  pool_kind kind) {
    const bool all = kind == pool_all;
    for (std::uint32_t i = 0; i < tracks.get_count(); ++i) {
        const metadb_handle& handle = *tracks[i];
        if (all || kind == pool_path) {
            add_string(pools[pool_path - 1], handle.location()->path_text());
        }
        if (kind == pool_path) {
            continue;
        }
        const track_info* info = nullptr;
        if (!handle.cached_info(&info)) {
            continue;
        }
        if (all || kind == pool_meta_name || kind == pool_meta_value) {
            const std::uint32_t n = info->meta_field_count();
            for (std::uint32_t f = 0; f < n; ++f) {
                if (kind != pool_meta_value) {
                    add_string(pools[pool_meta_name - 1], info->meta_field_name(f));
                }
                if (kind != pool_meta_name) {
                    const std::uint32_t m = info->meta_field_value_count(f);
                    for (std::uint32_t v = 0; v < m; ++v) {
                        add_string(pools[pool_meta_value - 1], info->meta_field_value(f, v));
                    }
                }
            }
        }
        if (all || kind == pool_info_name || kind == pool_info_value) {
            const std::uint32_t k = info->info_field_count();
            for (std::uint32_t f = 0; f < k; ++f) {
                if (kind != pool_info_value) {
                    add_string(pools[pool_info_name - 1], info->info_field_name(f));
                }
                if (kind != pool_info_name) {
                    add_string(pools[pool_info_value - 1], info->info_field_value(f));
                }
            }
        }
    }
    if (all) {
        string_info_list meta, info, fields;
        merge_lists(meta, pools[1], pools[2]);
        merge_lists(info, pools[3], pools[4]);
        merge_lists(fields, meta, info);
        merge_lists(pools[pool_all - 1], fields, pools[0]);
    }
}

namespace {

// Byte by byte as unsigned bytes up to the first difference or the common NUL.
int compare_texts(const string_info& a, const string_info& b) {
    const unsigned char* x = reinterpret_cast<const unsigned char*>(a.text);
    const unsigned char* y = reinterpret_cast<const unsigned char*>(b.text);
    for (;; ++x, ++y) {
        if (*x != *y) {
            return *x < *y ? -1 : 1;
        }
        if (*x == 0) {
            return 0;
        }
    }
}

int compare_lengths(const t_length_entry& a, const t_length_entry& b) {
    return a.length < b.length ? -1 : (a.length > b.length ? 1 : 0);
}

} // namespace

void group_unique(string_info_list2& out, const string_info_list& pool) {
    out.remove_all();
    const std::uint32_t n = pool.get_count();
    std::vector<std::uint32_t> order(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        order[i] = i;
    }
    sort_callback_impl_permutation_wrap_t<string_info_list,
                                          int (*)(const string_info&, const string_info&)>
        callback(pool, compare_texts, order.data());
    sort_indexed(n, callback);
    for (std::uint32_t p = 0; p < n;) {
        const string_info& r = pool[order[p]];
        string_info2 value{r.text, r.length, 0, 0};
        while (p < n && pool[order[p]].length == r.length &&
               compare_texts(pool[order[p]], r) == 0) {
            value.logical_count += pool[order[p]].count;
            ++value.physical_count;
            ++p;
        }
        out.push_item(value);
    }
}

length_quartile_figures length_quartiles(const string_info_list2& values) {
    length_quartile_figures figures;
    const std::uint32_t n = values.get_count();
    if (n == 0) {
        return figures;
    }
    std::vector<t_length_entry> entries;
    std::uint32_t total = 0;
    for (const string_info2& v : values) {
        entries.push_back(t_length_entry{v.length, v.logical_count});
        total += v.logical_count;
    }
    sort_callback_impl_simple_wrap_t<std::vector<t_length_entry>,
                                     int (*)(const t_length_entry&, const t_length_entry&)>
        callback(entries, compare_lengths);
    sort_indexed(n, callback);
    figures.maximum = entries.back().length;
    const std::uint32_t thresholds[3] = {total / 4, total / 2, (3 * total) / 4};
    std::uint32_t* results[3] = {&figures.lower_quartile, &figures.median, &figures.upper_quartile};
    std::uint64_t running = 0;
    std::uint32_t next = 0;
    for (std::uint32_t i = 0; i < n && next < 3; ++i) {
        running += entries[i].weight;
        while (next < 3 && running >= thresholds[next]) {
            *results[next++] = entries[i].length;
        }
    }
    return figures;
}

pool_summary summarize_pool(const string_info_list& pool) {
    pool_summary s;
    const std::uint32_t n = pool.get_count();
    s.physical_strings = n;
    if (n == 0) {
        return s;
    }
    std::uintptr_t a = reinterpret_cast<std::uintptr_t>(pool[0].text);
    std::uintptr_t l = pool[0].length;
    s.logical_strings = pool[0].count;
    s.used_memory = pool[0].length + 1 + 4 * pool[0].count;
    for (std::uint32_t i = 1; i < n; ++i) {
        s.logical_strings += pool[i].count;
        s.used_memory += 4 * pool[i].count;
        const auto address = reinterpret_cast<std::uintptr_t>(pool[i].text);
        if (address > a + l + 1) {
            s.used_memory += pool[i].length + 1;
            a = address;
            l = pool[i].length;
        }
    }
    string_info_list2 values;
    literal::group_unique(values, pool);
    s.unique_strings = values.get_count();
    for (const string_info2& v : values) {
        s.required_memory += v.length + 1 + 4 * v.logical_count;
    }
    const length_quartile_figures q = literal::length_quartiles(values);
    s.length_lower_quartile = q.lower_quartile;
    s.length_median = q.median;
    s.length_upper_quartile = q.upper_quartile;
    s.length_maximum = q.maximum;
    return s;
}

std::vector<engine_fakes::pool_row> statistics_rows(const metadb_handle_list_t& tracks) {
    string_info_list pools[pool_kind_count];
    gather_pools(tracks, pools);
    std::vector<engine_fakes::pool_row> rows;
    for (pool_kind kind = pool_path; kind <= pool_all; ++kind) {
        rows.push_back(
            engine_fakes::pool_row{pool_label(kind), literal::summarize_pool(pools[kind - 1])});
    }
    return rows;
}

} // namespace literal
