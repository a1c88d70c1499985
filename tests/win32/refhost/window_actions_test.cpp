// Acting on windows as a user would: the notifications a tab change and a row
// activation send to the control's parent, in order, and the refusals.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "refhost/window_actions.h"

namespace {

using namespace refhost;

struct notification {
    UINT code;
    UINT_PTR id;
    int item; // NMITEMACTIVATE and NMLISTVIEW: the row; otherwise -1
    bool operator==(const notification& o) const {
        return code == o.code && id == o.id && item == o.item;
    }
};

std::vector<notification> g_seen;
bool g_refuse_tab_change = false;

LRESULT CALLBACK parent_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lparam);
        int item = -1;
        if (header->code == LVN_ITEMACTIVATE) {
            item = reinterpret_cast<const NMITEMACTIVATE*>(lparam)->iItem;
        } else if (header->code == LVN_ITEMCHANGED) {
            const auto* change = reinterpret_cast<const NMLISTVIEW*>(lparam);
            if ((change->uNewState & LVIS_SELECTED) == 0) {
                return 0; // only the rows that became selected
            }
            item = change->iItem;
        } else if (header->code != TCN_SELCHANGING && header->code != TCN_SELCHANGE) {
            return 0;
        }
        g_seen.push_back(notification{header->code, header->idFrom, item});
        return header->code == TCN_SELCHANGING && g_refuse_tab_change ? TRUE : 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

class WindowActions : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSW wc{};
        wc.lpfnWndProc = parent_proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"refhost_window_actions_test";
        RegisterClassW(&wc);
        m_parent = CreateWindowExW(0, wc.lpszClassName, L"actions", WS_OVERLAPPEDWINDOW, 0, 0, 400,
                                   300, nullptr, nullptr, wc.hInstance, nullptr);
        m_tab = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 300, 30,
                                m_parent, reinterpret_cast<HMENU>(1001), wc.hInstance, nullptr);
        for (int i = 0; i < 3; ++i) {
            wchar_t text[] = L"tab";
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            SendMessageW(m_tab, TCM_INSERTITEMW, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(&item));
        }
        for (int l = 0; l < 2; ++l) {
            m_lists[l] = CreateWindowExW(
                0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT | (l == 1 ? WS_VISIBLE : 0), 0, 40, 300,
                200, m_parent, reinterpret_cast<HMENU>(1004 + l), wc.hInstance, nullptr);
            wchar_t header[] = L"Pool";
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.cx = 100;
            column.pszText = header;
            SendMessageW(m_lists[l], LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
            for (int r = 0; r < 4; ++r) {
                wchar_t text[] = L"row";
                LVITEMW item{};
                item.mask = LVIF_TEXT;
                item.iItem = r;
                item.pszText = text;
                SendMessageW(m_lists[l], LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
            }
        }
        ShowWindow(m_parent, SW_SHOW);
        g_seen.clear();
        g_refuse_tab_change = false;
    }
    void TearDown() override { DestroyWindow(m_parent); }

    UINT row_state(HWND list, int row) const {
        return static_cast<UINT>(SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row),
                                              LVIS_SELECTED | LVIS_FOCUSED));
    }

    HWND m_parent = nullptr;
    HWND m_tab = nullptr;
    HWND m_lists[2] = {};
};

TEST_F(WindowActions, ATabChangeIsAnnouncedBeforeAndAfterTheSelection) {
    std::string error;
    ASSERT_TRUE(select_tab_as_user(m_tab, 2, error)) << error;
    EXPECT_EQ(SendMessageW(m_tab, TCM_GETCURSEL, 0, 0), 2);
    const std::vector<notification> expected{{TCN_SELCHANGING, 1001, -1},
                                             {TCN_SELCHANGE, 1001, -1}};
    EXPECT_EQ(g_seen, expected);
}

TEST_F(WindowActions, ARefusedOrMissingTabLeavesTheSelectionAlone) {
    std::string error;
    g_refuse_tab_change = true;
    EXPECT_FALSE(select_tab_as_user(m_tab, 1, error));
    EXPECT_EQ(SendMessageW(m_tab, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(g_seen, (std::vector<notification>{{TCN_SELCHANGING, 1001, -1}}));

    g_seen.clear();
    g_refuse_tab_change = false;
    for (const int index : {3, -1}) {
        EXPECT_FALSE(select_tab_as_user(m_tab, index, error));
        EXPECT_NE(error.find("the window has 3 tabs"), std::string::npos) << error;
    }
    EXPECT_TRUE(g_seen.empty());
}

TEST_F(WindowActions, ActivatingARowSelectsItAloneThenAnnouncesTheActivation) {
    HWND list = m_lists[1];
    std::string error;
    ASSERT_TRUE(activate_list_row(list, 0, error)) << error;
    g_seen.clear();
    ASSERT_TRUE(activate_list_row(list, 2, error)) << error;
    EXPECT_EQ(row_state(list, 2), static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED));
    EXPECT_EQ(row_state(list, 0), 0u) << "the row selected before is not any more";
    const std::vector<notification> expected{{LVN_ITEMCHANGED, 1005, 2},
                                             {LVN_ITEMACTIVATE, 1005, 2}};
    EXPECT_EQ(g_seen, expected);

    g_seen.clear();
    for (const int row : {4, -1}) {
        EXPECT_FALSE(activate_list_row(list, row, error));
        EXPECT_NE(error.find("the list has 4 rows"), std::string::npos) << error;
    }
    EXPECT_TRUE(g_seen.empty());
}

TEST_F(WindowActions, TheVisibleListIsTheCurrentPage) {
    EXPECT_EQ(visible_list_view(m_parent), m_lists[1]);
    ShowWindow(m_lists[1], SW_HIDE);
    ShowWindow(m_lists[0], SW_SHOW);
    EXPECT_EQ(visible_list_view(m_parent), m_lists[0]);
    ShowWindow(m_lists[0], SW_HIDE);
    EXPECT_EQ(visible_list_view(m_parent), nullptr);
}

} // namespace
