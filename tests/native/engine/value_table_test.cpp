#include <gtest/gtest.h>

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

} // namespace
