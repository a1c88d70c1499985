// The two pages of the pool window on their own: filled from hand-made value
// lists, read back from their list views, sorted by real header clicks.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "pool_test_support.h"
#include "refhost/window_reading.h"
#include "resources/resource_ids.h"
#include "ui/controls/playlist_view_notifications.h"
#include "ui/pool_window/pool_length_stats_dialog.h"
#include "ui/pool_window/pool_string_stats_dialog.h"

namespace {

using pool_test::column_cells;
using pool_test::list_rows;
using pool_test::rows_t;

using pool_test::page_host;
using pool_test::value_list;

// ------------------------------------------------------------- length page

class LengthPageTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(holder.create(page, IDD_POOL_LENGTH_PAGE), nullptr); }
    page_host holder;
    CPoolLengthStatsDialog page;
};

TEST_F(LengthPageTest, HasSevenRightAlignedColumnsAndNoSortHeader) {
    const refhost::list_view_contents contents = refhost::read_list_view(page.list_view());
    const std::vector<std::string> headers = {
        "Length",         "Percent",     "Logical Strings", "Physical Strings",
        "Unique Strings", "Used Memory", "Required Memory"};
    EXPECT_EQ(contents.headers, headers);
    EXPECT_EQ(contents.column_widths, (std::vector<int>{40, 60, 60, 60, 60, 60, 60}));
    for (int format : contents.column_formats) {
        EXPECT_EQ(format & LVCFMT_JUSTIFYMASK, LVCFMT_RIGHT);
    }
    EXPECT_NE(GetWindowLongPtrW(page.list_view(), GWL_STYLE) & LVS_NOSORTHEADER, 0);
    EXPECT_EQ(SendMessageW(page.list_view(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0),
              LVS_EX_FULLROWSELECT);
    EXPECT_TRUE(contents.rows.empty());
}

TEST_F(LengthPageTest, WorkedExampleShowsLongestFirst) {
    value_list values;
    values.add("a", 3, 1).add("b", 1, 1).add("cd", 4, 2);
    page.fill(values.list());
    const rows_t expected = {{"2", "100.0", "4", "2", "1", "22", "19"},
                             {"1", "50.0", "4", "2", "2", "20", "20"}};
    EXPECT_EQ(list_rows(page.list_view()), expected);
}

TEST_F(LengthPageTest, PercentRoundsToTheNearestTenthWithHalvesUp) {
    struct rounding_case {
        std::uint32_t longer; // logical strings of length 2 beside one of length 1
        const char* shortest_percent;
    };
    const rounding_case cases[] = {{7, "12.5"},
                                   {15, "6.3"},
                                   {2, "33.3"},
                                   {2100, "0.0"},
                                   {1999, "0.1"}}; // 1/2000 is exactly a half tenth: up
    for (const rounding_case& c : cases) {
        value_list values;
        values.add("x", 1, 1).add("yy", c.longer, c.longer);
        page.fill(values.list());
        const std::vector<std::string> percents = column_cells(page.list_view(), 1);
        EXPECT_EQ(percents, (std::vector<std::string>{"100.0", c.shortest_percent}))
            << c.longer << " longer strings";
    }
}

TEST_F(LengthPageTest, OneStringGivesOneFullRowAndAnEmptyListNone) {
    value_list one;
    one.add("solo", 1, 1);
    page.fill(one.list());
    EXPECT_EQ(list_rows(page.list_view()), (rows_t{{"4", "100.0", "1", "1", "1", "9", "9"}}));

    page.fill(value_list().list());
    EXPECT_TRUE(list_rows(page.list_view()).empty());
}

TEST_F(LengthPageTest, MemoryFiguresWrapAt32Bits) {
    value_list values;
    values.add(std::string(0xFFFF, 'z'), 0x10001, 0x10001);
    page.fill(values.list());
    // (65535 + 1) * 65537 + 4 * 65537 = 0x100050004, shown modulo 2^32.
    const rows_t expected = {{"65535", "100.0", "65537", "65537", "1", "327684", "327684"}};
    EXPECT_EQ(list_rows(page.list_view()), expected);
}

TEST_F(LengthPageTest, HeaderClicksChangeNothing) {
    value_list values;
    values.add("a", 3, 1).add("b", 1, 1).add("cd", 4, 2);
    page.fill(values.list());
    const rows_t before = list_rows(page.list_view());
    pool_test::click_header_item(page.list_view(), 0);
    pool_test::click_header_item(page.list_view(), 2);
    EXPECT_EQ(list_rows(page.list_view()), before);
}

// -------------------------------------------------------------- value page

// Records the sortable list's notifications on their way to the page.
class notification_recorder {
public:
    explicit notification_recorder(HWND page) : m_page(page) {
        SetPropW(page, L"PoolTestRecorder", this);
        m_original = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(page, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&proc)));
    }
    ~notification_recorder() {
        if (IsWindow(m_page)) {
            SetWindowLongPtrW(m_page, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_original));
            RemovePropW(m_page, L"PoolTestRecorder");
        }
    }
    struct note {
        int code;
        int new_column;
        int old_column;
        bool descending;
        int delta;
    };
    std::vector<note> notes;

