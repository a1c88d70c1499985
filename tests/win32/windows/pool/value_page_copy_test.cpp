// Copying the value page's table through the page's own source: the cells
// come from the page's rows in the order the list shows them (after a header
// sort), figures as shown, the value whole (however long) and converted from
// UTF-8 as its cell shows it; header and selection from the list.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pool_test_support.h"
#include "resources/resource_ids.h"
#include "ui/controls/list_copy_commands.h"
#include "ui/pool_window/pool_string_stats_dialog.h"
#include "win32/windows/list_copy_support.h"

namespace {

using copy_test::clipboard_text;

// One value as the host stores it, and its text as the page shows it.
struct copied_value {
    std::string bytes;
    std::wstring shown;
    std::uint32_t logical;
    std::uint32_t physical;
    std::wstring written; // in the copied line, when it differs from shown (quotes)

    std::vector<std::wstring> cells() const {
        const auto length = static_cast<std::uint32_t>(bytes.size());
        const std::uint32_t used = (length + 1u) * physical + 4u * logical;
        const std::uint32_t required = (length + 1u) + 4u * logical;
        return {std::to_wstring(length), std::to_wstring(logical),  std::to_wstring(physical),
                std::to_wstring(used),   std::to_wstring(required), shown};
    }
    std::wstring line() const {
        std::wstring text;
        const std::vector<std::wstring> all = cells();
        for (std::size_t c = 0; c + 1 < all.size(); ++c) {
            text += all[c] + L"\t";
        }
        return text + (written.empty() ? shown : written) + L"\r\n";
    }
};

const wchar_t k_header_line[] =
    L"Length\tLogical Strings\tPhysical Strings\tUsed Memory\tRequired Memory\tValue\r\n";

class ValuePageCopy : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(holder.create(page, IDD_POOL_VALUE_PAGE), nullptr);
        copy_test::clear_clipboard();
    }

    void fill(const std::vector<copied_value>& values) {
        for (const copied_value& v : values) {
            source.add(v.bytes, v.logical, v.physical);
        }
        page.fill(source.list());
    }
    std::optional<std::wstring> run(UINT command) {
        copy_test::clear_clipboard();
        SendMessageW(page.list_view(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
        return clipboard_text();
    }
    // Header line and the lines of these values, in this order.
    static std::wstring table_of(const std::vector<const copied_value*>& rows) {
        std::wstring text = k_header_line;
        for (const copied_value* v : rows) {
            text += v->line();
        }
        return text;
    }

    pool_test::page_host holder;
    CPoolStringStatsDialog page;
    pool_test::value_list source;
};

TEST_F(ValuePageCopy, TheListCopiesThroughThePageSource) {
    EXPECT_EQ(page.sort_control().copy_commands().source(), &page.copy_source());
    EXPECT_EQ(page.copy_source().list(), page.list_view());
    // Nothing filled yet: the header line alone, and no cell to read.
    EXPECT_EQ(run(list_copy_commands::command_copy_all), std::wstring(k_header_line));
    EXPECT_EQ(page.copy_source().cell_text(0, 0).length, 0u);
}

// Values far longer than any buffer the list paints with, ASCII and not,
// copied whole in the order of a descending header sort: by Copy All, by
// Ctrl+A's selection of every row and by a selection of two rows.
TEST_F(ValuePageCopy, LongValuesAreCopiedWholeInTheOrderOfAHeaderSort) {
    const std::string long_mixed = std::string(3000, 'x') + "\xC3\xA9" + std::string(2000, 'y');
    std::string long_wide;
    for (int i = 0; i < 1500; ++i) {
        long_wide += "\xE6\x97\xA5"; // U+65E5
    }
    const std::vector<copied_value> values = {
        {"short", L"short", 1, 1, L""},
        {long_mixed, std::wstring(3000, L'x') + L"\xE9" + std::wstring(2000, L'y'), 2, 3, L""},
        {"mid", L"mid", 3, 2, L""},
        {long_wide, std::wstring(1500, L'\x65E5'), 4, 1, L""},
        {std::string(600, 'z') + "\xF0\x9F\x8E\xB5", std::wstring(600, L'z') + L"\xD83C\xDFB5", 5,
         2, L""},
    };
    fill(values);
    pool_test::click_header_item(page.list_view(), 1); // Logical Strings, ascending
    pool_test::click_header_item(page.list_view(), 1); // descending
    const std::vector<const copied_value*> shown = {&values[4], &values[3], &values[2], &values[1],
                                                    &values[0]};
    ASSERT_EQ(copy_test::cell_text(page.list_view(), 0, 1), L"5") << "the sort took place";

    EXPECT_EQ(run(list_copy_commands::command_copy_all), table_of(shown));
    run(list_copy_commands::command_select_all);
    EXPECT_EQ(run(list_copy_commands::command_copy), table_of(shown)) << "every row selected";
    copy_test::select_rows(page.list_view(), {1, 3});
    EXPECT_EQ(run(list_copy_commands::command_copy), table_of({shown[1], shown[3]}));
}

// Values that are not valid UTF-8, that hold characters outside the BMP or
// at U+100000 and beyond, or that need quotes: every cell the page's source
// answers is the cell the list shows, and the copied table is made of them.
TEST_F(ValuePageCopy, EveryCellIsCopiedAsTheListShowsIt) {
    const std::vector<copied_value> values = {
        {"note \xF0\x9F\x8E\xB5", L"note \xD83C\xDFB5", 1, 1, L""},
        {"ab\xE9"
         "cd",
         L"ab", 2, 1, L""},                                         // up to the malformed sequence
        {"caf\xC3\xA9 \xC3", L"caf\xE9 ", 3, 2, L""},               // a sequence cut by the end
        {"\x80lead", L"", 4, 1, L""},                               // malformed from the first byte
        {"hi \xF4\x80\x80\x80 there", L"hi ", 5, 1, L""},           // U+100000 ends the text
        {"last \xF3\xBF\xBF\xBF", L"last \xDBBF\xDFFF", 6, 1, L""}, // U+FFFFF still converts
        {"abc\xE6\x97\xA5"
         "def",
         L"abc\x65E5"
         L"def",
         7, 3, L""},
        {"tab\there", L"tab\there", 8, 1, L"\"tab\there\""},
        {"\"lead", L"\"lead", 9, 1, L"\"\"\"lead\""},
        {"huge", L"huge", 4000000000u, 3000000000u, L""}, // figures that wrap
    };
    fill(values);
    pool_test::click_header_item(page.list_view(), 1); // Logical Strings, ascending
    const HWND list = page.list_view();
    ASSERT_EQ(copy_test::row_count(list), static_cast<int>(values.size()));

    value_copy_source& copied = page.copy_source();
    std::vector<const copied_value*> shown;
    for (std::uint32_t r = 0; r < values.size(); ++r) {
        const copied_value& v = values[r];
        shown.push_back(&v);
        const std::vector<std::wstring> expected = v.cells();
        for (std::uint32_t c = 0; c < 6; ++c) {
            const cell_view<wchar_t> cell = copied.cell_text(r, c);
            const std::wstring text(cell.text, cell.text + cell.length);
            EXPECT_EQ(text, expected[c]) << "row " << r << " column " << c;
            EXPECT_EQ(text, copy_test::cell_text(list, static_cast<int>(r), static_cast<int>(c)))
                << "row " << r << " column " << c;
        }
    }
    EXPECT_EQ(copied.cell_text(static_cast<std::uint32_t>(values.size()), 0).length, 0u)
        << "past the last row";
    EXPECT_EQ(copied.cell_text(0, 6).length, 0u) << "past the last column";

    EXPECT_EQ(run(list_copy_commands::command_copy_all), table_of(shown));
}

// Header sorts by every column, both ways: Copy All writes the rows the list
// shows, in its order, each cell as the list shows it.
TEST_F(ValuePageCopy, CopyAllFollowsEverySort) {
    std::vector<copied_value> values;
    const char* words[] = {"b", "B", "a\xC3\xA9", "A\xC3\x89", "c\xF0\x9F\x8E\xB5", "ab\xE9", "dd"};
    std::uint32_t i = 0;
    for (const char* word : words) {
        values.push_back({word, L"", 1 + (i * 5) % 3, 1 + i % 2, L""});
        ++i;
    }
    fill(values);
    const HWND list = page.list_view();
    const std::wstring filled = *run(list_copy_commands::command_copy_all);
    EXPECT_EQ(filled, copy_test::plain_table_text(list, copy_test::all_rows(list)));
    bool changed = false;
    for (int column : {5, 5, 0, 1, 1, 2, 3, 4, 4}) {
        pool_test::click_header_item(list, column);
        const std::optional<std::wstring> copied = run(list_copy_commands::command_copy_all);
        EXPECT_EQ(copied, copy_test::plain_table_text(list, copy_test::all_rows(list)))
            << "column " << column;
        changed = changed || copied != filled;
    }
    EXPECT_TRUE(changed) << "no sort changed the order the test could see";
}

} // namespace
