// A refresh that fails: which error is shown, what the tables keep, and that
// the window is usable again afterwards with the lock given back.
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "host/host_error_translation.h"
#include "host/host_interfaces.h"
#include "refhost/thrower/host_thrower.h"
#include "win32/windows/cache/cache_window_fixture.h"

namespace cache_window {
namespace {

using refhost::fault_kind;
using refhost::host_call;

class RefreshFailure : public CacheWindow {
protected:
    void SetUp() override {
        CacheWindow::SetUp();
        window = open_window();
        ASSERT_NE(window, nullptr);
        p = find_pages(window);
        for (int i = 0; i < 3; ++i) {
            before[i] = rows_of(p.lists[i]);
            ASSERT_EQ(before[i].size(), 6u);
        }
        ASSERT_TRUE(host().alerts().empty());
        host_thrower_reset_counts();
    }

    // Every error the host raised was destroyed once, after the thrower's
    // frames had unwound, and no catch of the host above saw one.
    static void expect_host_errors_ended_well(std::uint32_t raised) {
        host_thrower_counts counts{};
        host_thrower_read_counts(&counts);
        EXPECT_EQ(counts.thrown, raised);
        EXPECT_EQ(counts.created, raised);
        EXPECT_EQ(counts.destroyed, raised);
        EXPECT_EQ(counts.frames_unwound, raised);
        EXPECT_EQ(counts.unwound_early, raised);
        EXPECT_EQ(counts.host_catches, 0u);
    }

    void expect_usable_again(std::uint32_t raised = 1) {
        expect_host_errors_ended_well(raised);
        EXPECT_TRUE(IsWindowEnabled(refresh_button(window)));
        EXPECT_FALSE(IsWindowVisible(progress_bar(window)));
        const refhost::lock_figures lock = host().lock();
        EXPECT_EQ(lock.depth, 0u);
        EXPECT_EQ(lock.acquires, lock.releases);
        EXPECT_EQ(host().outside_handle_references(), 0u);
        // And a new refresh starts from scratch.
        host().clear_faults();
        host().clear_records();
        for (HWND list : p.lists) {
            SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
        }
        press_refresh(window);
        EXPECT_TRUE(host().alerts().empty());
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(rows_of(p.lists[i]), before[i]) << "tab " << i;
        }
    }

    HWND window = nullptr;
    pages p;
    table before[3];
};

TEST_F(RefreshFailure, TwoMediaLibrariesGiveOneAlertAndEveryTableKeepsItsRows) {
    ASSERT_TRUE(host().duplicate_service(guids::media_library));
    press_refresh(window);
    ASSERT_EQ(host().alerts().size(), 1u);
    EXPECT_EQ(host().alerts()[0].text, "Unhandled exception:\nService duplicated");
    EXPECT_EQ(host().alerts()[0].caption, "Metadata Cache Statistics");
    EXPECT_EQ(host().alerts()[0].kind, 0u);
    // The library set could not be built: no table was touched.
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(rows_of(p.lists[i]), before[i]) << "tab " << i;
    }
    EXPECT_TRUE(IsWindowEnabled(refresh_button(window)));
    EXPECT_FALSE(IsWindowVisible(progress_bar(window)));
    EXPECT_EQ(refhost::read_progress(progress_bar(window)).position, 0);
    EXPECT_EQ(host().lock().depth, 0u);
    expect_host_errors_ended_well(0);
}

TEST_F(RefreshFailure, FailureBuildingPlaylistsLeavesLibraryRefilledAndTheOthersAsTheyWere) {
    // Empty tables show which ones the failed refresh wrote.
    for (HWND list : p.lists) {
        SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    }
    host().inject_fault(host_call::playlist_count, fault_kind::runtime_error);
    press_refresh(window);
    ASSERT_EQ(host().alerts().size(), 1u);
    EXPECT_EQ(host().alerts()[0].text, "Unhandled exception:\nInjected host failure");
    EXPECT_EQ(host().alerts()[0].caption, "Metadata Cache Statistics");
    EXPECT_EQ(rows_of(p.lists[0]), before[0]);
    EXPECT_TRUE(rows_of(p.lists[1]).empty());
    EXPECT_TRUE(rows_of(p.lists[2]).empty());
    EXPECT_EQ(refhost::read_progress(progress_bar(window)).position, 9);
    expect_usable_again();
}

