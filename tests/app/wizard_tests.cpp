// The wizard's steps driven for real (see wizarddriving.h): start-up, the pictures, the
// options.
#include <gtest/gtest.h>

#include "wizarddriving.h"

#include "quilbrookapp.h"
#include "testpaths.h"

#include <hlmskinmanager.h>

#include <commctrl.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>

namespace
{
// ---- start-up, pages and buttons -------------------------------------------------------

TEST_F(WizardTest, StartsWithTheSkinMessageThenRunsTheFourStepsInOrder)
{
    std::vector<std::wstring> captions;
    std::vector<int> indexes;
    std::wstring exitText;
    std::vector<std::vector<bool>> buttons;  // Back, Next, Finish per step
    const BOOL result = RunProgram([&](CQuilbrookWizard& wizard) {
        // The skin message came once, before the wizard.
        EXPECT_EQ((std::vector<std::wstring>{L"Sorry,Cannot load skin file."}), m_messages.Texts());
        exitText = TextOf(GetDlgItem(wizard.m_hWnd, IDCANCEL));
        AddFiles(wizard, {L"E:\\Photos\\a.png"});
        for (int step = 0; step < 4; ++step)
        {
            indexes.push_back(wizard.GetActiveIndex());
            captions.push_back(TextOf(wizard.m_hWnd));
            buttons.push_back({Enabled(wizard, kBackButton), Enabled(wizard, kNextButton), Enabled(wizard, kFinishButton)});
            if (step < 3)
                Press(wizard, PSBTN_NEXT);
        }
        Press(wizard, PSBTN_BACK);
        indexes.push_back(wizard.GetActiveIndex());
    });
    EXPECT_FALSE(result);
    EXPECT_EQ(L"&Exit", exitText);
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 2}), indexes);
    EXPECT_EQ((std::vector<std::wstring>{L"Step 1 of 3, Select Files", L"Step 2 of 3, Resize Options",
                                         L"Step 3 of 3, Compress Options",
                                         L"Final step,Please Click \"Finish\" to start work "}),
              captions);
    const std::vector<std::vector<bool>> expectedButtons = {
        {false, true, false}, {true, true, false}, {true, true, false}, {true, false, true}};
    EXPECT_EQ(expectedButtons, buttons);
    EXPECT_EQ(1u, m_messages.Texts().size());
    EXPECT_EQ(nullptr, theApp.m_pMainWnd);
}

TEST_F(WizardTest, ExitOnTheFirstStepWritesNothing)
{
    RunProgram([&](CQuilbrookWizard& wizard) { AddFiles(wizard, {L"E:\\Photos\\a.png"}); });
    EXPECT_FALSE(PathFileExistsW(SettingsFile(L"Profile.txt").c_str()));
    EXPECT_FALSE(PathFileExistsW(SettingsFile(L"FileList.txt").c_str()));
}

TEST_F(WizardTest, F1OpensTheHelpPageOfTheStepShowing)
{
    RunProgram([&](CQuilbrookWizard& wizard) {
        AddFiles(wizard, {L"E:\\Photos\\a.png"});
        for (int step = 0; step < 4; ++step)
        {
            PressKey(VK_F1);
            if (step < 3)
                Press(wizard, PSBTN_NEXT);
        }
    });
    std::vector<std::wstring> opened;
    for (const ShellCall& call : g_shellCalls)
    {
        EXPECT_EQ(L"open", call.verb);
        opened.push_back(call.file);
    }
    std::vector<std::wstring> expected;
    for (int step = 0; step < 4; ++step)
        expected.push_back(std::wstring(CQuilbrookWizard::GetHelpAddress(step)));
    EXPECT_EQ(expected, opened);
    for (const std::wstring& address : expected)
        EXPECT_TRUE(PathFileExistsW(address.c_str())) << "no help page " << testing::PrintToString(address);
}

// ---- step 1: the pictures ----------------------------------------------------------------

