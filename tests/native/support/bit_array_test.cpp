#include "support/bit_array_bittable.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

// The definition of first_with, asked bit by bit.
std::uint32_t first_by_bits(const bit_array& mask, bool value, std::uint32_t start,
                            std::uint32_t count) {
    for (std::uint32_t i = start; i < start + count; ++i) {
        if (mask.bit_at(i) == value) {
            return i;
        }
    }
    return start + count;
}

TEST(BitArrayBittable, StartsClearAndReadsSetBits) {
    bit_array_bittable mask(70);
    EXPECT_EQ(mask.size(), 70u);
    for (std::uint32_t i = 0; i < 70; ++i) {
        EXPECT_FALSE(mask.bit_at(i));
    }
    mask.set(0, true);
    mask.set(33, true);
    mask.set(69, true);
    mask.set(33, false);
    EXPECT_TRUE(mask.bit_at(0));
    EXPECT_FALSE(mask.bit_at(33));
    EXPECT_TRUE(mask.bit_at(69));
    EXPECT_FALSE(mask.bit_at(70)); // beyond the table: clear
    EXPECT_EQ(mask.first_with(true, 1, 69), 69u);
    EXPECT_EQ(mask.first_with(true, 1, 68), 69u); // none in 1 .. 68
    EXPECT_EQ(mask.first_with(false, 69, 5), 70u);
    EXPECT_EQ(mask.first_with(true, 70, 10), 80u);
}

TEST(BitArrayBittable, FirstWithAgreesWithBitByBitSearch) {
    std::mt19937 random(5);
    for (std::uint32_t n : {0u, 1u, 31u, 32u, 33u, 100u, 257u}) {
        for (int density : {0, 1, 50, 99, 100}) {
            bit_array_bittable mask(n);
            for (std::uint32_t i = 0; i < n; ++i) {
                mask.set(i, static_cast<int>(random() % 100) < density);
            }
            const bit_array_not inverse(mask);
            for (int trial = 0; trial < 200; ++trial) {
                const std::uint32_t start = random() % (n + 40);
                const std::uint32_t count = random() % (n + 40);
                for (bool value : {false, true}) {
                    ASSERT_EQ(mask.first_with(value, start, count),
                              first_by_bits(mask, value, start, count))
                        << "n " << n << " value " << value << " start " << start << " count "
                        << count;
                    ASSERT_EQ(inverse.first_with(value, start, count),
                              first_by_bits(inverse, value, start, count));
                }
            }
        }
    }
}

} // namespace
