#include "support/utf8.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

std::u16string converted(const char* text) {
    return std::u16string(utf8_to_wide_text(text).c_str());
}

std::uint32_t decoded(const char* text, std::uint32_t max_bytes, std::uint32_t& code_point) {
    code_point = 0xDEADBEEF;
    return decode_utf8_sequence(max_bytes, text, code_point);
}

TEST(DecodeUtf8, AcceptedAndMalformedSequences) {
    std::uint32_t cp = 0;
    EXPECT_EQ(decoded("A", 1, cp), 1u);
    EXPECT_EQ(cp, 0x41u);
    EXPECT_EQ(decoded("", 6, cp), 0u);
    EXPECT_EQ(decoded("A", 0, cp), 0u);
    EXPECT_EQ(decoded("\xC3\xA9", 6, cp), 2u);
    EXPECT_EQ(cp, 0xE9u);
    EXPECT_EQ(decoded("\xC0\x80", 6, cp), 0u);
    EXPECT_EQ(decoded("\xC1\xBF", 6, cp), 0u);
    EXPECT_EQ(decoded("\xE0\x80\x80", 6, cp), 0u);
    EXPECT_EQ(decoded("\xE0\x80\x90", 6, cp), 3u);
    EXPECT_EQ(cp, 0x10u);
    EXPECT_EQ(decoded("\xE2\x82\xAC", 2, cp), 0u); // longer than the bytes allowed
    EXPECT_EQ(decoded("\xE2\x82\xAC", 3, cp), 3u);
    EXPECT_EQ(cp, 0x20ACu);
    EXPECT_EQ(decoded("\xED\xA0\x80", 6, cp), 3u); // a surrogate is accepted
    EXPECT_EQ(cp, 0xD800u);
    EXPECT_EQ(decoded("\xF0\x9F\x98\x80", 6, cp), 4u);
    EXPECT_EQ(cp, 0x1F600u);
    EXPECT_EQ(decoded("\xF8\x88\x80\x80\x80", 6, cp), 5u);
    EXPECT_EQ(cp, 0x200000u);
    EXPECT_EQ(decoded("\xFC\x84\x80\x80\x80\x80", 6, cp), 6u);
    EXPECT_EQ(cp, 0x4000000u);
    EXPECT_EQ(decoded("\xF8\x80\x80\x80\x80", 6, cp), 0u); // third byte's top bits all zero
    EXPECT_EQ(decoded("\x80", 6, cp), 0u);
    EXPECT_EQ(decoded("\xFE\x80", 6, cp), 0u);
    EXPECT_EQ(decoded("\xFF", 6, cp), 0u);
    EXPECT_EQ(decoded("\xE2\x41\xAC", 6, cp), 0u);
}

TEST(DecodeUtf8, NeverReadsPastTheTerminator) {
    // Exactly sized heap blocks: the sanitizer build catches any read beyond them.
    for (const std::string& bytes :
         {std::string("\xE2\x82", 2), std::string("\xF0", 1), std::string("\xFC\x84\x80", 3)}) {
        std::vector<char> block(bytes.begin(), bytes.end());
        block.push_back('\0');
        std::uint32_t cp = 0;
        EXPECT_EQ(decode_utf8_sequence(0xFFFFFFFFu, block.data(), cp), 0u);
        EXPECT_EQ(wide_length_of_utf8(block.data()), 1u);
        EXPECT_EQ(converted(block.data()), u"");
    }
}

TEST(ConvertUtf8, TextsEndAtTheFirstMalformedOrUnencodableSequence) {
    EXPECT_EQ(wide_length_of_utf8("A\xC3\xA9"), 3u);
    EXPECT_EQ(converted("A\xC3\xA9"), u"A\u00E9");
    EXPECT_EQ(wide_length_of_utf8("AB\xE9"
                                  "CD"),
              3u);
    EXPECT_EQ(converted("AB\xE9"
                        "CD"),
              u"AB");
    EXPECT_EQ(wide_length_of_utf8("\xF0\x9F\x98\x80"), 3u);
    EXPECT_EQ(converted("\xF0\x9F\x98\x80"), (std::u16string{0xD83D, 0xDE00}));
    EXPECT_EQ(converted("\xF3\xBF\xBF\xBF"), (std::u16string{0xDBBF, 0xDFFF})); // U+FFFFF
    // U+100000 and beyond end the text, in the estimate and in the conversion alike.
    EXPECT_EQ(wide_length_of_utf8("A\xF4\x80\x80\x80"
                                  "B"),
              2u);
    EXPECT_EQ(converted("A\xF4\x80\x80\x80"
                        "B"),
              u"A");
    EXPECT_EQ(converted("A\xF8\x88\x80\x80\x80"
                        "B"),
              u"A");
    EXPECT_EQ(converted(nullptr), u"");
}

