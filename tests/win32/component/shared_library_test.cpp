// The stand-in shared.dll: its three exports by plain name, system error
// texts through the caller's string object, captions from UTF-8, and the
// case-insensitive order as the component imports it.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/shared_api.h"
#include "win32/component/loaded_component.h"

namespace {

std::string system_text(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string utf8;
    if (length != 0) {
        const int bytes = WideCharToMultiByte(CP_UTF8, 0, buffer, static_cast<int>(length), nullptr,
                                              0, nullptr, nullptr);
        utf8.resize(static_cast<std::size_t>(bytes));
        WideCharToMultiByte(CP_UTF8, 0, buffer, static_cast<int>(length), &utf8[0], bytes, nullptr,
                            nullptr);
    }
    LocalFree(buffer);
    return utf8;
}

TEST(SharedLibrary, ExportsItsThreeFunctionsByPlainName) {
    HMODULE shared = GetModuleHandleW(L"shared.dll");
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(
        component::exported_names(shared),
        (std::vector<std::string>{"stricmp_utf8", "uFormatSystemErrorMessage", "uSetWindowText"}));
}

TEST(SharedLibrary, FormatsSystemTextWithoutTheLineBreak) {
    const std::string expected = system_text(ERROR_FILE_NOT_FOUND);
    ASSERT_FALSE(expected.empty()) << "the system has no text for ERROR_FILE_NOT_FOUND";
    fakes::string out;
    EXPECT_NE(uFormatSystemErrorMessage(out, ERROR_FILE_NOT_FOUND), 0);
    EXPECT_FALSE(out.text().empty());
    EXPECT_EQ(out.text().find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(expected.compare(0, out.text().size(), out.text()), 0);
    EXPECT_EQ(expected.find_first_not_of("\r\n", out.text().size()), std::string::npos);
    EXPECT_GE(out.assigns + out.appends, 1);
}

TEST(SharedLibrary, FailureLeavesTheStringEmpty) {
    fakes::string out("left over");
    EXPECT_EQ(uFormatSystemErrorMessage(out, 0x2BADF00Du), 0);
    EXPECT_EQ(out.text(), "");
    EXPECT_EQ(uFormatSystemErrorMessage(out, 0xFFFFFFFFu), 0);
    EXPECT_EQ(out.text(), "");
}

TEST(SharedLibrary, SetsCaptionsFromUtf8) {
    HWND window = CreateWindowExW(0, L"STATIC", L"before", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    uSetWindowText(window, "Metadata Pool Statistics - Gr\xC3\xBC\xC3\x9F"
                           "e \xE2\x82\xAC "
                           "\xF0\x9F\x98\x80");
    wchar_t caption[128] = {};
    GetWindowTextW(window, caption, 128);
    EXPECT_EQ(std::wstring(caption),
              L"Metadata Pool Statistics - Gr\u00FC\u00DFe \u20AC \xD83D\xDE00");
    uSetWindowText(window, nullptr);
    EXPECT_EQ(GetWindowTextLengthW(window), 0);
    DestroyWindow(window);
}

TEST(SharedLibrary, ComparesUtf8WithoutLetterCase) {
    EXPECT_EQ(stricmp_utf8("PoolScope \xC3\x89T\xC3\x89", "poolscope \xC3\xA9t\xC3\xA9"), 0);
    EXPECT_EQ(stricmp_utf8("\xC5\xB8\xC4\x8C", "\xC3\xBF\xC4\x8D"), 0);
    EXPECT_LT(stricmp_utf8("alpha", "Beta"), 0);
    EXPECT_GT(stricmp_utf8("\xC3\xA9", "Z"), 0);
    EXPECT_LT(stricmp_utf8("abc", "ABCD"), 0);
    EXPECT_LT(stricmp_utf8("\xFE", "\xFF"), 0);
    EXPECT_GT(stricmp_utf8("\xC3", "\xF0\x9F\x98\x80"), 0);
}

} // namespace
