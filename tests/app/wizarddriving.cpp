#include "wizarddriving.h"

#include "quilbrookapp.h"
#include "shellseams.h"

#include <commctrl.h>
#include <shlobj.h>

std::vector<std::wstring> g_chosenFiles;
std::wstring g_chosenFolder;
std::vector<std::wstring> g_browserTitles;
std::vector<ShellCall> g_shellCalls;

namespace
{
// ---- stand-ins for the shell's windows -------------------------------------------------

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
}

void WizardTest::UseStandIns()
{
    CSelectFilePage::s_runFileDialog = &ChooseFiles;
    g_browseForFolder = &ChooseFolder;
    g_shellExecute = &RecordShell;
    g_chosenFiles.clear();
    g_chosenFolder.clear();
    g_browserTitles.clear();
    g_shellCalls.clear();
}

BOOL WizardTest::RunProgram(std::function<void(CQuilbrookWizard&)> script)
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
    PumpMessages();
}

void Click(CQuilbrookWizard& wizard, int id)
{
    HWND button = Control(wizard, id);
    SendMessageW(Page(wizard), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    PumpMessages();
}

namespace
{
// The waiting messages, each through the program's own pump as the wizard's modal loop takes
// them: the wizard sees a key first, so that Tab and the arrows move the focus.
void PumpThroughTheProgram()
{
    MSG waiting;
    while (PeekMessageW(&waiting, nullptr, 0, 0, PM_NOREMOVE))
    {
        if (!AfxGetThread()->PumpMessage())
        {
            // WM_QUIT: left for the loop further out.
            PostQuitMessage(static_cast<int>(waiting.wParam));
            return;
        }
    }
}
}

// A key pressed on the keyboard, as the system delivers it to the active window.
void PressKey(WORD key)
{
    SendKey(key);
    for (int i = 0; i < 5; ++i)
    {
        Sleep(20);
        PumpThroughTheProgram();
    }
}

// Ticks a radio button or check box as a click does.
void Choose(CQuilbrookWizard& wizard, int id)
{
    SendMessageW(Control(wizard, id), BM_CLICK, 0, 0);
    PumpMessages();
}

void Type(CQuilbrookWizard& wizard, int id, const wchar_t* text)
{
    SetWindowTextW(Control(wizard, id), text);
    PumpMessages();
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
