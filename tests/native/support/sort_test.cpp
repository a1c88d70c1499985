#include "support/sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <random>
#include <utility>
#include <vector>

namespace {

struct record {
    int key;
    std::uint32_t origin; // position before the sort
};

// Sorts records by key, counting and logging what the sort asks.
class counting_callback final : public sort_callback {
public:
    explicit counting_callback(std::vector<record>& items) : m_items(items) {}
    int compare_at(std::uint32_t i, std::uint32_t j) override {
        EXPECT_LT(i, m_items.size());
        EXPECT_LT(j, m_items.size());
        ++compares;
        compare_log.emplace_back(i, j);
        return m_items[i].key < m_items[j].key ? -1 : (m_items[i].key > m_items[j].key ? 1 : 0);
    }
    void swap_at(std::uint32_t i, std::uint32_t j) override {
        ++swaps;
        std::swap(m_items[i], m_items[j]);
    }
    int compares = 0;
    int swaps = 0;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> compare_log;

private:
    std::vector<record>& m_items;
};

std::vector<record> records_of(const std::vector<int>& keys) {
    std::vector<record> items;
    for (std::uint32_t i = 0; i < keys.size(); ++i) {
        items.push_back(record{keys[i], i});
    }
    return items;
}

// Sorted ascending and a permutation of the input.
void expect_sorted_permutation(const std::vector<record>& items) {
    std::vector<bool> seen(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        ASSERT_LT(items[i].origin, items.size());
        ASSERT_FALSE(seen[items[i].origin]);
        seen[items[i].origin] = true;
        if (i > 0) {
            ASSERT_LE(items[i - 1].key, items[i].key) << "at " << i;
        }
    }
}

TEST(SortIndexed, FewerThanTwoElementsMakeNoCall) {
    for (std::uint32_t n : {0u, 1u}) {
        std::vector<record> items = records_of({5});
        counting_callback callback(items);
        sort_indexed(n, callback);
        sort_indexed_stable(n, callback);
        EXPECT_EQ(callback.compares + callback.swaps, 0);
    }
}

TEST(SortIndexed, EightElementsUseTheSelectionSortOnly) {
    for (const std::vector<int>& keys :
         {std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}, std::vector<int>{8, 7, 6, 5, 4, 3, 2, 1},
          std::vector<int>{3, 3, 1, 8, 3, 0, 9, 3}}) {
        std::vector<record> items = records_of(keys);
        counting_callback callback(items);
        sort_indexed(8, callback);
        EXPECT_EQ(callback.compares, 28);
        EXPECT_EQ(callback.swaps, 7);
        expect_sorted_permutation(items);
    }
}

TEST(SortIndexed, NineElementsStartWithTheMedianOfThree) {
    std::vector<record> items = records_of({5, 1, 9, 2, 7, 3, 8, 4, 6});
    counting_callback callback(items);
    sort_indexed(9, callback);
    ASSERT_GE(callback.compare_log.size(), 3u);
    using p = std::pair<std::uint32_t, std::uint32_t>;
    EXPECT_EQ(callback.compare_log[0], p(0, 4));
    EXPECT_EQ(callback.compare_log[1], p(0, 8));
    EXPECT_EQ(callback.compare_log[2], p(4, 8));
    expect_sorted_permutation(items);
}

TEST(SortIndexed, ReversedDistinctKeysAndRunsOfEqualKeys) {
    std::vector<int> reversed(1000);
    std::iota(reversed.rbegin(), reversed.rend(), 0);
    std::vector<record> items = records_of(reversed);
    counting_callback callback(items);
    sort_indexed(1000, callback);
    for (std::uint32_t i = 0; i < 1000; ++i) {
        ASSERT_EQ(items[i].key, static_cast<int>(i));
    }

    std::vector<record> equal = records_of(std::vector<int>(1000, 7));
    counting_callback equal_callback(equal);
    sort_indexed(1000, equal_callback);
    expect_sorted_permutation(equal);
}

TEST(SortIndexed, RandomisedInputsOfManyShapes) {
    std::mt19937 random(1234);
    for (std::uint32_t n = 2; n < 400; n += 1 + n / 16) {
        for (int range : {2, 10, 1000000}) {
            std::vector<int> keys(n);
            for (int& key : keys) {
                key = static_cast<int>(random() % range);
            }
            std::vector<record> items = records_of(keys);
            counting_callback callback(items);
            sort_indexed(n, callback);
            expect_sorted_permutation(items);
        }
    }
    // Organ pipe and sawtooth shapes over a large count.
    std::vector<int> shaped(100000);
    for (std::size_t i = 0; i < shaped.size(); ++i) {
        shaped[i] =
            i < shaped.size() / 2 ? static_cast<int>(i) : static_cast<int>(shaped.size() - i);
        shaped[i] += static_cast<int>(i % 17) * 3;
    }
    std::vector<record> items = records_of(shaped);
    counting_callback callback(items);
    sort_indexed(static_cast<std::uint32_t>(items.size()), callback);
    expect_sorted_permutation(items);
}

