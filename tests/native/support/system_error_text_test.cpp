#include "support/system_error_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "support/shared_api.h"

namespace {

// The stand-in for the host's shared utility library: it knows the codes
// listed here and writes their text through the string interface, filling
// the buffer as a system call would.
struct known_message {
    std::uint32_t code;
    const char* text;
};
std::vector<known_message> known_messages;
std::vector<std::uint32_t> asked_codes;

} // namespace

extern "C" int uFormatSystemErrorMessage(string_base& out, std::uint32_t code) {
    asked_codes.push_back(code);
    for (const known_message& message : known_messages) {
        if (message.code == code) {
            const auto length = static_cast<std::uint32_t>(std::strlen(message.text));
            std::memcpy(out.open_buffer(length), message.text, length);
            out.close_buffer();
            return 1;
        }
    }
    return 0;
}

namespace {

class SystemErrorText : public ::testing::Test {
protected:
    void SetUp() override {
        known_messages = {{5, "Access is denied.\r\n"}, {2, "The system cannot find the file."}};
        asked_codes.clear();
    }
};

TEST_F(SystemErrorText, KnownCodesGiveExactlyTheSystemText) {
    EXPECT_STREQ(system_error_text(5).chars(), "Access is denied.\r\n");
    EXPECT_STREQ(system_error_text(2).chars(), "The system cannot find the file.");
    EXPECT_EQ(asked_codes, (std::vector<std::uint32_t>{5, 2}));
}

TEST_F(SystemErrorText, UnknownCodesAreWrittenInUnsignedDecimal) {
    EXPECT_STREQ(system_error_text(4294967295u).chars(), "Unknown error code (4294967295)");
    EXPECT_STREQ(system_error_text(0x80070005u).chars(), "Unknown error code (2147942405)");
    EXPECT_STREQ(system_error_text(0).chars(), "Unknown error code (0)");
    EXPECT_EQ(asked_codes, (std::vector<std::uint32_t>{4294967295u, 0x80070005u, 0}));
}

} // namespace
