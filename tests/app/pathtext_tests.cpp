// Long paths: the forms the file functions take beyond MAX_PATH, the program's declaration
// that it takes them, and paths shortened in the middle where a person reads them.
#include <gtest/gtest.h>

#include "listctrlex.h"
#include "pathtext.h"
#include "progdlg.h"
#include "testpaths.h"

#include <commctrl.h>

#include <string>

namespace
{
std::wstring Repeat(const std::wstring& part, size_t times)
{
    std::wstring all;
    for (size_t i = 0; i < times; ++i)
        all += part;
    return all;
}

// A folder path of more than 300 characters below the given start.
std::wstring LongFolder(const std::wstring& start)
{
    return start + Repeat(L"\\the long summer of seaside holidays", 9);
}

int TextWidth(HWND window, const std::wstring& text)
{
    HDC dc = GetDC(window);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    return size.cx;
}

bool EndsWith(const std::wstring& text, const std::wstring& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}
}

TEST(LongPathForm, OnlyLongFullPathsGetThePrefix)
{
    const std::wstring longDrive = LongFolder(L"C:\\Out");
    const std::wstring longShare = LongFolder(L"\\\\server\\share");
    const std::wstring messy = L"C:\\Out\\.\\x\\..\\" + Repeat(L"abcdefghij\\", 30) + L"y.jpg";
    struct Case
    {
        std::wstring path, expected;
    } cases[] = {
        {L"C:\\Out\\a.jpg", L"C:\\Out\\a.jpg"},
        {Repeat(L"a", 300), Repeat(L"a", 300)},  // relative: left to the system
        {longDrive, L"\\\\?\\" + longDrive},
        {longShare, L"\\\\?\\UNC\\server\\share" + longShare.substr(14)},
        {L"\\\\?\\" + longDrive, L"\\\\?\\" + longDrive},
        {messy, L"\\\\?\\C:\\Out\\" + Repeat(L"abcdefghij\\", 30) + L"y.jpg"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, std::wstring(LongPathForm(c.path.c_str()))) << c.path.size();
}

TEST(PlainPathForm, DropsTheLongPathPrefixOnly)
{
    const std::wstring longShare = LongFolder(L"\\\\server\\share");
    const struct
    {
        std::wstring path, expected;
    } cases[] = {
        {L"\\\\?\\C:\\Out\\a.jpg", L"C:\\Out\\a.jpg"},
        {L"\\\\?\\UNC\\server\\share\\a.jpg", L"\\\\server\\share\\a.jpg"},
        {L"\\\\?\\unc\\server\\share\\a.jpg", L"\\\\server\\share\\a.jpg"},
        {L"C:\\Out\\a.jpg", L"C:\\Out\\a.jpg"},
        {L"\\\\server\\share\\a.jpg", L"\\\\server\\share\\a.jpg"},
        {L"\\\\.\\C:\\a.jpg", L"\\\\.\\C:\\a.jpg"},  // a device path is no long form
        {std::wstring(LongPathForm(longShare.c_str())), longShare},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, std::wstring(PlainPathForm(c.path.c_str()))) << testing::PrintToString(c.path);
}

TEST(LongPathForm, TheProgramDeclaresItselfLongPathAware)
{
    HMODULE program = LoadLibraryExW(BesideTestProgram(L"Quilbrook.exe").c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(nullptr, program);
    HRSRC resource = FindResourceW(program, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    ASSERT_NE(nullptr, resource);
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(program, resource)));
    const std::string manifest(bytes, SizeofResource(program, resource));
    FreeLibrary(program);
    const std::string entry = "<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">true</longPathAware>";
    EXPECT_NE(std::string::npos, manifest.find(entry)) << manifest;
}

TEST(ShortenPath, KeepsTheFileNameAndAsMuchOfTheStartAsFits)
{
    HWND window = CreateWindowW(L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 100, nullptr, nullptr, nullptr, nullptr);
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
    const std::wstring path = LongFolder(L"E:\\Photos") + L"\\seaside-2.jpg";
    for (int width : {120, 250, 400})
    {
        const std::wstring shown(ShortenPathToWidth(window, path.c_str(), width));
        EXPECT_TRUE(EndsWith(shown, L"...\\seaside-2.jpg")) << width << " " << testing::PrintToString(shown);
        EXPECT_EQ(0u, shown.find(L"E:\\")) << width;
        EXPECT_LE(TextWidth(window, shown), width);
        // One more character of the start would not fit.
        const std::wstring longer = path.substr(0, shown.size() - 16) + L"...\\seaside-2.jpg";
        EXPECT_GT(TextWidth(window, longer), width) << width;
    }
    EXPECT_EQ(L"E:\\a.jpg", std::wstring(ShortenPathToWidth(window, L"E:\\a.jpg", 200)));
    // A name wider than the room still shows whole.
    EXPECT_EQ(L"...\\" + Repeat(L"n", 80) + L".jpg",
              std::wstring(ShortenPathToWidth(window, (L"E:\\Photos\\" + Repeat(L"n", 80) + L".jpg").c_str(), 50)));
    DestroyWindow(window);
}

TEST(ShortenPath, TheProgressStatusShowsTheFileName)
{
    HWND owner = CreateWindowW(L"STATIC", L"Owner", WS_OVERLAPPEDWINDOW, 50, 50, 300, 200, nullptr, nullptr, nullptr, nullptr);
    CProgressDlg dialog;
    ASSERT_TRUE(dialog.Create(CWnd::FromHandle(owner)));
    HWND status = GetDlgItem(dialog.m_hWnd, IDC_PROGRESS_STATUS);
    const std::wstring path = LongFolder(L"E:\\Photos") + L"\\the summer of seaside-1.jpg";
    dialog.SetStatus(path.c_str());
    wchar_t text[1024] = {};
    GetWindowTextW(status, text, 1024);
    EXPECT_TRUE(EndsWith(text, L"...\\the summer of seaside-1.jpg")) << testing::PrintToString(std::wstring(text));
    RECT client;
    GetClientRect(status, &client);
    EXPECT_LE(TextWidth(status, text), client.right);
    dialog.DestroyWindow();
    DestroyWindow(owner);
}

TEST(ShortenPath, ListRowsShowTheFileNameAndKeepTheWholePath)
{
    // A framework window, which hands the list its own notifications (freeing each row's path).
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, L"STATIC", L"Owner", WS_POPUP, CRect(0, 0, 400, 300), nullptr, 0));
    CListCtrlEx list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(10, 10, 370, 190), &owner, 1013));
    list.SetFont(CFont::FromHandle(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))));
    list.InsertColumn(0, L"Picture Files", LVCFMT_LEFT);
    const std::wstring folder = LongFolder(L"E:\\Photos");
    const std::wstring paths[] = {folder + L"\\seaside-1.jpg", folder + L"\\seaside-2.jpg", L"E:\\short.png"};
    for (const std::wstring& path : paths)
        list.InsertPathItem(list.GetItemCount(), path.c_str());
    list.AutoSizeColumn(0);
    RECT client;
    list.GetClientRect(&client);
    for (int row = 0; row < 3; ++row)
    {
        const std::wstring name = paths[row].substr(paths[row].rfind(L'\\'));
        const std::wstring shown(list.GetItemText(row, 0));
        EXPECT_TRUE(EndsWith(shown, name)) << testing::PrintToString(shown);
        EXPECT_LE(TextWidth(list.m_hWnd, shown), client.right);
        EXPECT_EQ(paths[row], std::wstring(list.GetItemPath(row)));
    }
    EXPECT_EQ(L"E:\\short.png", std::wstring(list.GetItemText(2, 0)));
    // The column shows its widest row whole, inside the list.
    EXPECT_LE(list.GetColumnWidth(0), client.right);
    list.DeleteItem(0);
    EXPECT_EQ(paths[1], std::wstring(list.GetItemPath(0)));
    list.DeleteAllItems();
    owner.DestroyWindow();
}
