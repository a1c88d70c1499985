// How the pages build their columns: a report list always aligns its first
// column to the left, so each page inserts an empty placeholder at 0, its
// right-aligned "Length" at 1, deletes the placeholder and then inserts the
// other columns at 1, 2, ... The messages are recorded on their way to the
// list, while the page initialises.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "refhost/text_convert.h"
#include "resources/resource_ids.h"
#include "ui/pool_window/pool_length_stats_dialog.h"
#include "ui/pool_window/pool_string_stats_dialog.h"

namespace {

// The column messages that windows of this thread receive while it exists,
// as "insert <index> <format> <width> <title>" and "delete <index>".
class column_message_log {
public:
    column_message_log() {
        s_log = this;
        m_hook = SetWindowsHookExW(WH_CALLWNDPROC, &hook, nullptr, GetCurrentThreadId());
    }
    ~column_message_log() {
        UnhookWindowsHookEx(m_hook);
        s_log = nullptr;
    }
    column_message_log(const column_message_log&) = delete;
    column_message_log& operator=(const column_message_log&) = delete;

    bool active() const { return m_hook != nullptr; }
    std::vector<std::string> entries;

private:
    static LRESULT CALLBACK hook(int code, WPARAM wparam, LPARAM lparam) {
        if (code == HC_ACTION && s_log != nullptr) {
            const auto& sent = *reinterpret_cast<const CWPSTRUCT*>(lparam);
            if (sent.message == LVM_INSERTCOLUMNW) {
                const auto& column = *reinterpret_cast<const LVCOLUMNW*>(sent.lParam);
                const bool right = (column.mask & LVCF_FMT) != 0 &&
                                   (column.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT;
                const std::string width =
                    (column.mask & LVCF_WIDTH) != 0 ? std::to_string(column.cx) : "-";
                const std::string title = (column.mask & LVCF_TEXT) != 0 && column.pszText
                                              ? refhost::wide_to_utf8(column.pszText)
                                              : "?";
                s_log->entries.push_back("insert " + std::to_string(sent.wParam) +
                                         (right ? " right " : " left ") + width + " " + title);
            } else if (sent.message == LVM_DELETECOLUMN) {
                s_log->entries.push_back("delete " + std::to_string(sent.wParam));
            }
        }
        return CallNextHookEx(nullptr, code, wparam, lparam);
    }

    static column_message_log* s_log;
    HHOOK m_hook = nullptr;
};

column_message_log* column_message_log::s_log = nullptr;

// Creates page from template_id under a window of its own, recording the
// column messages of its initialisation.
template <typename Page> std::vector<std::string> columns_built_by(Page& page, WORD template_id) {
    HWND holder = CreateWindowExW(0, L"STATIC", L"page host", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    EXPECT_NE(holder, nullptr);
    std::vector<std::string> entries;
    {
        column_message_log log;
        EXPECT_TRUE(log.active());
        EXPECT_NE(page.create(GetModuleHandleW(nullptr), template_id, holder), nullptr);
        entries = log.entries;
    }
    DestroyWindow(holder);
    return entries;
}

TEST(PageColumns, LengthPageInsertsBehindAPlaceholderThenAtOneToSix) {
    CPoolLengthStatsDialog page;
    const std::vector<std::string> expected = {
        "insert 0 left - ",
        "insert 1 right 40 Length",
        "delete 0",
        "insert 1 right 60 Percent",
        "insert 2 right 60 Logical Strings",
        "insert 3 right 60 Physical Strings",
        "insert 4 right 60 Unique Strings",
        "insert 5 right 60 Used Memory",
        "insert 6 right 60 Required Memory",
    };
    EXPECT_EQ(columns_built_by(page, IDD_POOL_LENGTH_PAGE), expected);
}

TEST(PageColumns, ValuePageInsertsBehindAPlaceholderThenAtOneToFive) {
    CPoolStringStatsDialog page;
    const std::vector<std::string> expected = {
        "insert 0 left - ",
        "insert 1 right 40 Length",
        "delete 0",
        "insert 1 right 60 Logical Strings",
        "insert 2 right 60 Physical Strings",
        "insert 3 right 60 Used Memory",
        "insert 4 right 60 Required Memory",
        "insert 5 left 300 Value",
    };
    EXPECT_EQ(columns_built_by(page, IDD_POOL_VALUE_PAGE), expected);
    // The sortable control saw every column arrive and none is sorted yet.
    EXPECT_EQ(page.sort_control().sort_column(), -1);
}

} // namespace
