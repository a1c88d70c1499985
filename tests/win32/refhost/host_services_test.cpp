// The host services as a component meets them: the lock and its breach
// detection, the playlist mask, the library appending into a component list,
// misbehaving registrations, injected failures, filters, alerts and console.
#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>
#include <vector>

#include "host/host_guard.h"
#include "host/service_lookup.h"
#include "refhost/host_api.h"
#include "refhost/thrower/host_thrower.h"
#include "support/errors.h"
#include "support/list.h"
#include "win32/refhost/test_support.h"

namespace {

using namespace refhost;
using refhost_test::small_library;
using handle_list = list_t<service_ptr_t<metadb_handle>>;

bool mentions(const std::vector<std::string>& lines, const std::string& part) {
    for (const std::string& l : lines) {
        if (l.find(part) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST(HostLock, CountsBalanceAndReportsNestingAndUnbalancedReleases) {
    host h(small_library());
    metadata_cache& cache = h.cache_service();
    cache.acquire_lock();
    EXPECT_EQ(h.lock().depth, 1u);
    cache.release_lock();
    EXPECT_TRUE(h.violations().empty());

    cache.acquire_lock();
    cache.acquire_lock(); // taken twice
    EXPECT_EQ(h.lock().depth, 2u);
    EXPECT_EQ(h.lock().max_depth, 2u);
    EXPECT_EQ(h.lock().nested_acquires, 1u);
    cache.release_lock();
    cache.release_lock();
    cache.release_lock(); // one too many: ignored, recorded
    const lock_figures f = h.lock();
    EXPECT_EQ(f.acquires, 3u);
    EXPECT_EQ(f.releases, 3u);
    EXPECT_EQ(f.balance(), 0);
    EXPECT_EQ(f.depth, 0u);
    EXPECT_EQ(f.unbalanced_releases, 1u);
    EXPECT_EQ(h.violations().size(), 2u);
    EXPECT_TRUE(mentions(h.violations(), "already held"));
    EXPECT_TRUE(mentions(h.violations(), "without the lock held"));
}

TEST(HostLock, CachedDataReadWithoutTheLockIsCountedAndALeftLockIsReported) {
    host h(small_library());
    metadb_handle* a = h.track_handle(refhost_test::track_a);
    const track_info* info = nullptr;
    EXPECT_TRUE(a->cached_info(&info)); // no lock
    EXPECT_EQ(info->meta_field_count(), 2u);
    EXPECT_EQ(h.lock().unlocked_reads, 2u);
    EXPECT_EQ(h.violations().size(), 1u) << "one message, the figure counts every read";

    h.clear_records();
    h.cache_service().acquire_lock();
    EXPECT_STREQ(a->location()->path_text(), "D:\\A.flac");
    EXPECT_EQ(h.lock().unlocked_reads, 2u);
    h.shut_down(); // still held
    EXPECT_TRUE(mentions(h.violations(), "still held"));
}

struct recorded_track {
    std::uint32_t position;
    metadb_handle* handle;
    bool flag;
};

class recording_visitor final : public track_visitor {
public:
    explicit recording_visitor(std::size_t stop_after = SIZE_MAX) : m_stop_after(stop_after) {}
    bool on_track(std::uint32_t position, metadb_handle* handle, bool flag) override {
        seen.push_back({position, handle, flag});
        return seen.size() < m_stop_after;
    }
    std::vector<recorded_track> seen;

private:
    std::size_t m_stop_after;
};

class positions_mask final : public bit_array {
public:
    explicit positions_mask(std::vector<std::uint32_t> set) : m_set(std::move(set)) {}
    bool bit_at(std::uint32_t index) const override {
        for (std::uint32_t s : m_set) {
            if (s == index) {
                return true;
            }
        }
        return false;
    }

private:
    std::vector<std::uint32_t> m_set;
};

TEST(PlaylistService, VisitsOnlyMaskedTracksInOrderAndStopsWhenAsked) {
    host h(small_library());
    playlist_service& playlists = h.playlist_service_object();
    EXPECT_EQ(playlists.playlist_count(), 3u);

    recording_visitor all;
    playlists.enumerate_tracks(0, all, bit_array_true());
    ASSERT_EQ(all.seen.size(), 3u);
    EXPECT_EQ(all.seen[0].handle, h.track_handle(refhost_test::track_a));
    EXPECT_EQ(all.seen[1].handle, h.track_handle(refhost_test::track_d));
    EXPECT_EQ(all.seen[2].handle, h.track_handle(refhost_test::track_b));

    recording_visitor masked;
    playlists.enumerate_tracks(0, masked, positions_mask({0, 2}));
    ASSERT_EQ(masked.seen.size(), 2u);
    EXPECT_EQ(masked.seen[0].position, 0u);
    EXPECT_EQ(masked.seen[1].position, 2u);
    EXPECT_EQ(masked.seen[1].handle, h.track_handle(refhost_test::track_b));

    recording_visitor none;
    playlists.enumerate_tracks(0, none, bit_array_false());
    EXPECT_TRUE(none.seen.empty());

    recording_visitor flags;
    playlists.enumerate_tracks(1, flags, bit_array_true());
    ASSERT_EQ(flags.seen.size(), 2u);
    EXPECT_FALSE(flags.seen[0].flag);
    EXPECT_TRUE(flags.seen[1].flag) << "the flag is the entry's selection";

    recording_visitor first_only(1);
    playlists.enumerate_tracks(0, first_only, bit_array_true());
    EXPECT_EQ(first_only.seen.size(), 1u);

    EXPECT_TRUE(h.violations().empty());
    recording_visitor out_of_range;
    playlists.enumerate_tracks(3, out_of_range, bit_array_true());
    EXPECT_TRUE(out_of_range.seen.empty());
    EXPECT_EQ(h.violations().size(), 1u);

    h.override_playlist_count(playlist_service::no_playlists);
    EXPECT_EQ(playlists.playlist_count(), 0xFFFFFFFFu);
}

TEST(MediaLibrary, AppendsEveryLibraryTrackToAComponentListWithCountedReferences) {
    host h(small_library());
    {
        handle_list list;
        list.push_item(service_ptr_t<metadb_handle>(h.track_handle(refhost_test::track_c)));
        h.library_service().all_tracks(list);
        ASSERT_EQ(list.get_count(), 4u);
        EXPECT_EQ(list[0].get(), h.track_handle(refhost_test::track_c)) << "appended after it";
        EXPECT_EQ(list[1].get(), h.track_handle(refhost_test::track_a));
        EXPECT_EQ(list[2].get(), h.track_handle(refhost_test::track_b));
        EXPECT_EQ(list[3].get(), h.track_handle(refhost_test::track_c));
        EXPECT_EQ(h.handle_references(refhost_test::track_c), 2u);
        EXPECT_EQ(h.handle_references(refhost_test::track_d), 0u);
        EXPECT_EQ(h.outside_handle_references(), 4u);
    }
    EXPECT_EQ(h.outside_handle_references(), 0u) << "the list gave its references back";
    EXPECT_TRUE(h.violations().empty());
}

// A list that ignores what it is given: the host notices.
class deaf_list final : public list_base_t<service_ptr_t<metadb_handle>> {
public:
    std::uint32_t item_count() const override { return 0; }
    void copy_item(service_ptr_t<metadb_handle>&, std::uint32_t) const override {}
    void keep_marked(const bit_array&) override {}
    std::uint32_t insert_list(const list_base_const_t<service_ptr_t<metadb_handle>>&,
                              std::uint32_t) override {
        if (throws) {
            throw std::bad_alloc();
        }
        return 7;
    }
    void reorder_range(std::uint32_t, const std::uint32_t*, std::uint32_t) override {}
    void sort_items(compare_fn) override {}
    void sort_items_stable(compare_fn) override {}
    void store_item(std::uint32_t, const service_ptr_t<metadb_handle>&) override {}
    void exchange_item(std::uint32_t, service_ptr_t<metadb_handle>&) override {}
    void swap_positions(std::uint32_t, std::uint32_t) override {}
    bool throws = false;
};

TEST(MediaLibrary, AListThatDoesNotTakeTheTracksIsAContractBreach) {
    host h(small_library());
    deaf_list list;
    h.library_service().all_tracks(list);
    EXPECT_TRUE(mentions(h.violations(), "answered position 7"));
    EXPECT_TRUE(mentions(h.violations(), "took 0 of 3"));
}

class throwing_visitor final : public track_visitor {
public:
    bool on_track(std::uint32_t, metadb_handle*, bool) override {
        throw std::runtime_error("visitor broke");
    }
};

class throwing_mask final : public bit_array {
public:
    bool bit_at(std::uint32_t) const override { throw std::runtime_error("mask broke"); }
};

// Component code the host calls back into must not let an exception out; the
// host records the breach and the exception still reaches the component.
TEST(HostCallbacks, AnExceptionLeavingComponentCodeIsABreachAndGoesOn) {
    host h(small_library());
    throwing_visitor visitor;
    EXPECT_THROW(h.playlist_service_object().enumerate_tracks(0, visitor, bit_array_true()),
                 std::runtime_error);
    EXPECT_TRUE(mentions(h.violations(), "exception left track_visitor::on_track: visitor broke"));

    recording_visitor quiet;
    EXPECT_THROW(h.playlist_service_object().enumerate_tracks(0, quiet, throwing_mask()),
                 std::runtime_error);
    EXPECT_TRUE(quiet.seen.empty());
    EXPECT_TRUE(mentions(h.violations(), "exception left bit_array::bit_at: mask broke"));

    deaf_list list;
    list.throws = true;
    EXPECT_THROW(h.library_service().all_tracks(list), std::bad_alloc);
    EXPECT_TRUE(mentions(h.violations(), "exception left list_base_t::insert_list"));
    EXPECT_EQ(h.violations().size(), 3u);
}

// The component's own lookup against the host's registry.
class registry_lookup : public ::testing::Test {
protected:
    void SetUp() override { module_state::set_host(&h.core(), nullptr); }
    void TearDown() override { module_state::set_host(nullptr, nullptr); }
    host h{small_library()};
};

TEST_F(registry_lookup, DuplicatedRemovedAndFailingServicesGiveTheLookupErrors) {
    EXPECT_NO_THROW(lookup_single<media_library>(guids::media_library));
    EXPECT_EQ(h.service_references(guids::media_library), 0u) << "released at once";

    ASSERT_TRUE(h.duplicate_service(guids::media_library));
    EXPECT_THROW(lookup_single<media_library>(guids::media_library), exception_service_duplicated);
    h.remove_service(guids::media_library);
    EXPECT_THROW(lookup_single<media_library>(guids::media_library), exception_service_not_found);

    h.fail_instance_creation(guids::playlist_service);
    EXPECT_THROW(lookup_single<playlist_service>(guids::playlist_service), exception_bug_check);
    h.fail_instance_creation(guids::playlist_service, false);
    EXPECT_NO_THROW(lookup_single<playlist_service>(guids::playlist_service));

    // Unknown classes simply have no instances.
    const GUID unknown = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    EXPECT_THROW(lookup_single_instance(unknown), exception_service_not_found);
    EXPECT_TRUE(h.violations().empty());
}

// The host raises its errors as the platform's C++ exceptions; they reach
// component code through its guard, as the component's own errors.
TEST_F(registry_lookup, InjectedFailuresRaiseTheChosenErrorFromTheChosenCall) {
    host_thrower_reset_counts();
    h.inject_fault(host_call::acquire_lock, fault_kind::aborted);
    EXPECT_THROW(guarded_host_calls([&] { h.cache_service().acquire_lock(); }),
                 auvia_io::exception_aborted);
    EXPECT_EQ(h.lock().depth, 0u) << "a failed acquire takes nothing";
    h.cache_service().acquire_lock(); // armed once only
    h.cache_service().release_lock();

    handle_list list;
    h.inject_fault(host_call::all_tracks, fault_kind::bad_alloc, 1);
    EXPECT_NO_THROW(guarded_host_calls([&] { h.library_service().all_tracks(list); }));
    EXPECT_THROW(guarded_host_calls([&] { h.library_service().all_tracks(list); }), std::bad_alloc);

    h.inject_fault(host_call::lookup_class, fault_kind::runtime_error, 0, 0);
    try {
        lookup_single_instance(guids::alert_service);
        ADD_FAILURE() << "no error raised";
    } catch (const exception_host_error& e) {
        EXPECT_STREQ(e.what(), "Injected host failure");
    }
    EXPECT_THROW(lookup_single_instance(guids::alert_service), exception_host_error) << "times 0";
    h.clear_faults();
    EXPECT_NO_THROW(lookup_single_instance(guids::alert_service));
    EXPECT_EQ(h.calls(host_call::lookup_class), 3u);
    EXPECT_EQ(h.calls(host_call::all_tracks), 2u);

    host_thrower_counts counts{};
    host_thrower_read_counts(&counts);
    EXPECT_EQ(counts.thrown, 4u);
    EXPECT_EQ(counts.destroyed, counts.created);
    EXPECT_EQ(counts.frames_unwound, 4u);
}

class scripted_filter final : public message_filter {
public:
    explicit scripted_filter(bool consume) : m_consume(consume) {}
    bool filter_message(const tagMSG* msg) override {
        seen.push_back(msg->message);
        if (m_throw) {
            throw std::runtime_error("filter broke");
        }
        return m_consume;
    }
    std::vector<UINT> seen;
    bool m_throw = false;

private:
    bool m_consume;
};

TEST(MessageHook, FiltersSeeMessagesInRegistrationOrderUntilOneConsumes) {
    host h(small_library());
    scripted_filter passing(false), consuming(true), late(true);
    dialog_message_hook& hook = h.message_hook();
    hook.register_filter(&passing);
    hook.register_filter(&consuming);
    hook.register_filter(&late);
    MSG msg{};
    msg.message = WM_KEYDOWN;
    EXPECT_TRUE(h.offer_message(msg));
    EXPECT_EQ(passing.seen.size(), 1u);
    EXPECT_EQ(consuming.seen.size(), 1u);
    EXPECT_TRUE(late.seen.empty());

    // Queued messages reach the filters through the host's loop.
    PostMessageW(h.main_window(), WM_USER + 5, 0, 0);
    h.pump_for(30);
    EXPECT_EQ(passing.seen.back(), static_cast<UINT>(WM_USER + 5));

    hook.register_filter(&passing); // twice
    hook.unregister_filter(&consuming);
    hook.unregister_filter(&consuming); // not registered any more
    EXPECT_EQ(h.violations().size(), 2u);
    passing.m_throw = true;
    EXPECT_TRUE(h.offer_message(msg)) << "a throwing filter counts as not consuming";
    EXPECT_TRUE(mentions(h.violations(), "filter broke"));

    h.shut_down(); // two filters left
    EXPECT_TRUE(mentions(h.violations(), "2 message filter(s) still registered"));
    EXPECT_EQ(h.registered_filters(), 0u);
}

TEST(OutputServices, AlertsAndConsoleLinesAreRecordedWithoutBlocking) {
    host h(small_library());
    h.alert_service_object().show_alert("Unhandled exception:\nboom", 0xFFFFFFFFu, "Caption!", 7,
                                        0);
    h.console_service_object().print_line("line one\0hidden", 0xFFFFFFFFu);
    h.console_service_object().print_line("line two is cut", 8);
    ASSERT_EQ(h.alerts().size(), 1u);
    EXPECT_EQ(h.alerts()[0].text, "Unhandled exception:\nboom");
    EXPECT_EQ(h.alerts()[0].caption, "Caption");
    EXPECT_EQ(h.alerts()[0].kind, 0u);
    EXPECT_EQ(h.console_lines(), (std::vector<std::string>{"line one", "line two"}));
}

} // namespace
