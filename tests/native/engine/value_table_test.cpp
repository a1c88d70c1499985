#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/value_table.h"

namespace {

// A text in a block of exactly its own size, so that the sanitizer builds
// catch any read past its terminator.
struct exact_text {
    explicit exact_text(const std::string& s)
        : bytes(new char[s.size() + 1]), length(static_cast<std::uint32_t>(s.size())) {
        std::memcpy(bytes.get(), s.c_str(), s.size() + 1);
    }
    std::unique_ptr<char[]> bytes;
    std::uint32_t length;
};

std::string sample_text(std::uint32_t length, char seed) {
    std::string s;
    for (std::uint32_t i = 0; i < length; ++i) {
        s += static_cast<char>('a' + (seed + 7 * i) % 26);
    }
    return s;
}

TEST(ValueKey, HeadIsTheLeadingBytesZeroPaddedForEveryLength) {
    for (std::uint32_t length = 0; length <= 40; ++length) {
        const exact_text text(sample_text(length, 3));
        const value_key key = text_key(text.bytes.get(), text.length);
        char expected[sizeof key.head] = {};
        std::memcpy(expected, text.bytes.get(), std::min(length, value_head_bytes));
        EXPECT_EQ(std::memcmp(key.head, expected, sizeof expected), 0) << "length " << length;
        const exact_text copy(sample_text(length, 3));
        const value_key again = text_key(copy.bytes.get(), copy.length);
        EXPECT_EQ(again.hash, key.hash) << "length " << length;
    }
}

// Texts that differ in one byte, wherever it lies (in the head, at its
// edge, in the tail, in the last byte), are different values; equal texts
// at different addresses are one value with their counts summed.
template <typename Table> void expect_one_value_per_text() {
    for (std::uint32_t length = 1; length <= 40; ++length) {
        std::vector<exact_text> texts;
        const std::string base = sample_text(length, 5);
        for (std::uint32_t i = 0; i < length; ++i) {
            std::string variant = base;
            variant[i] = variant[i] == 'z' ? 'y' : 'z';
            texts.emplace_back(variant);
        }
        texts.emplace_back(base);
        texts.emplace_back(base); // a second string object of the same value
        Table table(2);
        for (const exact_text& t : texts) {
            table.add(t.bytes.get(), t.length, text_key(t.bytes.get(), t.length), 3, 1);
        }
        ASSERT_EQ(table.size(), length + 1) << "length " << length;
        std::uint32_t repeated = 0;
        table.for_each([&](const auto& e) {
            if (e.logical == 6) {
                ++repeated;
                EXPECT_EQ(std::string(e.text), base);
            } else {
                EXPECT_EQ(e.logical, 3u);
            }
            if constexpr (Table::counts_physical) {
                EXPECT_EQ(e.physical, e.logical / 3);
            }
        });
        EXPECT_EQ(repeated, 1u) << "length " << length;
    }
}

TEST(ValueTable, TextsDifferingInAnyOneByteAreDifferentValues) {
    expect_one_value_per_text<value_table>();
    expect_one_value_per_text<counted_value_table>();
}

// Every key below is given one and the same hash, so the table can tell the
// values apart only by their lengths, heads and the rest of their bytes.
template <typename Table> void expect_values_apart_when_hashes_collide() {
    const std::string long_base = sample_text(40, 9);
    std::string long_last = long_base;
    long_last.back() = long_last.back() == 'z' ? 'y' : 'z';
    const std::vector<std::string> values = {"",
                                             "a",
                                             "abc",
                                             "abd",
                                             "abcd",
                                             sample_text(value_head_bytes, 1),
                                             sample_text(value_head_bytes + 1, 1),
                                             long_base,
                                             long_last,
                                             long_base.substr(0, 39)};
    std::vector<exact_text> texts;
    for (const std::string& v : values) {
        texts.emplace_back(v);
        texts.emplace_back(v); // a second string object of each value
    }
    Table table(1);
    for (const exact_text& t : texts) {
        value_key key = text_key(t.bytes.get(), t.length);
        key.hash = 0x5EED;
        table.add(t.bytes.get(), t.length, key, 2);
    }
    ASSERT_EQ(table.size(), values.size());
    std::vector<std::string> seen;
    table.for_each([&](const auto& e) {
        seen.emplace_back(e.text, e.length);
        EXPECT_EQ(e.logical, 4u) << seen.back();
        if constexpr (Table::counts_physical) {
            EXPECT_EQ(e.physical, 2u) << seen.back();
        }
    });
    std::sort(seen.begin(), seen.end());
    std::vector<std::string> expected = values;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(seen, expected);
}

TEST(ValueTable, ValuesSharingAHashAreToldApartByTheirBytes) {
    expect_values_apart_when_hashes_collide<value_table>();
    expect_values_apart_when_hashes_collide<counted_value_table>();
}

// An entry split across two cache lines costs a second miss that the table's
// prefetch does not ask for; each segment's block must start on a line.
TEST(ValueTable, EveryEntryLiesWithinOneCacheLine) {
    value_table table(4); // sixteen segments, sixteen blocks
    std::vector<std::string> texts;
    for (std::uint32_t i = 0; i < 4000; ++i) {
        texts.push_back("value " + std::to_string(i));
    }
    for (const std::string& t : texts) {
        const auto length = static_cast<std::uint32_t>(t.size());
        table.add(t.c_str(), length, text_key(t.c_str(), length), 1);
    }
    ASSERT_EQ(table.size(), texts.size());
    std::uint32_t split = 0;
    table.for_each([&](const value_entry& e) {
        const auto offset = reinterpret_cast<std::uintptr_t>(&e) % cache_line_bytes;
        split += offset + sizeof(value_entry) > cache_line_bytes ? 1 : 0;
    });
    EXPECT_EQ(split, 0u);
}

} // namespace
