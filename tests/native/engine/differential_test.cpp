// The engine's ways (collect, sort and collapse; grouping by a multikey sort)
// against the literal definitions on randomised libraries: shared objects
// across tracks and pools, equal texts at different addresses, tails of other
// strings, strings on or right after another's terminator, repeated handles,
// tracks without info or path.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>

#include "engine/address_sort.h"
#include "engine/cache_statistics.h"
#include "engine/engine_tuning.h"
#include "engine/length_rows.h"
#include "engine/pool_summary.h"
#include "engine/pool_values.h"
#include "engine/string_gathering.h"
#include "fake_host.h"
#include "literal_engine.h"
#include "recording_views.h"

using namespace engine_fakes;

namespace {

struct library_shape {
    std::uint32_t tracks;
    std::uint32_t texts;             // distinct texts to draw from
    std::uint32_t objects;           // string objects holding them
    std::uint32_t name_objects;      // objects that serve as field names
    std::uint32_t handles;           // entries of the track list
    std::uint32_t long_percent = 0;  // texts of 1,000 to 9,000 bytes
    std::uint32_t empty_percent = 0; // texts of no bytes (the NUL only)
};

class random_library {
public:
    random_library(fake_host& host, std::uint32_t seed, const library_shape& shape)
        : m_host(host), m_rng(seed) {
        for (std::uint32_t i = 0; i < shape.texts; ++i) {
            m_texts.push_back(random_text());
            if (chance(shape.long_percent)) {
                // A long value, sometimes one that differs from another only
                // near its end.
                m_texts.back() = i > 0 && chance(50) ? m_texts[m_rng() % i] : std::string();
                m_texts.back().resize(1000 + m_rng() % 8000, 'l');
                m_texts.back().back() = static_cast<char>('a' + m_rng() % 3);
            } else if (chance(shape.empty_percent)) {
                m_texts.back().clear();
            }
        }
        for (std::uint32_t i = 0; i < shape.objects; ++i) {
            m_objects.push_back(new_object());
        }
        for (std::uint32_t i = 0; i < shape.name_objects; ++i) {
            m_names.push_back(chance(10) ? pick(m_objects) : new_object());
        }
        std::vector<fake_track*> made;
        for (std::uint32_t i = 0; i < shape.tracks; ++i) {
            made.push_back(&new_track());
        }
        for (std::uint32_t i = 0; i < shape.handles; ++i) {
            tracks.push_item(metadb_handle_ptr(pick(made)));
        }
    }

    metadb_handle_list_t tracks;

private:
    bool chance(std::uint32_t percent) { return m_rng() % 100 < percent; }
    template <typename T> T pick(const std::vector<T>& items) {
        return items[m_rng() % items.size()];
    }

    // Short texts over a few letters (case pairs, bytes above 0x7F) and
    // families sharing prefixes of 8 and 16 bytes.
    std::string random_text() {
        static const char letters[] = {'a', 'b', 'A', 'B', ' ', '\x80', '\xC3', '\xE9', '~'};
        static const std::uint32_t lengths[] = {0, 1, 2, 3, 5, 7, 8, 9, 15, 16, 17, 24, 40};
        std::string text;
        if (chance(30)) {
            text = chance(50) ? "C:\\Music\\" : "C:\\Music\\Artist\\Album\\";
        }
        const std::uint32_t length = lengths[m_rng() % std::size(lengths)];
        while (text.size() < length) {
            text += letters[m_rng() % std::size(letters)];
        }
        return text;
    }

    const char* new_object() {
        const std::uint32_t kind = m_rng() % 100;
        if (kind < 15 && !m_objects.empty()) {
            // A tail of another object, possibly its terminator.
            const char* whole = pick(m_objects);
            const std::size_t length = m_lengths.at(whole);
            const std::size_t offset = m_rng() % (length + 1);
            m_lengths[whole + offset] = length - offset;
            return whole + offset;
        }
        const std::string& text = pick(m_texts);
        const std::size_t gap = kind < 40 ? 0 : (kind < 60 ? 1 : 16);
        const char* object = m_host.texts.add(text, gap);
        m_lengths[object] = text.size();
        return object;
    }

