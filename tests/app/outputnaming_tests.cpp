// Output naming: the output folder joined with the input less its drive, lower-cased
// (letters A to Z only), with the extension "jpg".
#include <gtest/gtest.h>

#include "apptesting.h"
#include "outputoptionpage.h"
#include "quilbrookapp.h"

namespace
{
TEST(OutputNaming, FolderPlusInputLessDriveInLowerCaseAsJpg)
{
    MessageBoxLog messages;
    const struct
    {
        const wchar_t* folder;
        const wchar_t* input;
        const wchar_t* output;
    } cases[] = {
        {L"D:\\Out", L"E:\\Photos\\Trip\\IMG_01.PNG", L"d:\\out\\photos\\trip\\img_01.jpg"},
        {L"D:\\Out", L"E:\\Scans\\Page.jpeg", L"d:\\out\\scans\\page.jpg"},
        {L"D:\\Out\\", L"E:\\a\\x.jpg", L"d:\\out\\a\\x.jpg"},
        {L"D:\\Out", L"D:\\a\\x.png", L"d:\\out\\a\\x.jpg"},
        {L"D:\\Out", L"E:\\a\\x.png", L"d:\\out\\a\\x.jpg"},
        {L"D:\\Out", L"E:\\a\\Photo.BMP", L"d:\\out\\a\\photo.jpg"},
        {L"D:\\Out", L"E:\\a\\archive.tar.gz", L"d:\\out\\a\\archive.tar.jpg"},
        {L"D:\\Out", L"E:\\a\\README", L"d:\\out\\a\\readme.jpg"},
        {L"D:\\Out", L"E:\\my.dir\\File", L"d:\\out\\my.dir\\file.jpg"},
        {L"D:\\Out", L"E:\\\u00c4rger\\B.PNG", L"d:\\out\\\u00c4rger\\b.jpg"},
        {L"C:\\", L"C:\\Pics\\x.jpg", L"c:\\pics\\x.jpg"},
        {L"D:\\Out", L"\\\\?\\E:\\a\\x.png", L"d:\\out\\a\\x.jpg"},  // the long-path prefix is dropped
    };
    COutputOptionPage page;
    for (const auto& c : cases)
    {
        theApp.WriteTaskProfileString(L"Output", L"Path", c.folder);
        page.ReadBatchSettings();
        EXPECT_STREQ(c.output, page.MakeOutputFileName(c.input)) << testing::PrintToString(std::wstring(c.input));
    }
    EXPECT_TRUE(messages.Texts().empty());
}

TEST(OutputNaming, FolderOfAPathEndsBeforeItsLastBackslash)
{
    EXPECT_STREQ(L"d:\\out\\a", COutputOptionPage::GetFolderOfPath(L"d:\\out\\a\\x.jpg"));
    EXPECT_STREQ(L"d:", COutputOptionPage::GetFolderOfPath(L"d:\\x.jpg"));
    EXPECT_STREQ(L"", COutputOptionPage::GetFolderOfPath(L"x.jpg"));
}
}
