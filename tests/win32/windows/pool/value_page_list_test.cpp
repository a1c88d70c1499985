// The value page's owner-data list read as a host reads it: a large set
// sorted by real header clicks against stable sorts of the shown rows, cells
// cut to the caller's buffer, the selection following its values through a
// sort, and finding rows by their label.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "pool_test_support.h"
#include "resources/resource_ids.h"
#include "support/shared_api.h"
#include "ui/pool_window/pool_string_stats_dialog.h"

namespace {

using pool_test::column_cells;
using pool_test::list_rows;
using pool_test::rows_t;

struct literal_value {
    std::string text;
    std::uint32_t logical;
    std::uint32_t physical;
    std::uint32_t length() const { return static_cast<std::uint32_t>(text.size()); }
    std::uint32_t used() const { return (length() + 1u) * physical + 4u * logical; }
    std::uint32_t required() const { return (length() + 1u) + 4u * logical; }
    std::vector<std::string> cells() const {
        return {std::to_string(length()), std::to_string(logical),    std::to_string(physical),
                std::to_string(used()),   std::to_string(required()), text};
    }
};

int sign(int v) {
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

int compare_texts(const literal_value& a, const literal_value& b) {
    const int folded = sign(stricmp_utf8(a.text.c_str(), b.text.c_str()));
    return folded != 0 ? folded : sign(std::strcmp(a.text.c_str(), b.text.c_str()));
}

// The page's comparator for a column, as a list sorting its own rows uses it.
int compare_column(const literal_value& a, const literal_value& b, int column) {
    auto numbers = [](std::uint32_t x, std::uint32_t y) { return x < y ? -1 : (x > y ? 1 : 0); };
    switch (column) {
    case 0:
        return numbers(a.length(), b.length());
    case 1:
        return numbers(a.logical, b.logical);
    case 2:
        return numbers(a.physical, b.physical);
    case 3:
        return numbers(a.used(), b.used());
    case 4:
        return numbers(a.required(), b.required());
    default:
        return compare_texts(a, b);
    }
}

rows_t cells_of(const std::vector<literal_value>& values) {
    rows_t rows;
    for (const literal_value& v : values) {
        rows.push_back(v.cells());
    }
    return rows;
}

class ValuePageList : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(holder.create(page, IDD_POOL_VALUE_PAGE), nullptr); }

