// The settings folder and its files: exact sections, keys and values, UTF-16 where paths
// may hold any character, and the messages of failing reads and writes.
#include <gtest/gtest.h>

#include "apptesting.h"
#include "quilbrookapp.h"

#include <shlwapi.h>

#include <afxcoll.h>

#include <string>
#include <vector>

namespace
{
const wchar_t kFarPath[] = L"C:\\Fotos\\\u0141\u00f3d\u017a\\\u65e5\u672c\\\u03b1.png";  // outside any ANSI code page

class SettingsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        DeleteFileW(SettingsFile(L"Profile.txt").c_str());
        DeleteFileW(SettingsFile(L"FileList.txt").c_str());
    }
    MessageBoxLog m_messages;
};

TEST_F(SettingsTest, FoldersAreCreatedBelowTheCommonFolders)
{
    EXPECT_STREQ(L"C:\\ProgramData\\Quilbrook", theApp.GetAppDataFolder());
    EXPECT_STREQ(L"C:\\users\\Public\\Documents\\Quilbrook", theApp.GetDefaultOutputFolder());
    EXPECT_TRUE(PathIsDirectoryW(L"C:\\users\\Public\\Documents\\Quilbrook"));
    EXPECT_STREQ(L"C:\\ProgramData\\Quilbrook\\FileList.txt", theApp.GetFileListPath());
    EXPECT_STREQ(L"C:\\ProgramData\\Quilbrook\\Profile.txt", theApp.GetTaskProfilePath());
    EXPECT_STREQ(L"C:\\ProgramData\\Quilbrook\\Config.txt", theApp.GetConfigFilePath());
    EXPECT_TRUE(m_messages.Texts().empty());
}

TEST_F(SettingsTest, AnEmptyFileListHoldsOnlyTheByteOrderMarkAndCountsZero)
{
    ASSERT_TRUE(theApp.ResetFileList());
    EXPECT_EQ((std::vector<unsigned char>{0xFF, 0xFE}), FileContent(SettingsFile(L"FileList.txt")));
    EXPECT_STREQ(L"", theApp.ReadFileListString(L"Total", L"Count"));
    EXPECT_TRUE(m_messages.Texts().empty());
}

TEST_F(SettingsTest, PicturesAreNumberedFromZeroAndCounted)
{
    ASSERT_TRUE(theApp.ResetFileList());
    const wchar_t* pictures[] = {L"E:\\Photos\\a.png", kFarPath, L"E:\\Photos\\a.png"};
    for (const wchar_t* picture : pictures)
        EXPECT_EQ(0, theApp.AddFileToFileList(picture));

    const std::wstring list = SettingsFile(L"FileList.txt");
    EXPECT_EQ(L"E:\\Photos\\a.png", IniValue(list, L"FileList", L"File0"));
    EXPECT_EQ(kFarPath, IniValue(list, L"FileList", L"File1"));
    EXPECT_EQ(L"E:\\Photos\\a.png", IniValue(list, L"FileList", L"File2"));
    EXPECT_EQ(L"3", IniValue(list, L"Total", L"Count"));
    EXPECT_STREQ(kFarPath, theApp.ReadFileListString(L"FileList", L"File1"));

    // UTF-16 throughout, the list's section first.
    const std::vector<unsigned char> bytes = FileContent(list);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(0xFF, bytes[0]);
    EXPECT_EQ(0xFE, bytes[1]);
    const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    EXPECT_LT(text.find(L"[FileList]"), text.find(L"[Total]"));
    EXPECT_TRUE(m_messages.Texts().empty());
}

TEST_F(SettingsTest, ACountThatIsNegativeOrNotANumberStartsTheListAfresh)
{
    for (const wchar_t* count : {L"-4", L"many"})
    {
        ASSERT_TRUE(theApp.ResetFileList());
        WritePrivateProfileStringW(L"Total", L"Count", count, SettingsFile(L"FileList.txt").c_str());
        theApp.AddFileToFileList(L"E:\\x.png");
        EXPECT_EQ(L"E:\\x.png", IniValue(SettingsFile(L"FileList.txt"), L"FileList", L"File0")) << count;
        EXPECT_EQ(L"1", IniValue(SettingsFile(L"FileList.txt"), L"Total", L"Count")) << count;
    }
}

TEST_F(SettingsTest, AFileListThatCannotBeCreatedIsReported)
{
    // A folder in the file list's place cannot be deleted or opened as a file.
    ASSERT_TRUE(CreateDirectoryW(SettingsFile(L"FileList.txt").c_str(), nullptr));
    EXPECT_FALSE(theApp.ResetFileList());
    RemoveDirectoryW(SettingsFile(L"FileList.txt").c_str());
    EXPECT_EQ((std::vector<std::wstring>{L"Can't open file list path"}), m_messages.Texts());
}

TEST_F(SettingsTest, ANewProfileIsUnicodeSoAnyOutputFolderSurvives)
{
    const std::wstring folder = std::wstring(L"D:\\Ausgabe\\") + L"\u65e5\u672c\u0141";
    ASSERT_TRUE(theApp.WriteTaskProfileString(L"Output", L"Path", folder.c_str()));
    const std::vector<unsigned char> bytes = FileContent(SettingsFile(L"Profile.txt"));
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(0xFF, bytes[0]);
    EXPECT_EQ(0xFE, bytes[1]);
    EXPECT_STREQ(folder.c_str(), theApp.ReadTaskProfileString(L"Output", L"Path"));
    EXPECT_TRUE(m_messages.Texts().empty());
}

