// The units behind the engine's faster ways, each against its literal
// definition on inputs a fake host cannot reach in reasonable time: counts
// near 2^32 (saturating in a pool, wrapping in the merges and in the sums of
// "All"), more string objects than the collector keeps in its slots, and text
// sets shaped to reach every step of the text sort. Each text lives in a heap
// block of its own size, so the sanitizer build catches any read past a text.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/engine_tuning.h"
#include "engine/pool_figures.h"
#include "engine/pool_summary.h"
#include "engine/reference_collector.h"
#include "engine/string_gathering.h"
#include "literal_engine.h"
#include "recording_views.h"

using namespace engine_fakes;

namespace {

// String objects in blocks of their own; tails point into another object.
class object_store {
public:
    const char* add(const std::string& text) {
        m_blocks.emplace_back(new char[text.size() + 1]);
        std::copy(text.c_str(), text.c_str() + text.size() + 1, m_blocks.back().get());
        return m_blocks.back().get();
    }

private:
    std::vector<std::unique_ptr<char[]>> m_blocks;
};

// A pool holding the objects with the given counts, in address order.
string_info_list pool_of(const std::map<const char*, std::uint32_t, std::less<>>& counts) {
    std::vector<std::pair<std::uintptr_t, std::uint32_t>> ordered;
    for (const auto& [text, count] : counts) {
        ordered.emplace_back(reinterpret_cast<std::uintptr_t>(text), count);
    }
    std::sort(ordered.begin(), ordered.end());
    string_info_list list;
    for (const auto& [address, count] : ordered) {
        const char* text = reinterpret_cast<const char*>(address);
        list.push_item(
            string_info{text, static_cast<std::uint32_t>(std::string(text).size()), count});
    }
    return list;
}

std::vector<std::tuple<const char*, std::uint32_t, std::uint32_t>>
entries_of(const string_info_list& list) {
    std::vector<std::tuple<const char*, std::uint32_t, std::uint32_t>> result;
    for (const string_info& e : list) {
        result.emplace_back(e.text, e.length, e.count);
    }
    return result;
}

// Counts from every region that matters: small, around 2^31 and 2^32.
std::uint32_t random_count(std::mt19937& rng) {
    static const std::uint32_t large[] = {0xFFFFFFFFu, 0xFFFFFFFEu, 0x80000000u,
                                          0x7FFFFFFFu, 0x55555556u, 0xAAAAAAABu};
    switch (rng() % 4) {
    case 0:
        return large[rng() % std::size(large)];
    case 1:
        return static_cast<std::uint32_t>(rng());
    default:
        return 1 + rng() % 5;
    }
}

// The collector's collapse (slots, spills, sort, saturating sums, entries the
// list already holds) is add_string per reference, with chunks as they are
// and so small that objects met again fill them (each repeat moving to the
// chunk of counted references, which is then often full itself).
TEST(CollectorUnit, CollapsingEqualsAddStringPerReference) {
    engine_tuning tiny;
    tiny.chunk_entries = 5;
    tiny.run_block_entries = 3;
    engine_tuning small;
    small.chunk_entries = 200;
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        const engine_tuning& sizes = seed == 1 ? current_engine_tuning() : seed == 2 ? tiny : small;
        const scoped_engine_tuning tuning(sizes);
        std::mt19937 rng(seed);
        object_store store;
        std::vector<const char*> objects;
        for (int i = 0; i < 6000; ++i) { // more than the collector's slots
            objects.push_back(store.add(std::string(rng() % 20, 'a' + rng() % 3)));
        }
        std::map<const char*, std::uint32_t, std::less<>> held;
        for (int i = 0; i < 400; ++i) {
            held[objects[rng() % objects.size()]] = random_count(rng);
        }
        string_info_list expected = pool_of(held);
        string_info_list actual = pool_of(held);

        address_sort_buffer sort_buffer;
        reference_collector collector(sort_buffer);
        for (int round = 0; round < 2; ++round) { // the second round adds to the first
            for (int r = 0; r < 40000; ++r) {
                // A few objects take most references, as field names do.
                const std::size_t range = rng() % 4 == 0 ? objects.size() : 64;
                const char* text = rng() % 200 == 0 ? nullptr : objects[rng() % range];
                add_string(expected, text);
                collector.add(text);
            }
            collector.add_to(actual);
            ASSERT_EQ(entries_of(actual), entries_of(expected)) << seed << ' ' << round;
        }
        EXPECT_TRUE(std::any_of(actual.begin(), actual.end(), [](const string_info& e) {
            return e.count == 0xFFFFFFFFu;
        })) << "some count saturated";
    }
}

