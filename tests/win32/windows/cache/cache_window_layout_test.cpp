// Resizing: the anchored controls, the size grip and the shown page; and a
// screenshot of the window over the sample library for a person to look at.
#include <windows.h>

#include <commctrl.h>

#include "refhost/screenshot.h"
#include "win32/windows/cache/cache_window_fixture.h"

namespace cache_window {
namespace {

RECT offset(RECT r, int left, int top, int right, int bottom) {
    return RECT{r.left + left, r.top + top, r.right + right, r.bottom + bottom};
}

void resize_by(HWND window, int dx, int dy) {
    RECT frame{};
    GetWindowRect(window, &frame);
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left + dx,
                 frame.bottom - frame.top + dy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND size_grip(HWND window) {
    const std::vector<HWND> grips = refhost::descendants(window, L"ScrollBar");
    EXPECT_EQ(grips.size(), 1u);
    return grips.empty() ? nullptr : grips[0];
}

class Resizing : public CacheWindow {
protected:
    void SetUp() override {
        CacheWindow::SetUp();
        window = open_window();
        ASSERT_NE(window, nullptr);
        p = find_pages(window);
        tab = template_rect(window, 4, 4, 389, 108);
        refresh = template_rect(window, 280, 120, 50, 14);
        close = template_rect(window, 341, 120, 50, 14);
        progress = template_rect(window, 4, 120, 268, 14);
        GetClientRect(window, &client);
    }

    // Every anchored control where the map puts it for a growth of dx, dy.
    void expect_anchored(int dx, int dy) {
        RECT now{};
        GetClientRect(window, &now);
        ASSERT_EQ(now.right - client.right, dx);
        ASSERT_EQ(now.bottom - client.bottom, dy);
        EXPECT_RECT_EQ(offset(tab, 0, 0, dx, dy),
                       refhost::rect_in_client(tab_control(window), window));
        EXPECT_RECT_EQ(offset(progress, 0, dy, dx, dy),
                       refhost::rect_in_client(progress_bar(window), window));
        EXPECT_RECT_EQ(offset(refresh, dx, dy, dx, dy),
                       refhost::rect_in_client(refresh_button(window), window));
        EXPECT_RECT_EQ(offset(close, dx, dy, dx, dy),
                       refhost::rect_in_client(GetDlgItem(window, k_close_id), window));
        const RECT grip = refhost::rect_in_client(size_grip(window), window);
        EXPECT_EQ(grip.right, now.right);
        EXPECT_EQ(grip.bottom, now.bottom);
        EXPECT_GT(grip.right - grip.left, 0);
        EXPECT_RECT_EQ(display_area(window), refhost::rect_in_client(shown_page(window), window));
    }

    HWND window = nullptr;
    pages p;
    RECT tab{}, refresh{}, close{}, progress{}, client{};
};

TEST_F(Resizing, TheGripSitsVisibleInTheBottomRightCornerFromTheStart) {
    HWND grip = size_grip(window);
    ASSERT_NE(grip, nullptr);
    EXPECT_TRUE(IsWindowVisible(grip));
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(grip, GWL_STYLE));
    EXPECT_TRUE(style & SBS_SIZEGRIP);
    EXPECT_TRUE(style & SBS_SIZEBOXBOTTOMRIGHTALIGN);
    expect_anchored(0, 0);
}

TEST_F(Resizing, GrowingBy40And30MovesAndStretchesEveryAnchoredControl) {
    resize_by(window, 40, 30);
    expect_anchored(40, 30);
    // The About page was hidden during the resize and fits when shown.
    select_tab(window, 3);
    EXPECT_EQ(shown_page(window), p.about);
    EXPECT_RECT_EQ(display_area(window), refhost::rect_in_client(p.about, window));
}

TEST_F(Resizing, ResizingBackRestoresTheTemplatePositionsWithoutDrift) {
    resize_by(window, 40, 30);
    select_tab(window, 1);
    resize_by(window, -13, 7);
    resize_by(window, -27, -37);
    expect_anchored(0, 0);
    EXPECT_EQ(shown_page(window), p.lists[1]);
}

TEST_F(Resizing, ShrinkingMovesTheButtonsUpAndLeftAndShrinksTheTabs) {
    resize_by(window, -60, -20);
    expect_anchored(-60, -20);
}

TEST_F(CacheWindow, ScreenshotsOfTheLibraryAndAboutPagesOverTheSampleLibrary) {
    HWND window = open_window();
    ASSERT_NE(window, nullptr);
    std::string error;
    EXPECT_TRUE(refhost::save_window_bitmap(window, L"cache_statistics_window.bmp", error))
        << error;
    EXPECT_NE(GetFileAttributesW(L"cache_statistics_window.bmp"), INVALID_FILE_ATTRIBUTES);
    select_tab(window, 3);
    EXPECT_TRUE(refhost::save_window_bitmap(window, L"cache_statistics_about.bmp", error)) << error;
    EXPECT_NE(GetFileAttributesW(L"cache_statistics_about.bmp"), INVALID_FILE_ATTRIBUTES);
}

} // namespace
} // namespace cache_window