TEST_F(WizardTest, NextWithAnEmptyListStaysAndKeepsTheFileList)
{
    // A file list from an earlier run stays as it is.
    theApp.ResetFileList();
    theApp.AddFileToFileList(L"E:\\old.png");
    const std::vector<unsigned char> before = FileContent(SettingsFile(L"FileList.txt"));
    int index = -1;
    RunProgram([&](CQuilbrookWizard& wizard) {
        m_messages.Clear();
        Press(wizard, PSBTN_NEXT);
        index = wizard.GetActiveIndex();
    });
    EXPECT_EQ(0, index);
    EXPECT_EQ((std::vector<std::wstring>{L"Please select some file"}), m_messages.Texts());
    EXPECT_EQ(before, FileContent(SettingsFile(L"FileList.txt")));
}

TEST_F(WizardTest, AddRemoveOneAndRemoveAll)
{
    std::vector<std::vector<std::wstring>> lists;
    std::vector<std::wstring> confirmations;
    RunProgram([&](CQuilbrookWizard& wizard) {
        m_messages.Clear();
        Click(wizard, IDC_REMOVE_ONE);  // nothing to remove: no message
        Click(wizard, IDC_REMOVE_ALL);  // nothing to remove: no question
        EXPECT_TRUE(m_messages.Texts().empty());

        AddFiles(wizard, {L"E:\\P\\a.png", L"E:\\P\\b.png", L"E:\\P\\c.png", L"E:\\P\\d.png"});
        AddFiles(wizard, {L"E:\\P\\a.png"});  // twice is twice
        lists.push_back(ListRows(wizard));

        SelectRows(wizard, {});
        Click(wizard, IDC_REMOVE_ONE);
        EXPECT_EQ((std::vector<std::wstring>{L"Please select an item and try again."}), m_messages.Texts());
        SelectRows(wizard, {1, 2, 3});
        Click(wizard, IDC_REMOVE_ONE);  // the first selected only
        lists.push_back(ListRows(wizard));

        m_messages.Clear();
        m_messages.SetAnswer(IDCANCEL);
        Click(wizard, IDC_REMOVE_ALL);
        lists.push_back(ListRows(wizard));
        m_messages.SetAnswer(IDOK);
        Click(wizard, IDC_REMOVE_ALL);
        lists.push_back(ListRows(wizard));
        confirmations = m_messages.Texts();
        EXPECT_EQ((std::vector<std::wstring>{L"Please confirm", L"Please confirm"}), m_messages.Captions());
    });
    ASSERT_EQ(4u, lists.size());
    EXPECT_EQ((std::vector<std::wstring>{L"E:\\P\\a.png", L"E:\\P\\b.png", L"E:\\P\\c.png", L"E:\\P\\d.png", L"E:\\P\\a.png"}),
              lists[0]);
    EXPECT_EQ((std::vector<std::wstring>{L"E:\\P\\a.png", L"E:\\P\\c.png", L"E:\\P\\d.png", L"E:\\P\\a.png"}), lists[1]);
    EXPECT_EQ(lists[1], lists[2]);
    EXPECT_TRUE(lists[3].empty());
    EXPECT_EQ(std::vector<std::wstring>(2, L"Do you want to remove all item in the list?"), confirmations);
}

CQuilbrookWizard* g_wizardDuringScan = nullptr;
std::vector<bool> g_stateDuringScan;  // handled; then Add File, Add Folder, Remove One, Remove All, Next, Exit enabled

LRESULT CALLBACK WitnessScan(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_APP)
        return DefWindowProcW(window, message, wParam, lParam);
    CQuilbrookWizard& wizard = *g_wizardDuringScan;
    g_stateDuringScan = {true};
    for (int id : {IDC_ADD_FILE, IDC_ADD_FOLDER, IDC_REMOVE_ONE, IDC_REMOVE_ALL})
        g_stateDuringScan.push_back(IsWindowEnabled(Control(wizard, id)) != FALSE);
    g_stateDuringScan.push_back(Enabled(wizard, kNextButton));
    g_stateDuringScan.push_back(IsWindowEnabled(GetDlgItem(wizard.m_hWnd, IDCANCEL)) != FALSE);
    return 0;
}

