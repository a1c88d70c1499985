#include "support/list.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "counted_fake.h"
#include "host/service_ptr.h"
#include "support/bit_array_bittable.h"

namespace {

using reference_list = list_t<service_ptr_t<counted_fake>>;

std::string letters(const list_t<char>& list) {
    return std::string(list.begin(), list.end());
}

list_t<char> list_of(const char* text) {
    list_t<char> list;
    for (; *text; ++text) {
        list.push_item(*text);
    }
    return list;
}

// A mask that records how it is asked.
class recording_mask final : public bit_array {
public:
    explicit recording_mask(std::vector<bool> bits) : m_bits(std::move(bits)) {}
    bool bit_at(std::uint32_t i) const override { return m_bits[i]; }
    std::uint32_t first_with(bool value, std::uint32_t start, std::uint32_t count) const override {
        starts.push_back(start);
        return bit_array::first_with(value, start, count);
    }
    mutable std::vector<std::uint32_t> starts;

private:
    std::vector<bool> m_bits;
};

TEST(ListMasks, RemovingPositionsOneAndThree) {
    list_t<char> list = list_of("abcde");
    bit_array_bittable mask(5);
    mask.set(1, true);
    mask.set(3, true);
    list.remove_marked(mask);
    EXPECT_EQ(letters(list), "ace");
}

TEST(ListMasks, KeepingEverythingOrNothing) {
    list_t<char> list = list_of("abcde");
    list.keep_marked(bit_array_true());
    EXPECT_EQ(letters(list), "abcde");
    EXPECT_EQ(list.capacity(), 8u);
    list.remove_marked(bit_array_false());
    EXPECT_EQ(letters(list), "abcde");
    EXPECT_EQ(list.capacity(), 8u);

    list.remove_marked(bit_array_true());
    EXPECT_EQ(list.get_count(), 0u);
    list = list_of("xyz");
    list.keep_marked(bit_array_false());
    EXPECT_EQ(list.get_count(), 0u);
    list = list_of("xyz");
    list.remove_all();
    EXPECT_EQ(list.item_count(), 0u);
}

TEST(ListMasks, KeepMarkedIsOnePassAndGivesDroppedReferencesBack) {
    std::vector<counted_fake> objects(8);
    reference_list list;
    for (auto& object : objects) {
        list.push_item(service_ptr_t<counted_fake>(&object));
    }
    const std::vector<bool> keep = {true, false, false, true, false, true, true, false};
    recording_mask mask(keep);
    list.keep_marked(mask);

    ASSERT_EQ(list.get_count(), 4u);
    EXPECT_EQ(list[0].get(), &objects[0]);
    EXPECT_EQ(list[1].get(), &objects[3]);
    EXPECT_EQ(list[2].get(), &objects[5]);
    EXPECT_EQ(list[3].get(), &objects[6]);
    for (std::uint32_t i = 0; i < 8; ++i) {
        EXPECT_EQ(objects[i].held(), keep[i] ? 1 : 0) << i;
        // The exchanges moved references: none was taken twice.
        EXPECT_EQ(objects[i].add_refs, 2) << i;
    }
    // One pass: every question starts beyond the previous one.
    ASSERT_FALSE(mask.starts.empty());
    for (std::size_t i = 1; i < mask.starts.size(); ++i) {
        EXPECT_GT(mask.starts[i], mask.starts[i - 1]);
    }
    EXPECT_LE(mask.starts.size(), 6u);
}

TEST(ListInsertion, InsertAtClampsAndShiftsTheTail) {
    list_t<char> list = list_of("ace");
    EXPECT_EQ(list.insert_at(1, 'b'), 1u);
    EXPECT_EQ(list.insert_at(3, 'd'), 3u);
    EXPECT_EQ(list.insert_at(99, 'f'), 5u);
    EXPECT_EQ(list.insert_at(0, list[2]), 0u); // an element of the list itself
    EXPECT_EQ(letters(list), "cabcdef");
}

TEST(ListInsertion, InsertListPlacesTheSourceBeforeThePosition) {
    list_t<char> list = list_of("aef");
    const list_t<char> middle = list_of("bcd");
    EXPECT_EQ(list.insert_list(middle, 1), 1u);
    EXPECT_EQ(letters(list), "abcdef");
    EXPECT_EQ(list.insert_list(list_of("gh"), 100), 6u);
    EXPECT_EQ(letters(list), "abcdefgh");
    list_t<char> small = list_of("xy");
    EXPECT_EQ(small.insert_list(small, 1), 1u);
    EXPECT_EQ(letters(small), "xxyy");
}

// Inserting an empty list still sets the count: a list without storage gets
// the policy's first capacity, one with storage keeps it.
TEST(ListInsertion, InsertingAnEmptyListSetsTheCountByThePolicy) {
    const list_t<char> nothing;
    list_t<char> empty;
    list_base_t<char>& base = empty;
    EXPECT_EQ(base.insert_list(nothing, 3), 0u);
    EXPECT_EQ(empty.get_count(), 0u);
    EXPECT_EQ(empty.capacity(), 1u);

    list_t<char> five = list_of("abcde");
    EXPECT_EQ(five.insert_list(nothing, 2), 2u);
    EXPECT_EQ(letters(five), "abcde");
    EXPECT_EQ(five.capacity(), 8u);
}

TEST(ListInsertion, CountedReferencesThroughTheVirtualOperations) {
    counted_fake a(1), b(2), c(3);
    {
        reference_list list;
        list.push_item(service_ptr_t<counted_fake>(&a));
        list.push_item(service_ptr_t<counted_fake>(&b));
        list_base_t<service_ptr_t<counted_fake>>& base = list;

        reference_list other;
        other.push_item(service_ptr_t<counted_fake>(&c));
        base.insert_list(other, 1);
        EXPECT_EQ(c.held(), 2);

        service_ptr_t<counted_fake> out(&a);
        base.copy_item(out, 1);
        EXPECT_EQ(out.get(), &c);
        EXPECT_EQ(a.held(), 1);
        EXPECT_EQ(c.held(), 3);

        service_ptr_t<counted_fake> swapped(&b);
        base.exchange_item(0, swapped);
        EXPECT_EQ(swapped.get(), &a);
        EXPECT_EQ(list[0].get(), &b);
        base.store_item(1, list[0]); // overwrites c with b
        EXPECT_EQ(list[1].get(), &b);
        EXPECT_EQ(b.held(), 3);
        EXPECT_EQ(c.held(), 2);
    }
    EXPECT_EQ(a.held(), 0);
    EXPECT_EQ(b.held(), 0);
    EXPECT_EQ(c.held(), 0);
}

int compare_chars(const char& x, const char& y) {
    return x - y;
}

TEST(ListOrdering, ReorderRangeAndSorts) {
    list_t<char> list = list_of("xabcdy");
    const std::uint32_t order[4] = {2, 3, 0, 1}; // position i takes element order[i] of the range
    list.reorder_range(1, order, 4);
    EXPECT_EQ(letters(list), "xcdaby");
    list.swap_positions(0, 5);
    EXPECT_EQ(letters(list), "ycdabx");
    list.sort_items(compare_chars);
    EXPECT_EQ(letters(list), "abcdxy");
}

struct keyed {
    int key;
    int tag;
};

int compare_keys(const keyed& x, const keyed& y) {
    return x.key - y.key;
}

TEST(ListOrdering, StableSortKeepsTiesInTheirOrder) {
    list_t<keyed> list;
    for (int i = 0; i < 300; ++i) {
        list.push_item(keyed{(i * 7) % 5, i});
    }
    list.sort_items_stable(compare_keys);
    for (std::uint32_t i = 1; i < list.get_count(); ++i) {
        ASSERT_LE(list[i - 1].key, list[i].key);
        if (list[i - 1].key == list[i].key) {
            EXPECT_LT(list[i - 1].tag, list[i].tag);
        }
    }
}

} // namespace
