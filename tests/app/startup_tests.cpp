// Where the program finds its skin: in the working folder, else beside the program, whichever
// folder a shortcut or a command line starts it from.
#include <gtest/gtest.h>

#include "apptesting.h"
#include "quilbrookapp.h"
#include "testpaths.h"

#include <hlmskinmanager.h>

#include <string>

namespace
{
std::wstring g_installedFolder;

CString InstalledFolder()
{
    return CString(g_installedFolder.c_str());
}

class SkinLookupTest : public testing::Test
{
protected:
    void SetUp() override
    {
        GetCurrentDirectoryW(MAX_PATH, m_previousFolder);
        m_workingFolder = MakeTestFolder(L"skinlookup-working");
        SetCurrentDirectoryW(m_workingFolder.c_str());
        g_installedSkinFolder = &InstalledFolder;
    }
    void TearDown() override
    {
        SetCurrentDirectoryW(m_previousFolder);
        // Later tests run unskinned: a skin that cannot be read switches skinning off.
        GetSkinManager()->LoadSkin(L"C:\\no-such-folder\\skin.skin", nullptr);
    }

    wchar_t m_previousFolder[MAX_PATH] = {};
    std::wstring m_workingFolder;
};
}

TEST_F(SkinLookupTest, TheWorkingFoldersSkinComesFirstThenTheProgramsOwn)
{
    const std::wstring installed = BesideTestProgram(L"skin.skin");
    const std::wstring otherInstall = MakeTestFolder(L"skinlookup-installed");
    struct Case
    {
        const wchar_t* name;
        bool skinInWorkingFolder;
        std::wstring installedFolder;
        std::wstring expected;
    } cases[] = {
        {L"working folder", true, otherInstall, L".\\skin.skin"},
        {L"beside the program", false, installed.substr(0, installed.rfind(L'\\')), installed},
        {L"nowhere", false, otherInstall, otherInstall + L"\\skin.skin"},
    };
    for (const Case& c : cases)
    {
        const std::wstring local = m_workingFolder + L"\\skin.skin";
        if (c.skinInWorkingFolder)
            CopyFileW(installed.c_str(), local.c_str(), FALSE);
        else
            DeleteFileW(local.c_str());
        g_installedFolder = c.installedFolder;
        EXPECT_EQ(c.expected, std::wstring(theApp.FindSkinFile())) << testing::PrintToString(c.name);
    }
}

TEST_F(SkinLookupTest, StartedFromAnotherFolderTheProgramLoadsTheSkinBesideIt)
{
    const std::wstring installed = BesideTestProgram(L"skin.skin");
    g_installedFolder = installed.substr(0, installed.rfind(L'\\'));
    MessageBoxLog messages;
    EXPECT_TRUE(theApp.LoadSkin());
    EXPECT_TRUE(GetSkinManager()->IsEnabled());
    EXPECT_TRUE(messages.Texts().empty());
}

TEST_F(SkinLookupTest, WithoutASkinAnywhereTheMessageComesOnce)
{
    g_installedFolder = MakeTestFolder(L"skinlookup-empty");
    MessageBoxLog messages;
    EXPECT_FALSE(theApp.LoadSkin());
    EXPECT_EQ((std::vector<std::wstring>{L"Sorry,Cannot load skin file."}), messages.Texts());
}
