// The system's reasons as the end of a batch names them, and the probe that finds why an
// output cannot be written.
#include <gtest/gtest.h>

#include "failurereason.h"
#include "testpaths.h"

#include <cwctype>
#include <string>

namespace
{
TEST(FailureReason, TheSystemsTextAsAPhraseOnOneLine)
{
    for (DWORD error : {ERROR_ACCESS_DENIED, ERROR_INVALID_DRIVE, ERROR_INVALID_NAME, ERROR_SHARING_VIOLATION,
                        ERROR_ALREADY_EXISTS, ERROR_DISK_FULL, ERROR_WRITE_PROTECT})
    {
        const std::wstring reason(SystemReason(error));
        ASSERT_GT(reason.size(), 1u) << error;
        EXPECT_EQ(std::wstring::npos, reason.find_first_of(L"\r\n")) << error;
        EXPECT_NE(L'.', reason.back()) << error;
        EXPECT_NE(L' ', reason.back()) << error;
        EXPECT_FALSE(std::iswupper(reason[0]) && !std::iswupper(reason[1])) << testing::PrintToString(reason);
    }
    // A code the system has no text for (the customer bit is set).
    EXPECT_STREQ(L"error 536936447", SystemReason(0x2000FFFF));
}

TEST(FailureReason, TheProbeLeavesNoFileBehind)
{
    const std::wstring folder = MakeTestFolder(L"failurereason");
    const std::wstring fresh = folder + L"\\fresh.jpg";
    DeleteFileW(fresh.c_str());
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), WriteErrorAt(fresh.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(fresh.c_str()));

    // An older file stays as it was, held or not.
    const std::wstring older = folder + L"\\older.jpg";
    HANDLE held = CreateFileW(older.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(held, "older", 5, &written, nullptr);
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), WriteErrorAt(older.c_str()));
    CloseHandle(held);
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), WriteErrorAt(older.c_str()));
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    ASSERT_TRUE(GetFileAttributesExW(older.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(5u, data.nFileSizeLow);
    DeleteFileW(older.c_str());
}
}
