// The library text format: good lines kept, bad lines reported by number.
#include <gtest/gtest.h>

#include "refhost/library_file.h"
#include "win32/refhost/test_support.h"

namespace {

using namespace refhost;

std::vector<std::uint32_t> problem_lines(const library_load_result& r) {
    std::vector<std::uint32_t> lines;
    for (const library_problem& p : r.problems) {
        lines.push_back(p.line);
    }
    return lines;
}

TEST(LibraryFile, KeepsEveryGoodLineAndReportsEachBadOneByNumber) {
    const char* text = "# a comment\n"           // 1
                       "track D:\\a.flac\n"      // 2
                       "meta artist=Zoé\n"       // 3
                       "meta artist=Мария\n"     // 4
                       "meta genre=Rock\n"       // 5
                       "info codec=FLAC\n"       // 6
                       "bogus line\n"            // 7  bad: keyword
                       "info codec=MP3\n"        // 8  bad: info given twice
                       "meta =x\n"               // 9  bad: no name
                       "track D:\\b.mp3\n"       // 10
                       "meta title=a\\=b\\nc\n"  // 11 escapes
                       "meta lyrics\n"           // 12 a field without values
                       "uncached\n"              // 13
                       "file E:\\c.ogg\n"        // 14 not in the library
                       "nopath\n"                // 15
                       "track D:\\a.flac\n"      // 16 bad: defined already
                       "meta artist=lost\n"      // 17 bad: its track was rejected
                       "library D:\\a.flac\n"    // 18 listed in the library again
                       "playlist Mix 日本\n"     // 19
                       "item D:\\b.mp3\n"        // 20
                       "selected E:\\c.ogg\n"    // 21
                       "item D:\\missing.flac\n" // 22 bad: unknown track
                       "\xff\xfe not UTF-8\n"    // 23 bad: encoding
                       "\n"                      // 24
                       "item D:\\a.flac\r\n";    // 25 CRLF line end
    const library_load_result r = parse_library_text(text);
    ASSERT_TRUE(r.opened);
    EXPECT_EQ(problem_lines(r), (std::vector<std::uint32_t>{7, 8, 9, 16, 17, 22, 23}));

    ASSERT_EQ(r.data.tracks.size(), 3u);
    EXPECT_EQ(r.data.library, (std::vector<std::uint32_t>{0, 1, 0}));
    const track_data& a = r.data.tracks[0];
    ASSERT_EQ(a.meta.size(), 2u);
    EXPECT_EQ(a.meta[0].name, "artist");
    EXPECT_EQ(a.meta[0].values, (std::vector<std::string>{"Zoé", "Мария"}));
    ASSERT_EQ(a.info.size(), 1u);
    EXPECT_EQ(a.info[0].value, "FLAC");

    const track_data& b = r.data.tracks[1];
    ASSERT_EQ(b.meta.size(), 2u);
    EXPECT_EQ(b.meta[0].values[0], "a=b\nc");
    EXPECT_EQ(b.meta[1].name, "lyrics");
    EXPECT_TRUE(b.meta[1].values.empty());
    EXPECT_FALSE(b.cached);
    EXPECT_TRUE(b.has_path);
    EXPECT_FALSE(r.data.tracks[2].has_path);

    ASSERT_EQ(r.data.playlists.size(), 1u);
    const playlist_data& mix = r.data.playlists[0];
    EXPECT_EQ(mix.name, "Mix 日本");
    ASSERT_EQ(mix.entries.size(), 3u);
    EXPECT_EQ(mix.entries[0].track, 1u);
    EXPECT_EQ(mix.entries[1].track, 2u);
    EXPECT_TRUE(mix.entries[1].selected);
    EXPECT_EQ(mix.entries[2].track, 0u);
    EXPECT_FALSE(mix.entries[2].selected);

    const std::vector<std::string> described = describe_problems("lib.txt", r);
    ASSERT_EQ(described.size(), 7u);
    EXPECT_EQ(described[0], "lib.txt:7: unknown keyword \"bogus\"");
}

TEST(LibraryFile, LinesOutOfPlaceAndBadEscapesAreReported) {
    const library_load_result r = parse_library_text("\xEF\xBB\xBFmeta artist=x\n" // no track yet
                                                     "item D:\\x\n"          // no playlist yet
                                                     "track \n"              // no path
                                                     "track D:\\fine\\new\n" // paths: no escapes
                                                     "meta title=end\\\n"    // backslash at the end
                                                     "meta title=bad\\q\n"   // unknown escape
                                                     "info codec\n"          // no value
                                                     "nopath now\n"          // takes no argument
                                                     "meta title=Tab\\tStop\n");
    EXPECT_EQ(problem_lines(r), (std::vector<std::uint32_t>{1, 2, 3, 5, 6, 7, 8}));
    ASSERT_EQ(r.data.tracks.size(), 1u);
    EXPECT_EQ(r.data.tracks[0].path, "D:\\fine\\new");
    EXPECT_TRUE(r.data.tracks[0].has_path);
    ASSERT_EQ(r.data.tracks[0].meta.size(), 1u);
    EXPECT_EQ(r.data.tracks[0].meta[0].values, (std::vector<std::string>{"Tab\tStop"}));
}

// The host keeps texts NUL-terminated: a NUL byte inside a line would cut a
// path or value short behind the reader's back, so the line is refused. A
// refused track or playlist line (NUL or invalid UTF-8) leaves no current
// track or playlist, so the lines after it cannot land on an earlier one.
TEST(LibraryFile, LinesWithANulByteOrBadEncodingAreRefusedWithTheirFields) {
    using namespace std::string_literals;
    const std::string text = "track D:\\a.flac\n"          // 1
                             "meta artist=Zo\0e\n"s        // 2 bad
                             "track D:\\b\0hidden.flac\n"s // 3 bad
                             "meta title=lost\n"           // 4 bad: its track was refused
                             "\0\n"s                       // 5 bad
                             "file D:\\c\xff.flac\n"       // 6 bad
                             "info codec=lost\n"           // 7 bad: its track was refused
                             "playlist P\n"                // 8
                             "item D:\\a.flac\n"           // 9
                             "playlist Q\xC3\n"            // 10 bad
                             "item D:\\a.flac\n";          // 11 bad: its playlist was refused
    const library_load_result r = parse_library_text(text);
    EXPECT_EQ(problem_lines(r), (std::vector<std::uint32_t>{2, 3, 4, 5, 6, 7, 10, 11}));
    ASSERT_EQ(r.data.tracks.size(), 1u);
    EXPECT_TRUE(r.data.tracks[0].meta.empty());
    EXPECT_TRUE(r.data.tracks[0].info.empty());
    ASSERT_EQ(r.data.playlists.size(), 1u);
    EXPECT_EQ(r.data.playlists[0].entries.size(), 1u);
    ASSERT_FALSE(r.problems.empty());
    EXPECT_EQ(r.problems[0].message, "the line contains a NUL byte");
}

TEST(LibraryFile, AFileThatCannotBeReadSaysWhy) {
    const library_load_result missing =
        load_library_file(refhost_test::scratch_folder(L"library") + L"does-not-exist.txt");
    EXPECT_FALSE(missing.opened);
    EXPECT_FALSE(missing.error.empty());

    const std::wstring path = refhost_test::scratch_folder(L"library") + L"small.txt";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const char content[] = "track D:\\one.flac\nmeta title=One\n";
    DWORD written = 0;
    WriteFile(file, content, sizeof content - 1, &written, nullptr);
    CloseHandle(file);
    const library_load_result loaded = load_library_file(path);
    ASSERT_TRUE(loaded.opened);
    EXPECT_TRUE(loaded.problems.empty());
    ASSERT_EQ(loaded.data.tracks.size(), 1u);
    EXPECT_EQ(loaded.data.tracks[0].meta[0].values[0], "One");
}

} // namespace
