#include "support/number_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace {

TEST(DecimalText, DigitsWithoutLeadingZeros) {
    EXPECT_STREQ(decimal_text(0).chars(), "0");
    EXPECT_STREQ(decimal_text(7).chars(), "7");
    EXPECT_STREQ(decimal_text(1000).chars(), "1000");
    EXPECT_STREQ(decimal_text(4294967295u).chars(), "4294967295");
    const decimal_text largest(std::numeric_limits<std::uint64_t>::max());
    EXPECT_STREQ(largest.chars(), "18446744073709551615");
    EXPECT_EQ(largest.length(), 20u);
}

TEST(TenthsText, OneDecimalAndASignForNegativeValues) {
    EXPECT_STREQ(tenths_text(1000).c_str(), "100.0");
    EXPECT_STREQ(tenths_text(333).c_str(), "33.3");
    EXPECT_STREQ(tenths_text(5).c_str(), "0.5");
    EXPECT_STREQ(tenths_text(0).c_str(), "0.0");
    EXPECT_STREQ(tenths_text(-7).c_str(), "-0.7");
    EXPECT_STREQ(tenths_text(-1234).c_str(), "-123.4");
    EXPECT_STREQ(tenths_text(std::numeric_limits<std::int64_t>::max()).c_str(),
                 "922337203685477580.7");
    // The most negative value has no positive counterpart: negated as unsigned.
    EXPECT_STREQ(tenths_text(std::numeric_limits<std::int64_t>::min()).c_str(),
                 "-922337203685477580.8");
}

} // namespace