    std::wstring cell(int row, int column, int capacity) {
        std::wstring buffer(static_cast<std::size_t>(capacity) + 4, L'#');
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = capacity;
        const LRESULT length =
            SendMessageW(page.list_view(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                         reinterpret_cast<LPARAM>(&item));
        written_past = buffer.find_first_not_of(L'#', static_cast<std::size_t>(capacity)) !=
                       std::wstring::npos;
        return capacity > 0 ? std::wstring(buffer.data(), static_cast<std::size_t>(length)) : L"";
    }

    pool_test::page_host holder;
    CPoolStringStatsDialog page;
    bool written_past = false;
};

// Thousands of values whose counts tie often, some of them large enough for
// the memory figures to wrap: every header click shows what a stable sort of
// the rows shown before gives with the page's comparator, negated when
// descending; the first click on "Length" descends, on any other column
// ascends, and a repeated click reverses.
TEST_F(ValuePageList, HeaderClicksOnALargeSetSortAsAStableSortOfTheShownRows) {
    std::mt19937 random(20240611);
    const char* words[] = {"rock",    "Rock", "ROCK", "jazz", "Jazz", "pop", "Ambient",
                           "ambient", "Live", "b",    "B",    "Léa",  "LÉA", "日本"};
    std::set<std::string> texts;
    std::uniform_int_distribution<int> word(0, 13);
    std::uniform_int_distribution<int> words_per_text(1, 3);
    while (texts.size() < 3000) {
        std::string text;
        for (int n = words_per_text(random); n > 0; --n) {
            text += (text.empty() ? "" : " ") + std::string(words[word(random)]);
        }
        text += std::to_string(texts.size() % 7);
        texts.insert(text);
    }
    std::uniform_int_distribution<std::uint32_t> small(1, 3);
    std::uniform_int_distribution<std::uint32_t> any;
    std::vector<literal_value> values;
    pool_test::value_list source;
    for (const std::string& text : texts) {
        const bool huge = values.size() % 50 == 0;
        values.push_back(
            {text, huge ? any(random) : small(random), huge ? any(random) : small(random)});
        source.add(text, values.back().logical, values.back().physical);
    }
    page.fill(source.list());

    std::stable_sort(values.begin(), values.end(),
                     [](const literal_value& a, const literal_value& b) {
                         const int by_length = compare_column(a, b, 0);
                         return (by_length != 0 ? by_length : compare_texts(a, b)) < 0;
                     });
    ASSERT_EQ(list_rows(page.list_view()), cells_of(values)) << "fill order";

    int sort_column = 0;
    bool descending = false;
    for (int column : {5, 5, 0, 3, 1, 1, 4, 2, 0, 5}) {
        descending = column == sort_column ? !descending : false;
        sort_column = column;
        pool_test::click_header_item(page.list_view(), column);
        std::stable_sort(values.begin(), values.end(),
                         [&](const literal_value& a, const literal_value& b) {
                             const int order = compare_column(a, b, column);
                             return (descending ? -order : order) < 0;
                         });
        ASSERT_EQ(list_rows(page.list_view()), cells_of(values))
            << "column " << column << (descending ? " descending" : " ascending");
    }
}

// LVM_GETITEMTEXTW with every buffer size: the cell's text cut to the buffer
// with its terminator inside it, nothing written past it.
TEST_F(ValuePageList, CellsAreCutToTheCallersBuffer) {
    pool_test::value_list source;
    const std::string text = "Grüße aus 日本 \xF0\x9F\x98\x80!";
    source.add(text, 4000000000u, 3);
    page.fill(source.list());
    const std::wstring value = L"Grüße aus 日本 \xD83D\xDE00!";
    const std::wstring used =
        std::to_wstring((static_cast<std::uint32_t>(text.size()) + 1u) * 3u + 4u * 4000000000u);
    for (int capacity = 1; capacity <= static_cast<int>(value.size()) + 2; ++capacity) {
        const std::size_t kept =
            std::min<std::size_t>(value.size(), static_cast<std::size_t>(capacity) - 1);
        EXPECT_EQ(cell(0, 5, capacity), value.substr(0, kept)) << capacity;
        EXPECT_FALSE(written_past) << capacity;
        const std::size_t digits =
            std::min<std::size_t>(used.size(), static_cast<std::size_t>(capacity) - 1);
        EXPECT_EQ(cell(0, 3, capacity), used.substr(0, digits)) << capacity;
        EXPECT_FALSE(written_past) << capacity;
    }

    // The notification itself, as the list sends it while painting.
    wchar_t buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), L'#');
    NMLVDISPINFOW info{};
    info.hdr.hwndFrom = page.list_view();
    info.hdr.idFrom = IDC_POOL_LIST;
    info.hdr.code = LVN_GETDISPINFOW;
    info.item.mask = LVIF_TEXT;
    info.item.iItem = 0;
    info.item.iSubItem = 5;
    info.item.pszText = buffer;
    info.item.cchTextMax = 4;
    SendMessageW(page.handle(), WM_NOTIFY, IDC_POOL_LIST, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(std::wstring(buffer, 4), (std::wstring{L'G', L'r', L'ü', L'\0'}));
    EXPECT_EQ(std::wstring(buffer + 4, 4), L"####");
    info.item.iItem = 1; // past the last row: an empty cell
    SendMessageW(page.handle(), WM_NOTIFY, IDC_POOL_LIST, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(buffer[0], L'\0');
}

std::vector<std::string> selected_values(HWND list) {
    const std::vector<std::string> values = column_cells(list, 5);
    std::vector<std::string> selected;
    for (int i = -1; (i = static_cast<int>(SendMessageW(
                          list, LVM_GETNEXTITEM, static_cast<WPARAM>(i), LVNI_SELECTED))) >= 0;) {
        selected.push_back(values.at(static_cast<std::size_t>(i)));
    }
    return selected;
}

// The selected and focused values stay selected and focused wherever a sort
// moves them, as they do when a list sorts its own rows.
TEST_F(ValuePageList, TheSelectionFollowsItsValuesThroughASort) {
    pool_test::value_list source;
    source.add("apple", 4, 1)
        .add("Banana", 3, 1)
        .add("cherry", 2, 1)
        .add("dd", 1, 1)
        .add("e", 5, 5);
    page.fill(source.list());
    // Fill order: e, dd, apple, Banana, cherry.
    ASSERT_EQ(column_cells(page.list_view(), 5),
              (std::vector<std::string>{"e", "dd", "apple", "Banana", "cherry"}));
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    SendMessageW(page.list_view(), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(page.list_view(), LVM_SETITEMSTATE, 3, reinterpret_cast<LPARAM>(&state));

    pool_test::click_header_item(page.list_view(),
                                 1); // logical ascending: dd cherry Banana apple e
    EXPECT_EQ(column_cells(page.list_view(), 5),
              (std::vector<std::string>{"dd", "cherry", "Banana", "apple", "e"}));
    EXPECT_EQ(selected_values(page.list_view()), (std::vector<std::string>{"dd", "Banana"}));
    EXPECT_EQ(
        SendMessageW(page.list_view(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 2);

    pool_test::click_header_item(page.list_view(), 1); // descending
    EXPECT_EQ(selected_values(page.list_view()), (std::vector<std::string>{"Banana", "dd"}));
    EXPECT_EQ(SendMessageW(page.list_view(), LVM_GETSELECTEDCOUNT, 0, 0), 2);
}

// Finding by label (the "Length" cell), as typing in the list does: the
// list asks with LVN_ODFINDITEMW, whose search starts at iStart.
TEST_F(ValuePageList, RowsAreFoundByTheirLengthText) {
    pool_test::value_list source;
    source.add("a", 1, 1)
        .add("bbb", 1, 1)
        .add("cc", 1, 1)
        .add("ddd", 1, 1)
        .add(std::string(12, 'e'), 1, 1);
    page.fill(source.list());
    auto find = [&](int start, UINT flags, const wchar_t* text) {
        NMLVFINDITEMW find{};
        find.hdr.hwndFrom = page.list_view();
        find.hdr.idFrom = IDC_POOL_LIST;
        find.hdr.code = LVN_ODFINDITEMW;
        find.iStart = start;
        find.lvfi.flags = flags;
        find.lvfi.psz = text;
        SendMessageW(page.handle(), WM_NOTIFY, IDC_POOL_LIST, reinterpret_cast<LPARAM>(&find));
        return static_cast<int>(GetWindowLongPtrW(page.handle(), DWLP_MSGRESULT));
    };
    // Lengths shown: 1, 2, 3, 3, 12.
    const struct {
        int start;
        UINT flags;
        const wchar_t* text;
        int found;
    } cases[] = {
        {0, LVFI_STRING, L"3", 2},
        {3, LVFI_STRING, L"3", 3},
        {4, LVFI_STRING, L"3", -1},
        {4, LVFI_STRING | LVFI_WRAP, L"3", 2},
        {0, LVFI_PARTIAL | LVFI_STRING, L"1", 0},
        {1, LVFI_PARTIAL | LVFI_STRING, L"1", 4},
        {1, LVFI_STRING, L"1", -1},
        {0, LVFI_STRING, L"7", -1},
        {0, LVFI_PARAM, nullptr, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(find(c.start, c.flags, c.text), c.found)
            << c.start << " " << c.flags << " " << (c.text ? c.text : L"");
    }
    // From the beginning through the list's own message.
    LVFINDINFOW info{};
    info.flags = LVFI_STRING;
    info.psz = L"12";
    EXPECT_EQ(SendMessageW(page.list_view(), LVM_FINDITEMW, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>(&info)),
              4);
}

} // namespace
