// The special-folder lookup, against the shell of the tests' Wine prefix.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "main_window/module1.h"

namespace {

TEST(SpecialFolderPath, StartupIsTheShellsFolderWithNothingOfTheBufferBehindIt) {
    std::wstring path = Module1::SpecialFolderPath(Module1::CSIDL_STARTUP_FOLDER);
    wchar_t expected[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_STARTUP, nullptr, SHGFP_TYPE_CURRENT, expected), S_OK);
    EXPECT_EQ(path, expected);
    EXPECT_EQ(path.find_first_of(std::wstring(L"\0 ", 2), path.size() - 1), std::wstring::npos)
        << "no NUL and no blank at the end";
    DWORD attributes = GetFileAttributesW(path.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(SpecialFolderPath, AFolderTheShellRefusesOrThatHasNoPathGivesEmptyText) {
    EXPECT_EQ(Module1::SpecialFolderPath(0x7f), L"") << "no such special folder";
    EXPECT_EQ(Module1::SpecialFolderPath(-1), L"");
    EXPECT_EQ(Module1::SpecialFolderPath(CSIDL_DRIVES), L"") << "a virtual folder, with no file-system path";
}

struct BufferCase {
    const char* what;
    std::wstring buffer;
    std::wstring text;
};

TEST(TextBeforeNul, TakesTheTextBeforeTheFirstNulOrNothing) {
    const BufferCase cases[] = {
        {"path, NUL, blanks", std::wstring(L"C:\\Startup\0   ", 14), L"C:\\Startup"},
        {"path, NUL, more text", std::wstring(L"C:\\a\0C:\\b\0", 10), L"C:\\a"},
        {"NUL first", std::wstring(L"\0C:\\a", 5), L""},
        {"only blanks: the shell wrote nothing", std::wstring(512, L' '), L""},
        {"text that fills the buffer with no NUL", std::wstring(512, L'x'), L""},
        {"empty", L"", L""},
    };
    for (const BufferCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Module1::TextBeforeNul(c.buffer), c.text);
    }
}

}  // namespace
