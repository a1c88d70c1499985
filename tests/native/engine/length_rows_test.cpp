#include <gtest/gtest.h>

#include <vector>

#include "engine/length_rows.h"

inline bool operator==(const length_row& a, const length_row& b) {
    return a.length == b.length && a.percent_tenths == b.percent_tenths && a.logical == b.logical &&
           a.physical == b.physical && a.unique == b.unique && a.used_memory == b.used_memory &&
           a.required_memory == b.required_memory;
}

inline void PrintTo(const length_row& r, std::ostream* os) {
    *os << r.length << ": " << r.percent_tenths << ' ' << r.logical << ' ' << r.physical << ' '
        << r.unique << ' ' << r.used_memory << ' ' << r.required_memory;
}

namespace {

struct value {
    std::uint32_t length;
    std::uint32_t logical;
    std::uint32_t physical;
};

std::vector<length_row> rows_of(std::initializer_list<value> values) {
    string_info_list2 list;
    for (const value& v : values) {
        list.push_item(string_info2{"", v.length, v.logical, v.physical});
    }
    length_row_array rows;
    compute_length_rows(list, rows);
    return std::vector<length_row>(rows.begin(), rows.end());
}

// a (3 logical, 1 physical), cd (4, 2), b (1, 1): the page shows length 2
// above length 1.
TEST(LengthRows, WorkedExample) {
    EXPECT_EQ(rows_of({{1, 3, 1}, {2, 4, 2}, {1, 1, 1}}),
              (std::vector<length_row>{{1, 500, 4, 2, 2, 20, 20}, {2, 1000, 4, 2, 1, 22, 19}}));
}

TEST(LengthRows, PercentIsRoundedToTenthsWithHalvesUp) {
    const auto percent_of_shortest = [](std::uint32_t others) {
        return rows_of({{1, 1, 1}, {5, others, 1}}).front().percent_tenths;
    };
    EXPECT_EQ(percent_of_shortest(7), 125u);  // 12.5
    EXPECT_EQ(percent_of_shortest(15), 63u);  // 6.25 goes up to 6.3
    EXPECT_EQ(percent_of_shortest(2), 333u);  // 33.3
    EXPECT_EQ(percent_of_shortest(2000), 0u); // fewer than one in two thousand
    EXPECT_EQ(percent_of_shortest(1998), 1u); // 0.05 goes up to 0.1
    EXPECT_EQ(rows_of({{4, 1, 1}}).front().percent_tenths, 1000u);
}

TEST(LengthRows, NoValuesGiveNoRows) {
    EXPECT_TRUE(rows_of({}).empty());
}

TEST(LengthRows, MemoryFiguresWrapAt32Bits) {
    const auto rows = rows_of({{0xFFFFFFFFu, 2, 3}});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].used_memory, 8u);     // 0 * 3 + 4 * 2
    EXPECT_EQ(rows[0].required_memory, 8u); // 0 * 1 + 4 * 2
}

// Whatever the order of the values, one row per length in ascending order,
// and the columns add up to the pool's totals.
TEST(LengthRows, RowsAscendAndAddUp) {
    const auto rows = rows_of({{9, 2, 1}, {3, 1, 1}, {9, 5, 3}, {0, 4, 4}, {3, 1, 1}});
    ASSERT_EQ(rows.size(), 3u);
    std::uint32_t logical = 0, unique = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        logical += rows[i].logical;
        unique += rows[i].unique;
        if (i > 0) {
            EXPECT_LT(rows[i - 1].length, rows[i].length);
            EXPECT_LE(rows[i - 1].percent_tenths, rows[i].percent_tenths);
        }
    }
    EXPECT_EQ(logical, 13u);
    EXPECT_EQ(unique, 5u);
    EXPECT_EQ(rows[0].percent_tenths, 308u); // 4 of 13
    EXPECT_EQ(rows[2].percent_tenths, 1000u);
}

// Lengths far apart (the grouping sorts by every bit in which they differ),
// values of one length scattered among the others.
TEST(LengthRows, LengthsFarApartGroupWhereverTheirValuesStand) {
    EXPECT_EQ(
        rows_of({{70000, 1, 1},
                 {5, 2, 1},
                 {0xFFFFFFF0u, 1, 1},
                 {70000, 3, 2},
                 {5, 1, 1},
                 {0x10000005u, 2, 1},
                 {70000, 1, 1}}),
        (std::vector<length_row>{{5, 273, 3, 2, 2, 24, 24},
                                 {70000, 727, 5, 4, 3, 280024, 210023},
                                 {0x10000005u, 909, 2, 1, 1, 0x10000006u + 8, 0x10000006u + 8},
                                 {0xFFFFFFF0u, 1000, 1, 1, 1, 0xFFFFFFF1u + 4, 0xFFFFFFF1u + 4}}));
}

} // namespace