TEST(SortIndexedStable, MatchesTheStandardStableSort) {
    std::mt19937 random(99);
    for (std::uint32_t n : {2u, 8u, 9u, 50u, 333u, 5000u}) {
        std::vector<int> keys(n);
        for (int& key : keys) {
            key = static_cast<int>(random() % 13);
        }
        std::vector<record> items = records_of(keys);
        std::vector<record> expected = items;
        std::stable_sort(expected.begin(), expected.end(),
                         [](const record& a, const record& b) { return a.key < b.key; });
        counting_callback callback(items);
        sort_indexed_stable(n, callback);
        for (std::uint32_t i = 0; i < n; ++i) {
            ASSERT_EQ(items[i].origin, expected[i].origin) << "n " << n << " at " << i;
        }
    }
}

TEST(SortWrappers, PermutationSortLeavesTheRecordsInPlace) {
    const std::vector<int> keys = {40, 10, 30, 10, 20};
    std::vector<std::uint32_t> index = {0, 1, 2, 3, 4};
    auto compare = [](int a, int b) { return a < b ? -1 : (a > b ? 1 : 0); };
    sort_callback_impl_permutation_wrap_t callback(keys, compare, index.data());
    sort_indexed_stable(5, callback);
    EXPECT_EQ(index, (std::vector<std::uint32_t>{1, 3, 4, 2, 0}));
    EXPECT_EQ(keys, (std::vector<int>{40, 10, 30, 10, 20}));

    std::vector<int> values = {3, 1, 2};
    sort_callback_impl_simple_wrap_t simple(values, compare);
    sort_indexed(3, simple);
    EXPECT_EQ(values, (std::vector<int>{1, 2, 3}));
}

bool search(const std::vector<int>& items, int key, std::uint32_t& position) {
    auto compare = [](int element, int k) { return element < k ? -1 : (element > k ? 1 : 0); };
    bsearch_callback_impl_simple_t<std::vector<int>, int, decltype(compare)> callback(items,
                                                                                      compare, key);
    return search_indexed(static_cast<std::uint32_t>(items.size()), callback, position);
}

TEST(SearchIndexed, FoundPositionsAndInsertionPositions) {
    std::uint32_t position = 99;
    EXPECT_FALSE(search({}, 5, position));
    EXPECT_EQ(position, 0u);

    const std::vector<int> items = {10, 20, 20, 20, 20, 20, 30, 40};
    EXPECT_FALSE(search(items, 5, position));
    EXPECT_EQ(position, 0u);
    EXPECT_FALSE(search(items, 50, position));
    EXPECT_EQ(position, 8u);
    EXPECT_FALSE(search(items, 25, position));
    EXPECT_EQ(position, 6u);
    EXPECT_FALSE(search(items, 35, position));
    EXPECT_EQ(position, 7u);
    EXPECT_TRUE(search(items, 20, position));
    EXPECT_EQ(position, 4u); // the first match met: lo 0, hi 8, mid 4
    EXPECT_TRUE(search(items, 40, position));
    EXPECT_EQ(position, 7u);
    EXPECT_TRUE(search(items, 10, position));
    EXPECT_EQ(position, 0u);
}

TEST(ApplyOrder, PermutesLikeTheOrderSaysBeyondTheInlineVisitedBits) {
    std::mt19937 random(7);
    for (std::uint32_t n : {0u, 1u, 2u, 3u, 17u, 8192u, 8193u, 20000u}) {
        std::vector<std::uint32_t> order(n);
        std::iota(order.begin(), order.end(), 0u);
        std::shuffle(order.begin(), order.end(), random);
        std::vector<std::uint32_t> items(n);
        std::iota(items.begin(), items.end(), 1000u);
        reorder_callback_impl_t<std::vector<std::uint32_t>> callback(items);
        apply_order(callback, order.data(), n);
        for (std::uint32_t i = 0; i < n; ++i) {
            ASSERT_EQ(items[i], 1000u + order[i]) << "n " << n << " at " << i;
        }
    }
}

} // namespace