// "All" is summarised from the five pools' distinct values: the same figures
// as grouping the merged list, with counts that wrap in the merges, in the
// values' logical counts, in the total weight and in 3 x W.
TEST(AllPoolUnit, FiguresFromMergedValuesEqualGroupingTheMergedList) {
    for (std::uint32_t seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
        std::mt19937 rng(seed);
        object_store store;
        std::vector<std::string> texts;
        for (int i = 0; i < 300; ++i) {
            texts.push_back(std::string(rng() % 12, 'a' + rng() % 2) + std::string(rng() % 3, 'A'));
        }
        std::vector<const char*> objects;
        for (int i = 0; i < 2500; ++i) {
            const char* object = store.add(texts[rng() % texts.size()]);
            objects.push_back(object);
            const std::size_t length = std::string(object).size();
            if (length > 0 && rng() % 5 == 0) { // a tail, possibly the terminator
                objects.push_back(object + rng() % (length + 1));
            }
        }
        std::map<const char*, std::uint32_t, std::less<>> chosen[5];
        for (const char* object : objects) {
            for (auto& pool : chosen) {
                if (rng() % 3 == 0) {
                    pool[object] = random_count(rng);
                }
            }
        }
        // One object whose counts in two pools wrap to 0 in "All".
        chosen[1][objects[0]] = 0xFFFFFFFFu;
        chosen[4][objects[0]] = 1;

        string_info_list pools[pool_kind_count];
        for (int p = 0; p < 5; ++p) {
            pools[p] = pool_of(chosen[p]);
        }
        value_records values[pool_kind_count - 1];
        for (int p = 0; p < 5; ++p) {
            ASSERT_EQ(summarize_pool_values(pools[p], &values[p]),
                      literal::summarize_pool(pools[p]))
                << seed << " pool " << p + 1;
        }
        string_info_list& all = pools[pool_all - 1];
        build_all_pool(all, pools[0], pools[1], pools[2], pools[3], pools[4]);
        const pool_summary expected = literal::summarize_pool(all);
        EXPECT_EQ(summarize_merged_pool(all, values, pool_kind_count - 1), expected) << seed;
        EXPECT_EQ(summarize_pool(all), expected) << seed;

        string_info_list2 ours;
        string_info_list2 theirs;
        group_unique(ours, all);
        literal::group_unique(theirs, all);
        EXPECT_EQ(copy_values(ours), copy_values(theirs)) << seed;
    }
}

// Text sets shaped for the text sort: long shared prefixes, every byte value,
// prefix chains, keys that differ in many bits or only at the eight-byte
// steps, many copies of few values, and enough texts for the radix steps.
std::vector<std::string> shaped_texts(int shape, std::mt19937& rng) {
    std::vector<std::string> texts;
    auto random_bytes = [&](std::size_t length, bool full_range) {
        static const char some[] = {'\x01', 'a', 'b', '\x7F', '\x80', '\xFF'};
        std::string s;
        for (std::size_t i = 0; i < length; ++i) {
            s += full_range ? static_cast<char>(1 + rng() % 255) : some[rng() % std::size(some)];
        }
        return s;
    };
    switch (shape) {
    case 0: // one long shared prefix, short tails: many copies
        for (int i = 0; i < 20000; ++i) {
            texts.push_back(std::string(100, 'x') + random_bytes(rng() % 4, false));
        }
        break;
    case 1: // every byte value, one and two bytes long
        for (int i = 0; i < 12000; ++i) {
            texts.push_back(random_bytes(1 + rng() % 2, true));
        }
        break;
    case 2: // prefix chains of one letter, and empty texts
        for (int i = 0; i < 9000; ++i) {
            texts.push_back(std::string(rng() % 41, 'a'));
        }
        break;
    case 3: // anything: keys differing in many bits
        for (int i = 0; i < 8000; ++i) {
            texts.push_back(random_bytes(rng() % 70, true));
        }
        break;
    default: // equal but for one byte at or around an eight-byte step
        for (int i = 0; i < 10000; ++i) {
            std::string s(72, 'm');
            static const std::size_t steps[] = {7, 8, 15, 16, 63, 64, 71};
            s[steps[rng() % std::size(steps)]] = static_cast<char>(1 + rng() % 255);
            s.resize(rng() % 4 == 0 ? 64 + rng() % 9 : 72);
            texts.push_back(s);
        }
        break;
    }
    return texts;
}

TEST(GroupUniqueUnit, ShapedTextSetsGroupAsTheLiteralByteOrderDoes) {
    for (int shape = 0; shape < 5; ++shape) {
        std::mt19937 rng(100 + shape);
        object_store store;
        std::map<const char*, std::uint32_t, std::less<>> counts;
        for (const std::string& text : shaped_texts(shape, rng)) {
            counts[store.add(text)] = 1 + rng() % 3;
        }
        const string_info_list pool = pool_of(counts);
        string_info_list2 ours;
        string_info_list2 theirs;
        group_unique(ours, pool);
        literal::group_unique(theirs, pool);
        ASSERT_EQ(copy_values(ours), copy_values(theirs)) << "shape " << shape;
        for (const string_info2& value : ours) {
            ASSERT_EQ(counts.count(value.text), 1u) << "one of the value's own objects";
        }
        EXPECT_EQ(summarize_pool(pool), literal::summarize_pool(pool)) << "shape " << shape;
    }
}

} // namespace