TEST_F(RefreshFailure, FailureUnderTheLockClearsOnlyTheTableBeingFilled) {
    // The second table's lock: the engine has already emptied that table.
    host().inject_fault(host_call::acquire_lock, fault_kind::bad_alloc, 1);
    press_refresh(window);
    ASSERT_EQ(host().alerts().size(), 1u);
    EXPECT_EQ(host().alerts()[0].text.rfind("Unhandled exception:\n", 0), 0u);
    EXPECT_EQ(rows_of(p.lists[0]), before[0]);
    EXPECT_TRUE(rows_of(p.lists[1]).empty());
    EXPECT_EQ(rows_of(p.lists[2]), before[2]);
    expect_usable_again();
}

TEST_F(RefreshFailure, HostCancellationEndsTheRefreshWithoutAnAlert) {
    host().inject_fault(host_call::all_tracks, fault_kind::aborted);
    press_refresh(window);
    EXPECT_TRUE(host().alerts().empty());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(rows_of(p.lists[i]), before[i]) << "tab " << i;
    }
    expect_usable_again();
}

TEST_F(RefreshFailure, HostCancellationWhileTheCacheIsLockedReleasesItSilently) {
    const std::uint32_t acquires = host().lock().acquires;
    host().inject_fault(host_call::cached_info, fault_kind::aborted, 100);
    press_refresh(window);
    EXPECT_TRUE(host().alerts().empty());
    EXPECT_EQ(host().lock().acquires, acquires + 1);
    EXPECT_TRUE(rows_of(p.lists[0]).empty());
    expect_usable_again();
}

TEST_F(RefreshFailure, AHostErrorThatIsNoStandardExceptionShowsTheFixedText) {
    host().inject_fault(host_call::meta_field_value, fault_kind::not_standard, 300);
    press_refresh(window);
    ASSERT_EQ(host().alerts().size(), 1u);
    EXPECT_EQ(host().alerts()[0].text,
              std::string("Unhandled exception:\n") + foreign_host_error_text);
    EXPECT_EQ(host().alerts()[0].caption, "Metadata Cache Statistics");
    EXPECT_TRUE(rows_of(p.lists[0]).empty()) << "failed while the library table was filled";
    expect_usable_again();
}

// The host calls the component inside a catch of its own, as a host's
// message loop may: the component stops each error itself, under the lock or
// not, and the host's catch never sees one.
class HostCatchAbove : public RefreshFailure {
protected:
    static void press(void* context) {
        auto* test = static_cast<HostCatchAbove*>(context);
        test->press_refresh(test->window);
    }
};

TEST_F(HostCatchAbove, ReleasesTheLockAndEveryReferenceAndAlertsAsWithoutIt) {
    const struct {
        host_call call;
        fault_kind kind;
        std::uint32_t skip;
        std::string alert; // empty: none
    } cases[] = {
        {host_call::cached_info, fault_kind::aborted, 100, ""},
        {host_call::meta_field_value, fault_kind::runtime_error, 200,
         "Unhandled exception:\nInjected host failure"},
        {host_call::path_text, fault_kind::bad_alloc, 50, "Unhandled exception:\nbad allocation"},
        {host_call::enumerate_tracks, fault_kind::not_standard, 0,
         std::string("Unhandled exception:\n") + foreign_host_error_text},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(refhost::host_call_name(c.call));
        host().clear_records();
        host_thrower_reset_counts();
        host().inject_fault(c.call, c.kind, c.skip);
        EXPECT_EQ(host_thrower_call_catching(&HostCatchAbove::press, this), 0);
        host().clear_faults();
        if (c.alert.empty()) {
            EXPECT_TRUE(host().alerts().empty());
        } else {
            ASSERT_EQ(host().alerts().size(), 1u);
            EXPECT_EQ(host().alerts()[0].text, c.alert);
        }
        expect_host_errors_ended_well(1);
        const refhost::lock_figures lock = host().lock();
        EXPECT_EQ(lock.depth, 0u);
        EXPECT_EQ(lock.acquires, lock.releases);
        EXPECT_EQ(host().outside_handle_references(), 0u);
        EXPECT_TRUE(host().violations().empty());
        EXPECT_TRUE(IsWindowEnabled(refresh_button(window)));
    }
    expect_usable_again();
}

} // namespace
} // namespace cache_window
