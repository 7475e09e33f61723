// Shared pieces of the skin engine's tests: skin modules built next to the test program, and
// INI text handed to the schema line by line without a skin module.
#pragma once

#include "hlmskinmanager.h"
#include "hlmskinmanagerresource.h"
#include "skinwindowtesting.h"
#include "testpaths.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <ostream>
#include <string>
#include <vector>

// The test skin's images have one solid colour per frame: image number image, frame number
// frame (from 1) is RGB(16 * image, 15 * frame, 96); in its second set of images, blue 160.
COLORREF Solid(int image, int frame);
COLORREF SecondSet(int image, int frame);
// The skin object of a window, when it is one of the given class.
template <class Object>
Object* ObjectOf(HWND window)
{
    return dynamic_cast<Object*>(GetSkinManager()->FindSkinObject(window).Get());
}

// The colour the loaded skin gives a system colour index.
COLORREF SkinColor(int index);

// A screen-compatible bitmap of one colour; the caller deletes it.
HBITMAP SolidBitmap(int width, int height, COLORREF color);

// An image list of square images `size` pixels wide holding one image of one colour; the
// caller destroys it.
HIMAGELIST SolidImageList(int size, COLORREF color);

// Rectangles in the messages of failed expectations, as (left, top, right, bottom).
void PrintTo(const CRect& rect, std::ostream* stream);

// Registers a window class of this program with the given procedure, the arrow cursor and
// the background brush given (a system colour index + 1, or none).
void RegisterWindowClass(const wchar_t* name, WNDPROC procedure, HBRUSH background = nullptr);

// Reads a skin into the process's skin manager without applying it, and refreshes the skin
// metrics from it: what the drawing code then reads.
void UseProcessSkin(const std::wstring& path, const wchar_t* iniName);

// A skin folder written by a test: "skin.ini" (8-bit text, one line per string) and images
// as BMP files; pixels are BGRA values, top row first.
class CTestFolderSkin
{
public:
    CTestFolderSkin(const wchar_t* folderName, const std::vector<std::string>& iniLines);
    void AddImage(const wchar_t* fileName, int width, int height, const std::vector<DWORD>& pixels,
                  int bitsPerPixel = 24);
    const std::wstring& path() const { return m_path; }

private:
    std::wstring m_path;
};

// A vertical strip of solid frames of one size, one colour per frame (BGRA), top first.
std::vector<DWORD> SolidFrames(int width, int frameHeight, const std::vector<DWORD>& colors);

// The process's one skin manager (its hooks are the process's), with no skin and no colour
// filters when the scope starts and again when it ends.
class CleanSkinManagerScope
{
public:
    CleanSkinManagerScope();
    ~CleanSkinManagerScope();
    CleanSkinManagerScope(const CleanSkinManagerScope&) = delete;
    CleanSkinManagerScope& operator=(const CleanSkinManagerScope&) = delete;

    CHLMSkinManager& manager;
};

// The common-controls version the skin engine and the toolkit see, replaced for the scope:
// the branches of other versions run under Wine's comctl32 (which reports 5.81).
class CComCtlVersionScope
{
public:
    explicit CComCtlVersionScope(DWORD version);
    ~CComCtlVersionScope();
    CComCtlVersionScope(const CComCtlVersionScope&) = delete;
    CComCtlVersionScope& operator=(const CComCtlVersionScope&) = delete;

private:
    DWORD m_previous;
};

// Unloads any skin and removes the colour filters of the process's manager.
CHLMSkinManager& CleanSkinManager();

// GDI objects of this process, counted by probing (Wine's GetGuiResources answers 0).
int CountGdiObjects();
// Kernel handles of this process, counted by probing (GetProcessHandleCount answers 0).
DWORD CountHandles();

// A skin file whose INI text is the given lines.
class CLineSource : public CHLMSkinManagerResourceFile
{
public:
    explicit CLineSource(std::vector<std::wstring> lines) : m_lines(std::move(lines)) {}

    BOOL ReadString(CString& line) override
    {
        if (m_next >= m_lines.size())
            return FALSE;
        line = m_lines[m_next++].c_str();
        return TRUE;
    }

private:
    std::vector<std::wstring> m_lines;
    size_t m_next = 0;
};

// Loads the test skin (testskin.skin beside the test program) into the manager given, by
// default the process's; TRUE when it loaded.
BOOL LoadTestSkin(CHLMSkinManager* manager = GetSkinManager());

// Tests that run under the test skin, loaded into the process's manager, with the mouse parked
// away from every test window. A fixture that sets up more calls this SetUp first.
class TestSkinTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadTestSkin());
        ParkMouse();
    }
};