    fake_track& new_track() {
        fake_track& t = m_host.new_track();
        t.path = chance(10) ? nullptr : pick(m_objects);
        t.has_info = !chance(10);
        const std::uint32_t meta_fields = m_rng() % 5;
        for (std::uint32_t f = 0; f < meta_fields; ++f) {
            meta_field field{pick(m_names), {}};
            const std::uint32_t values = m_rng() % 4;
            for (std::uint32_t v = 0; v < values; ++v) {
                field.values.push_back(chance(5) ? pick(m_names) : pick(m_objects));
            }
            t.meta.push_back(field);
        }
        const std::uint32_t info_fields = m_rng() % 4;
        for (std::uint32_t f = 0; f < info_fields; ++f) {
            t.info.push_back(
                info_field{pick(m_names), chance(5) ? pick(m_names) : pick(m_objects)});
        }
        return t;
    }

    fake_host& m_host;
    std::mt19937 m_rng;
    std::vector<std::string> m_texts;
    std::vector<const char*> m_objects;
    std::vector<const char*> m_names;
    std::map<const char*, std::size_t> m_lengths;
};

std::vector<std::tuple<const char*, std::uint32_t, std::uint32_t>>
entries(const string_info_list& list) {
    std::vector<std::tuple<const char*, std::uint32_t, std::uint32_t>> result;
    for (const string_info& e : list) {
        result.emplace_back(e.text, e.length, e.count);
    }
    return result;
}

std::vector<length_row> literal_length_rows(const string_info_list2& values) {
    std::map<std::uint32_t, length_row> by_length;
    std::uint32_t total = 0;
    for (const string_info2& v : values) {
        length_row& r = by_length[v.length];
        r.length = v.length;
        r.logical += v.logical_count;
        r.physical += v.physical_count;
        ++r.unique;
        total += v.logical_count;
    }
    std::vector<length_row> rows;
    std::uint64_t running = 0;
    for (auto& [length, r] : by_length) {
        running += r.logical;
        r.percent_tenths = static_cast<std::uint32_t>((running * 1000 + total / 2) / total);
        r.used_memory = (length + 1) * r.physical + 4 * r.logical;
        r.required_memory = (length + 1) * r.unique + 4 * r.logical;
        rows.push_back(r);
    }
    return rows;
}

class Differential : public ::testing::TestWithParam<std::uint32_t> {
protected:
    void check(const library_shape& shape) {
        random_library library(host, GetParam(), shape);
        const metadb_handle_list_t& tracks = library.tracks;

        host.cache.acquire_lock();
        string_info_list expected[pool_kind_count];
        literal::gather_pools(tracks, expected);
        string_info_list pools[pool_kind_count];
        gather_pools(tracks, pools[0], pools[1], pools[2], pools[3], pools[4]);
        build_all_pool(pools[5], pools[0], pools[1], pools[2], pools[3], pools[4]);
        std::vector<pool_row> expected_rows;
        std::vector<std::vector<copied_value>> expected_values;
        for (std::uint32_t p = 0; p < pool_kind_count; ++p) {
            ASSERT_EQ(entries(pools[p]), entries(expected[p])) << "pool " << p + 1;
            string_info_list2 ours, theirs;
            group_unique(ours, pools[p]);
            literal::group_unique(theirs, expected[p]);
            expected_values.push_back(copy_values(theirs));
            ASSERT_EQ(copy_values(ours), expected_values.back()) << "pool " << p + 1;
            std::set<const char*> addresses;
            for (const string_info& e : pools[p]) {
                addresses.insert(e.text);
            }
            for (const string_info2& v : ours) {
                EXPECT_EQ(addresses.count(v.text), 1u) << "one of the value's own objects";
            }
            expected_rows.push_back(
                pool_row{pool_label(p + 1), literal::summarize_pool(expected[p])});
            EXPECT_EQ(summarize_pool(pools[p]), expected_rows.back().summary) << "pool " << p + 1;
            length_row_array rows;
            compute_length_rows(ours, rows);
            const auto literal_rows = literal_length_rows(theirs);
            ASSERT_EQ(rows.size(), literal_rows.size());
            for (std::uint32_t r = 0; r < rows.size(); ++r) {
                EXPECT_EQ(std::memcmp(&rows[r], &literal_rows[r], sizeof(length_row)), 0);
            }
        }
        host.cache.release_lock();

        // The computations with their working storage as it is and with
        // storage so small that every chunk, run block, window, table
        // segment and sort piece boundary is crossed many times.
        engine_tuning tiny;
        tiny.chunk_entries = 37;
        tiny.run_block_entries = 5;
        tiny.window_entries = 3;
        tiny.table_segment_bits = 2;
        tiny.sort_piece_entries = 7;
        for (const engine_tuning& sizes : {current_engine_tuning(), tiny}) {
            const scoped_engine_tuning tuning(sizes);
            recording_statistics_view view(host);
            fill_cache_statistics(view, tracks);
            EXPECT_EQ(view.rows, expected_rows) << sizes.chunk_entries;
            for (pool_kind kind = pool_path; kind <= pool_all; ++kind) {
                recording_value_view values(host, kind);
                compute_pool_values(values, tracks);
                EXPECT_EQ(values.value_values, expected_values[kind - 1])
                    << kind << ' ' << sizes.chunk_entries;
            }
        }
        EXPECT_EQ(host.unlocked_reads, 0);
        EXPECT_EQ(host.lock_depth, 0);
    }

