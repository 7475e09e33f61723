// CFileDialog: the walk over the names the dialog wrote, the filter it is given, and the seam
// through which tests answer it.
#include <gtest/gtest.h>

#include "afxdlgs.h"
#include "testpaths.h"

#include <string>
#include <vector>

namespace
{
std::vector<std::wstring> WalkNames(const std::wstring& buffer, DWORD flags, DWORD maxFile = 0)
{
    CFileDialog dialog(TRUE, nullptr, nullptr, flags);
    std::wstring storage = buffer;
    dialog.m_ofn.lpstrFile = &storage[0];
    dialog.m_ofn.nMaxFile = maxFile != 0 ? maxFile : static_cast<DWORD>(storage.size());
    std::vector<std::wstring> names;
    for (POSITION pos = dialog.GetStartPosition(); pos != nullptr && names.size() < 10;)
        names.push_back(static_cast<LPCTSTR>(dialog.GetNextPathName(pos)));
    return names;
}
}

TEST(FileDialogNames, WalkTurnsTheBufferIntoFullPathsInTheDialogsOrder)
{
    using Names = std::vector<std::wstring>;
    const DWORD multi = OFN_EXPLORER | OFN_ALLOWMULTISELECT;
    struct Case
    {
        const char* what;
        std::wstring buffer;
        DWORD flags;
        DWORD maxFile;
        Names expected;
    };
    const Case cases[] = {
        {"several names", std::wstring(L"C:\\pics\0b.png\0a.jpg\0c.gif\0\0", 28), multi, 0,
         {L"C:\\pics\\b.png", L"C:\\pics\\a.jpg", L"C:\\pics\\c.gif"}},
        {"one name with multiple selection", std::wstring(L"C:\\pics\\a.jpg\0\0", 15), multi, 0,
         {L"C:\\pics\\a.jpg"}},
        {"root folder", std::wstring(L"C:\\\0a.jpg\0b.jpg\0\0", 17), multi, 0,
         {L"C:\\a.jpg", L"C:\\b.jpg"}},
        {"single selection", std::wstring(L"D:\\x\\y.bmp\0\0", 12), OFN_EXPLORER, 0,
         {L"D:\\x\\y.bmp"}},
        {"no closing NUL inside the buffer", std::wstring(L"C:\\d\0abcdef", 11), multi, 8,
         {L"C:\\d\\abc"}},
        {"empty buffer", std::wstring(L"\0\0", 2), multi, 0, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, WalkNames(c.buffer, c.flags, c.maxFile)) << c.what;
}

TEST(FileDialogSetUp, FilterBecomesNulSeparatedAndTheDialogIsExplorerStyle)
{
    CFileDialog dialog(TRUE, nullptr, nullptr, 0x80210, L"Pictures|*.jpg;*.png|All|*.*||");
    const std::wstring filter(dialog.m_ofn.lpstrFilter, 30);
    EXPECT_EQ(std::wstring(L"Pictures\0*.jpg;*.png\0All\0*.*\0\0", 30), filter);
    EXPECT_EQ(1u, dialog.m_ofn.nFilterIndex);
    EXPECT_EQ(static_cast<DWORD>(OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_SHOWHELP),
              dialog.m_ofn.Flags & 0x80210);
    EXPECT_EQ(nullptr, dialog.m_ofn.lpstrDefExt);
}

TEST(FileDialogSeam, TheHandlerAnswersInsteadOfTheDialogAndWritesIntoTheCallersBuffer)
{
    static std::vector<wchar_t> buffer(267265);
    CFileDialog dialog(TRUE, nullptr, nullptr, 0x80210, L"All|*.*||");
    dialog.m_ofn.lpstrFile = buffer.data();
    dialog.m_ofn.nMaxFile = static_cast<DWORD>(buffer.size());

    AFX_FILEDIALOG_HANDLER previous =
        AfxSetFileDialogHandler([](OPENFILENAME* pOfn, BOOL bOpen) -> INT_PTR {
            if (!bOpen || pOfn->nMaxFile < 20)
                return IDABORT;
            memcpy(pOfn->lpstrFile, L"C:\\in\0one.jpg\0two.jpg\0", 23 * sizeof(wchar_t));
            return IDOK;
        });
    const INT_PTR answer = dialog.DoModal();
    AfxSetFileDialogHandler(previous);

    ASSERT_EQ(IDOK, answer);
    POSITION pos = dialog.GetStartPosition();
    EXPECT_EQ(L"C:\\in\\one.jpg", std::wstring(dialog.GetNextPathName(pos)));
    EXPECT_EQ(L"C:\\in\\two.jpg", std::wstring(dialog.GetNextPathName(pos)));
    EXPECT_EQ(nullptr, pos);
}

namespace
{
HWND g_fileDialog = nullptr;

BOOL CALLBACK FindDialog(HWND hWnd, LPARAM)
{
    wchar_t className[16] = {};
    GetClassNameW(hWnd, className, 16);
    if (lstrcmpW(className, L"#32770") == 0 && IsWindowVisible(hWnd))
    {
        g_fileDialog = hWnd;
        return FALSE;
    }
    return TRUE;
}

// Types two names into the dialog's file name box and presses Open, as a user would.
void CALLBACK ChooseTwoFiles(HWND, UINT, UINT_PTR, DWORD)
{
    g_fileDialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, 0);
    if (g_fileDialog == nullptr)
        return;
    const int fileNameCombo = 0x47C;
    const int fileNameEdit = 0x480;
    const wchar_t* names = L"\"two.jpg\" \"one.jpg\"";
    if (!SetDlgItemTextW(g_fileDialog, fileNameCombo, names))
        SetDlgItemTextW(g_fileDialog, fileNameEdit, names);
    PostMessageW(g_fileDialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(g_fileDialog, IDOK)));
}
}

TEST(FileDialogUnderWine, MultipleSelectionComesBackAsFullPaths)
{
    const std::wstring folder = MakeTestFolder(L"filedialog");
    for (const wchar_t* name : {L"one.jpg", L"two.jpg"})
        CloseHandle(CreateFileW((folder + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, 0, nullptr));

    std::vector<wchar_t> buffer(267265);
    CFileDialog dialog(TRUE, nullptr, nullptr, 0x80210, L"Pictures|*.jpg||");
    dialog.m_ofn.lpstrFile = buffer.data();
    dialog.m_ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    dialog.m_ofn.lpstrInitialDir = folder.c_str();

    const UINT_PTR timer = SetTimer(nullptr, 0, 300, ChooseTwoFiles);
    const INT_PTR answer = dialog.DoModal();
    KillTimer(nullptr, timer);

    ASSERT_EQ(IDOK, answer);
    std::vector<std::wstring> paths;
    for (POSITION pos = dialog.GetStartPosition(); pos != nullptr && paths.size() < 5;)
        paths.push_back(static_cast<LPCTSTR>(dialog.GetNextPathName(pos)));
    // Compared without regard to case: Wine may report the folder in its own spelling.
    ASSERT_EQ(2u, paths.size());
    EXPECT_EQ(0, lstrcmpiW((folder + L"\\two.jpg").c_str(), paths[0].c_str())) << paths[0];
    EXPECT_EQ(0, lstrcmpiW((folder + L"\\one.jpg").c_str(), paths[1].c_str())) << paths[1];
}
