// The modeless dialog base: who owns the object when the window goes away.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "resource_ids.h"
#include "ui/framework/dialog_window.h"

namespace {

// A dialog that counts its final messages and, on request, destroys itself
// while it is being initialised (as a window whose initialisation failed does
// when the error report pumps its posted close).
class counting_dialog : public dialog_window {
public:
    counting_dialog(int& finals, bool destroy_in_init)
        : m_finals(finals), m_destroy(destroy_in_init) {}

    bool process_message(HWND window, UINT message, WPARAM, LPARAM, LRESULT& result) override {
        if (message == WM_INITDIALOG && m_destroy) {
            DestroyWindow(window);
            result = FALSE;
            return true;
        }
        return false;
    }
    void on_final_message(HWND) override { ++m_finals; }

private:
    int& m_finals;
    bool m_destroy;
};

TEST(DialogWindow, AWindowDestroyedDuringCreationLeavesTheObjectWithItsCreator) {
    int finals = 0;
    auto dialog = std::make_unique<counting_dialog>(finals, true);
    const HWND window = dialog->create(GetModuleHandleW(nullptr), IDD_POOL_STATS, nullptr);
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(finals, 0) << "the final-message hook would have deleted the creator's object";
    EXPECT_EQ(dialog->handle(), nullptr);
}

TEST(DialogWindow, TheFinalMessageHookRunsOnceAfterANormalLife) {
    int finals = 0;
    auto dialog = std::make_unique<counting_dialog>(finals, false);
    const HWND window = dialog->create(GetModuleHandleW(nullptr), IDD_POOL_STATS, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(dialog->handle(), window);
    EXPECT_EQ(finals, 0);
    DestroyWindow(window);
    EXPECT_EQ(finals, 1);
    EXPECT_EQ(dialog->handle(), nullptr);
}

} // namespace