    fake_host host;
    installed_host installed{host};
};

TEST_P(Differential, SmallLibraries) {
    check(library_shape{40, 30, 120, 12, 60});
}

// Enough objects to fill the collectors' slots, names shared by thousands of
// references, and pools large enough for every step of the sorts.
TEST_P(Differential, LargeLibraries) {
    check(library_shape{3000, 2500, 12000, 6000, 4000});
}

// Long values (equal ones, and ones differing only in their last byte, far
// beyond a table entry's head and the sort's keys) mixed with many empty
// ones; tails of a long value start anywhere inside it.
TEST_P(Differential, LongAndEmptyTexts) {
    check(library_shape{300, 200, 900, 30, 500, 15, 20});
}

INSTANTIATE_TEST_SUITE_P(Seeds, Differential, ::testing::Values(1u, 2u, 3u, 4u, 5u));

// Addresses spread over every bit of a pointer, with repeats: ascending and
// stable, both with scratch of its own and with one buffer kept from sort to
// sort as it grows and is then used for smaller sorts.
TEST(AddressSort, SortsAnySpreadOfAddressesStably) {
    std::mt19937_64 rng(7);
    address_sort_buffer kept;
    for (std::uint32_t n : {0u, 1u, 2u, 50u, 65u, 1000u, 20000u, 65u, 1000u, 20001u}) {
        std::vector<address_value> items;
        for (std::uint32_t i = 0; i < n; ++i) {
            std::uintptr_t address = static_cast<std::uintptr_t>(rng());
            if (i % 5 == 0) {
                address &= 0xFFF0;
            }
            if (i > 0 && i % 7 == 0) {
                address = items[rng() % i].address;
            }
            items.push_back(address_value{address, i});
        }
        std::vector<address_value> expected = items;
        std::stable_sort(
            expected.begin(), expected.end(),
            [](const address_value& a, const address_value& b) { return a.address < b.address; });
        std::vector<address_value> with_kept = items;
        sort_by_address(items.data(), n);
        sort_by_address(with_kept.data(), n, kept);
        for (std::uint32_t i = 0; i < n; ++i) {
            ASSERT_EQ(items[i].address, expected[i].address) << n << ' ' << i;
            ASSERT_EQ(items[i].value, expected[i].value) << n << ' ' << i;
            ASSERT_EQ(with_kept[i].address, expected[i].address) << n << ' ' << i;
            ASSERT_EQ(with_kept[i].value, expected[i].value) << n << ' ' << i;
        }
    }
}

} // namespace
