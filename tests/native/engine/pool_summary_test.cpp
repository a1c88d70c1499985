#include <gtest/gtest.h>

#include <string>

#include "engine/pool_summary.h"
#include "engine/string_gathering.h"
#include "fake_host.h"
#include "recording_views.h"

using namespace engine_fakes;

namespace {

// Texts in a block of their own, readable throughout.
class Summaries : public ::testing::Test {
protected:
    Summaries() { host.cache.acquire_lock(); }
    ~Summaries() override { host.cache.release_lock(); }

    // A pool holding each text with its count (in address order).
    static string_info_list
    pool(std::initializer_list<std::pair<const char*, std::uint32_t>> items) {
        string_info_list list;
        for (const auto& item : items) {
            for (std::uint32_t i = 0; i < item.second; ++i) {
                add_string(list, item.first);
            }
        }
        return list;
    }

    fake_host host;
};

string_info_list2
values_with(std::initializer_list<std::pair<std::uint32_t, std::uint32_t>> lengths) {
    string_info_list2 values;
    for (const auto& l : lengths) {
        values.push_item(string_info2{"", l.first, l.second, 1});
    }
    return values;
}

void expect_quartiles(const string_info_list2& values, std::uint32_t lower, std::uint32_t median,
                      std::uint32_t upper, std::uint32_t maximum) {
    const length_quartile_figures q = length_quartiles(values);
    EXPECT_EQ(q.lower_quartile, lower);
    EXPECT_EQ(q.median, median);
    EXPECT_EQ(q.upper_quartile, upper);
    EXPECT_EQ(q.maximum, maximum);
}

TEST(LengthQuartiles, WeightedByLogicalStrings) {
    expect_quartiles(values_with({{3, 1}, {1, 1}, {4, 1}, {2, 1}}), 1, 2, 3, 4);
    expect_quartiles(values_with({{7, 1}}), 7, 7, 7, 7);
    expect_quartiles(values_with({{9, 1}, {1, 1}}), 1, 1, 1, 9);
    expect_quartiles(values_with({{50, 1}, {5, 10}}), 5, 5, 5, 50);
    expect_quartiles(values_with({}), 0, 0, 0, 0);
    // Long values take the sorting way instead of the histogram.
    expect_quartiles(values_with({{100000, 1}, {5, 1}, {70000, 2}}), 5, 70000, 70000, 100000);
    // 3 * W wraps in 32 bits: W = 0x60000000 gives T3 = 0x08000000, already
    // reached where the median was found.
    expect_quartiles(values_with({{9, 0x30000000}, {1, 0x30000000}}), 1, 1, 1, 9);
}

TEST_F(Summaries, EmptyPoolIsAllZero) {
    EXPECT_EQ(summarize_pool(string_info_list()), pool_summary());
}

TEST_F(Summaries, OneObjectReferencedThreeTimes) {
    const char* abc = host.texts.add("abc");
    const pool_summary s = summarize_pool(pool({{abc, 3}}));
    EXPECT_EQ(s, (pool_summary{3, 1, 1, 16, 16, 3, 3, 3, 3}));
}

TEST_F(Summaries, TwoSeparateObjectsWithTheSameText) {
    const char* a = host.texts.add("abc");
    const char* b = host.texts.add("abc", 100);
    const pool_summary s = summarize_pool(pool({{a, 1}, {b, 1}}));
    EXPECT_EQ(s, (pool_summary{2, 2, 1, 16, 12, 3, 3, 3, 3}));
}

// Objects inside the last counted one, on its terminator or right after it
// share its bytes; one byte further they do not.
TEST_F(Summaries, UsedMemoryCountsSharedBytesOnce) {
    const char* whole = host.texts.add("abcdef");
    const pool_summary tails = summarize_pool(pool({{whole, 1}, {whole + 2, 1}, {whole + 6, 1}}));
    EXPECT_EQ(tails.used_memory, 7u + 3 * 4);
    EXPECT_EQ(tails.unique_strings, 3u);
    EXPECT_EQ(tails.required_memory, 7u + 5 + 1 + 3 * 4);

    const char* before = host.texts.add("xyz");
    const char* adjacent = host.texts.add("12", 0);
    EXPECT_EQ(summarize_pool(pool({{before, 1}, {adjacent, 2}})).used_memory, 4u + 3 * 4);
    const char* first = host.texts.add("pqr");
    const char* spaced = host.texts.add("st", 1);
    EXPECT_EQ(summarize_pool(pool({{first, 1}, {spaced, 1}})).used_memory, 4u + 3 + 2 * 4);

    // An object that is not counted does not become the last counted one: a
    // tail of the adjacent "0123456789" lies beyond "ab" + 1 and is counted.
    const char* ab = host.texts.add("ab");
    const char* digits = host.texts.add("0123456789", 0);
    EXPECT_EQ(summarize_pool(pool({{ab, 1}, {digits, 1}, {digits + 2, 1}})).used_memory,
              3u + 9 + 3 * 4);
}

TEST_F(Summaries, ValuesDifferByEveryByteCaseIncluded) {
    const char* texts[] = {"Rock", "rock", "caf\xC3\xA9", "caf\xC3\xA8", "rock"};
    string_info_list list;
    for (const char* t : texts) {
        add_string(list, host.texts.add(t));
    }
    EXPECT_EQ(summarize_pool(list).unique_strings, 4u);
}

// Ascending unsigned bytes: a prefix first, upper case before lower case,
// bytes of 0x80 and above after ASCII; texts around the eight-byte steps in
// which they are compared.
TEST_F(Summaries, GroupUniqueGivesTheValuesInByteOrder) {
    const std::vector<std::string> ordered = {"",
                                              "ABC",
                                              "Z",
                                              "abc",
                                              "abcdefg",
                                              "abcdefgh",
                                              "abcdefgh!",
                                              "abcdefghi",
                                              "abcdefghijklmnop",
                                              "abcdefghijklmnopq",
                                              "abcdefgh\x80",
                                              "abd",
                                              "z",
                                              "\xC3\xA9"};
    string_info_list list;
    std::vector<const char*> objects;
    // Objects in reverse order of value, each value twice.
    for (auto it = ordered.rbegin(); it != ordered.rend(); ++it) {
        objects.push_back(host.texts.add(*it));
        objects.push_back(host.texts.add(*it));
    }
    for (std::size_t i = 0; i < objects.size(); ++i) {
        for (std::size_t r = 0; r <= i % 3; ++r) {
            add_string(list, objects[i]);
        }
    }
    string_info_list2 values;
    group_unique(values, list);
    ASSERT_EQ(values.get_count(), ordered.size());
    for (std::uint32_t i = 0; i < values.get_count(); ++i) {
        const std::size_t k = 2 * (ordered.size() - 1 - i);
        EXPECT_EQ(values[i].text, ordered[i]);
        EXPECT_TRUE(values[i].text == objects[k] || values[i].text == objects[k + 1]);
        EXPECT_EQ(values[i].length, ordered[i].size());
        EXPECT_EQ(values[i].physical_count, 2u);
        EXPECT_EQ(values[i].logical_count, k % 3 + 1 + (k + 1) % 3 + 1);
    }
}

// "All" after the merges: an object in two pools is one physical string with
// both references; equal texts at two addresses are two physical strings of
// one value.
TEST_F(Summaries, AllCountsSharedObjectsOnce) {
    const char* shared = host.texts.add("2");
    const char* copy = host.texts.add("2");
    const char* path = host.texts.add("/a");
    string_info_list p = pool({{path, 1}}), mn = pool({{shared, 1}}), mv = pool({{copy, 1}});
    string_info_list in = pool({{shared, 2}}), iv, all;
    build_all_pool(all, p, mn, mv, in, iv);
    ASSERT_EQ(all.get_count(), 3u);
    const pool_summary s = summarize_pool(all);
    EXPECT_EQ(s.logical_strings, 5u);
    EXPECT_EQ(s.physical_strings, 3u);
    EXPECT_EQ(s.unique_strings, 2u);
    EXPECT_EQ(s.required_memory, 2u + 3 + 5 * 4);
}

} // namespace