TEST_F(WizardTest, AddFolderTakesPicturesBreadthFirstAndNextWritesTheList)
{
    const std::wstring folder = MakeTestFolder(L"scan");
    for (const wchar_t* name : {L"\\a.JPG", L"\\b.jpeg", L"\\c.txt", L"\\sub\\d.png", L"\\sub\\deeper\\e.gif", L"\\z.tif"})
    {
        const std::wstring path = folder + name;
        SHCreateDirectoryExW(nullptr, path.substr(0, path.rfind(L'\\')).c_str(), nullptr);
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(file);
    }
    std::vector<std::wstring> rows;
    bool buttonsEnabledAfter = false;
    RunProgram([&](CQuilbrookWizard& wizard) {
        g_chosenFolder = folder;
        // A message waiting when the scan starts is handled while it runs: it finds the
        // page's buttons, Next and Exit disabled.
        g_wizardDuringScan = &wizard;
        HWND witness = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        SetWindowLongPtrW(witness, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WitnessScan));
        PostMessageW(witness, WM_APP, 0, 0);
        Click(wizard, IDC_ADD_FOLDER);
        DestroyWindow(witness);
        rows = ListRows(wizard);
        buttonsEnabledAfter = IsWindowEnabled(Control(wizard, IDC_ADD_FILE)) && Enabled(wizard, kNextButton) &&
                              IsWindowEnabled(GetDlgItem(wizard.m_hWnd, IDCANCEL));
        Press(wizard, PSBTN_NEXT);
    });
    EXPECT_EQ((std::vector<std::wstring>{folder + L"\\a.JPG", folder + L"\\b.jpeg", folder + L"\\z.tif",
                                         folder + L"\\sub\\d.png", folder + L"\\sub\\deeper\\e.gif"}),
              rows);
    EXPECT_TRUE(buttonsEnabledAfter);
    EXPECT_EQ((std::vector<bool>{true, false, false, false, false, false, false}), g_stateDuringScan);
    const std::wstring list = SettingsFile(L"FileList.txt");
    EXPECT_EQ(L"5", IniValue(list, L"Total", L"Count"));
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i], IniValue(list, L"FileList", (L"File" + std::to_wstring(i)).c_str()));
    EXPECT_EQ(1u, g_browserTitles.size());
}

// Wine's CreateSymbolicLinkW reports success and makes nothing: the system's own ln makes the
// link, reached through Wine's start of Unix programs.
bool MakeFolderLink(const std::wstring& link, const std::wstring& target)
{
    using UnixFileName = char*(CDECL*)(LPCWSTR);
    const auto unixFileName =
        reinterpret_cast<UnixFileName>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixFileName)
        return false;
    char* unixTarget = unixFileName(target.c_str());
    const std::wstring linkFolder = link.substr(0, link.rfind(L'\\'));
    char* unixFolder = unixFileName(linkFolder.c_str());
    if (!unixTarget || !unixFolder)
        return false;
    // -f -n: a link left by an earlier run is replaced, not followed.
    const std::string command = std::string("/bin/ln -sfn \"") + unixTarget + "\" \"" + unixFolder + "/" +
                                std::string(link.begin() + link.rfind(L'\\') + 1, link.end()) + "\"";
    HeapFree(GetProcessHeap(), 0, unixTarget);
    HeapFree(GetProcessHeap(), 0, unixFolder);
    std::wstring commandLine(command.begin(), command.end());
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(L"Z:\\bin\\ln", &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    // The wait can end before the Unix program has made the link: look for it a while.
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        if (GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES)
            return true;
        Sleep(50);
    }
    return false;
}

