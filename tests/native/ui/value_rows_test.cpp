// The value page's table against its literal definition: the fill order and
// chains of header sorts against stable sorts of the shown rows with the
// page's comparators (negated for descending), cells against whole texts cut
// to the caller's buffer, and the text copies in blocks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "support/shared_api.h"
#include "support/utf8.h"
#include "ui/pool_window/value_rows.h"

namespace {

struct value {
    std::string text;
    std::uint32_t logical;
    std::uint32_t physical;
    std::uint32_t length() const { return static_cast<std::uint32_t>(text.size()); }
    bool operator==(const value& o) const {
        return std::tie(text, logical, physical) == std::tie(o.text, o.logical, o.physical);
    }
};

void PrintTo(const value& v, std::ostream* os) {
    *os << '"' << v.text << "\" " << v.logical << '/' << v.physical;
}

int compare_numbers(std::uint32_t a, std::uint32_t b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

int compare_texts(const value& a, const value& b) {
    const int folded = stricmp_utf8(a.text.c_str(), b.text.c_str());
    if (folded != 0) {
        return folded < 0 ? -1 : 1;
    }
    const int bytes = std::strcmp(a.text.c_str(), b.text.c_str());
    return bytes < 0 ? -1 : (bytes > 0 ? 1 : 0);
}

std::uint32_t used(const value& v) {
    return (v.length() + 1u) * v.physical + 4u * v.logical;
}
std::uint32_t required(const value& v) {
    return (v.length() + 1u) + 4u * v.logical;
}

// The page's comparator of one column.
int compare_column(const value& a, const value& b, int column) {
    switch (column) {
    case 0:
        return compare_numbers(a.length(), b.length());
    case 1:
        return compare_numbers(a.logical, b.logical);
    case 2:
        return compare_numbers(a.physical, b.physical);
    case 3:
        return compare_numbers(used(a), used(b));
    case 4:
        return compare_numbers(required(a), required(b));
    default:
        return compare_texts(a, b);
    }
}

// Distinct texts in ascending byte order, as the engine hands them over,
// from letters that fold together, a two-byte letter and a broken byte.
std::vector<value> random_values(std::mt19937& random, std::uint32_t count, bool huge_counts) {
    // Long pieces give texts that share many bytes, as paths in one folder
    // do, with a letter beyond ASCII or a case change at various depths.
    const char* pieces[] = {"a",
                            "A",
                            "b",
                            "B",
                            "\xC3\xA9",
                            "\xC3\x89",
                            "z",
                            "\xFF",
                            "1",
                            "D:/Music/Some Artist/",
                            "D:/Music/Some artist/",
                            "D:/Music/Some Art\xC3\xAFst/"};
    std::set<std::string> texts;
    std::uniform_int_distribution<int> piece(0, 11);
    std::uniform_int_distribution<int> pieces_per_text(0, 5);
    while (texts.size() < count) {
        std::string text;
        for (int n = pieces_per_text(random); n > 0; --n) {
            text += pieces[piece(random)];
        }
        texts.insert(text);
    }
    std::uniform_int_distribution<std::uint32_t> small(1, 4);
    std::uniform_int_distribution<std::uint32_t> any;
    std::vector<value> values;
    for (const std::string& text : texts) {
        const std::uint32_t logical = huge_counts ? any(random) : small(random);
        values.push_back(value{text, logical, huge_counts ? any(random) : small(random)});
    }
    return values;
}

class source_list {
public:
    explicit source_list(const std::vector<value>& values) {
        for (const value& v : values) {
            m_list.push_item(string_info2{v.text.c_str(), v.length(), v.logical, v.physical});
        }
    }
    const string_info_list2& list() const { return m_list; }

private:
    string_info_list2 m_list;
};

std::vector<value> shown(const value_rows& table) {
    std::vector<value> rows;
    for (std::uint32_t p = 0; p < table.size(); ++p) {
        const value_row& row = table.row(table.row_at(p));
        EXPECT_EQ(std::strlen(row.text), row.length);
        rows.push_back(value{row.text, row.logical_count, row.physical_count});
    }
    return rows;
}

std::vector<value> literal_fill_order(std::vector<value> rows) {
    std::stable_sort(rows.begin(), rows.end(), [](const value& a, const value& b) {
        const int by_length = compare_numbers(a.length(), b.length());
        return (by_length != 0 ? by_length : compare_texts(a, b)) < 0;
    });
    return rows;
}

void literal_sort(std::vector<value>& rows, int column, bool descending) {
    std::stable_sort(rows.begin(), rows.end(), [&](const value& a, const value& b) {
        const int order = compare_column(a, b, column);
        return (descending ? -order : order) < 0;
    });
}

class ValueTable : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(ValueTable, FillOrderAndChainedSortsMatchStableSortsOfTheShownRows) {
    std::mt19937 random(GetParam());
    for (bool huge_counts : {false, true}) {
        const std::vector<value> values = random_values(random, 1500, huge_counts);
        const source_list source(values);
        value_rows table;
        table.copy(source.list());
        EXPECT_EQ(table.size(), 0u) << "nothing shown before the rows are arranged";
        table.arrange_in_fill_order();
        std::vector<value> expected = literal_fill_order(values);
        ASSERT_EQ(shown(table), expected);
        for (std::uint32_t i = 0; i < table.row_count(); ++i) {
            EXPECT_EQ(table.row_at(i), i) << "the rows array holds the fill order";
        }

        std::uniform_int_distribution<int> column(0, 5);
        std::bernoulli_distribution descending;
        for (int step = 0; step < 40; ++step) {
            const int c = column(random);
            const bool d = descending(random);
            table.sort(c, d);
            literal_sort(expected, c, d);
            ASSERT_EQ(shown(table), expected)
                << "step " << step << ": column " << c << " " << (d ? "descending" : "ascending");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, ValueTable, ::testing::Values(1u, 2u, 3u, 4u));

TEST(ValueTableEdges, ColumnsOutsideTheTableAndEmptyTablesChangeNothing) {
    value_rows table;
    table.arrange_in_fill_order();
    table.sort(5, true);
    EXPECT_EQ(table.size(), 0u);

    const std::vector<value> values = {{"b", 1, 1}, {"a", 2, 2}};
    const source_list source(values);
    table.copy(source.list());
    table.arrange_in_fill_order();
    const std::vector<value> before = shown(table);
    table.sort(-1, false);
    table.sort(6, true);
    EXPECT_EQ(shown(table), before);
    // A refill forgets the earlier order and the earlier texts.
    table.sort(1, true);
    const std::vector<value> other = {{"zz", 7, 1}};
    table.copy(source_list(other).list());
    table.arrange_in_fill_order();
    EXPECT_EQ(shown(table), other);
}

std::u16string converted(const std::string& text) {
    std::u16string units(wide_length_of_utf8(text.c_str()), u'\0');
    units.resize(
        convert_utf8_to_wide(units.data(), static_cast<std::uint32_t>(units.size()), text.c_str()));
    return units;
}

// Every cell at every buffer size is the whole cell text cut to size - 1
// units, and nothing is written past the buffer.
TEST(ValueTableCells, CellsAreTheWholeTextsCutToTheBuffer) {
    const std::vector<value> values = {{"Gr\xC3\xBC\xC3\x9F"
                                        "e",
                                        4000000000u, 3},
                                       {"\xF0\x9F\x98\x80x", 1, 1},
                                       {"ab\xFF"
                                        "cd",
                                        2, 2},
                                       {"", 9, 9}};
    const source_list source(values);
    value_rows table;
    table.copy(source.list());
    table.arrange_in_fill_order();
    ASSERT_EQ(table.size(), 4u);

    for (std::uint32_t p = 0; p < table.size(); ++p) {
        const value_row& row = table.row(table.row_at(p));
        const std::string numbers[] = {
            std::to_string(row.length),
            std::to_string(row.logical_count),
            std::to_string(row.physical_count),
            std::to_string(value_rows::used_memory(row)),
            std::to_string(value_rows::required_memory(row)),
        };
        for (int column = 0; column < value_rows::column_count; ++column) {
            const std::u16string whole =
                column < 5 ? std::u16string(numbers[column].begin(), numbers[column].end())
                           : converted(row.text);
            for (std::uint32_t capacity = 0; capacity <= whole.size() + 2; ++capacity) {
                std::u16string buffer(capacity + 2, u'#');
                const std::uint32_t written = table.cell_text(p, column, buffer.data(), capacity);
                const std::size_t kept =
                    capacity == 0 ? 0 : std::min<std::size_t>(whole.size(), capacity - 1);
                EXPECT_EQ(written, kept) << p << "/" << column << " in " << capacity;
                if (capacity > 0) {
                    EXPECT_EQ(buffer.substr(0, kept), whole.substr(0, kept));
                    EXPECT_EQ(buffer[kept], u'\0');
                }
                EXPECT_EQ(
                    buffer.substr(std::max<std::uint32_t>(capacity, 1)),
                    std::u16string(buffer.size() - std::max<std::uint32_t>(capacity, 1), u'#'))
                    << "written past the buffer: " << p << "/" << column << " in " << capacity;
            }
        }
    }
    // 4e9 * 4 + 8 * 3 wraps: the figure is taken modulo 2^32.
    EXPECT_EQ(value_rows::used_memory(table.row(3)), 4000000000u * 4u + 8u * 3u);

    char16_t cell[8] = {u'#', u'#'};
    EXPECT_EQ(table.cell_text(4, 0, cell, 8), 0u);
    EXPECT_EQ(cell[0], u'\0');
    cell[0] = u'#';
    EXPECT_EQ(table.cell_text(0, 6, cell, 8), 0u);
    EXPECT_EQ(cell[0], u'\0');
}

TEST(TextChunks, CopiesStayWholeAcrossBlocksOfBoundedSize) {
    text_chunks chunks;
    const std::string big(text_chunks::block_bytes + 5, 'q');
    const std::string small = "value";
    std::uint64_t total = 0;
    std::vector<std::string> texts;
    for (int i = 0; i < 2400; ++i) {
        texts.push_back(small + std::string(static_cast<std::size_t>(i % 97) * 200, 'x') +
                        std::to_string(i));
        if (i == 1200) {
            texts.push_back(big);
        }
    }
    for (const std::string& t : texts) {
        total += t.size() + 1;
    }
    ASSERT_GT(total - big.size(), std::uint64_t{text_chunks::block_bytes})
        << "the short texts fill more than a block";
    chunks.reset(total);
    std::vector<const char*> copies;
    for (const std::string& t : texts) {
        copies.push_back(chunks.add(t.data(), static_cast<std::uint32_t>(t.size())));
    }
    for (std::size_t i = 0; i < texts.size(); ++i) {
        ASSERT_EQ(std::string(copies[i]), texts[i]) << i;
    }
    EXPECT_EQ(chunks.largest_block(), big.size() + 1) << "only the long text has a larger block";
    EXPECT_GE(chunks.block_count(), 3u);

    // A pool smaller than a block is one block of exactly its size.
    chunks.reset(small.size() + 1);
    EXPECT_STREQ(chunks.add(small.data(), 5), "value");
    EXPECT_EQ(chunks.block_count(), 1u);
    EXPECT_EQ(chunks.largest_block(), small.size() + 1);
}

} // namespace
