#include <gtest/gtest.h>

#include <set>

#include "engine/pool_values.h"
#include "fake_host.h"
#include "library_builder.h"
#include "literal_engine.h"
#include "recording_views.h"

using namespace engine_fakes;

namespace {

class PoolValues : public ::testing::Test {
protected:
    std::vector<copied_value> literal_values(pool_kind kind) {
        host.cache.acquire_lock();
        string_info_list pools[pool_kind_count];
        literal::gather_pools(tracks, pools);
        string_info_list2 values;
        literal::group_unique(values, pools[kind - 1]);
        std::vector<copied_value> copies = copy_values(values);
        host.cache.release_lock();
        return copies;
    }
    std::set<host_call> calls_made() const {
        return std::set<host_call>(host.calls.begin(), host.calls.end());
    }

    fake_host host;
    installed_host installed{host};
    metadb_handle_list_t tracks = small_library(host);
};

TEST_F(PoolValues, EachKindGivesTheGroupedPoolToBothPagesUnderTheLock) {
    for (pool_kind kind = pool_path; kind <= pool_all; ++kind) {
        recording_value_view view(host, kind);
        EXPECT_TRUE(compute_pool_values(view, tracks));
        EXPECT_EQ(view.events, (std::vector<std::string>{"length", "value"}));
        EXPECT_EQ(view.length_values, literal_values(kind)) << kind;
        EXPECT_EQ(view.value_values, view.length_values);
        EXPECT_EQ(view.unlocked_calls, 0);
        EXPECT_EQ(host.lock_depth, 0);
        EXPECT_EQ(host.cache.references, 0);
    }
    EXPECT_EQ(host.unlocked_reads, 0);
}

// "codec" is both an info name and an info value object: one physical
// string of its value in "All", with both references.
TEST_F(PoolValues, AllCountsAnObjectOfTwoPoolsOnce) {
    recording_value_view view(host, pool_all);
    compute_pool_values(view, tracks);
    const auto it = std::find_if(view.value_values.begin(), view.value_values.end(),
                                 [](const copied_value& v) { return v.text == "codec"; });
    ASSERT_NE(it, view.value_values.end());
    EXPECT_EQ(it->physical, 1u);
    EXPECT_EQ(it->logical, 5u); // name in a (twice), b and the path-less track; value once
}

TEST_F(PoolValues, OnlyWhatThePoolNeedsIsAskedOfTheHost) {
    using c = host_call;
    const std::set<host_call> path_calls = {c::location, c::path_text};
    const std::set<host_call> by_kind[] = {
        {},
        {c::location, c::path_text},
        {c::cached_info, c::meta_field_count, c::meta_field_name},
        {c::cached_info, c::meta_field_count, c::meta_field_value_count, c::meta_field_value},
        {c::cached_info, c::info_field_count, c::info_field_name},
        {c::cached_info, c::info_field_count, c::info_field_value},
    };
    const std::set<host_call> lookup = {c::lookup_class, c::count_instances, c::create_instance,
                                        c::acquire_lock, c::release_lock};
    for (pool_kind kind : {0u, 1u, 2u, 3u, 4u, 5u, 7u}) {
        host.calls.clear();
        recording_value_view view(host, kind);
        compute_pool_values(view, tracks);
        std::set<host_call> expected = lookup;
        expected.insert(by_kind[kind < 6 ? kind : 0].begin(), by_kind[kind < 6 ? kind : 0].end());
        EXPECT_EQ(calls_made(), expected) << kind;
        if (kind == 0 || kind == 7) {
            EXPECT_TRUE(view.length_values.empty());
            EXPECT_EQ(view.events, (std::vector<std::string>{"length", "value"}));
        }
    }
}

TEST_F(PoolValues, MissingPagesAreSkipped) {
    recording_value_view view(host, pool_meta_value);
    view.length_page = false;
    compute_pool_values(view, tracks);
    EXPECT_EQ(view.events, std::vector<std::string>{"value"});
    view.value_page = false;
    view.events.clear();
    compute_pool_values(view, tracks);
    EXPECT_TRUE(view.events.empty());
    EXPECT_EQ(host.lock_depth, 0);
}

TEST_F(PoolValues, AnEmptyTrackSetGivesEmptyLists) {
    recording_value_view view(host, pool_all);
    compute_pool_values(view, metadb_handle_list_t());
    EXPECT_EQ(view.events, (std::vector<std::string>{"length", "value"}));
    EXPECT_TRUE(view.length_values.empty());
    EXPECT_TRUE(view.value_values.empty());
}

// The pages are presented once, after both fills and with the lock given
// back; missing pages change only what was filled before.
TEST_F(PoolValues, PagesArePresentedOnceAfterTheLockIsReleased) {
    using fills = std::vector<std::string>;
    struct page_case {
        bool length_page;
        bool value_page;
        fills filled;
    };
    const page_case cases[] = {{true, true, {"length", "value"}},
                               {false, true, {"value"}},
                               {true, false, {"length"}},
                               {false, false, {}}};
    for (const page_case& c : cases) {
        recording_value_view view(host, pool_all);
        view.length_page = c.length_page;
        view.value_page = c.value_page;
        compute_pool_values(view, tracks);
        EXPECT_EQ(view.presents_after, std::vector<fills>{c.filled})
            << c.length_page << c.value_page;
        EXPECT_EQ(view.locked_presents, 0);
    }
}

TEST_F(PoolValues, AHostFailureAtAnyCallReleasesTheLock) {
    recording_value_view full(host, pool_all);
    compute_pool_values(full, tracks);
    const std::int64_t calls = host.entered;
    for (std::int64_t k = 0; k < calls; ++k) {
        host.entered = 0;
        host.throw_at = k;
        recording_value_view view(host, pool_all);
        EXPECT_THROW(compute_pool_values(view, tracks), host_failure) << k;
        EXPECT_TRUE(view.events.empty()) << k;
        EXPECT_TRUE(view.presents_after.empty()) << k;
        EXPECT_EQ(host.lock_depth, 0) << k;
        EXPECT_EQ(host.cache.references, 0) << k;
    }
    EXPECT_EQ(host.unbalanced_unlocks, 0);
}

} // namespace