TEST_F(WizardTest, AddFolderFollowsNoLinkAndScansEachFolderOnce)
{
    const std::wstring folder = MakeTestFolder(L"links");
    Make(folder + L"\\a.png", PictureKind::Png, 4, 4);
    Make(folder + L"\\sub\\b.png", PictureKind::Png, 4, 4);
    // One link back to the folder, then a second one from below it: without care, 40 copies
    // of each picture, then a scan without end.
    const std::vector<std::wstring> links = {folder + L"\\loop", folder + L"\\sub\\back"};
    for (const std::wstring& link : links)
    {
        ASSERT_TRUE(MakeFolderLink(link, folder)) << testing::PrintToString(link);
        std::vector<std::wstring> rows;
        RunProgram([&](CQuilbrookWizard& wizard) {
            g_chosenFolder = folder;
            Click(wizard, IDC_ADD_FOLDER);
            rows = ListRows(wizard);
        });
        EXPECT_EQ((std::vector<std::wstring>{folder + L"\\a.png", folder + L"\\sub\\b.png"}), rows);
    }
}

LRESULT CALLBACK CloseTheWizard(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_APP)
        return DefWindowProcW(window, message, wParam, lParam);
    SendMessageW(g_wizardDuringScan->m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    return 0;
}

TEST_F(WizardTest, ClosingTheWizardEndsTheFolderScanAtOnce)
{
    const std::wstring folder = MakeTestFolder(L"closing");
    for (const wchar_t* name : {L"\\one\\a.png", L"\\two\\b.png", L"\\three\\c.png"})
        Make(folder + name, PictureKind::Png, 4, 4);
    std::vector<std::wstring> rows = {L"not read"};
    RunProgram([&](CQuilbrookWizard& wizard) {
        g_chosenFolder = folder;
        g_wizardDuringScan = &wizard;
        HWND closer = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        SetWindowLongPtrW(closer, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CloseTheWizard));
        PostMessageW(closer, WM_APP, 0, 0);
        Click(wizard, IDC_ADD_FOLDER);
        DestroyWindow(closer);
        rows = ListRows(wizard);
    });
    // The close came before the first folder was read.
    EXPECT_TRUE(rows.empty()) << testing::PrintToString(rows);
}

TEST_F(WizardTest, PictureTestLooksAtTheEndOfThePathOnly)
{
    const struct
    {
        const wchar_t* path;
        BOOL picture;
    } cases[] = {{L"a.JPG", TRUE}, {L"b.Jpeg", TRUE}, {L"c.TIF", TRUE},  {L"d.emf", TRUE},   {L"e.wmf", TRUE},
                 {L"f.gif", TRUE}, {L"g.bmp", TRUE},  {L"h.png", TRUE},  {L"xjpg", TRUE},    {L"i.tiff", FALSE},
                 {L"j.txt", FALSE}, {L"k.jpg.bak", FALSE}, {L"", FALSE}};
    for (const auto& c : cases)
        EXPECT_EQ(c.picture, CSelectFilePage::IsPictureFile(c.path)) << testing::PrintToString(std::wstring(c.path));
}

// ---- steps 2 and 3: the options ------------------------------------------------------

