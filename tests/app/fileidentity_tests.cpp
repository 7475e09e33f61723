// File identities under Wine: every Unix filesystem but the drive's own reports volume serial 0
// and the inode as index, so the roots of /dev, /dev/shm, /proc and /sys all read as (0, 1).
// Such an identity alone never makes two folders or files one.
#include <gtest/gtest.h>

#include "fileidentity.h"

#include <string>
#include <vector>

namespace
{
const wchar_t* const kFilesystemRoots[] = {L"Z:\\dev", L"Z:\\dev\\shm", L"Z:\\proc", L"Z:\\sys"};

// What the system says of the folder itself: FALSE when it cannot be asked.
bool RawIdentity(const wchar_t* path, BY_HANDLE_FILE_INFORMATION& information)
{
    HANDLE file = CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const BOOL read = GetFileInformationByHandle(file, &information);
    CloseHandle(file);
    return read != FALSE;
}

class WineIdentityTest : public testing::Test
{
protected:
    void SetUp() override
    {
        // The fault shows only where the system gives two of the roots one identity.
        BY_HANDLE_FILE_INFORMATION dev = {}, proc = {};
        if (!RawIdentity(L"Z:\\dev", dev) || !RawIdentity(L"Z:\\proc", proc) || dev.dwVolumeSerialNumber != 0 ||
            dev.dwVolumeSerialNumber != proc.dwVolumeSerialNumber || dev.nFileIndexLow != proc.nFileIndexLow ||
            dev.nFileIndexHigh != proc.nFileIndexHigh)
            GTEST_SKIP() << "Z:\\dev and Z:\\proc do not share an identity here";
    }
};
}

TEST_F(WineIdentityTest, FoldersOfOtherFilesystemsAreNeverOneFolder)
{
    CVisitedFolders visited;
    for (const wchar_t* root : kFilesystemRoots)
        EXPECT_TRUE(visited.Visit(root)) << testing::PrintToString(std::wstring(root));
    // The same folder by another name is still the same folder.
    EXPECT_FALSE(visited.Visit(L"z:\\DEV"));
    EXPECT_FALSE(visited.Visit(L"Z:\\proc\\..\\proc"));
}

TEST_F(WineIdentityTest, AnOutputIsNotTakenForAListedPictureOfAnotherFilesystem)
{
    CPictureSet pictures;
    pictures.Add(L"Z:\\dev");
    pictures.Add(L"Z:\\dev\\shm");
    EXPECT_FALSE(pictures.Contains(L"Z:\\proc"));
    EXPECT_FALSE(pictures.Contains(L"Z:\\sys"));
    EXPECT_TRUE(pictures.Contains(L"Z:\\dev"));
    EXPECT_TRUE(pictures.Contains(L"z:\\dev\\SHM"));
}

TEST(FileIdentity, TwoNamesOfOneFileOnTheDrivesOwnFilesystemAreOne)
{
    // C: is the drive's own filesystem: its identities carry a serial and need no path.
    const std::wstring path = L"C:\\QuilbrookIdentity.txt";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
    FileIdentity plain, prefixed;
    ASSERT_TRUE(ReadFileIdentity(path.c_str(), plain));
    ASSERT_TRUE(ReadFileIdentity((L"\\\\?\\" + path).c_str(), prefixed));
    EXPECT_NE(0u, plain.volume);
    EXPECT_FALSE(plain < prefixed || prefixed < plain);
    CPictureSet pictures;
    pictures.Add(path.c_str());
    EXPECT_TRUE(pictures.Contains(L"c:\\quilbrookidentity.TXT"));
    DeleteFileW(path.c_str());
}
