// The About page: the document's text, paragraph by paragraph, and its type.
#include <windows.h>

#include <richedit.h>

#include <string>
#include <vector>

#include "support/system_error_text.h"
#include "ui/cache_window/about_document.h"
#include "win32/windows/cache/cache_window_fixture.h"

namespace cache_window {
namespace {

struct about_entry {
    const wchar_t* term;
    const wchar_t* text;
};

struct about_section {
    const wchar_t* heading;
    std::vector<about_entry> entries;
};

const std::vector<about_section>& about_sections() {
    static const std::vector<about_section> sections = {
        {L"Columns",
         {{L"Pool",
           L"Strings are conceptually contained in multiple pools. Each pool contains a certain "
           L"kind of string. While tt is generally quite unlikely to have the same string in "
           L"different pools, the chance for duplicate strings within a pool can be very high "
           L"depending on the pool."},
          {L"Logical Strings",
           L"The total number of strings in a pool. If there are multiple strings with the same "
           L"value in a pool, each copy counts as one logical string."},
          {L"Physical Strings",
           L"The total number of strings in a pool that are allocated in memory. Multiple "
           L"logical strings with the same value can - but need not - be stored as a single "
           L"physical string. It is theoretically possible that a logical strings from "
           L"different pools are backed by the same physical string."},
          {L"Unique Strings",
           L"The total number of unique strings in a pool. If multiple logical strings have the "
           L"same value, they are counted as one entry here."},
          {L"Used Memory",
           L"The estimated total amount of memory in bytes required to store the strings in a "
           L"pool. Usually this is equal to the total length of all physical strings in a pool "
           L"including a terminating NUL character and the size of all string pointers."},
          {L"Required Memory",
           L"The estimated total amount of memory in bytes required to store the strings in a "
           L"pool, if strings with the same value would only be stored once. This is equal to "
           L"the total length of all unique strings in this pool including a terminating NUL "
           L"character and the size of all string pointers."},
          {L"Length (X)",
           L"Several values describing the distribution of the lengths of the logical strings "
           L"in a pool: the lower quartile, the median, the upper quartile, and the maximum."}}},
        {L"Rows",
         {{L"Path", L"The path strings of playable locations."},
          {L"Meta Name", L"The names of tag fields."},
          {L"Meta Value", L"The values of tag fields."},
          {L"Info Name", L"The names of technical information fields."},
          {L"Info Value", L"The values of technical information fields."},
          {L"All", L"All strings from the aforementioned types."}}},
        {L"Tabs",
         {{L"Library",
           L"Shows information about all items that are contained in the media library."},
          {L"Playlists",
           L"Shows information about all items that are contained in at least one playlist."},
          {L"Combined",
           L"Shows information about all items that are contained in the media library or in at "
           L"least one playlist. Note that the metadata cache may also contain other items which "
           L"will not be included in the statistics."}}},
    };
    return sections;
}

std::wstring rich_text(HWND edit) {
    GETTEXTLENGTHEX length{GTL_NUMCHARS | GTL_PRECISE, 1200};
    const auto count = SendMessageW(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
    std::wstring text(static_cast<std::size_t>(count) + 1, L'\0');
    GETTEXTEX get{static_cast<DWORD>(text.size() * sizeof(wchar_t)), GT_DEFAULT, 1200, nullptr,
                  nullptr};
    const auto copied = SendMessageW(edit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                                     reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

// The character format common to [first, last) of the rich edit.
CHARFORMAT2W format_of(HWND edit, LONG first, LONG last) {
    CHARRANGE range{first, last};
    SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    SendMessageW(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
}

void expect_format(HWND edit, LONG first, const std::wstring& what, bool bold, LONG points,
                   bool italic = false) {
    const CHARFORMAT2W f = format_of(edit, first, first + static_cast<LONG>(what.size()));
    const std::string label(what.begin(), what.begin() + std::min<std::size_t>(what.size(), 20));
    EXPECT_TRUE((f.dwMask & CFM_BOLD) && (f.dwMask & CFM_SIZE) && (f.dwMask & CFM_ITALIC))
        << label << ": mixed format";
    EXPECT_EQ((f.dwEffects & CFE_BOLD) != 0, bold) << label;
    EXPECT_EQ((f.dwEffects & CFE_ITALIC) != 0, italic) << label;
    EXPECT_EQ(f.yHeight, points * 20) << label;
    EXPECT_STREQ(f.szFaceName, L"Tahoma") << label;
}

TEST_F(CacheWindow, AboutPageHoldsTheThreeSectionsWithEveryTermAndExplanation) {
    HWND window = open_window();
    HWND about = find_pages(window).about;
    ASSERT_NE(about, nullptr);

    // Heading; then per entry: term, empty, explanation, empty paragraph.
    std::wstring expected;
    for (const about_section& section : about_sections()) {
        expected += std::wstring(section.heading) + L"\r";
        for (const about_entry& entry : section.entries) {
            expected += std::wstring(entry.term) + L"\r\r" + entry.text + L"\r\r";
        }
    }
    std::wstring text = rich_text(about);
    while (!text.empty() && text.back() == L'\r') {
        text.pop_back();
    }
    while (expected.back() == L'\r') {
        expected.pop_back();
    }
    ASSERT_EQ(text, expected);

    LONG at = 0;
    for (const about_section& section : about_sections()) {
        expect_format(about, at, section.heading, true, 12);
        at += static_cast<LONG>(wcslen(section.heading)) + 1;
        for (const about_entry& entry : section.entries) {
            const std::wstring term = entry.term;
            if (term == L"Length (X)") {
                expect_format(about, at, L"Length (", true, 10);
                expect_format(about, at + 8, L"X", true, 10, true);
                expect_format(about, at + 9, L")", true, 10);
            } else {
                expect_format(about, at, term, true, 10);
            }
            at += static_cast<LONG>(term.size()) + 2;
            expect_format(about, at, entry.text, false, 10);
            at += static_cast<LONG>(wcslen(entry.text)) + 2;
        }
    }
    EXPECT_TRUE(SendMessageW(about, EM_GETOPTIONS, 0, 0) & ECO_READONLY);
}

TEST_F(CacheWindow, MissingAboutDocumentWritesOneConsoleLineAndLeavesThePageEmpty) {
    // This test program has no "RTF" resources at all.
    ASSERT_NE(LoadLibraryW(L"Riched20.dll"), nullptr);
    HWND edit = CreateWindowExW(0, L"RichEdit20W", L"", WS_POPUP | ES_MULTILINE, 0, 0, 100, 100,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);
    // Whatever code the system gives for the failed lookup is the one reported.
    SetLastError(0);
    EXPECT_EQ(FindResourceW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(104), L"RTF"), nullptr);
    const DWORD code = GetLastError();
    EXPECT_NE(code, 0u);
    host().clear_records();
    stream_about_document(edit, GetModuleHandleW(nullptr));
    ASSERT_EQ(host().console_lines().size(), 1u);
    EXPECT_EQ(host().console_lines()[0], system_error_text(code).c_str());
    EXPECT_TRUE(rich_text(edit).empty());
    DestroyWindow(edit);
}

} // namespace
} // namespace cache_window
