// The packed form of the host's data: the same library as library_data, in
// both directions; fields built as library_data builds them; shared layouts;
// texts of every size; and the chunked tables under it.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "refhost/chunked_array.h"
#include "refhost/packed_library.h"
#include "refhost/sample_library.h"
#include "refhost/text_store.h"
#include "win32/refhost/test_support.h"

namespace {

using namespace refhost;
using refhost_test::library_fingerprint;

// Tracks with what the packed form must keep apart: no path text (its path
// still the key), no cached info but fields, a field without values, two
// fields of one name, empty texts, texts around the length-byte limits and
// larger than a text block, repeats in the library.
library_data awkward_library() {
    library_data data = refhost_test::small_library();
    track_data nopath;
    nopath.path = "D:\\nopath.flac";
    nopath.has_path = false;
    add_meta_value(nopath, "title", "");
    nopath.meta.push_back(meta_field_data{"lyrics", {}});
    nopath.meta.push_back(meta_field_data{"title", {"again", "twice"}});
    data.add_track(nopath, true);
    track_data uncached;
    uncached.path = "";
    uncached.cached = false;
    uncached.info.push_back({"codec", "FLAC"});
    data.add_track(uncached, false);
    track_data sizes;
    sizes.path = std::string(127, 'p');
    for (const std::size_t n : {128u, 16383u, 16384u, 70000u, 5000000u}) {
        add_meta_value(sizes, "size", std::string(n, static_cast<char>('a' + n % 26)));
    }
    sizes.info.push_back({std::string(300, 'n'), std::string("nul\0inside", 10)});
    data.add_track(sizes, true);
    data.library.push_back(0);
    data.playlists.push_back({"Awkward", {{5, true}, {7, false}, {5, false}}});
    return data;
}

TEST(PackedLibrary, KeepsEveryPartOfALibraryBothWays) {
    struct named {
        const char* name;
        library_data data;
    };
    const named cases[] = {{"empty", library_data{}},
                           {"small", refhost_test::small_library()},
                           {"awkward", awkward_library()},
                           {"generated", generate_library(300, 4)}};
    for (const named& c : cases) {
        SCOPED_TRACE(c.name);
        const packed_library packed = pack_library(c.data);
        EXPECT_EQ(packed.track_count(), c.data.tracks.size());
        const library_data back = unpack_library(packed);
        EXPECT_EQ(library_fingerprint(back), library_fingerprint(c.data));
        EXPECT_EQ(library_fingerprint(unpack_library(pack_library(back))),
                  library_fingerprint(c.data));
    }
}

// Random field operations applied to a track_data and to the packed form
// must give the same track (fields in first-use order, a field's values
// together in the order added, valueless fields appended as they come).
TEST(PackedLibrary, BuildsFieldsAsLibraryDataDoes) {
    const char* names[] = {"artist", "title", "genre", "lyrics", "codec"};
    std::uint64_t state = 12345;
    auto next = [&state](std::uint32_t n) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>((state >> 33) % n);
    };
    library_data expected;
    packed_library packed;
    for (std::uint32_t t = 0; t < 200; ++t) {
        const bool in_library = next(3) != 0;
        track_data track;
        packed.begin_track(in_library);
        track.path = "D:\\" + std::to_string(t) + ".flac";
        packed.set_path(track.path);
        const std::uint32_t operations = next(12);
        for (std::uint32_t i = 0; i < operations; ++i) {
            const std::string name = names[next(5)];
            const std::string value = "v" + std::to_string(next(4));
            switch (next(4)) {
            case 0:
                track.meta.push_back(meta_field_data{name, {}});
                packed.add_meta_field(name);
                break;
            case 1:
                track.info.push_back({name, value});
                packed.add_info(name, value);
                break;
            default:
                add_meta_value(track, name, value);
                packed.add_meta_value(name, value);
                break;
            }
        }
        expected.add_track(track, in_library);
    }
    packed.end_track();
    EXPECT_EQ(library_fingerprint(unpack_library(packed)), library_fingerprint(expected));
}