TEST_F(WizardTest, LeavingTheOptionStepsAtOnceSavesTheirDefaults)
{
    RunProgram([&](CQuilbrookWizard& wizard) {
        AddFiles(wizard, {L"E:\\Photos\\a.png"});
        Press(wizard, PSBTN_NEXT);
        EXPECT_EQ(L"100", TextOf(Control(wizard, IDC_PERCENT_EDIT)));
        EXPECT_FALSE(IsWindowEnabled(Control(wizard, IDC_WIDTH_EDIT)));
        Press(wizard, PSBTN_NEXT);
        EXPECT_EQ(L"100", TextOf(Control(wizard, IDC_LEVEL_EDIT)));
        EXPECT_FALSE(IsWindowEnabled(Control(wizard, IDC_SIZE_LIMIT_EDIT)));
        Press(wizard, PSBTN_NEXT);
        EXPECT_EQ(L"C:\\users\\Public\\Documents\\Quilbrook", TextOf(Control(wizard, IDC_OUTPUT_FOLDER)));
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(Page(wizard), IDC_OPEN_AFTER_DONE));
        Press(wizard, PSBTN_BACK);
    });
    const std::wstring profile = SettingsFile(L"Profile.txt");
    // The size edits are corrected only in their own mode.
    const std::vector<std::pair<const wchar_t*, const wchar_t*>> resize = {
        {L"Percent", L"100"}, {L"Width", L"0"}, {L"Height", L"0"}, {L"Mode", L"Percent"}, {L"KeepRatio", L"Yes"}};
    for (const auto& [key, value] : resize)
        EXPECT_EQ(value, IniValue(profile, L"Resize", key)) << testing::PrintToString(std::wstring(key));
    const std::vector<std::pair<const wchar_t*, const wchar_t*>> compress = {
        {L"Level", L"100"}, {L"FileSize", L"0"}, {L"Mode", L"Level"}};
    for (const auto& [key, value] : compress)
        EXPECT_EQ(value, IniValue(profile, L"Compress", key)) << testing::PrintToString(std::wstring(key));
    EXPECT_EQ(L"C:\\users\\Public\\Documents\\Quilbrook", IniValue(profile, L"Output", L"Path"));
    EXPECT_EQ(L"Yes", IniValue(profile, L"Output", L"OpenFolderAfterDone"));
    EXPECT_TRUE(m_messages.Texts().size() == 1);  // the skin's only
}

TEST_F(WizardTest, ResizeStepMirrorsTheTrackbarAndCorrectsItsInput)
{
    RunProgram([&](CQuilbrookWizard& wizard) {
        AddFiles(wizard, {L"E:\\Photos\\a.png"});
        Press(wizard, PSBTN_NEXT);
        m_messages.Clear();

        Type(wizard, IDC_PERCENT_EDIT, L"40");
        EXPECT_EQ(40, TrackbarPosition(wizard, IDC_PERCENT_SLIDER));
        SendMessageW(Control(wizard, IDC_PERCENT_SLIDER), TBM_SETPOS, TRUE, 25);
        SendMessageW(Page(wizard), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 25),
                     reinterpret_cast<LPARAM>(Control(wizard, IDC_PERCENT_SLIDER)));
        EXPECT_EQ(L"25", TextOf(Control(wizard, IDC_PERCENT_EDIT)));
        EXPECT_TRUE(m_messages.Texts().empty());

        // Typing 150 key by key: the message on the last key only.
        for (const wchar_t* typed : {L"1", L"15", L"150"})
            Type(wizard, IDC_PERCENT_EDIT, typed);
        EXPECT_EQ((std::vector<std::wstring>{L"Sorry,please input a value between 1 and 100"}), m_messages.Texts());
        EXPECT_EQ(15, TrackbarPosition(wizard, IDC_PERCENT_SLIDER));
        Press(wizard, PSBTN_NEXT);
        Press(wizard, PSBTN_BACK);
        EXPECT_EQ(L"100", TextOf(Control(wizard, IDC_PERCENT_EDIT)));
        EXPECT_EQ(100, TrackbarPosition(wizard, IDC_PERCENT_SLIDER));
        EXPECT_EQ(L"100", IniValue(SettingsFile(L"Profile.txt"), L"Resize", L"Percent"));

        Choose(wizard, IDC_RESIZE_TO_VALUE);
        EXPECT_FALSE(IsWindowEnabled(Control(wizard, IDC_PERCENT_SLIDER)));
        EXPECT_FALSE(IsWindowEnabled(Control(wizard, IDC_PERCENT_EDIT)));
        EXPECT_TRUE(IsWindowEnabled(Control(wizard, IDC_WIDTH_EDIT)));
        EXPECT_TRUE(IsWindowEnabled(Control(wizard, IDC_HEIGHT_EDIT)));
        EXPECT_TRUE(IsWindowEnabled(Control(wizard, IDC_KEEP_RATIO)));
        EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(Page(wizard), IDC_RESIZE_TO_PERCENT));
        Type(wizard, IDC_WIDTH_EDIT, L"-3");
        Type(wizard, IDC_HEIGHT_EDIT, L"600");
        Choose(wizard, IDC_KEEP_RATIO);
        Press(wizard, PSBTN_BACK);
        EXPECT_EQ(0, wizard.GetActiveIndex());
    });
    const std::wstring profile = SettingsFile(L"Profile.txt");
    EXPECT_EQ(L"1", IniValue(profile, L"Resize", L"Width"));
    EXPECT_EQ(L"600", IniValue(profile, L"Resize", L"Height"));
    EXPECT_EQ(L"Value", IniValue(profile, L"Resize", L"Mode"));
    EXPECT_EQ(L"No", IniValue(profile, L"Resize", L"KeepRatio"));
}

