#include <gtest/gtest.h>

#include "engine/cache_statistics.h"
#include "fake_host.h"
#include "library_builder.h"
#include "literal_engine.h"
#include "recording_views.h"

using namespace engine_fakes;

namespace {

class CacheStatistics : public ::testing::Test {
protected:
    std::vector<pool_row> literal_rows() {
        host.cache.acquire_lock();
        std::vector<pool_row> rows = literal::statistics_rows(tracks);
        host.cache.release_lock();
        return rows;
    }

    fake_host host;
    installed_host installed{host};
    metadb_handle_list_t tracks = small_library(host);
};

TEST_F(CacheStatistics, WritesSixRowsUnderTheLockWithEightSteps) {
    recording_statistics_view view(host);
    view.rows.push_back(pool_row{"old", {}});
    EXPECT_TRUE(fill_cache_statistics(view, tracks));
    EXPECT_EQ(view.events, (std::vector<std::string>{"clear", "step", "step", "row 0", "step",
                                                     "row 1", "step", "row 2", "step", "row 3",
                                                     "step", "row 4", "step", "row 5", "step"}));
    EXPECT_EQ(view.rows, literal_rows());
    ASSERT_EQ(view.rows.size(), 6u);
    EXPECT_EQ(view.rows[0].summary.logical_strings, 4u) << "the path-less track has none";
    EXPECT_EQ(view.rows[5].label, "All");
    EXPECT_EQ(view.unlocked_calls, 0);
    EXPECT_EQ(host.unlocked_reads, 0);
    EXPECT_EQ(host.lock_depth, 0);
    EXPECT_EQ(host.count_of(host_call::acquire_lock), 2u); // ours and the literal run's
    EXPECT_EQ(host.cache.references, 0);
}

TEST_F(CacheStatistics, TheSameHandleTwiceCountsTwiceAsLogicalStrings) {
    recording_statistics_view view(host);
    fill_cache_statistics(view, tracks);
    // Paths: a twice, b, c.
    EXPECT_EQ(view.rows[0].summary.logical_strings, 4u);
    EXPECT_EQ(view.rows[0].summary.physical_strings, 3u);
}

TEST_F(CacheStatistics, NoMetadataCacheRaisesBeforeReadingAnything) {
    host.remove_instances(guids::metadata_cache);
    recording_statistics_view view(host);
    EXPECT_THROW(fill_cache_statistics(view, tracks), exception_service_not_found);
    EXPECT_EQ(view.events, std::vector<std::string>{"clear"});
    EXPECT_EQ(host.count_of(host_call::cached_info), 0u);
}

// The host fails at each of its calls in turn: the error comes out, the lock
// is released and every reference given back.
TEST_F(CacheStatistics, AHostFailureAtAnyCallReleasesTheLock) {
    recording_statistics_view full(host);
    fill_cache_statistics(full, tracks);
    const std::int64_t calls = host.entered;
    for (std::int64_t k = 0; k < calls; ++k) {
        host.entered = 0;
        host.throw_at = k;
        recording_statistics_view view(host);
        EXPECT_THROW(fill_cache_statistics(view, tracks), host_failure) << k;
        EXPECT_EQ(host.lock_depth, 0) << k;
        EXPECT_EQ(host.unbalanced_unlocks, 0) << k;
        EXPECT_EQ(host.cache.references, 0) << k;
        EXPECT_EQ(view.events.front(), "clear");
    }
    EXPECT_EQ(host.unlocked_reads, 0);
}

// A failure while writing row r keeps the rows before it.
TEST_F(CacheStatistics, RowsWrittenBeforeAFailureStay) {
    recording_statistics_view full(host);
    fill_cache_statistics(full, tracks);
    for (int r = 0; r < 6; ++r) {
        recording_statistics_view view(host);
        view.fail_at_row = r;
        EXPECT_THROW(fill_cache_statistics(view, tracks), std::runtime_error);
        EXPECT_EQ(view.rows, std::vector<pool_row>(full.rows.begin(), full.rows.begin() + r));
        EXPECT_EQ(host.lock_depth, 0);
        EXPECT_EQ(host.cache.references, 0);
    }
}

TEST_F(CacheStatistics, AnEmptyTrackListGivesRowsOfZeros) {
    recording_statistics_view view(host);
    fill_cache_statistics(view, metadb_handle_list_t());
    ASSERT_EQ(view.rows.size(), 6u);
    for (const pool_row& row : view.rows) {
        EXPECT_EQ(row.summary, pool_summary()) << row.label;
    }
}

} // namespace
