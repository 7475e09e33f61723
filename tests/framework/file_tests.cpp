// Files: CFile's result and throw rules, CStdioFile text lines, CMemFile memory
// ownership and CFileFind's walk over a folder.
#include <afx.h>
#include <gtest/gtest.h>

#include "testpaths.h"

#include <string>

TEST(CFile, OpenReportsFailureWithoutThrowing)
{
    const std::wstring folder = MakeTestFolder(L"cfile-open");
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open((folder + L"\\missing.txt").c_str(), CFile::modeRead, &error));
    EXPECT_EQ(CFileException::fileNotFound, error.m_cause);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, error.m_lOsError);
    EXPECT_FALSE(file.Open((folder + L"\\no\\such\\dir\\x.txt").c_str(), CFile::modeRead));
    EXPECT_EQ(CFile::hFileNull, file.m_hFile);
}

TEST(CFile, ReadsShortAtTheEndAndCreateTruncates)
{
    const std::wstring path = MakeTestFolder(L"cfile-rw") + L"\\data.bin";
    WriteFileBytes(path, "0123456789");
    WriteFileBytes(path, "abc");

    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyWrite));
    EXPECT_EQ(3u, file.GetLength());
    char buffer[16] = {};
    EXPECT_EQ(3u, file.Read(buffer, 16));
    EXPECT_STREQ("abc", buffer);
    EXPECT_EQ(0u, file.Read(buffer, 16));
    EXPECT_EQ(1u, file.Seek(1, CFile::begin));
    EXPECT_EQ(2u, file.Read(buffer, 16));

    // Others may read while shareDenyWrite holds the file, but not write.
    CFile reader;
    EXPECT_TRUE(reader.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone));
    CFile writer;
    EXPECT_FALSE(writer.Open(path.c_str(), CFile::modeWrite | CFile::shareDenyNone));
}

TEST(CFile, WriteFailureThrowsFileException)
{
    const std::wstring path = MakeTestFolder(L"cfile-throw") + L"\\data.bin";
    WriteFileBytes(path, "x");
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    bool bThrown = false;
    try
    {
        file.Write("\xFF\xFE", 2);
    }
    catch (CFileException* e)
    {
        bThrown = true;
        EXPECT_EQ(CFileException::accessDenied, e->m_cause);
        e->Delete();
    }
    EXPECT_TRUE(bThrown);
}

TEST(CStdioFile, ReadsAnsiLinesWithoutTheirEnds)
{
    const std::wstring path = MakeTestFolder(L"stdio-read") + L"\\skin.ini";
    WriteFileBytes(path, "[Section]\r\nName=caf\xE9\n\r\nlast");
    wchar_t cafe[8] = {};
    MultiByteToWideChar(CP_ACP, 0, "caf\xE9", -1, cafe, 8);

    CStdioFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead | CFile::typeText, nullptr));
    const std::wstring expected[] = {L"[Section]", L"Name=" + std::wstring(cafe), L"", L"last"};
    CString line;
    for (const std::wstring& text : expected)
    {
        ASSERT_TRUE(file.ReadString(line));
        EXPECT_STREQ(text.c_str(), line);
    }
    EXPECT_FALSE(file.ReadString(line));
    EXPECT_TRUE(line.IsEmpty());
}

TEST(CStdioFile, WritesTextThatReadsBack)
{
    const std::wstring path = MakeTestFolder(L"stdio-write") + L"\\out.txt";
    {
        CStdioFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText);
        file.WriteString(L"one\ntwo\n");
        file.WriteString(L"three");
    }
    CFile raw;
    ASSERT_TRUE(raw.Open(path.c_str(), CFile::modeRead));
    char bytes[32] = {};
    EXPECT_EQ(15u, raw.Read(bytes, 31));
    EXPECT_STREQ("one\r\ntwo\r\nthree", bytes);
    raw.Close();

    CStdioFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead | CFile::typeText));
    wchar_t buffer[4];
    ASSERT_NE(nullptr, file.ReadString(buffer, 4));
    EXPECT_STREQ(L"one", buffer);
    ASSERT_NE(nullptr, file.ReadString(buffer, 4));
    EXPECT_STREQ(L"\n", buffer);
    CString line;
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_STREQ(L"two", line);
    EXPECT_EQ(10u, file.GetPosition());
}