TEST_F(WizardTest, CompressStepAcceptsZeroAndCorrectsTheSizeLimit)
{
    RunProgram([&](CQuilbrookWizard& wizard) {
        AddFiles(wizard, {L"E:\\Photos\\a.png"});
        Press(wizard, PSBTN_NEXT);
        Press(wizard, PSBTN_NEXT);
        m_messages.Clear();
        Type(wizard, IDC_LEVEL_EDIT, L"0");
        EXPECT_EQ(0, TrackbarPosition(wizard, IDC_LEVEL_SLIDER));
        EXPECT_TRUE(m_messages.Texts().empty());
        Type(wizard, IDC_LEVEL_EDIT, L"-5");
        EXPECT_EQ((std::vector<std::wstring>{L"Sorry,please input a value between 1 and 100"}), m_messages.Texts());

        Choose(wizard, IDC_COMPRESS_TO_SIZE);
        EXPECT_FALSE(IsWindowEnabled(Control(wizard, IDC_LEVEL_SLIDER)));
        EXPECT_TRUE(IsWindowEnabled(Control(wizard, IDC_SIZE_LIMIT_EDIT)));
        Press(wizard, PSBTN_NEXT);
    });
    const std::wstring profile = SettingsFile(L"Profile.txt");
    EXPECT_EQ(L"0", IniValue(profile, L"Compress", L"Level"));
    EXPECT_EQ(L"1", IniValue(profile, L"Compress", L"FileSize"));
    EXPECT_EQ(L"Size", IniValue(profile, L"Compress", L"Mode"));
}
// ---- what a user meets: help, messages and long paths ------------------------------------

TEST_F(WizardTest, TheOpenFileDialogAsksForNoHelpButtonThatWouldDoNothing)
{
    DWORD flags = 0;
    CSelectFilePage::s_runFileDialog = [](CFileDialog& dialog) -> INT_PTR {
        g_chosenFiles.assign(1, std::to_wstring(dialog.m_ofn.Flags));
        return IDCANCEL;
    };
    RunProgram([&](CQuilbrookWizard& wizard) { Click(wizard, IDC_ADD_FILE); });
    ASSERT_EQ(1u, g_chosenFiles.size());
    flags = std::stoul(g_chosenFiles.front());
    EXPECT_EQ(0u, flags & OFN_SHOWHELP);
    EXPECT_EQ(static_cast<DWORD>(OFN_EXPLORER | OFN_ALLOWMULTISELECT), flags & (OFN_EXPLORER | OFN_ALLOWMULTISELECT));
}

