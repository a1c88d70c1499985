#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <utility>
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

// add_each counts a value whose hash, length and head match an entry at
// once and compares the rest of its bytes later, in batches: values that
// differ only there (hundreds, more than a batch, all given one hash so that
// every one meets the others and the table grows under the owed
// comparisons) must still come out apart, with the counts a literal count
// by text gives, wrap-around included.
template <typename Table> void expect_batched_adds_to_count_each_text() {
    const std::string head = sample_text(value_head_bytes, 2);
    std::vector<std::string> values = {"", "x", head, head + "!"};
    for (std::uint32_t i = 0; i < 700; ++i) {
        values.push_back(head + sample_text(1 + i % 29, static_cast<char>(i / 29)) +
                         std::to_string(i));
    }
    std::vector<exact_text> texts;
    std::vector<pending_value> pending;
    std::map<std::string, std::pair<std::uint32_t, std::uint32_t>> expected;
    for (std::uint32_t round = 0; round < 3; ++round) {
        for (std::uint32_t i = 0; i < values.size(); ++i) {
            // Every other text of a value is a string object of its own.
            const std::string& v = values[(i * 7 + round * 3) % values.size()];
            texts.emplace_back(v);
            const std::uint32_t logical = i % 5 == 0 ? 0xFFFFFFF0u : 1 + i % 3;
            auto& e = expected[v];
            e.first += logical;
            e.second += 1;
            pending.push_back(
                pending_value{texts.back().bytes.get(), texts.back().length, logical, value_key{}});
        }
    }
    for (pending_value& p : pending) {
        p.key = text_key(p.text, p.length);
        p.key.hash = 0xC0FFEE;
    }
    Table table(0);
    // One call with more owed comparisons than a batch holds, then the rest
    // in small calls.
    const auto first = static_cast<std::uint32_t>(pending.size() / 2);
    table.add_each(pending.data(), first);
    for (std::uint32_t i = first; i < pending.size(); i += 7) {
        table.add_each(pending.data() + i,
                       std::min<std::uint32_t>(7, static_cast<std::uint32_t>(pending.size()) - i));
    }
    std::map<std::string, std::pair<std::uint32_t, std::uint32_t>> seen;
    table.for_each([&](const auto& e) {
        auto& entry = seen[std::string(e.text, e.length)];
        EXPECT_EQ(entry.second, 0u) << "a value entered twice: " << e.text;
        entry.first = e.logical;
        if constexpr (Table::counts_physical) {
            entry.second = e.physical;
        } else {
            entry.second = expected[std::string(e.text, e.length)].second;
        }
    });
    EXPECT_EQ(table.size(), values.size());
    EXPECT_EQ(seen, expected);
}

TEST(ValueTable, BatchedAddsTellApartValuesAlikeUpToTheirLastBytes) {
    expect_batched_adds_to_count_each_text<value_table>();
    expect_batched_adds_to_count_each_text<counted_value_table>();
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
