// The wizard driven for real: the program's start-up runs it modally while a script, started
// from a timer inside the modal loop, presses its buttons and fills its controls. Only the
// open-file dialog, the folder browser and the shell are stand-ins; message boxes are
// recorded through the framework's seam.
#include <gtest/gtest.h>

#include "apptesting.h"
#include "childrun.h"
#include "imageprocessor.h"
#include "picturefixtures.h"
#include "quilbrookapp.h"
#include "quilbrookwizard.h"
#include "shellseams.h"
#include "testpaths.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace
{
const int kBackButton = 0x3023, kNextButton = 0x3024, kFinishButton = 0x3025;

// ---- stand-ins for the shell's windows -------------------------------------------------

std::vector<std::wstring> g_chosenFiles;  // full paths that the open-file dialog returns
std::wstring g_chosenFolder;              // what the folder browser returns
std::vector<std::wstring> g_browserTitles;
struct ShellCall
{
    std::wstring verb, file;
};
std::vector<ShellCall> g_shellCalls;

INT_PTR ChooseFiles(CFileDialog& dialog)
{
    // The dialog's answer: one full path, or the folder followed by the names; each ends with
    // a zero, and one more zero ends the answer.
    if (g_chosenFiles.empty())
        return IDCANCEL;
    std::wstring buffer;
    if (g_chosenFiles.size() == 1)
    {
        buffer = g_chosenFiles.front();
        buffer += L'\0';
    }
    else
    {
        const std::wstring& first = g_chosenFiles.front();
        buffer = first.substr(0, first.rfind(L'\\'));
        buffer += L'\0';
        for (const std::wstring& path : g_chosenFiles)
        {
            buffer += path.substr(path.rfind(L'\\') + 1);
            buffer += L'\0';
        }
    }
    buffer += L'\0';
    if (buffer.size() > dialog.m_ofn.nMaxFile)
        return IDCANCEL;
    memcpy(dialog.m_ofn.lpstrFile, buffer.data(), buffer.size() * sizeof(wchar_t));
    return IDOK;
}

CString ChooseFolder(HWND, LPCTSTR title)
{
    g_browserTitles.push_back(title);
    return CString(g_chosenFolder.c_str());
}

HINSTANCE WINAPI RecordShell(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR, LPCWSTR, INT)
{
    g_shellCalls.push_back({verb ? verb : L"", file ? file : L""});
    return reinterpret_cast<HINSTANCE>(42);
}

// ---- running the wizard ----------------------------------------------------------------

std::function<void(CQuilbrookWizard&)> g_script;
bool g_scriptRan = false;

void CALLBACK RunScript(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    auto* wizard = static_cast<CQuilbrookWizard*>(theApp.m_pMainWnd);
    if (wizard == nullptr || g_scriptRan)
        return;
    g_scriptRan = true;
    g_script(*wizard);
    // End the modal run the way the user does.
    PostMessageW(wizard->m_hWnd, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

class WizardTest : public testing::Test
{
protected:
    void SetUp() override
    {
        UseStandIns();
        DeleteFileW(SettingsFile(L"Profile.txt").c_str());
        DeleteFileW(SettingsFile(L"FileList.txt").c_str());
    }
    static void UseStandIns()
    {
        CSelectFilePage::s_runFileDialog = &ChooseFiles;
        g_browseForFolder = &ChooseFolder;
        g_shellExecute = &RecordShell;
        g_chosenFiles.clear();
        g_chosenFolder.clear();
        g_browserTitles.clear();
        g_shellCalls.clear();
    }
    // Runs the program's start-up with the script inside the wizard's modal loop.
    BOOL RunProgram(std::function<void(CQuilbrookWizard&)> script)
    {
        g_script = std::move(script);
        g_scriptRan = false;
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, &RunScript);
        const BOOL result = theApp.InitInstance();
        KillTimer(nullptr, timer);
        // The end of the main window asks the program to end: this program goes on testing.
        MSG quit;
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        EXPECT_TRUE(g_scriptRan) << "the wizard's modal loop never ran the script";
        return result;
    }

    MessageBoxLog m_messages;
};

// ---- reading and working the wizard's windows ------------------------------------------

HWND Page(CQuilbrookWizard& wizard)
{
    return PropSheet_GetCurrentPageHwnd(wizard.m_hWnd);
}

HWND Control(CQuilbrookWizard& wizard, int id)
{
    return GetDlgItem(Page(wizard), id);
}

std::wstring TextOf(HWND window)
{
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

bool Enabled(CQuilbrookWizard& wizard, int sheetButton)
{
    HWND button = GetDlgItem(wizard.m_hWnd, sheetButton);
    return IsWindowVisible(button) && IsWindowEnabled(button);
}

void Press(CQuilbrookWizard& wizard, int psbtn)
{
    SendMessageW(wizard.m_hWnd, PSM_PRESSBUTTON, psbtn, 0);
    PumpPendingMessages();
}

void Click(CQuilbrookWizard& wizard, int id)
{
    HWND button = Control(wizard, id);
    SendMessageW(Page(wizard), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    PumpPendingMessages();
}

// A key pressed on the keyboard, as the system delivers it to the active window.
void PressKey(WORD key)
{
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
    for (int i = 0; i < 5; ++i)
    {
        Sleep(20);
        PumpPendingMessages();
    }
}

// Ticks a radio button or check box as a click does.
void Choose(CQuilbrookWizard& wizard, int id)
{
    SendMessageW(Control(wizard, id), BM_CLICK, 0, 0);
    PumpPendingMessages();
}

void Type(CQuilbrookWizard& wizard, int id, const wchar_t* text)
{
    SetWindowTextW(Control(wizard, id), text);
    PumpPendingMessages();
}

int TrackbarPosition(CQuilbrookWizard& wizard, int id)
{
    return static_cast<int>(SendMessageW(Control(wizard, id), TBM_GETPOS, 0, 0));
}

std::vector<std::wstring> ListRows(CQuilbrookWizard& wizard)
{
    std::vector<std::wstring> rows;
    HWND list = Control(wizard, IDC_FILE_LIST);
    const int count = ListView_GetItemCount(list);
    for (int i = 0; i < count; ++i)
    {
        wchar_t text[1024] = {};
        ListView_GetItemText(list, i, 0, text, 1024);
        rows.push_back(text);
    }
    return rows;
}

void SelectRows(CQuilbrookWizard& wizard, std::initializer_list<int> rows)
{
    HWND list = Control(wizard, IDC_FILE_LIST);
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    for (int row : rows)
        ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
}

// Adds the files with Add File, once per run of files in the same folder (one dialog shows
// one folder).
void AddFiles(CQuilbrookWizard& wizard, const std::vector<std::wstring>& paths)
{
    auto sameFolder = [](const std::wstring& a, const std::wstring& b) {
        const size_t end = a.rfind(L'\\');
        return end == b.rfind(L'\\') && a.compare(0, end, b, 0, end) == 0;
    };
    for (size_t first = 0; first < paths.size();)
    {
        size_t end = first + 1;
        while (end < paths.size() && sameFolder(paths[end], paths[first]))
            ++end;
        g_chosenFiles.assign(paths.begin() + first, paths.begin() + end);
        Click(wizard, IDC_ADD_FILE);
        first = end;
    }
}

std::wstring Make(const std::wstring& path, PictureKind kind, int width, int height)
{
    SHCreateDirectoryExW(nullptr, path.substr(0, path.rfind(L'\\')).c_str(), nullptr);
    EXPECT_TRUE(MakePicture(path, kind, width, height));
    return path;
}

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

// ---- the batch -----------------------------------------------------------------------------

// What the batch shows while it works, seen from the encoder seam at every save.
struct BatchObservation
{
    std::wstring savedTo, caption, status, percent;
    bool wizardEnabled = true;
    unsigned width = 0;                   // of the picture saved
    std::vector<unsigned char> intermediate;  // what a save into the intermediate file wrote
};
std::vector<BatchObservation> g_observations;
std::wstring g_cancelAtCaption;  // press Cancel while this picture is resized

// The batch's intermediate picture: a file of its own name in the settings folder.
bool IsIntermediate(const std::wstring& path)
{
    const std::wstring folder = SettingsFile(L"");
    return path.compare(0, folder.size(), folder) == 0 && path.size() > 4 && path.substr(path.size() - 4) == L".tmp";
}

HWND ProgressWindow()
{
    auto* wizard = static_cast<CQuilbrookWizard*>(theApp.m_pMainWnd);
    return wizard && wizard->m_outputOptionPage.m_pProgressDlg ? wizard->m_outputOptionPage.m_pProgressDlg->m_hWnd : nullptr;
}

Gdiplus::Status ObservingSaver(Gdiplus::Image& picture, LPCWSTR path, const CLSID& encoder,
                               const Gdiplus::EncoderParameters& parameters)
{
    BatchObservation seen;
    seen.savedTo = path;
    HWND progress = ProgressWindow();
    if (progress)
    {
        seen.caption = TextOf(progress);
        seen.status = TextOf(GetDlgItem(progress, IDC_PROGRESS_STATUS));
        seen.percent = TextOf(GetDlgItem(progress, IDC_PROGRESS_PERCENT));
        seen.wizardEnabled = IsWindowEnabled(theApp.m_pMainWnd->m_hWnd) != FALSE;
        if (seen.caption == g_cancelAtCaption && IsIntermediate(seen.savedTo))
            PostMessageW(GetDlgItem(progress, IDCANCEL), BM_CLICK, 0, 0);
    }
    seen.width = picture.GetWidth();
    const Gdiplus::Status status = CImageProcessor::SaveWithGdiplus(picture, path, encoder, parameters);
    if (IsIntermediate(seen.savedTo))
        seen.intermediate = FileContent(seen.savedTo);
    g_observations.push_back(seen);
    return status;
}

class BatchTest : public WizardTest
{
protected:
    void SetUp() override
    {
        WizardTest::SetUp();
        g_observations.clear();
        g_cancelAtCaption.clear();
        CImageProcessor::s_saveJpeg = &ObservingSaver;
        DeleteTree(L"C:\\QuilbrookTest");
        m_inputs = {Make(L"C:\\QuilbrookTest\\Photos\\Trip\\IMG_01.PNG", PictureKind::Png, 200, 100),
                    Make(L"C:\\QuilbrookTest\\Photos\\Trip\\IMG_02.BMP", PictureKind::Bmp, 120, 90),
                    Make(L"C:\\QuilbrookTest\\Scans\\Page.jpeg", PictureKind::Jpg, 80, 60)};
    }

    // Removes the folder and all below it, however long the paths (the shell's own removal
    // gives up beyond MAX_PATH characters).
    static void DeleteTree(const std::wstring& folder)
    {
        WIN32_FIND_DATAW entry;
        HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
        if (search != INVALID_HANDLE_VALUE)
        {
            do
            {
                const std::wstring name = entry.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                const std::wstring path = folder + L"\\" + name;
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    DeleteTree(path);
                else
                {
                    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileW(path.c_str());
                }
            } while (FindNextFileW(search, &entry));
            FindClose(search);
        }
        RemoveDirectoryW(folder.c_str());
    }

    // Fills the steps: the pictures, half size, quality 80 (or the size limit), the output
    // folder; then Finish.
    void RunBatches(const std::vector<std::wstring>& inputs, const wchar_t* outputFolder, int finishes = 1,
                    std::function<void(CQuilbrookWizard&)> beforeFinish = nullptr)
    {
        RunProgram([&](CQuilbrookWizard& wizard) {
            AddFiles(wizard, inputs);
            Press(wizard, PSBTN_NEXT);
            Type(wizard, IDC_PERCENT_EDIT, L"50");
            Press(wizard, PSBTN_NEXT);
            if (m_sizeLimit.empty())
                Type(wizard, IDC_LEVEL_EDIT, L"80");
            else
            {
                Choose(wizard, IDC_COMPRESS_TO_SIZE);
                Type(wizard, IDC_SIZE_LIMIT_EDIT, m_sizeLimit.c_str());
            }
            Press(wizard, PSBTN_NEXT);
            Type(wizard, IDC_OUTPUT_FOLDER, outputFolder);
            if (beforeFinish)
                beforeFinish(wizard);
            m_messages.Clear();
            for (int i = 0; i < finishes; ++i)
            {
                Press(wizard, PSBTN_FINISH);
                m_finishedOn.push_back(wizard.GetActiveIndex());
                m_enabledAfter.push_back(IsWindowEnabled(wizard.m_hWnd) != FALSE);
            }
        });
    }

    std::vector<std::wstring> Captions() const
    {
        std::vector<std::wstring> captions;
        for (const BatchObservation& seen : g_observations)
            if (IsIntermediate(seen.savedTo))
                captions.push_back(seen.caption);
        return captions;
    }

    std::wstring m_sizeLimit;  // in KB; empty: quality 80
    std::vector<std::wstring> m_inputs;
    std::vector<int> m_finishedOn;
    std::vector<bool> m_enabledAfter;
};

const wchar_t kOut1[] = L"c:\\quilbrooktest\\out\\quilbrooktest\\photos\\trip\\img_01.jpg";
const wchar_t kOut2[] = L"c:\\quilbrooktest\\out\\quilbrooktest\\photos\\trip\\img_02.jpg";
const wchar_t kOut3[] = L"c:\\quilbrooktest\\out\\quilbrooktest\\scans\\page.jpg";

TEST_F(BatchTest, ThreePicturesFromListToOutputs)
{
    RunBatches(m_inputs, L"C:\\QuilbrookTest\\Out");
    EXPECT_TRUE(m_messages.Texts().empty()) << testing::PrintToString(m_messages.Texts());
    EXPECT_EQ((std::vector<int>{3}), m_finishedOn);  // the wizard stays on its last step
    EXPECT_EQ((std::vector<bool>{true}), m_enabledAfter);

    // Each picture: the resize into the intermediate file, then the output; captions, status,
    // percentages.
    ASSERT_EQ(6u, g_observations.size());
    const wchar_t* outputs[] = {kOut1, kOut2, kOut3};
    const wchar_t* percents[] = {L"0%", L"33%", L"66%"};
    for (size_t i = 0; i < 3; ++i)
    {
        const BatchObservation& resize = g_observations[2 * i];
        const BatchObservation& compress = g_observations[2 * i + 1];
        EXPECT_TRUE(IsIntermediate(resize.savedTo)) << testing::PrintToString(resize.savedTo);
        EXPECT_EQ(g_observations[0].savedTo, resize.savedTo);
        EXPECT_EQ(outputs[i], compress.savedTo);
        EXPECT_EQ(L"File " + std::to_wstring(i + 1) + L" of 3", resize.caption);
        EXPECT_EQ(m_inputs[i], resize.status);
        EXPECT_EQ(percents[i], resize.percent);
        EXPECT_FALSE(resize.wizardEnabled);
    }
    const struct
    {
        const wchar_t* path;
        unsigned width, height;
    } expected[] = {{kOut1, 100, 50}, {kOut2, 60, 45}, {kOut3, 40, 30}};
    for (const auto& e : expected)
    {
        const PictureInfo info = ReadPictureInfo(e.path);
        EXPECT_TRUE(info.jpeg) << testing::PrintToString(std::wstring(e.path));
        EXPECT_EQ(e.width, info.width);
        EXPECT_EQ(e.height, info.height);
    }
    EXPECT_FALSE(IsWindow(ProgressWindow()));
    // The box was ticked: the output folder is opened.
    ASSERT_EQ(1u, g_shellCalls.size());
    EXPECT_EQ(L"explore", g_shellCalls[0].verb);
    EXPECT_EQ(L"C:\\QuilbrookTest\\Out", g_shellCalls[0].file);
    const std::wstring profile = SettingsFile(L"Profile.txt");
    EXPECT_EQ(L"C:\\QuilbrookTest\\Out", IniValue(profile, L"Output", L"Path"));
    EXPECT_EQ(L"50", IniValue(profile, L"Resize", L"Percent"));
    EXPECT_EQ(L"80", IniValue(profile, L"Compress", L"Level"));
}

TEST_F(BatchTest, CancelDuringTheSecondPictureCompletesItsResizeOnly)
{
    g_cancelAtCaption = L"File 2 of 3";
    RunBatches(m_inputs, L"C:\\QuilbrookTest\\Out");
    EXPECT_EQ((std::vector<std::wstring>{L"File 1 of 3", L"File 2 of 3"}), Captions());
    ASSERT_EQ(3u, g_observations.size());  // resize 1, output 1, resize 2
    EXPECT_TRUE(ReadPictureInfo(kOut1).jpeg);
    EXPECT_EQ(-1, FileBytes(kOut2));
    EXPECT_EQ(-1, FileBytes(kOut3));
    EXPECT_EQ(60u, g_observations[2].width);  // the resize completed
    EXPECT_FALSE(IsWindow(ProgressWindow()));
    // The end box says so: the second picture was not reached, as the third.
    EXPECT_EQ((std::vector<std::wstring>{
                  L"The batch was cancelled: 1 of 3 pictures were written, 0 were not written and 2 were not reached."}),
              m_messages.Texts());
    // The intermediate file goes with the batch.
    EXPECT_EQ(-1, FileBytes(g_observations[0].savedTo));
    EXPECT_EQ((std::vector<bool>{true}), m_enabledAfter);
    EXPECT_EQ(1u, g_shellCalls.size());
}

TEST_F(BatchTest, FinishTwiceRunsTheListTwice)
{
    RunBatches(m_inputs, L"C:\\QuilbrookTest\\Out", 2, [](CQuilbrookWizard& wizard) {
        Choose(wizard, IDC_OPEN_AFTER_DONE);  // untick: nothing is opened
    });
    EXPECT_EQ((std::vector<std::wstring>{L"File 1 of 3", L"File 2 of 3", L"File 3 of 3", L"File 1 of 3",
                                         L"File 2 of 3", L"File 3 of 3"}),
              Captions());
    EXPECT_EQ(12u, g_observations.size());
    EXPECT_TRUE(g_shellCalls.empty());
    EXPECT_EQ(L"No", IniValue(SettingsFile(L"Profile.txt"), L"Output", L"OpenFolderAfterDone"));
    EXPECT_TRUE(ReadPictureInfo(kOut3).jpeg);
}

TEST_F(BatchTest, AnEmptyOutputFolderIsRefused)
{
    RunBatches(m_inputs, L"");
    EXPECT_EQ(1u, m_messages.Texts().size());
    EXPECT_EQ((std::vector<int>{3}), m_finishedOn);
    EXPECT_TRUE(g_observations.empty());
}

TEST_F(BatchTest, APictureIsNeverWrittenOverItself)
{
    const std::wstring self = Make(L"C:\\QuilbrookTest\\Self\\x.jpg", PictureKind::Jpg, 64, 64);
    const std::vector<unsigned char> original = FileContent(self);
    RunBatches({self, m_inputs[2]}, L"C:\\");
    ASSERT_EQ(1u, m_messages.Texts().size());
    EXPECT_NE(std::wstring::npos, m_messages.Texts()[0].find(self));
    EXPECT_EQ(original, FileContent(self));
    // The next picture is still done.
    EXPECT_EQ(40u, ReadPictureInfo(L"c:\\quilbrooktest\\scans\\page.jpg").width);
}

TEST_F(BatchTest, APictureThatCannotBeReadGetsNoOutput)
{
    // Not a picture, although its name says so: the previous picture's temp.jpg must not be
    // written under its name.
    const std::wstring broken = L"C:\\QuilbrookTest\\Photos\\broken.png";
    FILE* file = _wfopen(broken.c_str(), L"wb");
    fputs("no picture here", file);
    fclose(file);
    RunBatches({m_inputs[0], broken, m_inputs[2]}, L"C:\\QuilbrookTest\\Out");
    EXPECT_TRUE(ReadPictureInfo(kOut1).jpeg);
    EXPECT_EQ(-1, FileBytes(L"c:\\quilbrooktest\\out\\quilbrooktest\\photos\\broken.jpg"));
    EXPECT_TRUE(ReadPictureInfo(kOut3).jpeg);
}

TEST_F(BatchTest, SizeLimitAboveTheResizedFileCopiesItByteForByte)
{
    RunProgram([&](CQuilbrookWizard& wizard) {
        AddFiles(wizard, {m_inputs[0]});
        Press(wizard, PSBTN_NEXT);
        Press(wizard, PSBTN_NEXT);
        Choose(wizard, IDC_COMPRESS_TO_SIZE);
        Type(wizard, IDC_SIZE_LIMIT_EDIT, L"5000");
        Press(wizard, PSBTN_NEXT);
        Type(wizard, IDC_OUTPUT_FOLDER, L"C:\\QuilbrookTest\\Out");
        Press(wizard, PSBTN_FINISH);
    });
    EXPECT_EQ(1u, g_observations.size());  // only the resize encoded
    EXPECT_FALSE(FileContent(kOut1).empty());
    EXPECT_EQ(g_observations[0].intermediate, FileContent(kOut1));
}

// Refuses the progress dialog's window, as a system out of resources would.
HHOOK g_refusingHook = nullptr;
LRESULT CALLBACK RefuseProgressWindow(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND)
    {
        const CREATESTRUCTW* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
        if (!IS_INTRESOURCE(create->lpszName) && create->lpszName && wcscmp(create->lpszName, L"Dialog") == 0)
            return 1;
    }
    return CallNextHookEx(g_refusingHook, code, wParam, lParam);
}

TEST_F(BatchTest, NoProgressWindowMeansNoBatch)
{
    RunBatches(m_inputs, L"C:\\QuilbrookTest\\Out", 1, [](CQuilbrookWizard&) {
        g_refusingHook = SetWindowsHookExW(WH_CBT, &RefuseProgressWindow, nullptr, GetCurrentThreadId());
    });
    UnhookWindowsHookEx(g_refusingHook);
    EXPECT_EQ(1u, m_messages.Texts().size());
    EXPECT_TRUE(g_observations.empty());
    EXPECT_EQ((std::vector<bool>{true}), m_enabledAfter);
}
}

// ---- pictures that get no output, and the one message that names them -----------------

namespace
{
std::wstring WriteText(const std::wstring& path, const char* text)
{
    SHCreateDirectoryExW(nullptr, path.substr(0, path.rfind(L'\\')).c_str(), nullptr);
    FILE* file = _wfopen(path.c_str(), L"wb");
    fputs(text, file);
    fclose(file);
    return path;
}
}

// Fails the save into the intermediate file for the second picture, leaving the first
// picture's there.
Gdiplus::Status FailSecondResize(Gdiplus::Image& picture, LPCWSTR path, const CLSID& encoder,
                                 const Gdiplus::EncoderParameters& parameters)
{
    if (IsIntermediate(path) && g_observations.size() == 2)
    {
        BatchObservation seen;
        seen.savedTo = path;
        g_observations.push_back(seen);
        return Gdiplus::Win32Error;
    }
    return ObservingSaver(picture, path, encoder, parameters);
}

TEST_F(BatchTest, AnIntermediateThatCouldNotBeWrittenIsNeverWrittenUnderThePicturesName)
{
    CImageProcessor::s_saveJpeg = &FailSecondResize;
    RunBatches(m_inputs, L"C:\\QuilbrookTest\\Out");
    EXPECT_EQ((std::vector<std::wstring>{L"1 of 3 pictures were not written:\n" + m_inputs[1] + L" (could not be written)"}),
              m_messages.Texts());
    EXPECT_EQ(100u, ReadPictureInfo(kOut1).width);
    EXPECT_EQ(-1, FileBytes(kOut2));
    EXPECT_EQ(40u, ReadPictureInfo(kOut3).width);
}

TEST_F(BatchTest, NoOutputReplacesAListedPictureUnderAnyName)
{
    // With the output folder at the drive's root, a.png's output is the listed a.jpg, and
    // a.jpg's output is a.jpg itself. A hard link gives a.jpg a second name in the list.
    const std::wstring png = Make(L"C:\\QuilbrookTest\\Sib\\a.png", PictureKind::Png, 32, 32);
    const std::wstring jpg = Make(L"C:\\QuilbrookTest\\Sib\\a.jpg", PictureKind::Jpg, 48, 48);
    const std::wstring link = L"C:\\QuilbrookTest\\Links\\b.png";
    SHCreateDirectoryExW(nullptr, L"C:\\QuilbrookTest\\Links", nullptr);
    ASSERT_TRUE(CreateHardLinkW(link.c_str(), jpg.c_str(), nullptr));
    const std::vector<unsigned char> original = FileContent(jpg);
    const struct
    {
        std::vector<std::wstring> list;
        std::wstring message;
    } cases[] = {
        {{png, jpg},
         L"2 of 2 pictures were not written:\n" + png + L" (would replace a listed picture)\n" + jpg +
             L" (would replace a listed picture)"},
        {{png, link}, L"1 of 2 pictures were not written:\n" + png + L" (would replace a listed picture)"},
    };
    for (const auto& c : cases)
    {
        RunBatches(c.list, L"C:\\");
        EXPECT_EQ((std::vector<std::wstring>{c.message}), m_messages.Texts());
        EXPECT_EQ(original, FileContent(jpg));
    }
    // The link's own output is a new file beside it.
    EXPECT_EQ(24u, ReadPictureInfo(L"c:\\quilbrooktest\\links\\b.jpg").width);
}

TEST_F(BatchTest, HostilePicturesAreRefusedAndTheBatchGoesOn)
{
    // A JPEG claiming 60 000 × 60 000 pixels, a PNG cut within its header, text named .gif.
    const std::wstring huge = Make(L"C:\\QuilbrookTest\\Bad\\huge.jpg", PictureKind::Jpg, 40, 30);
    std::vector<unsigned char> bytes = FileContent(huge);
    for (size_t at = 2; at + 8 < bytes.size(); at += 2 + (bytes[at + 2] << 8 | bytes[at + 3]))
        if (bytes[at + 1] == 0xC0)
        {
            bytes[at + 5] = bytes[at + 7] = 0xEA;  // 60000 = 0xEA60
            bytes[at + 6] = bytes[at + 8] = 0x60;
            break;
        }
    FILE* file = _wfopen(huge.c_str(), L"wb");
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
    const std::wstring cut = Make(L"C:\\QuilbrookTest\\Bad\\cut.png", PictureKind::Png, 40, 30);
    bytes = FileContent(cut);
    file = _wfopen(cut.c_str(), L"wb");
    fwrite(bytes.data(), 1, 20, file);
    fclose(file);
    const std::wstring text = WriteText(L"C:\\QuilbrookTest\\Bad\\text.gif", "GIF? no.");

    RunBatches({huge, cut, text, m_inputs[2]}, L"C:\\QuilbrookTest\\Out");
    EXPECT_EQ((std::vector<std::wstring>{L"3 of 4 pictures were not written:\n" + huge + L" (picture too large)\n" + cut +
                                         L" (damaged picture)\n" + text + L" (unreadable picture)"}),
              m_messages.Texts());
    EXPECT_TRUE(ReadPictureInfo(kOut3).jpeg);
    EXPECT_EQ(2u, g_observations.size());  // only the good picture reached GDI+'s encoder
}

TEST_F(BatchTest, TheEndMessageNamesTheFirstTenAndCountsTheRest)
{
    std::vector<std::wstring> list;
    for (int i = 0; i < 12; ++i)
        list.push_back(WriteText(L"C:\\QuilbrookTest\\Many\\n" + std::to_wstring(i) + L".png", "not a picture"));
    list.push_back(m_inputs[2]);
    RunBatches(list, L"C:\\QuilbrookTest\\Out");
    std::wstring expected = L"12 of 13 pictures were not written:";
    for (int i = 0; i < 10; ++i)
        expected += L"\n" + list[i] + L" (unreadable picture)";
    expected += L"\nand 2 more.";
    EXPECT_EQ((std::vector<std::wstring>{expected}), m_messages.Texts());
    EXPECT_TRUE(ReadPictureInfo(kOut3).jpeg);
}

TEST_F(BatchTest, ALongOutputFolderIsTakenAsItIs)
{
    // The output folder is longer than the 259 characters that a fixed buffer would keep.
    std::wstring folder = L"C:\\QuilbrookTest\\Long";
    while (folder.size() < 300)
        folder += L"\\" + std::wstring(40, L'd');
    RunBatches(m_inputs, folder.c_str());
    EXPECT_EQ((std::vector<std::wstring>{L"File 1 of 3", L"File 2 of 3", L"File 3 of 3"}), Captions());
    EXPECT_TRUE(m_messages.Texts().empty()) << testing::PrintToString(m_messages.Texts());
    std::wstring lowerFolder = folder;
    for (wchar_t& c : lowerFolder)
        c = towlower(c);
    EXPECT_EQ(40u, ReadPictureInfo(lowerFolder + L"\\quilbrooktest\\scans\\page.jpg").width);
}

TEST_F(BatchTest, AnOutputFolderThatIsNotAFullPathIsRefused)
{
    for (const wchar_t* folder : {L"Out", L"Out\\Pictures", L"C:Out", L"\\Out", L"/tmp/out", L"\\\\"})
    {
        m_finishedOn.clear();
        RunBatches(m_inputs, folder);
        EXPECT_EQ(1u, m_messages.Texts().size()) << folder;
        EXPECT_EQ((std::vector<int>{3}), m_finishedOn) << folder;
    }
    EXPECT_TRUE(g_observations.empty());
}

TEST_F(BatchTest, SizesWithAndWithoutKeepingTheRatio)
{
    const struct
    {
        const wchar_t *width, *height;
        bool keepRatio;
        unsigned out1Width, out1Height, out3Width, out3Height;  // 200 × 100 and 80 × 60 pictures
    } cases[] = {{L"50", L"50", false, 50, 50, 50, 50}, {L"50", L"50", true, 49, 24, 49, 37},
                 {L"400", L"400", true, 200, 100, 80, 60}};
    for (const auto& c : cases)
    {
        RunProgram([&](CQuilbrookWizard& wizard) {
            AddFiles(wizard, {m_inputs[0]});
            AddFiles(wizard, {m_inputs[2]});
            Press(wizard, PSBTN_NEXT);
            Choose(wizard, IDC_RESIZE_TO_VALUE);
            Type(wizard, IDC_WIDTH_EDIT, c.width);
            Type(wizard, IDC_HEIGHT_EDIT, c.height);
            if (!c.keepRatio)
                Choose(wizard, IDC_KEEP_RATIO);
            Press(wizard, PSBTN_NEXT);
            Press(wizard, PSBTN_NEXT);
            Type(wizard, IDC_OUTPUT_FOLDER, L"C:\\QuilbrookTest\\Out");
            m_messages.Clear();
            Press(wizard, PSBTN_FINISH);
        });
        EXPECT_TRUE(m_messages.Texts().empty());
        const PictureInfo first = ReadPictureInfo(kOut1), third = ReadPictureInfo(kOut3);
        EXPECT_EQ(c.out1Width, first.width) << c.width << " keep " << c.keepRatio;
        EXPECT_EQ(c.out1Height, first.height) << c.width << " keep " << c.keepRatio;
        EXPECT_EQ(c.out3Width, third.width) << c.width << " keep " << c.keepRatio;
        EXPECT_EQ(c.out3Height, third.height) << c.width << " keep " << c.keepRatio;
    }
}

// Every encoding of the size search is as large as its quality: 0 KB below quality 40.
Gdiplus::Status SaverSizedByQuality(Gdiplus::Image& picture, LPCWSTR path, const CLSID& encoder,
                                    const Gdiplus::EncoderParameters& parameters)
{
    const Gdiplus::Status status = ObservingSaver(picture, path, encoder, parameters);
    const ULONG quality = *static_cast<ULONG*>(parameters.Parameter[0].Value);
    if (!IsIntermediate(path))
    {
        HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        LARGE_INTEGER size;
        size.QuadPart = quality < 40 ? 100 : 1024LL * quality;
        SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
        SetEndOfFile(file);
        CloseHandle(file);
    }
    return status;
}

TEST_F(BatchTest, TheSizeLimitSearchesTheQualityThroughTheBatch)
{
    CImageProcessor::s_saveJpeg = &SaverSizedByQuality;
    RunProgram([&](CQuilbrookWizard& wizard) {
        AddFiles(wizard, {m_inputs[0]});
        Press(wizard, PSBTN_NEXT);
        Press(wizard, PSBTN_NEXT);
        Choose(wizard, IDC_COMPRESS_TO_SIZE);
        Type(wizard, IDC_SIZE_LIMIT_EDIT, L"1");
        Press(wizard, PSBTN_NEXT);
        Type(wizard, IDC_OUTPUT_FOLDER, L"C:\\QuilbrookTest\\Out");
        m_messages.Clear();
        Press(wizard, PSBTN_FINISH);
    });
    // The resize, then the qualities 50, 24 (0 KB), 37 (0 KB), 43, 40 and 38 (0 KB), which
    // ends the search below the limit.
    std::vector<std::wstring> targets;
    for (const BatchObservation& seen : g_observations)
        targets.push_back(seen.savedTo);
    ASSERT_EQ(7u, targets.size());
    EXPECT_TRUE(IsIntermediate(targets[0])) << testing::PrintToString(targets[0]);
    EXPECT_EQ(std::vector<std::wstring>(6, kOut1), std::vector<std::wstring>(targets.begin() + 1, targets.end()));
    EXPECT_EQ(100, FileBytes(kOut1));
    EXPECT_TRUE(m_messages.Texts().empty());
}

TEST_F(BatchTest, AResizeModeMissingFromTheProfileIsToldAndWritesNothing)
{
    theApp.WriteTaskProfileString(L"Compress", L"Mode", L"Level");
    theApp.WriteTaskProfileString(L"Output", L"Path", L"C:\\QuilbrookTest\\Out");
    COutputOptionPage page;
    page.ReadBatchSettings();
    m_messages.Clear();
    BOOL cancelled = TRUE;
    EXPECT_FALSE(page.ProcessPicture(m_inputs[0].c_str(), page.MakeOutputFileName(m_inputs[0].c_str()), cancelled));
    EXPECT_FALSE(cancelled);
    EXPECT_STREQ(L"", page.GetFailure());
    EXPECT_EQ((std::vector<std::wstring>{L"Sorry, can't get resize mode from profile."}), m_messages.Texts());
    EXPECT_EQ(-1, FileBytes(kOut1));
}

TEST_F(BatchTest, AnOutputFolderThatCannotBeMadeIsToldOnce)
{
    // A file stands where a folder would be.
    WriteText(L"C:\\QuilbrookTest\\Blocked", "a file");
    RunBatches(m_inputs, L"C:\\QuilbrookTest\\Blocked\\Out");
    EXPECT_EQ((std::vector<std::wstring>{
                  L"Can't create the output folder c:\\quilbrooktest\\blocked\\out\\quilbrooktest\\photos\\trip\n"
                  L"The pictures that belong in it are not written; the end of the batch lists them.",
                  L"3 of 3 pictures were not written:\n" + m_inputs[0] + L" (folder could not be created)\n" +
                      m_inputs[1] + L" (folder could not be created)\n" + m_inputs[2] +
                      L" (folder could not be created)"}),
              m_messages.Texts());
}

TEST_F(BatchTest, TheListEndsWithItsEntriesWhateverItsCount)
{
    CStringArray pictures;
    for (const std::wstring& input : m_inputs)
        pictures.Add(input.c_str());
    theApp.WriteFileList(pictures);
    WritePrivateProfileStringW(L"Total", L"Count", L"4294967295", SettingsFile(L"FileList.txt").c_str());
    COutputOptionPage page;
    EXPECT_EQ(3u, page.GetFileCount());
    for (UINT i = 0; i < 3; ++i)
        EXPECT_STREQ(m_inputs[i].c_str(), page.GetListedFile(i));
    EXPECT_STREQ(L"", page.GetListedFile(3));
    EXPECT_TRUE(m_messages.Texts().empty());
}

namespace
{
// Makes the file exactly this long (a JPEG stays readable with zeros after its end).
void SetFileBytes(LPCWSTR path, LONGLONG bytes)
{
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER size;
    size.QuadPart = bytes;
    SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
}
}

TEST_F(BatchTest, AnOutputThatCannotBeWrittenIsNamedAtEveryQualityAndSizeLimit)
{
    // A folder at the output's path, or an older 100-byte output held open without sharing.
    for (const wchar_t* limit : {L"", L"1"})
        for (bool folderInTheWay : {true, false})
        {
            DeleteTree(L"C:\\QuilbrookTest\\Out");
            const std::wstring output = kOut1;
            SHCreateDirectoryExW(nullptr, output.substr(0, output.rfind(L'\\')).c_str(), nullptr);
            HANDLE held = INVALID_HANDLE_VALUE;
            if (folderInTheWay)
                CreateDirectoryW(kOut1, nullptr);
            else
            {
                held = CreateFileW(kOut1, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
                const std::vector<char> older(100, 'o');
                DWORD written = 0;
                WriteFile(held, older.data(), 100, &written, nullptr);
            }
            m_sizeLimit = limit;
            RunBatches(m_inputs, L"C:\\QuilbrookTest\\Out");
            if (held != INVALID_HANDLE_VALUE)
                CloseHandle(held);
            const std::wstring trigger = std::wstring(folderInTheWay ? L"folder" : L"held") + L", limit " + limit;
            EXPECT_EQ((std::vector<std::wstring>{L"1 of 3 pictures were not written:\n" + m_inputs[0] +
                                                 L" (could not be written)"}),
                      m_messages.Texts())
                << testing::PrintToString(trigger);
            if (!folderInTheWay)
            {
                EXPECT_EQ(100, FileBytes(kOut1)) << testing::PrintToString(trigger);
            }
            EXPECT_EQ(40u, ReadPictureInfo(kOut3).width) << testing::PrintToString(trigger);
        }
}

// Every file the batch writes is 5 KB, whatever its quality.
Gdiplus::Status SaverOfLargeFiles(Gdiplus::Image& picture, LPCWSTR path, const CLSID& encoder,
                                  const Gdiplus::EncoderParameters& parameters)
{
    const Gdiplus::Status status = ObservingSaver(picture, path, encoder, parameters);
    SetFileBytes(path, 5 * 1024);
    return status;
}

TEST_F(BatchTest, AnOutputThatNoQualityBringsUnderTheLimitIsWrittenAndNamed)
{
    CImageProcessor::s_saveJpeg = &SaverOfLargeFiles;
    m_sizeLimit = L"1";
    RunBatches({m_inputs[0], m_inputs[2]}, L"C:\\QuilbrookTest\\Out");
    EXPECT_EQ((std::vector<std::wstring>{L"2 of 2 pictures were written larger than the size limit:\n" + m_inputs[0] +
                                         L" (larger than the size limit)\n" + m_inputs[2] +
                                         L" (larger than the size limit)"}),
              m_messages.Texts());
    EXPECT_EQ(5 * 1024, FileBytes(kOut1));
    EXPECT_EQ(40u, ReadPictureInfo(kOut3).width);
}

TEST_F(BatchTest, ALaterPictureNeverReplacesAnOutputOfTheBatch)
{
    // x.emf and x.wmf both become x.jpg; so do x.png and the same file named in capitals.
    const std::wstring emf = Make(L"C:\\QuilbrookTest\\Same\\x.emf", PictureKind::Emf, 60, 40);
    const std::wstring wmf = Make(L"C:\\QuilbrookTest\\Same\\x.wmf", PictureKind::Wmf, 80, 60);
    const std::wstring png = Make(L"C:\\QuilbrookTest\\Case\\x.png", PictureKind::Png, 100, 80);
    const std::wstring capitals = L"C:\\QuilbrookTest\\CASE\\X.PNG";
    RunBatches({emf, wmf, png, capitals}, L"C:\\QuilbrookTest\\Out");
    EXPECT_EQ((std::vector<std::wstring>{L"2 of 4 pictures were not written:\n" + wmf +
                                         L" (would replace the output of " + emf + L")\n" + capitals +
                                         L" (would replace the output of " + png + L")"}),
              m_messages.Texts());
    EXPECT_EQ(29u, ReadPictureInfo(L"c:\\quilbrooktest\\out\\quilbrooktest\\same\\x.jpg").width);  // the EMF's
    EXPECT_EQ(50u, ReadPictureInfo(L"c:\\quilbrooktest\\out\\quilbrooktest\\case\\x.jpg").width);
}

TEST_F(BatchTest, AnOutputNamedTempJpgInTheSettingsFolderStays)
{
    // With the settings folder as output folder, C:\temp.png's output is "temp.jpg" there.
    const std::wstring input = Make(L"C:\\temp.png", PictureKind::Png, 40, 30);
    RunBatches({input, m_inputs[2]}, L"C:\\ProgramData\\Quilbrook");
    EXPECT_TRUE(m_messages.Texts().empty()) << testing::PrintToString(m_messages.Texts());
    EXPECT_EQ(20u, ReadPictureInfo(SettingsFile(L"temp.jpg")).width);
    EXPECT_EQ(40u, ReadPictureInfo(SettingsFile(L"quilbrooktest\\scans\\page.jpg")).width);
    DeleteFileW(input.c_str());
    DeleteFileW(SettingsFile(L"temp.jpg").c_str());
    DeleteTree(SettingsFile(L"quilbrooktest"));
}

// Fails to draw the 120-pixel-wide bitmap, as GDI+ on Windows fails a picture whose data
// cannot be decoded.
Gdiplus::Status FailToDrawTheBitmap(Gdiplus::Graphics& graphics, Gdiplus::Image& picture, const Gdiplus::RectF& target)
{
    if (picture.GetWidth() == 120)
        return Gdiplus::OutOfMemory;
    return CImageProcessor::DrawWithGdiplus(graphics, picture, target);
}

TEST_F(BatchTest, APictureThatFailsToDrawGetsNoOutput)
{
    CImageProcessor::s_drawPicture = &FailToDrawTheBitmap;
    RunBatches(m_inputs, L"C:\\QuilbrookTest\\Out");
    EXPECT_EQ((std::vector<std::wstring>{L"1 of 3 pictures were not written:\n" + m_inputs[1] + L" (unreadable picture)"}),
              m_messages.Texts());
    EXPECT_EQ(-1, FileBytes(kOut2));
    EXPECT_EQ(100u, ReadPictureInfo(kOut1).width);
}

// ---- two copies of the program at once ---------------------------------------------------

namespace
{
const wchar_t kFirstCopyAtLastStep[] = L"QuilbrookTest.FirstCopyAtLastStep";
const wchar_t kSecondCopyAtLastStep[] = L"QuilbrookTest.SecondCopyAtLastStep";
const wchar_t kBothFinish[] = L"QuilbrookTest.BothFinish";
const int kPicturesPerCopy = 6;

std::vector<std::wstring> CopyInputs(const wchar_t* copy)
{
    std::vector<std::wstring> inputs;
    for (int i = 0; i < kPicturesPerCopy; ++i)
        inputs.push_back(std::wstring(L"C:\\QuilbrookTest\\") + copy + L"\\p" + std::to_wstring(i) + L".png");
    return inputs;
}

std::wstring CopyOutput(const wchar_t* outputFolder, const std::wstring& input)
{
    std::wstring output = std::wstring(outputFolder) + input.substr(2, input.size() - 5) + L"jpg";
    for (wchar_t& c : output)
        c = towlower(c);
    return output;
}

// Waits for the other copy's event while this copy's windows go on working; false after a
// minute.
bool WaitForOtherCopy(const wchar_t* name)
{
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, name);
    bool signalled = false;
    for (int i = 0; i < 1200 && !signalled; ++i)
    {
        signalled = MsgWaitForMultipleObjects(1, &event, FALSE, 50, QS_ALLINPUT) == WAIT_OBJECT_0;
        PumpPendingMessages();
    }
    CloseHandle(event);
    return signalled;
}

void TellOtherCopy(const wchar_t* name)
{
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, name);
    SetEvent(event);
    CloseHandle(event);
}

// Goes through the steps with the pictures, the percentage and the output folder.
void FillSteps(CQuilbrookWizard& wizard, const std::vector<std::wstring>& inputs, const wchar_t* percent,
               const wchar_t* outputFolder)
{
    AddFiles(wizard, inputs);
    Press(wizard, PSBTN_NEXT);
    Type(wizard, IDC_PERCENT_EDIT, percent);
    Press(wizard, PSBTN_NEXT);
    Press(wizard, PSBTN_NEXT);
    Type(wizard, IDC_OUTPUT_FOLDER, outputFolder);
}

// The second copy: the settings files of the first one are left as they are.
class SecondCopyTest : public WizardTest
{
protected:
    void SetUp() override { UseStandIns(); }
};
}

TEST_F(SecondCopyTest, DISABLED_RunsItsBatchBesideTheFirst)
{
    const std::vector<std::wstring> inputs = CopyInputs(L"Second");
    RunProgram([&](CQuilbrookWizard& wizard) {
        // This copy's steps are left after the first copy's: its files are the last written.
        ASSERT_TRUE(WaitForOtherCopy(kFirstCopyAtLastStep));
        FillSteps(wizard, inputs, L"25", L"C:\\QuilbrookTest\\SecondOut");
        TellOtherCopy(kSecondCopyAtLastStep);
        ASSERT_TRUE(WaitForOtherCopy(kBothFinish));
        m_messages.Clear();
        Press(wizard, PSBTN_FINISH);
    });
    EXPECT_TRUE(m_messages.Texts().empty()) << testing::PrintToString(m_messages.Texts());
    for (const std::wstring& input : inputs)
        EXPECT_EQ(100u, ReadPictureInfo(CopyOutput(L"C:\\QuilbrookTest\\SecondOut", input)).width)
            << testing::PrintToString(input);
}

TEST_F(BatchTest, TwoCopiesAtOnceEachWorkOnTheirOwnListSettingsAndIntermediate)
{
    // The events live as long as this copy holds them.
    HANDLE events[3];
    const wchar_t* names[3] = {kFirstCopyAtLastStep, kSecondCopyAtLastStep, kBothFinish};
    for (int i = 0; i < 3; ++i)
    {
        events[i] = CreateEventW(nullptr, TRUE, FALSE, names[i]);
        ResetEvent(events[i]);
    }
    const std::vector<std::wstring> first = CopyInputs(L"First");
    for (const wchar_t* copy : {L"First", L"Second"})
        for (const std::wstring& input : CopyInputs(copy))
            Make(input, PictureKind::Png, 400, 300);

    ChildRunResult second;
    std::thread secondCopy([&] { second = RunTestInChild(L"SecondCopyTest.DISABLED_RunsItsBatchBesideTheFirst", {}); });
    RunProgram([&](CQuilbrookWizard& wizard) {
        FillSteps(wizard, first, L"50", L"C:\\QuilbrookTest\\FirstOut");
        TellOtherCopy(kFirstCopyAtLastStep);
        const bool secondReady = WaitForOtherCopy(kSecondCopyAtLastStep);
        TellOtherCopy(kBothFinish);
        m_messages.Clear();
        if (secondReady)
            Press(wizard, PSBTN_FINISH);
    });
    secondCopy.join();
    for (HANDLE event : events)
        CloseHandle(event);

    EXPECT_TRUE(ChildTestPassed(second)) << second.output;
    EXPECT_TRUE(m_messages.Texts().empty()) << testing::PrintToString(m_messages.Texts());
    for (const std::wstring& input : first)
        EXPECT_EQ(200u, ReadPictureInfo(CopyOutput(L"C:\\QuilbrookTest\\FirstOut", input)).width)
            << testing::PrintToString(input);
    // Neither copy wrote the other's pictures, nor into the other's folder.
    EXPECT_FALSE(PathFileExistsW(L"C:\\QuilbrookTest\\FirstOut\\quilbrooktest\\second"));
    EXPECT_FALSE(PathFileExistsW(L"C:\\QuilbrookTest\\SecondOut\\quilbrooktest\\first"));
}