TEST_F(WizardTest, LongPathsShowTheirFileNamesAndTheFileListKeepsThemWhole)
{
    std::wstring folder = L"E:\\Holidays";
    while (folder.size() < 300)
        folder += L"\\the long summer of seaside holidays";
    const std::vector<std::wstring> paths = {folder + L"\\seaside-1.jpg", folder + L"\\seaside-2.jpg"};
    std::vector<std::wstring> rows;
    int listWidth = 0, widestRow = 0;
    RunProgram([&](CQuilbrookWizard& wizard) {
        AddFiles(wizard, paths);
        rows = ListRows(wizard);
        HWND list = Control(wizard, IDC_FILE_LIST);
        RECT client;
        GetClientRect(list, &client);
        listWidth = client.right;
        for (const std::wstring& row : rows)
            widestRow = std::max(widestRow, ListView_GetStringWidth(list, row.c_str()));
        Press(wizard, PSBTN_NEXT);
    });
    ASSERT_EQ(2u, rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
    {
        const std::wstring name = paths[i].substr(paths[i].rfind(L'\\'));
        EXPECT_EQ(L"...", rows[i].substr(rows[i].size() - name.size() - 3, 3)) << testing::PrintToString(rows[i]);
        EXPECT_EQ(name, rows[i].substr(rows[i].size() - name.size()));
        EXPECT_EQ(paths[i], IniValue(SettingsFile(L"FileList.txt"), L"FileList", (L"File" + std::to_wstring(i)).c_str()));
    }
    EXPECT_LE(widestRow, listWidth);
}

// ---- the keyboard: the focus after a dialog, F1 in a message box ---------------------------

// The same with and without the skin: the skin engine subclasses every window, message boxes
// included.
class WizardKeyboardTest : public WizardTest, public testing::WithParamInterface<bool>
{
protected:
    void SetUp() override
    {
        WizardTest::SetUp();
        // Installed with its skin: the test program's folder holds the build's.
        if (GetParam())
            g_installedSkinFolder = &GetProgramFolder;
    }
    void TearDown() override
    {
        // Later tests run unskinned: a skin that cannot be read switches skinning off.
        if (GetParam())
            GetSkinManager()->LoadSkin(L"C:\\no-such-folder\\skin.skin", nullptr);
    }
};

TEST_P(WizardKeyboardTest, AddFolderLeavesTheFocusOnItsButtonWhetherTheBrowserEndsWithOkOrCancel)
{
    const std::wstring folder = MakeTestFolder(L"focus");
    Make(folder + L"\\a.png", PictureKind::Png, 4, 4);
    const struct
    {
        const wchar_t* answer;
        std::wstring chosen;
        size_t rows;
    } cases[] = {{L"Cancel", L"", 0}, {L"OK", folder, 1}};
    for (const auto& c : cases)
    {
        bool skinned = false, focusOnAddFolder = false, tabReachedRemoveOne = false;
        size_t rows = 0;
        RunProgram([&](CQuilbrookWizard& wizard) {
            skinned = GetSkinManager()->IsEnabled() != FALSE;
            g_chosenFolder = c.chosen;
            // The click on Add Folder gives the button the focus.
            SetForegroundWindow(wizard.m_hWnd);
            SetFocus(Control(wizard, IDC_ADD_FOLDER));
            Click(wizard, IDC_ADD_FOLDER);
            focusOnAddFolder = GetFocus() == Control(wizard, IDC_ADD_FOLDER);
            // The keyboard goes on from there.
            PressKey(VK_TAB);
            tabReachedRemoveOne = GetFocus() == Control(wizard, IDC_REMOVE_ONE);
            rows = ListRows(wizard).size();
        });
        EXPECT_EQ(GetParam(), skinned);
        EXPECT_EQ(c.rows, rows) << testing::PrintToString(std::wstring(c.answer));
        EXPECT_TRUE(focusOnAddFolder) << testing::PrintToString(std::wstring(c.answer));
        EXPECT_TRUE(tabReachedRemoveOne) << testing::PrintToString(std::wstring(c.answer));
    }
}

// The program's message boxes shown for real while it lives: F1 needs a real window.
class RealMessageBoxes
{
public:
    RealMessageBoxes() : m_previous(AfxSetMessageBoxHandler(nullptr)) {}
    ~RealMessageBoxes() { AfxSetMessageBoxHandler(m_previous); }
    RealMessageBoxes(const RealMessageBoxes&) = delete;
    RealMessageBoxes& operator=(const RealMessageBoxes&) = delete;

private:
    AFX_MESSAGEBOX_HANDLER m_previous;
};

std::wstring g_boxAnswered;  // the text of the message box in which F1 was pressed

BOOL CALLBACK FindMessageBoxOfTheWizard(HWND window, LPARAM found)
{
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (std::wstring(className) != L"#32770" || !IsWindowVisible(window) ||
        GetWindow(window, GW_OWNER) != theApp.m_pMainWnd->m_hWnd)
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

BOOL CALLBACK ReadMessageBoxText(HWND child, LPARAM text)
{
    wchar_t className[16] = {};
    GetClassNameW(child, className, 16);
    if (std::wstring(className) == L"Static" && GetWindowTextLengthW(child) > 0)
        *reinterpret_cast<std::wstring*>(text) = TextOf(child);
    return TRUE;
}

// Waits, inside the message box's own loop, for the box to show; presses F1 in it, then closes
// it with Cancel.
void CALLBACK PressF1InTheMessageBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &FindMessageBoxOfTheWizard, reinterpret_cast<LPARAM>(&box));
    if (box == nullptr)
        return;
    KillTimer(nullptr, timer);
    EnumChildWindows(box, &ReadMessageBoxText, reinterpret_cast<LPARAM>(&g_boxAnswered));
    SetForegroundWindow(box);
    PressKey(VK_F1);
    PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
}

