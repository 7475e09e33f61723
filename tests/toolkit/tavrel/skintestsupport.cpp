#include "skintestsupport.h"

#include "hlmskinmanager.h"
#include "common/hlmsystemhelpers.h"
#include "pixels.h"
#include "testpaths.h"

#include <windows.h>

void UseProcessSkin(const std::wstring& path, const wchar_t* iniName)
{
    CHLMSkinManager* manager = GetSkinManager();
    if (manager->OpenSkinFile(path.c_str(), iniName))
        manager->GetMetrics()->RefreshMetrics();
}

CTestFolderSkin::CTestFolderSkin(const wchar_t* folderName, const std::vector<std::string>& iniLines)
    : m_path(MakeTestFolder(folderName))
{
    std::string text;
    for (const std::string& line : iniLines)
        text += line + "\r\n";
    WriteFileBytes(m_path + L"\\skin.ini", std::vector<BYTE>(text.begin(), text.end()));
}

void CTestFolderSkin::AddImage(const wchar_t* fileName, int width, int height, const std::vector<DWORD>& pixels,
                               int bitsPerPixel)
{
    WriteFileBytes(m_path + L"\\" + fileName, BmpFileBytes(width, height, bitsPerPixel, pixels));
}

std::vector<DWORD> SolidFrames(int width, int frameHeight, const std::vector<DWORD>& colors)
{
    std::vector<DWORD> pixels;
    for (DWORD color : colors)
        pixels.insert(pixels.end(), static_cast<size_t>(width) * frameHeight, color);
    return pixels;
}

CHLMSkinManager& CleanSkinManager()
{
    CHLMSkinManager* manager = GetSkinManager();
    manager->LoadSkin(L"", L"");
    manager->RemoveColorFilters();
    return *manager;
}

CleanSkinManagerScope::CleanSkinManagerScope() : manager(CleanSkinManager())
{
}

CleanSkinManagerScope::~CleanSkinManagerScope()
{
    CleanSkinManager();
}

CComCtlVersionScope::CComCtlVersionScope(DWORD version) : m_previous(SetComCtlVersion(version))
{
    GetSkinManager()->SetComCtlVersion(version);
}

CComCtlVersionScope::~CComCtlVersionScope()
{
    SetComCtlVersion(m_previous);
    GetSkinManager()->SetComCtlVersion(m_previous);
}

COLORREF Solid(int image, int frame)
{
    return RGB(16 * image, 15 * frame, 96);
}

COLORREF SecondSet(int image, int frame)
{
    return RGB(16 * image, 15 * frame, 160);
}

COLORREF SkinColor(int index)
{
    return GetSkinManager()->GetMetrics()->GetColor(index);
}

HBITMAP SolidBitmap(int width, int height, COLORREF color)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const RECT rect = {0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

HIMAGELIST SolidImageList(int size, COLORREF color)
{
    HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR24, 1, 0);
    HBITMAP bitmap = SolidBitmap(size, size, color);
    ImageList_Add(images, bitmap, nullptr);
    DeleteObject(bitmap);
    return images;
}

void PrintTo(const CRect& rect, std::ostream* stream)
{
    *stream << "(" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << ")";
}

void RegisterWindowClass(const wchar_t* name, WNDPROC procedure, HBRUSH background)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    RegisterClassW(&windowClass);
}

// GDI objects of this process: Wine's GetGuiResources answers 0, but its GDI calls take a
// handle's table index alone (the low 16 bits), so every index that GetObjectType accepts
// is a live object.
int CountGdiObjects()
{
    int count = 0;
    for (ULONG_PTR index = 1; index <= 0xFFFF; ++index)
    {
        if (::GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0)
            ++count;
    }
    return count;
}

// Kernel handles of this process: GetProcessHandleCount answers 0 under Wine, but
// GetHandleInformation accepts exactly the open handles (multiples of 4).
DWORD CountHandles()
{
    DWORD count = 0;
    for (ULONG_PTR value = 4; value <= 0x10000; value += 4)
    {
        DWORD flags = 0;
        if (::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags))
            ++count;
    }
    return count;
}

BOOL LoadTestSkin(CHLMSkinManager* manager)
{
    return manager->LoadSkin(BesideTestProgram(L"testskin.skin").c_str(), L"");
}
