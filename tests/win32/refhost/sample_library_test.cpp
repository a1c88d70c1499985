// The generated libraries: deterministic, and carrying what the statistics
// need to be interesting (repeats, multi-valued and non-ASCII fields,
// overlapping playlists, tracks outside the library).
#include <gtest/gtest.h>

#include <set>

#include "refhost/sample_library.h"

namespace {

using namespace refhost;

std::string fingerprint(const library_data& d) {
    std::string all;
    for (const track_data& t : d.tracks) {
        all += t.path + '|';
        for (const meta_field_data& f : t.meta) {
            all += f.name;
            for (const std::string& v : f.values) {
                all += '=' + v;
            }
        }
        for (const info_field_data& f : t.info) {
            all += f.name + ':' + f.value;
        }
    }
    for (const playlist_data& p : d.playlists) {
        all += p.name;
        for (const playlist_entry& e : p.entries) {
            all += std::to_string(e.track) + (e.selected ? "*" : ",");
        }
    }
    return all;
}

// FNV-1a over the library's tracks (path, flags, fields), library order and
// playlists in one fixed text form.
std::uint64_t digest(const library_data& d) {
    std::string all;
    for (const track_data& t : d.tracks) {
        all += t.path + '|';
        all += t.has_path ? "" : "!nopath";
        all += t.cached ? "" : "!uncached";
        for (const meta_field_data& f : t.meta) {
            all += f.name;
            for (const std::string& v : f.values) {
                all += '=' + v;
            }
            all += ';';
        }
        for (const info_field_data& f : t.info) {
            all += f.name + ':' + f.value + ';';
        }
    }
    for (std::uint32_t i : d.library) {
        all += std::to_string(i) + ' ';
    }
    for (const playlist_data& p : d.playlists) {
        all += p.name;
        for (const playlist_entry& e : p.entries) {
            all += std::to_string(e.track) + (e.selected ? "*" : ",");
        }
    }
    std::uint64_t h = 14695981039346656037ull;
    for (const unsigned char c : all) {
        h = (h ^ c) * 1099511628211ull;
    }
    return h;
}

// The generated libraries are the ones earlier versions of the host
// generated (and so give the same tables): the digests were taken from the
// generator that built every track as strings. 60000 tracks with seed 4 make
// one path twice, which gets renamed.
TEST(SampleLibrary, IsTheLibraryEarlierVersionsGenerated) {
    const struct {
        std::uint32_t tracks;
        std::uint64_t seed;
        std::uint64_t digest;
    } cases[] = {{0, 9, 0xd75c5e9632b00092ull},     {7, 9, 0xeb8ead6c6788ef2cull},
                 {400, 3, 0x256c9e06ca41cfebull},   {3000, 1, 0x2de43a45efb9f45full},
                 {20000, 1, 0xc1f0b9755ac52216ull}, {20000, 7, 0x2626dd77d2dfed44ull},
                 {60000, 4, 0x52c843a74b578919ull}};
    for (const auto& c : cases) {
        EXPECT_EQ(digest(generate_library(c.tracks, c.seed)), c.digest)
            << c.tracks << " tracks, seed " << c.seed;
    }
}

TEST(SampleLibrary, RenamesARepeatedPathByItsTrackIndex) {
    const library_data d = generate_library(60000, 4);
    std::set<std::string> paths;
    std::uint32_t renamed = 0;
    for (std::uint32_t t = 0; t < d.tracks.size(); ++t) {
        paths.insert(d.tracks[t].path);
        const std::string suffix = " (" + std::to_string(t) + ").";
        renamed += d.tracks[t].path.find(suffix) != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(paths.size(), d.tracks.size());
    EXPECT_EQ(renamed, 1u);
}

TEST(SampleLibrary, SameSeedSameDataOtherSeedOtherData) {
    EXPECT_EQ(fingerprint(generate_library(400, 3)), fingerprint(generate_library(400, 3)));
    EXPECT_NE(fingerprint(generate_library(400, 3)), fingerprint(generate_library(400, 4)));
    EXPECT_EQ(generate_library(400, 3).library.size(), 400u);
}

TEST(SampleLibrary, CarriesTheShapesTheStatisticsLookAt) {
    const library_data d = sample_library();
    ASSERT_EQ(d.library.size(), sample_track_count);
    EXPECT_GT(d.tracks.size(), d.library.size());

    std::set<std::string> paths;
    bool multi_artist = false, multi_genre = false, valueless_field = false;
    std::set<std::string> scripts_seen;
    std::set<std::string> info_names;
    std::uint32_t uncached = 0;
    for (const track_data& t : d.tracks) {
        paths.insert(t.path);
        uncached += t.cached ? 0 : 1;
        for (const meta_field_data& f : t.meta) {
            multi_artist |= f.name == "artist" && f.values.size() > 1;
            multi_genre |= f.name == "genre" && f.values.size() > 1;
            valueless_field |= f.values.empty();
            for (const std::string& v : f.values) {
                for (const char* probe : {"é", "ü", "ß", "日本語", "Мария"}) {
                    if (v.find(probe) != std::string::npos) {
                        scripts_seen.insert(probe);
                    }
                }
            }
        }
        for (const info_field_data& f : t.info) {
            info_names.insert(f.name);
        }
    }
    EXPECT_EQ(paths.size(), d.tracks.size()) << "paths identify tracks";
    EXPECT_TRUE(multi_artist);
    EXPECT_TRUE(multi_genre);
    EXPECT_TRUE(valueless_field);
    EXPECT_EQ(scripts_seen.size(), 5u);
    for (const char* name : {"codec", "bitrate", "samplerate", "channels", "duration"}) {
        EXPECT_EQ(info_names.count(name), 1u) << name;
    }
    EXPECT_EQ(uncached, 1u);

    // Membership: in several playlists, only in playlists, in nothing.
    std::vector<std::set<std::uint32_t>> lists_of(d.tracks.size());
    bool repeat_within_playlist = false, empty_playlist = false;
    for (std::uint32_t p = 0; p < d.playlists.size(); ++p) {
        std::set<std::uint32_t> seen;
        empty_playlist |= d.playlists[p].entries.empty();
        for (const playlist_entry& e : d.playlists[p].entries) {
            repeat_within_playlist |= !seen.insert(e.track).second;
            lists_of[e.track].insert(p);
        }
    }
    const std::set<std::uint32_t> library(d.library.begin(), d.library.end());
    std::uint32_t in_three = 0, playlist_only = 0, nowhere = 0;
    for (std::uint32_t t = 0; t < d.tracks.size(); ++t) {
        in_three += lists_of[t].size() >= 3 ? 1 : 0;
        playlist_only += !lists_of[t].empty() && library.count(t) == 0 ? 1 : 0;
        nowhere += lists_of[t].empty() && library.count(t) == 0 ? 1 : 0;
    }
    EXPECT_GE(in_three, 1u);
    EXPECT_GE(playlist_only, 3u);
    EXPECT_GE(nowhere, 1u);
    EXPECT_TRUE(repeat_within_playlist);
    EXPECT_TRUE(empty_playlist);
}

TEST(SampleLibrary, TinyAndEmptyLibrariesAreWellFormed) {
    for (std::uint32_t n : {0u, 1u, 7u}) {
        const library_data d = generate_library(n, 9);
        EXPECT_EQ(d.library.size(), n);
        for (const playlist_data& p : d.playlists) {
            for (const playlist_entry& e : p.entries) {
                EXPECT_LT(e.track, d.tracks.size());
            }
        }
    }
}

} // namespace