TEST_P(WizardKeyboardTest, F1OnAPageOrInAMessageBoxOpensTheHelpPageOfTheStepOnce)
{
    const struct
    {
        int step;
        const wchar_t* box;
        std::function<void(CQuilbrookWizard&)> showIt;
    } cases[] = {
        {0, L"", [](CQuilbrookWizard&) { PressKey(VK_F1); }},  // no box: on the page itself
        {0, L"Please select some file", [](CQuilbrookWizard& wizard) { Press(wizard, PSBTN_NEXT); }},
        {0, L"Do you want to remove all item in the list?",
         [](CQuilbrookWizard& wizard) {
             AddFiles(wizard, {L"E:\\Photos\\a.png"});
             Click(wizard, IDC_REMOVE_ALL);
         }},
        {1, L"Sorry,please input a value between 1 and 100",
         [](CQuilbrookWizard& wizard) {
             AddFiles(wizard, {L"E:\\Photos\\a.png"});
             Press(wizard, PSBTN_NEXT);
             Type(wizard, IDC_PERCENT_EDIT, L"150");
         }},
    };
    for (const auto& c : cases)
    {
        UseStandIns();
        g_boxAnswered.clear();
        RunProgram([&](CQuilbrookWizard& wizard) {
            RealMessageBoxes real;
            const UINT_PTR timer = SetTimer(nullptr, 0, 50, &PressF1InTheMessageBox);
            c.showIt(wizard);
            KillTimer(nullptr, timer);
        });
        EXPECT_EQ(c.box, g_boxAnswered);
        std::vector<std::wstring> opened;
        for (const ShellCall& call : g_shellCalls)
            opened.push_back(call.verb + L" " + call.file);
        EXPECT_EQ(std::vector<std::wstring>{L"open " + std::wstring(CQuilbrookWizard::GetHelpAddress(c.step))}, opened)
            << testing::PrintToString(std::wstring(c.box));
    }
}

INSTANTIATE_TEST_SUITE_P(SkinnedAndUnskinned, WizardKeyboardTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "Skinned" : "Unskinned"; });

}
