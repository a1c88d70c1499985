#include "support/array.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <new>
#include <vector>

#include "host/service_ptr.h"
#include "counted_fake.h"

namespace {

template <typename Policy> std::vector<std::uint32_t> capacities_growing_to(std::uint32_t n) {
    array_t<int, Policy> items;
    std::vector<std::uint32_t> seen;
    for (std::uint32_t i = 1; i <= n; ++i) {
        items.set_size(i);
        seen.push_back(items.capacity());
    }
    return seen;
}

TEST(ArrayPolicies, FastDoublesWhileGrowingAndHalvesWhileAQuarterExceedsTheCount) {
    EXPECT_EQ(capacities_growing_to<alloc_fast>(9),
              (std::vector<std::uint32_t>{1, 2, 4, 4, 8, 8, 8, 8, 16}));

    array_t<int, alloc_fast> items;
    items.set_size(1000);
    EXPECT_EQ(items.capacity(), 1024u);
    items.set_size(200);
    EXPECT_EQ(items.capacity(), 512u);
    items.set_size(100);
    EXPECT_EQ(items.capacity(), 256u);

    array_t<int, alloc_fast> small;
    small.set_size(5);
    EXPECT_EQ(small.capacity(), 8u);
    small.set_size(1);
    EXPECT_EQ(small.capacity(), 4u);
}

TEST(ArrayPolicies, StandardFitsTheCountAndAggressiveOnlyGrows) {
    EXPECT_EQ(capacities_growing_to<alloc_standard>(5),
              (std::vector<std::uint32_t>{1, 2, 3, 4, 5}));
    array_t<int, alloc_standard> exact;
    exact.set_size(7);
    exact.set_size(0);
    EXPECT_EQ(exact.capacity(), 0u);
    EXPECT_EQ(exact.data(), nullptr);

    EXPECT_EQ(capacities_growing_to<alloc_fast_aggressive>(5),
              (std::vector<std::uint32_t>{1, 2, 4, 4, 8}));
    array_t<int, alloc_fast_aggressive> grow_only;
    grow_only.set_size(100);
    grow_only.set_size(3);
    EXPECT_EQ(grow_only.capacity(), 128u);
}

// The doubling policies start from a capacity of 1 when there is no storage,
// so setting the count of an empty array to 0 gives it one element of
// storage; once there is storage, emptying halves down to 2 and never frees it.
TEST(ArrayPolicies, ACountOfZeroFollowsThePolicyToo) {
    array_t<int, alloc_fast> fast;
    fast.set_size(0);
    EXPECT_EQ(fast.capacity(), 1u);
    EXPECT_NE(fast.data(), nullptr);
    EXPECT_EQ(fast.size(), 0u);
    fast.set_size(5);
    fast.set_size(0);
    EXPECT_EQ(fast.capacity(), 2u);

    array_t<int, alloc_fast_aggressive> aggressive;
    aggressive.set_size(0);
    EXPECT_EQ(aggressive.capacity(), 1u);

    array_t<int, alloc_standard> exact;
    exact.set_size(0);
    EXPECT_EQ(exact.capacity(), 0u);
    EXPECT_EQ(exact.data(), nullptr);

    // A copy is not a change of count: an empty one has no storage.
    const array_t<int, alloc_fast> copy(array_t<int, alloc_fast>{});
    EXPECT_EQ(copy.capacity(), 0u);
    EXPECT_EQ(copy.data(), nullptr);
}

TEST(ArrayPolicies, NewPositionsAreZeroAndSurvivingElementsKeepTheirValues) {
    array_t<std::uint32_t, alloc_fast> items;
    items.set_size(3);
    for (std::uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(items[i], 0u);
        items[i] = 10 + i;
    }
    items.set_size(2);
    items.set_size(40); // grows the block
    EXPECT_EQ(items[0], 10u);
    EXPECT_EQ(items[1], 11u);
    for (std::uint32_t i = 2; i < 40; ++i) {
        EXPECT_EQ(items[i], 0u) << i;
    }
}

TEST(ArrayOverflow, SizesThatOverflowRaiseBadAllocAndLeaveTheArrayUnchanged) {
    array_t<std::uint32_t, alloc_standard> exact;
    exact.set_size(3);
    exact[2] = 42;
    const std::uint32_t* block = exact.data();
    const auto too_many = static_cast<std::uint32_t>(0x100000000ull / sizeof(std::uint32_t));
    EXPECT_THROW(exact.set_size(too_many), std::bad_alloc);
    EXPECT_EQ(exact.size(), 3u);
    EXPECT_EQ(exact.data(), block);
    EXPECT_EQ(exact[2], 42u);

    // A doubling past 2^31 overflows even for one-byte elements.
    array_t<char, alloc_fast> doubling;
    doubling.set_size(5);
    EXPECT_THROW(doubling.set_size(0x80000001u), std::bad_alloc);
    EXPECT_EQ(doubling.size(), 5u);
    EXPECT_EQ(doubling.capacity(), 8u);

    array_t<service_ptr_t<counted_fake>, alloc_fast_aggressive> references;
    counted_fake object;
    references.append(service_ptr_t<counted_fake>(&object));
    const auto limit = static_cast<std::uint32_t>(0xFFFFFFFFull / sizeof(references[0]));
    EXPECT_THROW(references.set_size(limit + 1), std::bad_alloc);
    EXPECT_EQ(references.size(), 1u);
    EXPECT_EQ(references[0].get(), &object);
    EXPECT_EQ(object.held(), 1);
}

TEST(ArrayCountedReferences, GrowthMovesReferencesAndShrinkingGivesThemBack) {
    std::vector<counted_fake> objects(50);
    {
        array_t<service_ptr_t<counted_fake>, alloc_fast> references;
        for (auto& object : objects) {
            references.append(service_ptr_t<counted_fake>(&object)); // many regrowths
        }
        for (std::uint32_t i = 0; i < 50; ++i) {
            ASSERT_EQ(references[i].get(), &objects[i]);
            // One reference taken by the temporary, one by the copy in the array.
            EXPECT_EQ(objects[i].add_refs, 2);
            EXPECT_EQ(objects[i].held(), 1);
        }
        references.set_size(10);               // shrinks the block: the survivors move again
        EXPECT_EQ(references.capacity(), 32u); // 64 halves once: 32 / 4 is not more than 10
        for (std::uint32_t i = 0; i < 50; ++i) {
            EXPECT_EQ(objects[i].held(), i < 10 ? 1 : 0) << i;
        }
        for (std::uint32_t i = 0; i < 10; ++i) {
            EXPECT_EQ(references[i].get(), &objects[i]);
        }
        references.set_size(12);
        EXPECT_FALSE(references[11]);
        array_t<service_ptr_t<counted_fake>, alloc_fast> copy(references);
        EXPECT_EQ(objects[0].held(), 2);
    }
    for (const auto& object : objects) {
        EXPECT_EQ(object.held(), 0);
    }
}

TEST(ArrayAppend, AppendingAnOwnElementSurvivesTheRegrowth) {
    array_t<service_ptr_t<counted_fake>, alloc_fast> references;
    counted_fake object;
    references.append(service_ptr_t<counted_fake>(&object));
    for (int i = 0; i < 6; ++i) {
        references.append(references[0]); // regrows at 1, 2 and 4 elements
    }
    EXPECT_EQ(references.size(), 7u);
    for (const auto& reference : references) {
        EXPECT_EQ(reference.get(), &object);
    }
    EXPECT_EQ(object.held(), 7);
}

} // namespace
