// The stand-in shared library's case-insensitive UTF-8 order (its source is
// portable, so it also runs here under the sanitizers).
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/shared_api.h"

namespace {

int sign(int v) {
    return (v > 0) - (v < 0);
}

TEST(StricmpUtf8, FoldsLetterCase) {
    const char* equal_pairs[][2] = {
        {"Metadata", "mETADATA"},
        {"\xC3\x89t\xC3\xA9", "\xC3\xA9T\xC3\x89"},               // Été / éTÉ
        {"\xC3\x9E\xC3\x98", "\xC3\xBE\xC3\xB8"},                 // Þ Ø / þ ø
        {"\xC5\xB8", "\xC3\xBF"},                                 // Ÿ / ÿ
        {"\xC4\x80\xC5\x81\xC5\xBD", "\xC4\x81\xC5\x82\xC5\xBE"}, // Ā Ł Ž / ā ł ž
        {"\xCE\xA9\xD0\x96\xD0\x81", "\xCF\x89\xD0\xB6\xD1\x91"}, // Ω Ж Ё / ω ж ё
        {"", ""},
    };
    for (const auto& pair : equal_pairs) {
        EXPECT_EQ(stricmp_utf8(pair[0], pair[1]), 0) << pair[0] << " / " << pair[1];
    }
    // Not letter pairs: × and ÷ stay apart, as do ı (dotless) and I.
    EXPECT_NE(stricmp_utf8("\xC3\x97", "\xC3\xB7"), 0);
    EXPECT_NE(stricmp_utf8("\xC4\xB1", "I"), 0);
}

TEST(StricmpUtf8, OrdersByFoldedCodePointThenLength) {
    EXPECT_LT(stricmp_utf8("apple", "Banana"), 0);
    EXPECT_GT(stricmp_utf8("Zebra", "apple"), 0);
    EXPECT_LT(stricmp_utf8("abc", "ABCD"), 0);
    EXPECT_LT(stricmp_utf8("", "a"), 0);
    EXPECT_LT(stricmp_utf8("z", "\xC3\xA9"), 0);            // U+007A before U+00E9
    EXPECT_LT(stricmp_utf8("\xC3\xA9", "\xE2\x82\xAC"), 0); // é before €
    EXPECT_LT(stricmp_utf8("\xEF\xBF\xBD", "\xF0\x9F\x98\x80"), 0);
    EXPECT_EQ(stricmp_utf8(nullptr, ""), 0);
}

TEST(StricmpUtf8, MalformedBytesCompareAsBytesAfterEveryCodePoint) {
    EXPECT_LT(stricmp_utf8("\xFE", "\xFF"), 0);
    EXPECT_LT(stricmp_utf8("\xF4\x90\x80\x80", "\xF5"), 0); // above U+10FFFF: 0xF4 byte first
    EXPECT_GT(stricmp_utf8("\xC3", "\xF0\x9F\x98\x80"), 0); // lone lead after any code point
    EXPECT_NE(stricmp_utf8("\xC0\x80", ""), 0);             // overlong NUL is not the end
    EXPECT_NE(stricmp_utf8("\xC3", "\xE3"), 0);
    EXPECT_EQ(stricmp_utf8("A\xFF", "a\xFF"), 0);
    // A broken sequence does not swallow the letter after it.
    EXPECT_EQ(stricmp_utf8("\xE2\x82Q", "\xE2\x82q"), 0);
}

TEST(StricmpUtf8, IsATotalOrderOverMixedTexts) {
    const std::vector<std::string> texts = {"",
                                            "a",
                                            "A",
                                            "ab",
                                            "b",
                                            "\xC3\xA9",
                                            "\xC3\x89",
                                            "\xC3",
                                            "\xC3\xA9x",
                                            "\xFF",
                                            "\xFE\xFF",
                                            "\xE2\x82\xAC",
                                            "\xE2\x82",
                                            "\xED\xA0\x80",
                                            "\xF0\x9F\x98\x80",
                                            "Z\x80",
                                            "z",
                                            "\xC5\xBF"};
    for (const auto& a : texts) {
        EXPECT_EQ(stricmp_utf8(a.c_str(), a.c_str()), 0);
        for (const auto& b : texts) {
            const int ab = sign(stricmp_utf8(a.c_str(), b.c_str()));
            EXPECT_EQ(ab, -sign(stricmp_utf8(b.c_str(), a.c_str()))) << a << " / " << b;
            for (const auto& c : texts) {
                const int bc = sign(stricmp_utf8(b.c_str(), c.c_str()));
                if (ab <= 0 && bc <= 0) {
                    EXPECT_LE(stricmp_utf8(a.c_str(), c.c_str()), 0) << a << " " << b << " " << c;
                }
            }
        }
    }
}

TEST(StricmpUtf8, NeverReadsPastTheTerminator) {
    // Each text sits at the very end of its own allocation, so a read past the
    // NUL is caught by the address sanitizer.
    const std::vector<std::string> truncated = {"\xC3", "a\xE2\x82", "\xF0\x9F\x98",
                                                "\xF4", "\xE0\xA0",  "\xDF"};
    for (const auto& t : truncated) {
        std::unique_ptr<char[]> a(new char[t.size() + 1]);
        std::unique_ptr<char[]> b(new char[t.size() + 1]);
        std::memcpy(a.get(), t.c_str(), t.size() + 1);
        std::memcpy(b.get(), t.c_str(), t.size() + 1);
        EXPECT_EQ(stricmp_utf8(a.get(), b.get()), 0);
        EXPECT_NE(stricmp_utf8(a.get(), "\xC3\xA9"), 0);
    }
}

} // namespace
