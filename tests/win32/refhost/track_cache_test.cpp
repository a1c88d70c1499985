// The metadata cache's texts behave like a real cache's: one stored name per
// distinct field name, values stored per track unless interning is switched
// on, stable addresses, and the track objects' answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string_view>

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

// What the host answers for every track, checked against the library it was
// built from: texts, flags and counts; one object per field name; one object
// per value and path (or per distinct value when values are interned); and
// the stored text bytes as the sum over those objects.
void expect_cache_matches(host& h, const library_data& data, bool interned) {
    locked_view lock(h);
    ASSERT_EQ(h.track_count(), data.tracks.size());
    std::map<std::string, const char*> names;
    std::map<std::string, const char*> values;
    std::set<const char*> objects;
    std::uint64_t text_bytes = 0;
    auto stored = [&](const char* text, std::string_view expected) {
        if (objects.insert(text).second) {
            text_bytes += expected.size() + 1;
        }
        return std::string_view(text, expected.size()) == expected && text[expected.size()] == 0;
    };
    auto same_object = [](std::map<std::string, const char*>& seen, const std::string& text,
                          const char* object) {
        return seen.emplace(text, object).first->second == object;
    };
    std::uint32_t value_count = 0;
    for (std::uint32_t t = 0; t < data.tracks.size(); ++t) {
        SCOPED_TRACE("track " + std::to_string(t));
        const track_data& d = data.tracks[t];
        const char* path = h.track_handle(t)->location()->path_text();
        if (d.has_path) {
            ASSERT_NE(path, nullptr);
            EXPECT_TRUE(stored(path, d.path));
        } else {
            EXPECT_EQ(path, nullptr);
        }
        const track_info* info = info_of(h, t);
        ASSERT_EQ(info != nullptr, d.cached);
        if (info == nullptr) {
            continue;
        }
        ASSERT_EQ(info->meta_field_count(), d.meta.size());
        for (std::uint32_t f = 0; f < d.meta.size(); ++f) {
            const char* name = info->meta_field_name(f);
            EXPECT_TRUE(stored(name, d.meta[f].name));
            EXPECT_TRUE(same_object(names, d.meta[f].name, name));
            ASSERT_EQ(info->meta_field_value_count(f), d.meta[f].values.size());
            for (std::uint32_t v = 0; v < d.meta[f].values.size(); ++v) {
                const char* value = info->meta_field_value(f, v);
                EXPECT_TRUE(stored(value, d.meta[f].values[v]));
                EXPECT_TRUE(!interned || same_object(values, d.meta[f].values[v], value));
                ++value_count;
            }
        }
        ASSERT_EQ(info->info_field_count(), d.info.size());
        for (std::uint32_t f = 0; f < d.info.size(); ++f) {
            const char* name = info->info_field_name(f);
            EXPECT_TRUE(stored(name, d.info[f].name));
            EXPECT_TRUE(same_object(names, d.info[f].name, name));
            const char* value = info->info_field_value(f);
            EXPECT_TRUE(stored(value, d.info[f].value));
            EXPECT_TRUE(!interned || same_object(values, d.info[f].value, value));
            ++value_count;
        }
    }
    if (!interned) {
        std::uint32_t paths = 0;
        for (const track_data& d : data.tracks) {
            paths += d.has_path ? 1 : 0;
        }
        EXPECT_EQ(objects.size(), names.size() + paths + value_count) << "a value shared";
    }
    EXPECT_EQ(h.memory().text_bytes, text_bytes);
    EXPECT_EQ(h.violations().size(), 0u);
}

library_data edge_library() {
    library_data data = small_library();
    data.tracks[track_b].has_path = false;
    data.tracks[track_c].cached = false;
    track_data odd;
    odd.path = std::string(3000000, 'p'); // a text larger than a text block
    add_meta_value(odd, "artist", "");
    odd.meta.push_back(meta_field_data{"artist", {"Zoé"}}); // a second field of one name
    odd.meta.push_back(meta_field_data{"lyrics", {}});
    odd.info.push_back({"codec", "FLAC"});
    data.add_track(odd, true);
    return data;
}

TEST(TrackCache, AnswersWhatTheLibraryHolds) {
    const struct {
        const char* name;
        library_data data;
    } cases[] = {{"small", small_library()},
                 {"edge cases", edge_library()},
                 {"generated", generate_library(2000, 5)}};
    for (const auto& c : cases) {
        for (const bool interned : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (interned ? ", values interned" : ""));
            host_options options;
            options.intern_values = interned;
            host h(c.data, options);
            expect_cache_matches(h, c.data, interned);
        }
    }
}

TEST(TrackCache, ThePackedGeneratedLibraryIsTheOneOfStrings) {
    const library_data strings = generate_library(1500, 8);
    host h(generate_packed_library(1500, 8));
    expect_cache_matches(h, strings, false);
    EXPECT_EQ(h.library_size(), strings.library.size());
    ASSERT_EQ(h.playlist_count(), strings.playlists.size());
    for (std::uint32_t p = 0; p < strings.playlists.size(); ++p) {
        EXPECT_EQ(h.playlist_size(p), strings.playlists[p].entries.size());
    }
}

TEST(TrackCache, TrackDataTakesAtMostThreeBytesPerByteOfTextIn32Bit) {
    host h(generate_packed_library(100000, 1));
    const track_memory m = h.memory();
    // Every text costs at least its bytes, its NUL and a heap header.
    EXPECT_GT(m.data_bytes, m.text_bytes + 8u * 100000u);
    // The records point at the texts: in the 64-bit host the pointers are
    // twice as wide (measured 3.2 bytes per byte of text there).
    const std::uint64_t halves_per_text_byte = sizeof(void*) == 4 ? 6 : 7;
    EXPECT_LE(2 * m.data_bytes, halves_per_text_byte * m.text_bytes);
}

} // namespace