TEST(PackedLibrary, TracksWithTheSameFieldsShareOneLayout) {
    packed_library p;
    auto track = [&p](const char* genre, bool second_genre) {
        p.begin_track(true);
        p.add_meta_value("artist", "A");
        p.add_meta_value("genre", genre);
        if (second_genre) {
            p.add_meta_value("genre", "Live");
        }
        p.add_info("codec", "MP3");
    };
    track("Rock", false);
    track("Jazz", false);
    track("Rock", true);
    p.end_track();
    EXPECT_EQ(p.track(0).layout, p.track(1).layout) << "values differ, layout alike";
    EXPECT_NE(p.track(0).layout, p.track(2).layout) << "two genre values";
    const packed_library::layout_view l = p.layout(p.track(2).layout);
    EXPECT_EQ(l.meta_count(), 2u);
    EXPECT_EQ(l.meta_values(), 3u);
    EXPECT_EQ(l.meta_value_count(1), 2u);
    EXPECT_EQ(p.name(l.info_name(0)), "codec");
    EXPECT_EQ(p.text(p.value(p.track(2).first_value + 3)), "MP3");
    EXPECT_EQ(p.library, (std::vector<std::uint32_t>{0, 1, 2}));
}

TEST(PackedLibrary, RenamingAPathLeavesTheOtherTracksAlone) {
    packed_library p;
    for (const char* path : {"a.flac", "b.flac", "c.flac"}) {
        p.begin_track(true);
        p.set_path(path);
    }
    p.end_track();
    p.rename_path(1, "b (1).flac");
    EXPECT_EQ(p.path(0), "a.flac");
    EXPECT_EQ(p.path(1), "b (1).flac");
    EXPECT_EQ(p.path(2), "c.flac");
}

TEST(PackedLibrary, FieldsNeedABegunTrack) {
    packed_library p;
    EXPECT_THROW(p.add_meta_value("artist", "A"), std::logic_error);
    p.begin_track(false);
    EXPECT_THROW(p.add_field_value("no field yet"), std::logic_error);
}

TEST(ChunkedArray, IndexesLikeAVectorAcrossChunksAndTheGrowingFirstOne) {
    // 64-byte chunks: 16 values each, so the first chunk grows and then
    // hundreds of chunks follow.
    chunked_array<std::uint32_t, 64> small_chunks;
    chunked_array<std::uint32_t> default_chunks;
    std::vector<std::uint32_t> expected;
    for (std::uint32_t i = 0; i < 5000; ++i) {
        const std::uint32_t value = i * 2654435761u;
        small_chunks.push_back(value);
        default_chunks.push_back(value);
        expected.push_back(value);
    }
    ASSERT_EQ(small_chunks.size(), expected.size());
    ASSERT_EQ(default_chunks.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(small_chunks[i], expected[i]) << i;
        ASSERT_EQ(default_chunks[i], expected[i]) << i;
    }
    EXPECT_GE(small_chunks.allocated_bytes(), 5000 * sizeof(std::uint32_t));

    small_chunks.assign(40, 7u);
    EXPECT_EQ(small_chunks.size(), 40u);
    EXPECT_EQ(small_chunks[39], 7u);
    chunked_array<std::uint32_t, 64> moved = std::move(small_chunks);
    EXPECT_EQ(moved.size(), 40u);
    EXPECT_TRUE(small_chunks.empty());
}

TEST(TextInterner, OneCopyPerDistinctTextThroughEveryGrowth) {
    text_store store;
    text_interner interner(store);
    std::vector<const char*> first;
    for (std::uint32_t i = 0; i < 3000; ++i) {
        first.push_back(interner.intern("text " + std::to_string(i)));
    }
    EXPECT_EQ(interner.distinct(), 3000u);
    for (std::uint32_t i = 0; i < 3000; ++i) {
        ASSERT_EQ(interner.intern("text " + std::to_string(i)), first[i]) << i;
        ASSERT_STREQ(first[i], ("text " + std::to_string(i)).c_str());
    }
    EXPECT_EQ(interner.distinct(), 3000u);
    EXPECT_NE(interner.intern(""), interner.intern(std::string_view("\0", 1)));
    EXPECT_EQ(store.bytes_used(), 3000 * 1 + 10 * 6 + 90 * 7 + 900 * 8 + 2000 * 9 + 1 + 2);
}

} // namespace
