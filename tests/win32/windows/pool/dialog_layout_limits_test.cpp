// The tracking limits of the dialog layout record: a limit given in dialog
// units applies to the whole window only when both its width and its height
// are nonzero. Both windows of the component pass 0, 0 for both limits; the
// record is tried here on template 105 with limits of its own, resized the way
// a user drags the frame (the system asks WM_GETMINMAXINFO and clamps).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "resources/resource_ids.h"
#include "ui/controls/dialog_layout.h"
#include "ui/framework/dialog_window.h"

namespace {

const dialog_layout_entry k_map[] = {
    {IDC_TAB, LAYOUT_SIZE_X | LAYOUT_SIZE_Y},
    {IDCANCEL, LAYOUT_MOVE_X | LAYOUT_MOVE_Y},
};

class limited_dialog final : public dialog_window {
public:
    limited_dialog(SIZE min_track, SIZE max_track) : m_layout(k_map, 2, min_track, max_track) {
        create(GetModuleHandleW(nullptr), IDD_POOL_STATS, nullptr);
    }
    ~limited_dialog() override {
        if (handle() != nullptr) {
            DestroyWindow(handle());
        }
    }

    bool process_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                         LRESULT& result) override {
        if (message == WM_SIZE) {
            m_layout.lay_out();
            return true;
        }
        if (message == WM_GETMINMAXINFO) {
            ++minmax_queries;
        }
        if (m_layout.handle_message(window, message, wparam, lparam, result)) {
            return true;
        }
        if (message == WM_INITDIALOG) {
            m_layout.create_size_grip();
            result = 0;
            return true;
        }
        return false;
    }

    // The window size, resized to width x height pixels.
    SIZE resized_to(int width, int height) {
        SetWindowPos(handle(), nullptr, 0, 0, width, height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT frame{};
        GetWindowRect(handle(), &frame);
        return SIZE{frame.right - frame.left, frame.bottom - frame.top};
    }

    // The window size whose client area is width x height dialog units.
    SIZE window_size_for(int width, int height) const {
        RECT r{0, 0, width, height};
        MapDialogRect(handle(), &r);
        AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(handle(), GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongPtrW(handle(), GWL_EXSTYLE)));
        return SIZE{r.right - r.left, r.bottom - r.top};
    }

    int minmax_queries = 0;

private:
    CDialogLayout m_layout;
};

std::string text(const SIZE& s) {
    return std::to_string(s.cx) + " x " + std::to_string(s.cy);
}

TEST(DialogLayoutLimits, BothSizesGivenClampTheWindowToThem) {
    limited_dialog dialog(SIZE{200, 100}, SIZE{500, 300});
    ASSERT_NE(dialog.handle(), nullptr);
    EXPECT_EQ(text(dialog.resized_to(3000, 3000)), text(dialog.window_size_for(500, 300)));
    EXPECT_EQ(text(dialog.resized_to(20, 20)), text(dialog.window_size_for(200, 100)));
    EXPECT_GT(dialog.minmax_queries, 0);
}

TEST(DialogLayoutLimits, ALimitWithAZeroSideIsNoLimit) {
    limited_dialog dialog(SIZE{200, 0}, SIZE{0, 300});
    ASSERT_NE(dialog.handle(), nullptr);
    const SIZE large = dialog.window_size_for(500, 300);
    const SIZE big = dialog.resized_to(large.cx + 40, large.cy + 30);
    EXPECT_EQ(text(big), text(SIZE{large.cx + 40, large.cy + 30}));
    const SIZE small = dialog.window_size_for(200, 100);
    const SIZE shrunk = dialog.resized_to(small.cx - 40, small.cy - 30);
    EXPECT_EQ(text(shrunk), text(SIZE{small.cx - 40, small.cy - 30}));
    EXPECT_GT(dialog.minmax_queries, 0);
}

} // namespace