TEST(ConvertUtf8, SmallBuffers) {
    char16_t buffer[4] = {u'x', u'x', u'x', u'x'};
    EXPECT_EQ(convert_utf8_to_wide(buffer, 0, "abc"), 0u);
    EXPECT_EQ(buffer[0], u'x');
    EXPECT_EQ(convert_utf8_to_wide(buffer, 1, "abc"), 0u);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(buffer[1], u'x');
    EXPECT_EQ(convert_utf8_to_wide(buffer, 3, "abc"), 2u);
    EXPECT_EQ(std::u16string(buffer), u"ab");
    EXPECT_EQ(buffer[3], u'x');
}

// The UTF-8 form of a code point, written independently of the decoder.
void encode(std::uint32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

TEST(ConvertUtf8, WellFormedTextConvertsToItsUtf16Form) {
    std::mt19937 random(11);
    for (int trial = 0; trial < 300; ++trial) {
        std::string text;
        std::u16string expected;
        const int count = static_cast<int>(random() % 40);
        for (int i = 0; i < count; ++i) {
            const std::uint32_t limits[] = {0x80, 0x800, 0x10000, 0x100000};
            const std::uint32_t c = 1 + random() % (limits[random() % 4] - 1);
            encode(c, text);
            if (c < 0x10000) {
                expected += static_cast<char16_t>(c);
            } else {
                expected += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
                expected += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
            }
        }
        ASSERT_EQ(wide_length_of_utf8(text.c_str()), expected.size() + 1);
        ASSERT_EQ(converted(text.c_str()), expected);
    }
}

TEST(ConvertUtf8, RandomBytesNeverOverrunTheBuffer) {
    std::mt19937 random(3);
    const std::uint8_t interesting[] = {0x41, 0x7F, 0x80, 0xBF, 0xC0, 0xC2, 0xDF, 0xE0, 0xED,
                                        0xEF, 0xF0, 0xF3, 0xF4, 0xF8, 0xFC, 0xFE, 0xFF, 0x9F};
    constexpr char16_t guard = 0xFEED;
    constexpr std::uint32_t guards = 4;
    for (int trial = 0; trial < 3000; ++trial) {
        std::string text;
        const int length = static_cast<int>(random() % 24);
        for (int i = 0; i < length; ++i) {
            const auto byte =
                static_cast<char>(random() % 2 ? interesting[random() % 18] : 1 + random() % 255);
            text += byte;
        }
        const std::uint32_t needed = wide_length_of_utf8(text.c_str());
        ASSERT_GE(needed, 1u);
        const std::u16string full = converted(text.c_str());
        ASSERT_EQ(full.size(), needed - 1);

        for (std::uint32_t capacity = 0; capacity <= needed + 2; ++capacity) {
            std::vector<char16_t> block(capacity + 2 * guards, guard);
            char16_t* buffer = block.data() + guards;
            const std::uint32_t written = convert_utf8_to_wide(buffer, capacity, text.c_str());
            for (std::uint32_t i = 0; i < guards; ++i) {
                ASSERT_EQ(block[i], guard);
                ASSERT_EQ(block[guards + capacity + i], guard) << "capacity " << capacity;
            }
            if (capacity == 0) {
                ASSERT_EQ(written, 0u);
                continue;
            }
            ASSERT_LT(written, capacity);
            ASSERT_EQ(buffer[written], 0);
            ASSERT_EQ(std::u16string(buffer, written), full.substr(0, written));
            if (capacity >= needed) {
                ASSERT_EQ(written, needed - 1);
            }
        }
    }
}

} // namespace