TEST(CMemFile, AttachedMemoryIsNeverReallocatedOrFreed)
{
    BYTE fixed[4] = {1, 2, 3, 4};
    {
        CMemFile file(fixed, sizeof(fixed));
        EXPECT_EQ(4u, file.GetLength());
        BYTE out[8] = {};
        EXPECT_EQ(4u, file.Read(out, 8));
        EXPECT_EQ(3, out[2]);
        bool bThrown = false;
        try
        {
            file.Write("x", 1);  // no room and no growth
        }
        catch (CMemoryException* e)
        {
            bThrown = true;
            e->Delete();
        }
        EXPECT_TRUE(bThrown);
    }
    EXPECT_EQ(4, fixed[3]);

    // With growth the content moves to memory of the file's own.
    BYTE small[2] = {9, 9};
    CMemFile growing(small, sizeof(small), 16);
    EXPECT_EQ(0u, growing.GetLength());
    growing.Write("abcdef", 6);
    EXPECT_EQ(9, small[0]);
    EXPECT_EQ(6u, growing.GetLength());
    BYTE* detached = growing.Detach();
    ASSERT_NE(nullptr, detached);
    EXPECT_EQ(0, memcmp(detached, "abcdef", 6));
    free(detached);
}

TEST(CMemFile, GrowsAndDetachesMallocMemory)
{
    CMemFile file(1024);
    std::string data(3000, 'q');
    file.Write(data.data(), static_cast<UINT>(data.size()));
    EXPECT_EQ(3000u, file.GetLength());
    file.Seek(10, CFile::end);
    file.Write("!", 1);
    EXPECT_EQ(3011u, file.GetLength());
    file.SeekToBegin();
    char first = 0;
    EXPECT_EQ(1u, file.Read(&first, 1));
    EXPECT_EQ('q', first);
    EXPECT_TRUE(file.IsKindOf(RUNTIME_CLASS(CMemFile)));
    BYTE* bytes = file.Detach();
    EXPECT_EQ(0, bytes[3005]);
    EXPECT_EQ('!', bytes[3010]);
    free(bytes);
    EXPECT_EQ(0u, file.GetLength());
}

TEST(CFileFind, WalksAFolderAndKeepsTheLastEntry)
{
    const std::wstring folder = MakeTestFolder(L"filefind");
    WriteFileBytes(folder + L"\\b.JPG", "12345");
    WriteFileBytes(folder + L"\\A.png", "1");
    CreateDirectoryW((folder + L"\\sub").c_str(), nullptr);

    CFileFind finder;
    BOOL bMore = finder.FindFile((folder + L"\\*.*").c_str());
    ASSERT_TRUE(bMore);
    std::vector<std::wstring> names;
    std::vector<bool> dots, directories;
    while (bMore)
    {
        bMore = finder.FindNextFile();
        names.push_back(finder.GetFileName().GetString());
        dots.push_back(finder.IsDots() != FALSE);
        directories.push_back(finder.IsDirectory() != FALSE);
        if (finder.GetFileName() == L"b.JPG")
        {
            EXPECT_EQ(5u, finder.GetLength());
            EXPECT_STREQ((folder + L"\\b.JPG").c_str(), finder.GetFilePath());
            EXPECT_STREQ(L"b", finder.GetFileTitle());
        }
    }
    // Wine gives the dots first, then names sorted without regard to case.
    const std::vector<std::wstring> expectedNames = {L".", L"..", L"A.png", L"b.JPG", L"sub"};
    EXPECT_EQ(expectedNames, names);
    EXPECT_EQ((std::vector<bool>{true, true, false, false, false}), dots);
    EXPECT_EQ((std::vector<bool>{true, true, false, false, true}), directories);
    // The last entry stays current after FindNextFile said FALSE.
    EXPECT_STREQ(L"sub", finder.GetFileName());
    finder.Close();

    EXPECT_FALSE(finder.FindFile((folder + L"\\*.gif").c_str()));
    EXPECT_TRUE(finder.FindFile((folder + L"\\*.png").c_str()));
    EXPECT_FALSE(finder.FindNextFile());
    EXPECT_STREQ(L"A.png", finder.GetFileName());
}
