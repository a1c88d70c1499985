// The sortable list view on a list of its own: header clicks, the parent's
// notifications and veto, the header indicator, column bookkeeping, the
// keyboard move request and clean-up. Built twice, with and without a comctl32
// v6 manifest; each build runs every case in the indicator mode the version
// probe chooses and in both modes set explicitly (wine's v6 common controls
// report version 5.81, so the probe alone never reaches the native mode there).
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/controls/playlist_view_ctrl.h"
#include "ui/controls/playlist_view_notifications.h"

#ifndef POOLSCOPE_EXPECT_COMCTL32_V6
#error "build with POOLSCOPE_EXPECT_COMCTL32_V6 set to 0 or 1"
#endif

namespace {

constexpr int k_list_id = 1004;

struct notification {
    int code;
    int new_column;
    int old_column;
    bool descending;
    int delta;
    bool operator==(const notification& o) const {
        return code == o.code && new_column == o.new_column && old_column == o.old_column &&
               descending == o.descending && delta == o.delta;
    }
};

std::ostream& operator<<(std::ostream& out, const notification& n) {
    return out << "{code " << n.code << ", new " << n.new_column << ", old " << n.old_column
               << ", desc " << n.descending << ", delta " << n.delta << "}";
}

notification sort_note(int code, int new_column, int old_column, bool descending) {
    return notification{code, new_column, old_column, descending, 0};
}

// A parent window that records the list's notifications and can veto.
class test_parent {
public:
    test_parent() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &test_parent::proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"PoolScopeListTestParent";
        RegisterClassW(&wc); // a second registration fails harmlessly
        window = CreateWindowExW(0, wc.lpszClassName, L"list test", WS_OVERLAPPEDWINDOW, 0, 0, 640,
                                 400, nullptr, nullptr, wc.hInstance, this);
        list =
            CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                            WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0, 600, 300,
                            window, reinterpret_cast<HMENU>(k_list_id), wc.hInstance, nullptr);
        ShowWindow(window, SW_SHOW);
    }
    ~test_parent() {
        if (IsWindow(window)) {
            DestroyWindow(window);
        }
    }

    HWND window = nullptr;
    HWND list = nullptr;
    LRESULT veto = 0;
    std::vector<notification> notes;
    int column_clicks = 0;
    int other_list_sorts = 0;

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<test_parent*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (message == WM_NOTIFY && self != nullptr) {
            return self->on_notify(*reinterpret_cast<NMHDR*>(lparam), wparam);
        }
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }

    LRESULT on_notify(const NMHDR& header, WPARAM id) {
        const int code = static_cast<int>(header.code);
        if (header.hwndFrom != list) {
            if (code == PVN_SORTCHANGED) {
                ++other_list_sorts; // another list of this parent
            }
            return 0;
        }
        if (code == PVN_SORTCHANGING || code == PVN_SORTCHANGED) {
            EXPECT_EQ(header.idFrom, static_cast<UINT_PTR>(k_list_id));
            EXPECT_EQ(id, static_cast<WPARAM>(k_list_id));
            const auto& sort = reinterpret_cast<const NMPVSORT&>(header);
            notes.push_back(sort_note(code, sort.new_column, sort.old_column, sort.descending));
            return code == PVN_SORTCHANGING ? veto : 0;
        }
        if (code == PVN_MOVESELECTION) {
            EXPECT_EQ(header.hwndFrom, list);
            const auto& move = reinterpret_cast<const NMPVMOVE&>(header);
            notes.push_back(notification{code, 0, 0, false, move.delta});
            return 0;
        }
        if (header.code == LVN_COLUMNCLICK) {
            ++column_clicks;
        }
        return 0;
    }
};

enum class mode_choice { probed, native, drawn };

std::unique_ptr<CPlaylistViewCtrl> make_control(mode_choice choice) {
    switch (choice) {
    case mode_choice::native:
        return std::make_unique<CPlaylistViewCtrl>(sort_indicator_mode::native);
    case mode_choice::drawn:
        return std::make_unique<CPlaylistViewCtrl>(sort_indicator_mode::drawn);
    default:
        return std::make_unique<CPlaylistViewCtrl>();
    }
}

void PrintTo(mode_choice choice, std::ostream* out) {
    const char* names[] = {"probed", "native", "drawn"};
    *out << names[static_cast<int>(choice)];
}

