// Memory running out at each allocation of a computation in turn: the error
// leaves as std::bad_alloc, the lock and every reference are given back,
// the rows written before stay, nothing leaks (the sanitizer build checks
// that at exit), and once memory suffices the figures are the literal ones.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "engine/cache_statistics.h"
#include "engine/engine_tuning.h"
#include "engine/pool_values.h"
#include "fake_host.h"
#include "library_builder.h"
#include "literal_engine.h"
#include "recording_views.h"

// The replacements below pair malloc with free on purpose.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace {
// Allocations left before operator new fails; negative: it never does.
long g_allocations_left = -1;
} // namespace

void* operator new(std::size_t size) {
    if (g_allocations_left == 0) {
        throw std::bad_alloc();
    }
    if (g_allocations_left > 0) {
        --g_allocations_left;
    }
    if (void* block = std::malloc(size != 0 ? size : 1)) {
        return block;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}

// Under AddressSanitizer the C++ runtime's own allocations still go to the
// sanitizer's operator new while this binary's delete frees with free():
// that pairing is ours and intended, leaks are still reported.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __asan_default_options() {
    return "alloc_dealloc_mismatch=0";
}
#endif

using namespace engine_fakes;

namespace {

class OutOfMemory : public ::testing::Test {
protected:
    void SetUp() override {
        // Small storage, so that the computation allocates at every stage.
        sizes.chunk_entries = 3;
        sizes.run_block_entries = 2;
        sizes.window_entries = 2;
        sizes.table_segment_bits = 1;
        sizes.sort_piece_entries = 2;
        host.cache.acquire_lock();
        expected = literal::statistics_rows(tracks);
        host.cache.release_lock();
    }

    // The fake host logs every call; its log must not be what runs out (it
    // logs the lock's release during unwinding).
    void arm(long allocations) {
        host.calls.reserve(host.calls.size() + 100000);
        g_allocations_left = allocations;
    }

    void expect_released(long at) {
        EXPECT_EQ(host.lock_depth, 0) << at;
        EXPECT_EQ(host.cache.references, 0) << at;
    }

    engine_tuning sizes;
    fake_host host;
    installed_host installed{host};
    metadb_handle_list_t tracks = small_library(host);
    std::vector<pool_row> expected;
};

TEST_F(OutOfMemory, StatisticsFailAtEveryAllocationUntilTheyFitThenGiveTheLiteralRows) {
    const scoped_engine_tuning tuning(sizes);
    for (long at = 0;; ++at) {
        recording_statistics_view view(host);
        view.rows.reserve(8);
        view.events.reserve(32);
        arm(at);
        bool done = false;
        try {
            done = fill_cache_statistics(view, tracks);
        } catch (const std::bad_alloc&) {
        }
        g_allocations_left = -1;
        expect_released(at);
        ASSERT_LE(view.rows.size(), expected.size());
        for (std::size_t r = 0; r < view.rows.size(); ++r) {
            EXPECT_EQ(view.rows[r], expected[r]) << "row " << r << " with " << at;
        }
        if (done) {
            EXPECT_EQ(view.rows, expected);
            EXPECT_GT(at, 20) << "the computation allocates at every stage";
            break;
        }
        ASSERT_LT(at, 100000);
    }
}

TEST_F(OutOfMemory, PoolValuesFailAtEveryAllocationUntilTheyFit) {
    const scoped_engine_tuning tuning(sizes);
    for (pool_kind kind : {pool_meta_value, pool_all}) {
        recording_value_view reference(host, kind);
        compute_pool_values(reference, tracks);
        for (long at = 0;; ++at) {
            recording_value_view view(host, kind);
            arm(at);
            bool done = false;
            try {
                done = compute_pool_values(view, tracks);
            } catch (const std::bad_alloc&) {
            }
            g_allocations_left = -1;
            expect_released(at);
            if (done) {
                EXPECT_EQ(view.value_values, reference.value_values) << kind;
                break;
            }
            ASSERT_LT(at, 100000);
        }
    }
}

} // namespace
