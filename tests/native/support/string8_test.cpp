#include "support/string8.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <type_traits>

namespace {

constexpr std::uint32_t all = string_base::until_nul;

template <typename S> class String8Both : public ::testing::Test {};
using both_policies = ::testing::Types<string8, string8_fast>;
TYPED_TEST_SUITE(String8Both, both_policies);

TYPED_TEST(String8Both, LengthLimitsNulsAndNullTexts) {
    TypeParam s;
    EXPECT_NE(s.chars(), nullptr);
    EXPECT_STREQ(s.chars(), "");
    EXPECT_EQ(s.byte_length(), 0u);

    s.assign("abcdef", 3);
    EXPECT_STREQ(s.chars(), "abc");
    s.append("de\0fg", 5);
    EXPECT_STREQ(s.chars(), "abcde");
    EXPECT_EQ(s.byte_length(), 5u);
    s.append(nullptr, all);
    s.append("xyz", 0);
    EXPECT_STREQ(s.chars(), "abcde");
    s.assign(nullptr, all);
    EXPECT_EQ(s.byte_length(), 0u);
    EXPECT_STREQ(s.chars(), "");
}

// Every operation that sets the length applies the sizing rule, also when it
// adds nothing: a string that has never held anything then gets 1 + 16 bytes.
TYPED_TEST(String8Both, EmptyTextsStillApplyTheSizingRule) {
    const std::uint32_t first_allocation = std::is_same_v<TypeParam, string8> ? 17u : 32u;
    TypeParam appended;
    appended.append("", all);
    TypeParam assigned;
    assigned.assign("", all);
    TypeParam appended_null;
    appended_null.append(nullptr, all);
    TypeParam closed;
    static_cast<string_base&>(closed).close_buffer();
    for (const TypeParam* s : {&appended, &assigned, &appended_null, &closed}) {
        EXPECT_EQ(s->capacity(), 17u);
        EXPECT_EQ(s->allocated(), first_allocation);
        EXPECT_EQ(s->byte_length(), 0u);
        EXPECT_STREQ(s->chars(), "");
    }

    // With storage, adding nothing leaves it as it is (20 is within 4 + 32).
    TypeParam text("abc");
    text.append("", all);
    EXPECT_EQ(text.capacity(), 20u);
    EXPECT_STREQ(text.chars(), "abc");
}

TYPED_TEST(String8Both, PartsOfItselfCanBeAppendedAndAssigned) {
    TypeParam s("abc");
    s.append(s.chars(), all);
    EXPECT_STREQ(s.chars(), "abcabc");
    s.append(s.chars() + 1, 2);
    EXPECT_STREQ(s.chars(), "abcabcbc");
    // Doubling repeatedly forces new storage while the text is being read.
    for (int i = 0; i < 8; ++i) {
        s.append(s.chars(), all);
    }
    EXPECT_EQ(s.byte_length(), 8u * 256u);
    EXPECT_EQ(std::string(s.chars(), 8), "abcabcbc");
    EXPECT_EQ(std::string(s.chars() + 2040, 8), "abcabcbc");

    s.assign(s.chars() + 2045, all);
    EXPECT_STREQ(s.chars(), "cbc");
    s.assign(s.chars() + 1, 1);
    EXPECT_STREQ(s.chars(), "b");
}

TYPED_TEST(String8Both, ShortenOnlyCuts) {
    TypeParam s("abcdef");
    const std::uint32_t capacity = s.capacity();
    s.shorten(6);
    s.shorten(100);
    EXPECT_STREQ(s.chars(), "abcdef");
    EXPECT_EQ(s.capacity(), capacity);
    s.shorten(2);
    EXPECT_STREQ(s.chars(), "ab");
    EXPECT_EQ(s.byte_length(), 2u);
    s.shorten(0);
    EXPECT_STREQ(s.chars(), "");
}

TYPED_TEST(String8Both, BufferWrittenThroughTheInterface) {
    TypeParam s("old text that is long enough");
    string_base& base = s;
    char* buffer = base.open_buffer(100);
    for (std::uint32_t i = 0; i <= 100; ++i) {
        ASSERT_EQ(buffer[i], 0) << i;
    }
    std::memcpy(buffer, "hello", 5);
    base.close_buffer();
    EXPECT_EQ(base.byte_length(), 5u);
    EXPECT_STREQ(base.chars(), "hello");
    EXPECT_EQ(s.capacity(), 6u); // 117 is more than 6 + 32: cut to exactly what is needed

    // A writer that fills the whole buffer, terminator included, is cut before the last byte.
    buffer = base.open_buffer(3);
    std::memset(buffer, 'x', s.capacity());
    base.close_buffer();
    EXPECT_EQ(base.byte_length(), s.capacity() - 1);
}

TYPED_TEST(String8Both, OverflowingSizesRaiseBadAllocAndKeepTheContents) {
    TypeParam s("keep");
    const std::uint32_t capacity = s.capacity();
    EXPECT_THROW(s.open_buffer(0xFFFFFFFFu), std::bad_alloc);
    EXPECT_THROW(s.open_buffer(0xFFFFFFF0u), std::bad_alloc); // needed + 16 overflows
    EXPECT_STREQ(s.chars(), "keep");
    EXPECT_EQ(s.capacity(), capacity);
}

TYPED_TEST(String8Both, CopiesAndMovesOwnTheirBytes) {
    TypeParam a("first");
    TypeParam b(a);
    b += " second";
    EXPECT_STREQ(a.chars(), "first");
    EXPECT_STREQ(b.chars(), "first second");
    TypeParam c(std::move(b));
    EXPECT_STREQ(c.chars(), "first second");
    a = c;
    c = "third";
    EXPECT_STREQ(a.chars(), "first second");
    EXPECT_STREQ(c.chars(), "third");
}

TEST(String8Standard, CapacityFollowsTheSizingRule) {
    string8 s;
    const std::string text(60, 'x');
    s.assign(text.c_str(), 10);
    EXPECT_EQ(s.capacity(), 27u);
    s.assign(text.c_str(), 60);
    EXPECT_EQ(s.capacity(), 77u);
    s.assign(text.c_str(), 50);
    EXPECT_EQ(s.capacity(), 77u); // 77 is not more than 51 + 32
    s.assign(text.c_str(), 40);
    EXPECT_EQ(s.capacity(), 41u); // 77 is more than 41 + 32
    EXPECT_EQ(s.allocated(), 41u);
}

TEST(String8Aggressive, AllocationOnlyGrowsByDoubling) {
    string8_fast s;
    const std::string text(100, 'x');
    s.assign(text.c_str(), 10);
    EXPECT_EQ(s.capacity(), 27u);
    EXPECT_EQ(s.allocated(), 32u);
    s.assign(text.c_str(), 100);
    EXPECT_EQ(s.capacity(), 117u);
    EXPECT_EQ(s.allocated(), 128u);
    s.assign(text.c_str(), 5);
    EXPECT_EQ(s.capacity(), 6u);
    EXPECT_EQ(s.allocated(), 128u);
    EXPECT_EQ(s.byte_length(), 5u);

    // A doubling past 2^32 fails before any allocation.
    EXPECT_THROW(s.open_buffer(0x90000000u), std::bad_alloc);
    EXPECT_EQ(s.capacity(), 6u);
    EXPECT_EQ(s.allocated(), 128u);
    EXPECT_STREQ(s.chars(), "xxxxx");
}

} // namespace
