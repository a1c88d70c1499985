// Tables as clipboard text: the quoting rule cell by cell, the order and
// choice of rows, the exact size of the first pass, and a round trip through
// a spreadsheet-style reader over random tables.
#include "ui/controls/table_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <utility>
#include <string>
#include <vector>

namespace {

using text = std::u16string;
using row = std::vector<text>;

class fake_source final : public table_source<char16_t> {
public:
    row headers;
    std::vector<row> rows;
    std::vector<bool> selected;
    std::uint32_t next_selected_calls = 0;

    std::uint32_t column_count() override { return static_cast<std::uint32_t>(headers.size()); }
    cell_view<char16_t> header_text(std::uint32_t column) override {
        return view(headers.at(column));
    }
    std::uint32_t row_count() override { return static_cast<std::uint32_t>(rows.size()); }
    cell_view<char16_t> cell_text(std::uint32_t r, std::uint32_t c) override {
        return view(rows.at(r).at(c));
    }
    std::uint32_t selected_count() override {
        std::uint32_t n = 0;
        for (bool s : selected) {
            n += s ? 1 : 0;
        }
        return n;
    }
    std::uint32_t next_selected(std::uint32_t after) override {
        ++next_selected_calls;
        for (std::uint32_t r = after == no_row ? 0 : after + 1; r < selected.size(); ++r) {
            if (selected[r]) {
                return r;
            }
        }
        return no_row;
    }

private:
    static cell_view<char16_t> view(const text& t) { return {t.data(), t.size()}; }
};

// Measures, writes into a block of exactly the measured size and checks
// that nothing was written past it.
text table_text(table_source<char16_t>& source, table_rows rows) {
    std::size_t units = 0;
    EXPECT_TRUE(measure_table_text(source, rows, 1u << 30, units));
    std::vector<char16_t> block(units + 1, u'#');
    std::size_t written = 0;
    EXPECT_TRUE(write_table_text(source, rows, block.data(), units, written));
    EXPECT_EQ(written, units);
    EXPECT_EQ(block[units], u'#') << "written past the measured size";
    return text(block.data(), written);
}

// Reads the text back as a spreadsheet program does.
std::vector<row> read_back(const text& t) {
    std::vector<row> lines;
    row line;
    std::size_t i = 0;
    while (i < t.size()) {
        text cell;
        if (t[i] == u'"') {
            for (++i; i < t.size(); ++i) {
                if (t[i] == u'"') {
                    if (i + 1 < t.size() && t[i + 1] == u'"') {
                        cell += u'"';
                        ++i;
                    } else {
                        ++i;
                        break;
                    }
                } else {
                    cell += t[i];
                }
            }
        } else {
            while (i < t.size() && t[i] != u'\t' && t[i] != u'\r') {
                cell += t[i++];
            }
        }
        line.push_back(cell);
        if (i < t.size() && t[i] == u'\t') {
            ++i;
        } else if (i + 1 < t.size() && t[i] == u'\r' && t[i + 1] == u'\n') {
            lines.push_back(line);
            line.clear();
            i += 2;
        } else {
            ADD_FAILURE() << "cell not followed by TAB or CR LF at " << i;
            break;
        }
    }
    EXPECT_TRUE(line.empty()) << "the last line lacks its CR LF";
    return lines;
}

TEST(TableText, QuotesExactlyTheCellsThatNeedIt) {
    struct case_t {
        text cell;
        text written;
    };
    const case_t cases[] = {
        {u"", u""},
        {u"plain", u"plain"},
        {u"1234", u"1234"},
        {u"a\tb", u"\"a\tb\""},
        {u"a\rb", u"\"a\rb\""},
        {u"a\nb", u"\"a\nb\""},
        {u"line\r\n", u"\"line\r\n\""},
        {u"\"", u"\"\"\"\""},
        {u"\"quoted\"", u"\"\"\"quoted\"\"\""},
        {u"say \"hi\"", u"say \"hi\""}, // a quote inside, nothing else: as it stands
        {u"x\t\"y\"", u"\"x\t\"\"y\"\"\""},
        {u"\t", u"\"\t\""},
        {u" lead and trail ", u" lead and trail "},
        {u"\U0001F3B5 note", u"\U0001F3B5 note"}, // a surrogate pair is two plain units
        {text(u"nul\0inside", 10), text(u"nul\0inside", 10)},
    };
    for (const case_t& c : cases) {
        fake_source source;
        source.headers = {c.cell};
        EXPECT_EQ(table_text(source, table_rows::all), c.written + u"\r\n")
            << "cell of " << c.cell.size() << " units";
    }
}

TEST(TableText, HeaderFirstThenRowsInOrderWithTabsAndCrLf) {
    fake_source source;
    source.headers = {u"Length", u"Value"};
    source.rows = {{u"3", u"abc"}, {u"0", u""}, {u"5", u"a\tb"}};
    source.selected = {true, false, true};

    EXPECT_EQ(table_text(source, table_rows::all),
              u"Length\tValue\r\n3\tabc\r\n0\t\r\n5\t\"a\tb\"\r\n");
    EXPECT_EQ(table_text(source, table_rows::selected),
              u"Length\tValue\r\n3\tabc\r\n5\t\"a\tb\"\r\n");

    source.selected = {false, false, false};
    EXPECT_EQ(table_text(source, table_rows::selected), u"Length\tValue\r\n");

    source.rows.clear();
    source.selected.clear();
    EXPECT_EQ(table_text(source, table_rows::all), u"Length\tValue\r\n");

    source.headers.clear(); // no columns: empty lines only
    source.rows = {{}, {}};
    EXPECT_EQ(table_text(source, table_rows::all), u"\r\n\r\n\r\n");
}

TEST(TableText, ASelectionOfEveryRowIsCopiedWithoutWalkingIt) {
    fake_source source;
    source.headers = {u"n"};
    source.rows = {{u"1"}, {u"2"}};
    source.selected = {true, true};
    EXPECT_EQ(effective_rows(source, table_rows::selected), table_rows::all);
    EXPECT_EQ(effective_rows(source, table_rows::all), table_rows::all);
    source.selected = {true, false};
    EXPECT_EQ(effective_rows(source, table_rows::selected), table_rows::selected);
    EXPECT_EQ(source.next_selected_calls, 0u);
}

// A selection that answers the same row again, or rows past the end.
class looping_source final : public table_source<char16_t> {
public:
    std::uint32_t answer;
    explicit looping_source(std::uint32_t a) : answer(a) {}
    std::uint32_t column_count() override { return 1; }
    cell_view<char16_t> header_text(std::uint32_t) override { return {u"h", 1}; }
    std::uint32_t row_count() override { return 3; }
    cell_view<char16_t> cell_text(std::uint32_t, std::uint32_t) override { return {u"r", 1}; }
    std::uint32_t selected_count() override { return 1; }
    std::uint32_t next_selected(std::uint32_t) override { return answer; }
};

TEST(TableText, AMisbehavingSelectionEndsTheWalk) {
    looping_source same_row(1);
    EXPECT_EQ(table_text(same_row, table_rows::selected), u"h\r\nr\r\n");
    looping_source past_the_end(7);
    EXPECT_EQ(table_text(past_the_end, table_rows::selected), u"h\r\n");
}

TEST(TableText, MeasuringStopsAtTheLimitAndWritingAtTheCapacity) {
    fake_source source;
    source.headers = {u"ab", u"\"c"};               // ab TAB """c" CR LF: 2+1+5+2 = 10
    source.rows = {{u"12", u"x"}, {u"3", u"y\nz"}}; // 2+1+1+2 = 6, 1+1+5+2 = 9
    std::size_t units = 0;
    ASSERT_TRUE(measure_table_text(source, table_rows::all, 25, units));
    EXPECT_EQ(units, 25u);
    EXPECT_FALSE(measure_table_text(source, table_rows::all, 24, units));

    for (std::size_t capacity : {std::size_t{0}, std::size_t{9}, std::size_t{24}}) {
        std::vector<char16_t> block(capacity + 1, u'#');
        std::size_t written = 99;
        EXPECT_FALSE(write_table_text(source, table_rows::all, block.data(), capacity, written));
        EXPECT_EQ(written, capacity);
        EXPECT_EQ(block[capacity], u'#') << "capacity " << capacity;
    }
}

TEST(TableText, DecimalCellsArePlainDigits) {
    const std::pair<std::uint32_t, text> cases[] = {
        {0, u"0"}, {7, u"7"}, {10, u"10"}, {1000000, u"1000000"}, {4294967295u, u"4294967295"}};
    for (const auto& [value, digits] : cases) {
        char16_t buffer[10];
        const cell_view<char16_t> cell = decimal_cell(value, buffer);
        EXPECT_EQ(text(cell.text, cell.length), digits);
    }
}

TEST(TableText, RandomTablesReadBackAsTheyWere) {
    std::mt19937 random(20261209);
    const char16_t alphabet[] = {u'a',  u'Z', u'7',    u' ',      u'\t',     u'\r',
                                 u'\n', u'"', u'\xE9', u'\xD83C', u'\xDFB5', u'\xFFFD'};
    auto random_cell = [&] {
        text cell(random() % 6, u'a');
        for (char16_t& c : cell) {
            c = alphabet[random() % (sizeof(alphabet) / sizeof(alphabet[0]))];
        }
        return cell;
    };
    for (int round = 0; round < 300; ++round) {
        fake_source source;
        const std::size_t columns = 1 + random() % 5;
        for (std::size_t c = 0; c < columns; ++c) {
            source.headers.push_back(random_cell());
        }
        const std::size_t rows = random() % 8;
        std::vector<row> expected_selected{source.headers};
        for (std::size_t r = 0; r < rows; ++r) {
            row cells;
            for (std::size_t c = 0; c < columns; ++c) {
                cells.push_back(random_cell());
            }
            source.rows.push_back(cells);
            source.selected.push_back(random() % 2 == 0);
            if (source.selected.back()) {
                expected_selected.push_back(cells);
            }
        }
        std::vector<row> expected_all{source.headers};
        expected_all.insert(expected_all.end(), source.rows.begin(), source.rows.end());
        EXPECT_EQ(read_back(table_text(source, table_rows::all)), expected_all) << round;
        EXPECT_EQ(read_back(table_text(source, table_rows::selected)), expected_selected) << round;
    }
}

} // namespace