std::string mode_name(const ::testing::TestParamInfo<mode_choice>& info) {
    switch (info.param) {
    case mode_choice::native:
        return "Native";
    case mode_choice::drawn:
        return "Drawn";
    default:
        return "Probed";
    }
}

class PlaylistViewTest : public ::testing::TestWithParam<mode_choice> {
protected:
    void SetUp() override {
        ASSERT_NE(parent.list, nullptr);
        ASSERT_TRUE(control->subclass(parent.list));
        const wchar_t* titles[] = {L"Length", L"Count", L"Memory", L"Value"};
        for (int i = 0; i < 4; ++i) {
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.cx = 100;
            column.pszText = const_cast<wchar_t*>(titles[i]);
            ASSERT_EQ(control->list().insert_column(i, column), i);
        }
    }

    HWND header() const { return control->list().header().handle(); }

    HDITEMW header_item(int column) const {
        HDITEMW item{};
        item.mask = HDI_FORMAT | HDI_BITMAP;
        EXPECT_TRUE(control->list().header().get_item(column, item));
        return item;
    }

    // A real left click on the middle of a header item.
    void click_header(int column) {
        RECT rect{};
        ASSERT_TRUE(control->list().header().item_rect(column, rect));
        const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        SendMessageW(header(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(header(), WM_LBUTTONUP, 0, at);
    }

    // The notification a header sends for a click with the given button.
    void send_item_click(int column, int button) {
        NMHEADERW click{};
        click.hdr.hwndFrom = header();
        click.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(header()));
        click.hdr.code = HDN_ITEMCLICKW;
        click.iItem = column;
        click.iButton = button;
        SendMessageW(parent.list, WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
    }

    // Checks the header shows column with the direction, and no other column
    // shows an indicator.
    void expect_indicator(int column, bool descending) {
        for (int i = 0; i < 4; ++i) {
            const HDITEMW item = header_item(i);
            if (control->native_indicators()) {
                const int expected = i != column ? 0 : (descending ? HDF_SORTDOWN : HDF_SORTUP);
                EXPECT_EQ(item.fmt & (HDF_SORTUP | HDF_SORTDOWN), expected) << "column " << i;
                EXPECT_EQ(item.fmt & HDF_BITMAP, 0) << "column " << i;
            } else if (i == column) {
                EXPECT_EQ(item.fmt & (HDF_BITMAP | HDF_BITMAP_ON_RIGHT),
                          HDF_BITMAP | HDF_BITMAP_ON_RIGHT);
                EXPECT_EQ(item.fmt & HDF_IMAGE, 0);
                EXPECT_EQ(item.hbm, control->arrow_bitmap(descending ? 1 : 0));
                EXPECT_NE(item.hbm, nullptr);
            } else {
                EXPECT_EQ(item.fmt & HDF_BITMAP, 0) << "column " << i;
                EXPECT_TRUE(item.hbm == nullptr || (item.hbm != control->arrow_bitmap(0) &&
                                                    item.hbm != control->arrow_bitmap(1)))
                    << "column " << i;
            }
        }
        if (control->native_indicators()) {
            EXPECT_EQ(SendMessageW(parent.list, LVM_GETSELECTEDCOLUMN, 0, 0), column);
        }
        EXPECT_EQ(control->sort_column(), column);
        EXPECT_EQ(control->descending(), descending);
    }

    void add_rows(int count) {
        for (int i = 0; i < count; ++i) {
            ASSERT_EQ(control->list().insert_item(i, i), i);
        }
    }

    void focus_row(int row) {
        LVITEMW item{};
        item.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
        item.state = LVIS_FOCUSED | LVIS_SELECTED;
        SendMessageW(parent.list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
    }

    int focused_row() const { return control->list().next_item(-1, LVNI_FOCUSED); }

    // Presses key with the modifiers held in this thread's keyboard state.
    void press(WORD key, bool shift, bool ctrl, bool alt) {
        BYTE state[256] = {};
        GetKeyboardState(state);
        BYTE saved[256];
        memcpy(saved, state, sizeof saved);
        state[VK_SHIFT] = shift ? 0x80 : 0;
        state[VK_CONTROL] = ctrl ? 0x80 : 0;
        state[VK_MENU] = alt ? 0x80 : 0;
        SetKeyboardState(state);
        SendMessageW(parent.list, WM_KEYDOWN, key, 1);
        SetKeyboardState(saved);
    }

    test_parent parent;
    std::unique_ptr<CPlaylistViewCtrl> control = make_control(GetParam());
};

INSTANTIATE_TEST_SUITE_P(Modes, PlaylistViewTest,
                         ::testing::Values(mode_choice::probed, mode_choice::native,
                                           mode_choice::drawn),
                         mode_name);

std::wstring loaded_comctl32_path() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(GetModuleHandleW(L"comctl32.dll"), path, MAX_PATH);
    return path;
}

TEST(PlaylistViewVersion, TheProbeReadsTheLoadedCommonControls) {
    InitCommonControls();
    DWORD major = 0;
    DWORD minor = 0;
    ASSERT_TRUE(probe_comctl32_version(major, minor));
    ::testing::Test::RecordProperty("comctl32",
                                    std::to_string(major) + "." + std::to_string(minor));
    const std::wstring path = loaded_comctl32_path();
    const bool side_by_side = path.find(L"winsxs") != std::wstring::npos;
    if (POOLSCOPE_EXPECT_COMCTL32_V6) {
        EXPECT_TRUE(side_by_side) << "the manifest did not bind the v6 common controls";
    } else {
        EXPECT_FALSE(side_by_side);
        EXPECT_LT(major, 6u);
    }
    CPlaylistViewCtrl control;
    EXPECT_EQ(control.native_indicators(), major >= 6);
    EXPECT_EQ(control.sort_column(), -1);
    EXPECT_FALSE(control.descending());
    EXPECT_TRUE(CPlaylistViewCtrl(sort_indicator_mode::native).native_indicators());
    EXPECT_FALSE(CPlaylistViewCtrl(sort_indicator_mode::drawn).native_indicators());
}

TEST_P(PlaylistViewTest, ClicksStartAscendingAndToggleOnTheSameColumn) {
    click_header(2);
    ASSERT_EQ(parent.notes.size(), 2u);
    EXPECT_EQ(parent.notes[0], sort_note(PVN_SORTCHANGING, 2, -1, false));
    EXPECT_EQ(parent.notes[1], sort_note(PVN_SORTCHANGED, 2, -1, false));
    EXPECT_EQ(parent.column_clicks, 1) << "the click must reach the list view too";
    expect_indicator(2, false);

    click_header(2);
    ASSERT_EQ(parent.notes.size(), 4u);
    EXPECT_EQ(parent.notes[2], sort_note(PVN_SORTCHANGING, 2, 2, true));
    EXPECT_EQ(parent.notes[3], sort_note(PVN_SORTCHANGED, 2, 2, true));
    expect_indicator(2, true);

    click_header(2);
    EXPECT_EQ(parent.notes.back(), sort_note(PVN_SORTCHANGED, 2, 2, false));
    expect_indicator(2, false);
}

TEST_P(PlaylistViewTest, AnotherColumnStartsAscendingAndTheOldOneGetsItsLookBack) {
    // Give column 2 a look of its own, which it must get back exactly.
    HDITEMW own{};
    own.mask = HDI_FORMAT;
    own.fmt = HDF_STRING | HDF_RIGHT;
    ASSERT_TRUE(control->list().header().set_item(2, own));
    const HDITEMW before = header_item(2);

    click_header(2);
    click_header(2);
    expect_indicator(2, true);
    click_header(3);
    EXPECT_EQ(parent.notes.back(), sort_note(PVN_SORTCHANGED, 3, 2, false));
    expect_indicator(3, false);

    const HDITEMW after = header_item(2);
    EXPECT_EQ(after.fmt, before.fmt);
    EXPECT_EQ(after.hbm, before.hbm);
}

TEST_P(PlaylistViewTest, AVetoChangesNothing) {
    click_header(1);
    parent.notes.clear();
    parent.veto = 1;
    const HDITEMW before = header_item(1);

    click_header(3);
    ASSERT_EQ(parent.notes.size(), 1u);
    EXPECT_EQ(parent.notes[0], sort_note(PVN_SORTCHANGING, 3, 1, false));
    expect_indicator(1, false);
    EXPECT_EQ(header_item(1).fmt, before.fmt);

    click_header(1);
    ASSERT_EQ(parent.notes.size(), 2u);
    EXPECT_EQ(parent.notes[1], sort_note(PVN_SORTCHANGING, 1, 1, true));
    expect_indicator(1, false);
}

TEST_P(PlaylistViewTest, OnlyLeftClicksFromTheHeaderCount) {
    send_item_click(1, 1); // right button
    send_item_click(1, 2); // middle button
    EXPECT_TRUE(parent.notes.empty());
    EXPECT_EQ(control->sort_column(), -1);

    send_item_click(1, 0);
    ASSERT_EQ(parent.notes.size(), 2u);
    EXPECT_EQ(parent.notes[1], sort_note(PVN_SORTCHANGED, 1, -1, false));
}

TEST_P(PlaylistViewTest, SettingTheIndicatorSendsNothing) {
    control->set_sort_indicator(0, false);
    expect_indicator(0, false);
    control->set_sort_indicator(0, true);
    expect_indicator(0, true);
    EXPECT_TRUE(parent.notes.empty());
    // The first click on the indicated column reverses it.
    click_header(0);
    EXPECT_EQ(parent.notes.back(), sort_note(PVN_SORTCHANGED, 0, 0, false));
}

TEST_P(PlaylistViewTest, ColumnsInsertedOrDeletedKeepTheSortColumnOnItsItem) {
    control->set_sort_indicator(2, false);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 50;
    column.pszText = const_cast<wchar_t*>(L"New");
    ASSERT_EQ(control->list().insert_column(2, column), 2);
    EXPECT_EQ(control->sort_column(), 3);
    ASSERT_EQ(control->list().insert_column(4, column), 4);
    EXPECT_EQ(control->sort_column(), 3);
    ASSERT_TRUE(control->list().delete_column(0));
    EXPECT_EQ(control->sort_column(), 2);
    ASSERT_TRUE(control->list().delete_column(3));
    EXPECT_EQ(control->sort_column(), 2);
    ASSERT_FALSE(control->list().delete_column(17));
    EXPECT_EQ(control->sort_column(), 2);
    ASSERT_TRUE(control->list().delete_column(2));
    EXPECT_EQ(control->sort_column(), -1);
}

TEST_P(PlaylistViewTest, CtrlShiftMovementKeysAskTheParentAndMoveNothing) {
    add_rows(10);
    focus_row(4);
    SetFocus(parent.list);

    press(VK_DOWN, true, true, false);
    ASSERT_EQ(parent.notes.size(), 1u);
    EXPECT_EQ(parent.notes[0].code, PVN_MOVESELECTION);
    EXPECT_EQ(parent.notes[0].delta, 1);
    EXPECT_EQ(focused_row(), 4);

    press(VK_UP, true, true, false);
    EXPECT_EQ(parent.notes.back().delta, -1);
    press(VK_HOME, true, true, false);
    EXPECT_EQ(parent.notes.back().delta, -4);
    press(VK_END, true, true, false);
    EXPECT_EQ(parent.notes.back().delta, 5);
    press(VK_PRIOR, true, true, false); // to the top visible row
    EXPECT_EQ(parent.notes.back().delta, -4);
    EXPECT_EQ(parent.notes.size(), 5u);
    EXPECT_EQ(focused_row(), 4);

    focus_row(0);
    const int per_page = control->list().count_per_page();
    ASSERT_GT(per_page, 0);
    press(VK_PRIOR, true, true, false); // already at the top: a page up
    EXPECT_EQ(parent.notes.back().delta, -per_page);
    press(VK_NEXT, true, true, false);
    EXPECT_EQ(parent.notes.back().delta, per_page);
    EXPECT_EQ(focused_row(), 0);
}

TEST_P(PlaylistViewTest, OtherKeysAndModifiersReachTheList) {
    add_rows(10);
    focus_row(4);
    SetFocus(parent.list);

    press(VK_DOWN, true, true, true); // with Alt: the list's own handling
    EXPECT_TRUE(parent.notes.empty());
    EXPECT_EQ(focused_row(), 5);

    press(VK_DOWN, false, true, false); // Ctrl alone: the list moves the focus
    EXPECT_TRUE(parent.notes.empty());
    EXPECT_EQ(focused_row(), 6);

    press(VK_RIGHT, true, true, false);
    press(VK_LEFT, true, true, false);
    press('A', true, true, false);
    EXPECT_TRUE(parent.notes.empty());
}

TEST_P(PlaylistViewTest, DrawnArrowsFollowASettingsChange) {
    control->set_sort_indicator(1, true);
    SendMessageW(parent.list, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
    expect_indicator(1, true);
    if (!control->native_indicators()) {
        EXPECT_NE(GetObjectType(control->arrow_bitmap(0)), 0u);
        EXPECT_NE(GetObjectType(control->arrow_bitmap(1)), 0u);
    }
    SendMessageW(parent.list, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    expect_indicator(1, true);
    EXPECT_TRUE(parent.notes.empty());
}

// Colour of one pixel of a bitmap.
COLORREF pixel_of(HBITMAP bitmap, int x, int y) {
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    const COLORREF colour = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return colour;
}

SIZE size_of(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    return SIZE{info.bmWidth, info.bmHeight};
}

TEST_P(PlaylistViewTest, WithoutTheShellArrowsTheControlDrawsTriangles) {
    if (control->native_indicators()) {
        GTEST_SKIP() << "the header draws its own arrows";
    }
    EXPECT_EQ(control->options(), CPlaylistViewImpl::option_shell_arrows);
    control->set_options(0);
    control->set_sort_indicator(1, false);
    const HBITMAP up = control->arrow_bitmap(0);
    const HBITMAP down = control->arrow_bitmap(1);
    ASSERT_NE(up, nullptr);
    ASSERT_NE(down, nullptr);
    for (HBITMAP arrow : {up, down}) {
        const SIZE size = size_of(arrow);
        EXPECT_EQ(size.cx, 16);
        EXPECT_EQ(size.cy, 15);
    }
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    // Up: (7,4) (2,9) (12,9). Down: (2,4) (7,9) (12,4).
    EXPECT_EQ(pixel_of(up, 7, 7), shadow);
    EXPECT_EQ(pixel_of(up, 3, 5), face);
    EXPECT_EQ(pixel_of(up, 7, 11), face);
    EXPECT_EQ(pixel_of(down, 7, 6), shadow);
    EXPECT_EQ(pixel_of(down, 3, 8), face);
    EXPECT_EQ(pixel_of(down, 7, 2), face);
    EXPECT_EQ(pixel_of(up, 0, 0), face);
    EXPECT_EQ(pixel_of(down, 15, 14), face);
    EXPECT_EQ(header_item(1).hbm, up);

    // With the option back, a settings change takes the shell's bitmaps.
    control->set_options(CPlaylistViewImpl::option_shell_arrows);
    SendMessageW(parent.list, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
    expect_indicator(1, false);
    EXPECT_NE(size_of(control->arrow_bitmap(0)).cx, 0);
}

TEST_P(PlaylistViewTest, TwoListsKeepTheirOwnState) {
    // A second sortable list under the same parent, messages interleaved.
    const HWND other_list = CreateWindowExW(
        0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 300, 600, 80, parent.window,
        reinterpret_cast<HMENU>(k_list_id + 1), GetModuleHandleW(nullptr), nullptr);
    auto other = make_control(GetParam());
    ASSERT_TRUE(other->subclass(other_list));
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 100;
    column.pszText = const_cast<wchar_t*>(L"Other");
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(other->list().insert_column(i, column), i);
    }
    const HWND other_header = other->list().header().handle();

    click_header(1);
    RECT rect{};
    ASSERT_TRUE(other->list().header().item_rect(2, rect));
    const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    SendMessageW(other_header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(other_header, WM_LBUTTONUP, 0, at);
    click_header(1);

    EXPECT_EQ(control->sort_column(), 1);
    EXPECT_TRUE(control->descending());
    EXPECT_EQ(other->sort_column(), 2);
    EXPECT_FALSE(other->descending());
    EXPECT_EQ(parent.other_list_sorts, 1);
    EXPECT_EQ(parent.notes.size(), 4u);

    // A list destroyed and another subclassed in its place: no stale object.
    DestroyWindow(other_list);
    other.reset();
    click_header(1);
    EXPECT_FALSE(control->descending());
}

TEST_P(PlaylistViewTest, DestructionRestoresTheListAndFreesTheArrows) {
    control->set_sort_indicator(0, false);
    const HBITMAP arrows[2] = {control->arrow_bitmap(0), control->arrow_bitmap(1)};
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(parent.list, GWLP_WNDPROC)),
              control->window_procedure());

    DestroyWindow(parent.list);
    EXPECT_EQ(control->handle(), nullptr);
    const bool native = control->native_indicators();
    control.reset();
    if (native) {
        EXPECT_EQ(arrows[0], nullptr);
    } else {
        ASSERT_NE(arrows[0], nullptr);
        EXPECT_EQ(GetObjectType(arrows[0]), 0u);
        EXPECT_EQ(GetObjectType(arrows[1]), 0u);
    }
}

} // namespace