TEST_F(SettingsTest, AnExistingProfileWithoutByteOrderMarkIsStillRead)
{
    FILE* file = _wfopen(SettingsFile(L"Profile.txt").c_str(), L"wb");
    fputs("[Resize]\r\nMode=Value\r\nWidth= -12px\r\n", file);
    fclose(file);
    EXPECT_STREQ(L"Value", theApp.ReadTaskProfileString(L"Resize", L"Mode"));
    EXPECT_EQ(-12, theApp.ReadTaskProfileInt(L"Resize", L"Width"));
    EXPECT_EQ(0, theApp.ReadTaskProfileInt(L"Resize", L"Height"));
    ASSERT_TRUE(theApp.WriteTaskProfileString(L"Resize", L"Height", L"7"));
    EXPECT_EQ(7, theApp.ReadTaskProfileInt(L"Resize", L"Height"));
    EXPECT_STREQ(L"Value", theApp.ReadTaskProfileString(L"Resize", L"Mode"));
}

TEST_F(SettingsTest, LongValuesReadBackWhole)
{
    // A folder or picture path cut short would send the outputs to another folder.
    for (size_t length : {259u, 260u, 300u, 1000u})
    {
        const std::wstring longValue = L"C:\\" + std::wstring(length - 3, L'v');
        theApp.WriteTaskProfileString(L"Output", L"Path", longValue.c_str());
        EXPECT_EQ(longValue, std::wstring(theApp.ReadTaskProfileString(L"Output", L"Path"))) << length;
    }
}

TEST_F(SettingsTest, TheListWrittenInOnePassEqualsTheProfileFunctionsList)
{
    const std::vector<std::vector<const wchar_t*>> lists = {
        {L"E:\\Photos\\a.png"},
        {L"E:\\Photos\\a.png", kFarPath, L"E:\\Photos\\a.png", L"\\\\server\\share\\b c.jpg"},
        {}};
    for (const auto& list : lists)
    {
        ASSERT_TRUE(theApp.ResetFileList());
        CStringArray pictures;
        for (const wchar_t* picture : list)
        {
            theApp.AddFileToFileList(picture);
            pictures.Add(picture);
        }
        const std::vector<unsigned char> profileWay = FileContent(SettingsFile(L"FileList.txt"));
        ASSERT_TRUE(theApp.WriteFileList(pictures));
        EXPECT_EQ(profileWay, FileContent(SettingsFile(L"FileList.txt"))) << list.size() << " pictures";

        CStringArray read;
        theApp.ReadFileList(read);
        ASSERT_EQ(pictures.GetSize(), read.GetSize());
        for (INT_PTR i = 0; i < read.GetSize(); ++i)
            EXPECT_STREQ(pictures[i], read[i]);
    }
    EXPECT_TRUE(m_messages.Texts().empty());
}

TEST_F(SettingsTest, TheListEndsAtItsFirstMissingEntryWhateverTheCountSays)
{
    const struct
    {
        const wchar_t* count;
        std::vector<const wchar_t*> keys;  // File<n> keys written, in this order
        size_t expected;
    } cases[] = {{L"4294967295", {L"File0", L"File1", L"File2"}, 3},
                 {L"2", {L"File0", L"File1", L"File2"}, 2},
                 {L"5", {L"File0", L"File2", L"File3"}, 1},
                 {L"3", {L"File2", L"file1", L"File0"}, 3},  // any order, keys without regard to case
                 {L"3", {L"File1", L"File2"}, 0},
                 {L"-1", {L"File0"}, 0}};
    for (const auto& c : cases)
    {
        ASSERT_TRUE(theApp.ResetFileList());
        const std::wstring list = SettingsFile(L"FileList.txt");
        for (const wchar_t* key : c.keys)
            WritePrivateProfileStringW(L"FileList", key, (std::wstring(L"C:\\") + key + L".png").c_str(), list.c_str());
        WritePrivateProfileStringW(L"Total", L"Count", c.count, list.c_str());
        CStringArray read;
        theApp.ReadFileList(read);
        ASSERT_EQ(static_cast<INT_PTR>(c.expected), read.GetSize()) << c.count;
        for (INT_PTR i = 0; i < read.GetSize(); ++i)
            EXPECT_EQ(L"C:\\File" + std::to_wstring(i) + L".png", std::wstring(read[i]).replace(3, 4, L"File"));
    }
    EXPECT_TRUE(m_messages.Texts().empty());
}

TEST_F(SettingsTest, ReadingAMissingFileSaysSoForEveryValue)
{
    EXPECT_STREQ(L"", theApp.ReadTaskProfileString(L"Resize", L"Mode"));
    EXPECT_EQ(0, theApp.ReadTaskProfileInt(L"Resize", L"Percent"));
    const std::wstring message = L"Can not open file C:\\ProgramData\\Quilbrook\\Profile.txt for read\n";
    EXPECT_EQ((std::vector<std::wstring>{message, message}), m_messages.Texts());
}

TEST_F(SettingsTest, ARefusedWriteSaysSo)
{
    EXPECT_FALSE(theApp.WriteIniString(L"C:\\no such folder\\x.txt", L"S", L"K", L"V"));
    EXPECT_EQ((std::vector<std::wstring>{L"Can't write file "}), m_messages.Texts());
}
}
