// The stand-in shared library's case-insensitive UTF-8 order (its source is
// portable, so it also runs here under the sanitizers).
#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <random>
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

// Random texts built from letters of both cases, multi-byte letters, and
// broken, truncated, overlong and out-of-range sequences. Each text sits at the
// end of its own allocation, so a read past its NUL is caught by the address
// sanitizer.
class random_texts {
public:
    explicit random_texts(std::size_t count, unsigned seed) {
        static const char* const pieces[] = {"a",
                                             "A",
                                             "z",
                                             "Z",
                                             "i",
                                             "I",
                                             " ",
                                             "0",
                                             "\xC3\xA9",
                                             "\xC3\x89",
                                             "\xC3\x9F",
                                             "\xC5\xB8",
                                             "\xC3\xBF",
                                             "\xC4\xB0",
                                             "\xC4\xB1",
                                             "\xCE\xA9",
                                             "\xCF\x89",
                                             "\xD0\x81",
                                             "\xD1\x91",
                                             "\xE2\x82\xAC",
                                             "\xE2\x82",
                                             "\xC3",
                                             "\xF0\x9F\x98\x80",
                                             "\xF0\x9F",
                                             "\xFF",
                                             "\x80",
                                             "\xED\xA0\x80",
                                             "\xC0\x80",
                                             "\xF4\x90\x80\x80",
                                             "\xE0\x80\x80",
                                             "\xF8\x88\x80\x80\x80"};
        std::mt19937 random(seed);
        std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1);
        std::uniform_int_distribution<int> length(0, 5);
        for (std::size_t i = 0; i < count; ++i) {
            std::string text;
            for (int n = length(random); n > 0; --n) {
                text += pieces[piece(random)];
            }
            auto copy = std::make_unique<char[]>(text.size() + 1);
            std::memcpy(copy.get(), text.c_str(), text.size() + 1);
            m_texts.push_back(std::move(copy));
        }
    }
    std::size_t size() const { return m_texts.size(); }
    const char* operator[](std::size_t i) const { return m_texts[i].get(); }

private:
    std::vector<std::unique_ptr<char[]>> m_texts;
};

TEST(StricmpUtf8, RandomTextsAreOrderedConsistently) {
    const random_texts texts(160, 20240611u);
    const std::size_t n = texts.size();
    std::vector<int> order(n * n);
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = 0; j < n; ++j) {
            order[i * n + j] = sign(stricmp_utf8(texts[i], texts[j]));
        }
    }
    auto cmp = [&](std::size_t i, std::size_t j) { return order[i * n + j]; };
    int failures = 0;
    for (std::size_t a = 0; a < n && failures < 5; ++a) {
        if (cmp(a, a) != 0) {
            ++failures;
            ADD_FAILURE() << "not equal to itself: " << texts[a];
        }
        for (std::size_t b = 0; b < n && failures < 5; ++b) {
            if (cmp(a, b) != -cmp(b, a)) {
                ++failures;
                ADD_FAILURE() << "not antisymmetric: " << texts[a] << " / " << texts[b];
            }
            for (std::size_t c = 0; c < n && failures < 5; ++c) {
                const int ab = cmp(a, b);
                const int bc = cmp(b, c);
                // a <= b <= c gives a <= c, strictly when either step is strict;
                // texts that compare equal compare alike with every other text.
                const bool broken = (ab <= 0 && bc <= 0 && cmp(a, c) > 0) ||
                                    (ab <= 0 && bc <= 0 && (ab < 0 || bc < 0) && cmp(a, c) == 0) ||
                                    (ab == 0 && cmp(a, c) != cmp(b, c));
                if (broken) {
                    ++failures;
                    ADD_FAILURE() << "inconsistent: " << texts[a] << " / " << texts[b] << " / "
                                  << texts[c];
                }
            }
        }
    }
}

// On ASCII texts the order is that of the texts with every letter lowered.
TEST(StricmpUtf8, RandomAsciiTextsOrderAsTheirLowerCaseBytes) {
    std::mt19937 random(7u);
    std::uniform_int_distribution<int> byte(1, 127);
    std::uniform_int_distribution<int> length(0, 4);
    auto lowered = [](std::string s) {
        for (char& c : s) {
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c + ('a' - 'A'));
            }
        }
        return s;
    };
    for (int round = 0; round < 20000; ++round) {
        std::string a, b;
        for (int n = length(random); n > 0; --n) {
            a += static_cast<char>(byte(random) % 4 == 0 ? 'A' + byte(random) % 3 : byte(random));
        }
        for (int n = length(random); n > 0; --n) {
            b += static_cast<char>(byte(random) % 4 == 0 ? 'a' + byte(random) % 3 : byte(random));
        }
        const int expected = sign(lowered(a).compare(lowered(b)));
        ASSERT_EQ(sign(stricmp_utf8(a.c_str(), b.c_str())), expected) << a << " / " << b;
    }
}

} // namespace