private:
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
        auto* self = static_cast<notification_recorder*>(GetPropW(window, L"PoolTestRecorder"));
        if (message == WM_NOTIFY) {
            const auto& header = *reinterpret_cast<const NMHDR*>(lparam);
            const int code = static_cast<int>(header.code);
            if (code == PVN_SORTCHANGING || code == PVN_SORTCHANGED) {
                const auto& sort = *reinterpret_cast<const NMPVSORT*>(lparam);
                self->notes.push_back({code, sort.new_column, sort.old_column, sort.descending, 0});
            } else if (code == PVN_MOVESELECTION) {
                const auto& move = *reinterpret_cast<const NMPVMOVE*>(lparam);
                self->notes.push_back({code, 0, 0, false, move.delta});
            }
        }
        return CallWindowProcW(self->m_original, window, message, wparam, lparam);
    }

    HWND m_page;
    WNDPROC m_original = nullptr;
};

class ValuePageTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(holder.create(page, IDD_POOL_VALUE_PAGE), nullptr); }
    std::vector<std::string> values_shown() const { return column_cells(page.list_view(), 5); }

    page_host holder;
    CPoolStringStatsDialog page;
};

TEST_F(ValuePageTest, HasSixColumnsAndASortableHeader) {
    const refhost::list_view_contents contents = refhost::read_list_view(page.list_view());
    const std::vector<std::string> headers = {"Length",      "Logical Strings", "Physical Strings",
                                              "Used Memory", "Required Memory", "Value"};
    EXPECT_EQ(contents.headers, headers);
    EXPECT_EQ(contents.column_widths, (std::vector<int>{40, 60, 60, 60, 60, 300}));
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(contents.column_formats[i] & LVCFMT_JUSTIFYMASK, LVCFMT_RIGHT) << i;
    }
    EXPECT_EQ(contents.column_formats[5] & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
    EXPECT_EQ(GetWindowLongPtrW(page.list_view(), GWL_STYLE) & LVS_NOSORTHEADER, 0);
    EXPECT_EQ(SendMessageW(page.list_view(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0),
              LVS_EX_FULLROWSELECT);
    // Attached before the columns were inserted: no sort column yet.
    EXPECT_EQ(page.sort_control().sort_column(), -1);
}

TEST_F(ValuePageTest, CellsShowCountsAndBothMemoryFigures) {
    value_list values;
    values.add("hello", 3, 2).add("", 4, 3);
    page.fill(values.list());
    const rows_t expected = {{"0", "4", "3", "19", "17", ""}, {"5", "3", "2", "24", "18", "hello"}};
    EXPECT_EQ(list_rows(page.list_view()), expected);
}

TEST_F(ValuePageTest, FillOrdersByLengthThenWithoutCaseThenByBytes) {
    value_list values;
    values.add("abc", 1, 1).add("Zz", 1, 1).add("ABC", 1, 1).add("ab", 1, 1).add("b", 1, 1);
    page.fill(values.list());
    EXPECT_EQ(values_shown(), (std::vector<std::string>{"b", "ab", "Zz", "ABC", "abc"}));
    // The rows array holds the same order: list row i shows row i.
    const std::vector<std::string> shown = values_shown();
    ASSERT_EQ(shown.size(), page.row_count());
    for (std::uint32_t i = 0; i < page.row_count(); ++i) {
        EXPECT_EQ(shown[i], page.row(i).text) << i;
    }
    EXPECT_STREQ(page.row(3).text, "ABC");
    EXPECT_EQ(page.sort_control().sort_column(), 0);
    EXPECT_FALSE(page.sort_control().descending());
}

TEST_F(ValuePageTest, TextsAreCopiedAndConvertedFromUtf8) {
    auto values = std::make_unique<value_list>();
    values->add("Grüße", 1, 1)
        .add("日本", 2, 1)
        .add("ab\xFF"
             "cd",
             1, 1);
    page.fill(values->list());
    values.reset(); // the page keeps its own copies
    EXPECT_EQ(values_shown(), (std::vector<std::string>{"ab", "日本", "Grüße"}));
    EXPECT_EQ(column_cells(page.list_view(), 0), (std::vector<std::string>{"5", "6", "7"}));
    page.sort_rows(5, false);
    EXPECT_EQ(values_shown().size(), 3u);
}

TEST_F(ValuePageTest, HeaderClicksSortAndReverse) {
    value_list values;
    values.add("cherry", 1, 1).add("apple", 5, 5).add("Banana", 2, 2).add("fig", 9, 1);
    page.fill(values.list());
    notification_recorder recorder(page.handle());

    // Right after the fill "Length" is ascending, so its first click descends.
    pool_test::click_header_item(page.list_view(), 0);
    ASSERT_EQ(recorder.notes.size(), 2u);
    EXPECT_EQ(recorder.notes[0].code, PVN_SORTCHANGING);
    EXPECT_EQ(recorder.notes[1].code, PVN_SORTCHANGED);
    EXPECT_EQ(recorder.notes[1].new_column, 0);
    EXPECT_EQ(recorder.notes[1].old_column, 0);
    EXPECT_TRUE(recorder.notes[1].descending);
    EXPECT_EQ(column_cells(page.list_view(), 0), (std::vector<std::string>{"6", "6", "5", "3"}));

    pool_test::click_header_item(page.list_view(), 5);
    EXPECT_EQ(recorder.notes.back().new_column, 5);
    EXPECT_EQ(recorder.notes.back().old_column, 0);
    EXPECT_FALSE(recorder.notes.back().descending);
    EXPECT_EQ(values_shown(), (std::vector<std::string>{"apple", "Banana", "cherry", "fig"}));

    pool_test::click_header_item(page.list_view(), 5);
    EXPECT_TRUE(recorder.notes.back().descending);
    EXPECT_EQ(values_shown(), (std::vector<std::string>{"fig", "cherry", "Banana", "apple"}));

    pool_test::click_header_item(page.list_view(), 1); // another column starts ascending
    EXPECT_FALSE(recorder.notes.back().descending);
    EXPECT_EQ(column_cells(page.list_view(), 1), (std::vector<std::string>{"1", "2", "5", "9"}));
    EXPECT_EQ(recorder.notes.size(), 8u);
}

TEST_F(ValuePageTest, UsedMemorySortsByItsFormulaModulo32Bits) {
    value_list values;
    values.add("x", 10, 10);                          // 2 * 10 + 40 = 60
    values.add("longer text", 1, 1);                  // 12 + 4 = 16
    values.add(std::string(0xFFFF, 'w'), 0, 0x10001); // 0x10000 * 0x10001 wraps to 65536
    values.add("mid", 20, 1);                         // 4 + 80 = 84
    page.fill(values.list());

    pool_test::click_header_item(page.list_view(), 3);
    EXPECT_EQ(column_cells(page.list_view(), 3),
              (std::vector<std::string>{"16", "60", "84", "65536"}));
    EXPECT_EQ(values_shown()[0], "longer text");

    pool_test::click_header_item(page.list_view(), 4); // required: 16, 42, 84, 65536
    EXPECT_EQ(column_cells(page.list_view(), 4),
              (std::vector<std::string>{"16", "42", "84", "65536"}));
}

TEST_F(ValuePageTest, AnEmptyFillStillShowsLengthAscending) {
    page.sort_rows(2, true);
    page.fill(value_list().list());
    EXPECT_TRUE(list_rows(page.list_view()).empty());
    EXPECT_EQ(page.sort_control().sort_column(), 0);
    EXPECT_FALSE(page.sort_control().descending());
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    const HWND header = reinterpret_cast<HWND>(SendMessageW(page.list_view(), LVM_GETHEADER, 0, 0));
    ASSERT_TRUE(SendMessageW(header, HDM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    const int indicator = page.sort_control().native_indicators() ? HDF_SORTUP : HDF_BITMAP;
    EXPECT_EQ(item.fmt & indicator, indicator);
}

TEST_F(ValuePageTest, ARefillReplacesEveryRow) {
    value_list first;
    first.add("one", 1, 1).add("two", 1, 1);
    page.fill(first.list());
    pool_test::click_header_item(page.list_view(), 5);
    value_list second;
    second.add("three", 2, 1);
    page.fill(second.list());
    EXPECT_EQ(list_rows(page.list_view()), (rows_t{{"5", "2", "1", "14", "14", "three"}}));
    EXPECT_EQ(page.sort_control().sort_column(), 0);
}

TEST_F(ValuePageTest, CtrlShiftDownAsksToMoveAndMovesNothing) {
    value_list values;
    for (int i = 0; i < 8; ++i) {
        values.add("value " + std::to_string(i), 1, 1);
    }
    page.fill(values.list());
    LVITEMW state{};
    state.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    state.state = LVIS_FOCUSED | LVIS_SELECTED;
    SendMessageW(page.list_view(), LVM_SETITEMSTATE, 4, reinterpret_cast<LPARAM>(&state));
    notification_recorder recorder(page.handle());

    BYTE keys[256] = {};
    GetKeyboardState(keys);
    BYTE saved[256];
    memcpy(saved, keys, sizeof saved);
    keys[VK_SHIFT] = keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(page.list_view(), WM_KEYDOWN, VK_DOWN, 1);
    keys[VK_MENU] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(page.list_view(), WM_KEYDOWN, VK_DOWN, 1);
    SetKeyboardState(saved);

    ASSERT_EQ(recorder.notes.size(), 1u);
    EXPECT_EQ(recorder.notes[0].code, PVN_MOVESELECTION);
    EXPECT_EQ(recorder.notes[0].delta, 1);
    // Only the Alt combination reached the list, which moved its focus once.
    EXPECT_EQ(
        SendMessageW(page.list_view(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 5);
}

} // namespace
