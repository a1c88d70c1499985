// The metadata cache's texts behave like a real cache's: one stored name per
// distinct field name, values stored per track unless interning is switched
// on, stable addresses, and the track objects' answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "refhost/host_api.h"
#include "win32/refhost/test_support.h"

namespace {

using namespace refhost;
using namespace refhost_test;

struct locked_view {
    explicit locked_view(host& h) : cache(h.cache_service()) { cache.acquire_lock(); }
    ~locked_view() { cache.release_lock(); }
    metadata_cache& cache;
};

const track_info* info_of(host& h, std::uint32_t track) {
    const track_info* info = nullptr;
    return h.track_handle(track)->cached_info(&info) ? info : nullptr;
}

// Meta field f's value v of a track, under the caller's lock.
const char* meta_value(host& h, std::uint32_t track, std::uint32_t f, std::uint32_t v) {
    return info_of(h, track)->meta_field_value(f, v);
}

TEST(TrackCache, NamesAreInternedValuesAreStoredPerTrack) {
    host h(small_library());
    locked_view lock(h);
    const track_info* a = info_of(h, track_a);
    const track_info* b = info_of(h, track_b);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(a->meta_field_name(0), b->meta_field_name(0)) << "one stored \"artist\"";
    EXPECT_EQ(a->info_field_name(0), b->info_field_name(0));
    // The meta name "codec" of E and the info name "codec" are one object.
    const track_info* e = info_of(h, track_e);
    ASSERT_EQ(e->meta_field_count(), 3u);
    EXPECT_STREQ(e->meta_field_name(2), "codec");
    EXPECT_EQ(e->meta_field_name(2), a->info_field_name(0));

    // "Rock" of A and of B: equal texts, two objects.
    const char* rock_a = meta_value(h, track_a, 1, 0);
    const char* rock_b = meta_value(h, track_b, 1, 0);
    EXPECT_STREQ(rock_a, "Rock");
    EXPECT_STREQ(rock_b, "Rock");
    EXPECT_NE(rock_a, rock_b);
    EXPECT_NE(a->info_field_value(0), b->info_field_value(0));
    // Stable: asking again gives the same objects.
    EXPECT_EQ(meta_value(h, track_a, 1, 0), rock_a);
    EXPECT_EQ(a->meta_field_value_count(0), 2u);
    EXPECT_STREQ(a->meta_field_value(0, 1), "Мария");
    EXPECT_TRUE(h.violations().empty());
}

TEST(TrackCache, InterningValuesMakesEqualValuesOneObject) {
    host_options options;
    options.intern_values = true;
    host h(small_library(), options);
    locked_view lock(h);
    EXPECT_EQ(meta_value(h, track_a, 1, 0), meta_value(h, track_b, 1, 0));
    EXPECT_EQ(info_of(h, track_a)->info_field_value(0), info_of(h, track_d)->info_field_value(0));
    EXPECT_NE(meta_value(h, track_a, 1, 0), meta_value(h, track_c, 1, 0)) << "Rock vs Jazz";
}

TEST(TrackCache, MissingPathAndMissingInfoAreAnsweredAsSuch) {
    library_data data = small_library();
    data.tracks[track_b].has_path = false;
    data.tracks[track_c].cached = false;
    host h(data);
    locked_view lock(h);
    EXPECT_EQ(h.track_handle(track_b)->location()->path_text(), nullptr);
    EXPECT_NE(info_of(h, track_b), nullptr);
    EXPECT_STREQ(h.track_handle(track_c)->location()->path_text(), "D:\\C.flac");
    EXPECT_EQ(info_of(h, track_c), nullptr);

    // Out-of-range questions are breaches, answered harmlessly.
    const track_info* a = info_of(h, track_a);
    EXPECT_STREQ(a->meta_field_name(9), "");
    EXPECT_EQ(a->meta_field_value_count(9), 0u);
    EXPECT_STREQ(a->meta_field_value(0, 5), "");
    EXPECT_STREQ(a->info_field_value(3), "");
    EXPECT_EQ(h.violations().size(), 4u);
}

TEST(TrackCache, TextsDoNotLieInTrackOrder) {
    // A long-running host's heap is not in track order; neither is ours.
    host h(generate_library(200, 2));
    locked_view lock(h);
    std::uint32_t descents = 0;
    for (std::uint32_t t = 1; t < 200; ++t) {
        const auto previous = reinterpret_cast<std::uintptr_t>(h.track_path(t - 1));
        const auto current = reinterpret_cast<std::uintptr_t>(h.track_path(t));
        descents += current < previous ? 1 : 0;
    }
    EXPECT_GT(descents, 50u);
}

TEST(TrackCache, StoredTextsAreNeverAdjacentLikeHeapBlocks) {
    // A text starting right after another's NUL would look like a shared
    // tail to a memory estimate that works from addresses.
    host h(small_library());
    locked_view lock(h);
    std::vector<const char*> texts;
    for (std::uint32_t t = 0; t < h.track_count(); ++t) {
        texts.push_back(h.track_path(t));
        const track_info* info = info_of(h, t);
        for (std::uint32_t f = 0; f < info->meta_field_count(); ++f) {
            for (std::uint32_t v = 0; v < info->meta_field_value_count(f); ++v) {
                texts.push_back(info->meta_field_value(f, v));
            }
        }
        texts.push_back(info->info_field_value(0));
    }
    std::sort(texts.begin(), texts.end(), [](const char* a, const char* b) {
        return reinterpret_cast<std::uintptr_t>(a) < reinterpret_cast<std::uintptr_t>(b);
    });
    for (std::size_t i = 1; i < texts.size(); ++i) {
        const auto gap = reinterpret_cast<std::uintptr_t>(texts[i]) -
                         reinterpret_cast<std::uintptr_t>(texts[i - 1]);
        EXPECT_GT(gap, std::strlen(texts[i - 1]) + 1) << texts[i - 1] << " / " << texts[i];
    }
}

} // namespace
