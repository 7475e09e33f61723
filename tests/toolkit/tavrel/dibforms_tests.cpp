// Skin bitmaps in every packed-DIB header form that resource compilers and image editors
// write: one picture in each form of dibforms.dll draws the same pixels on screen.
#include "hlmskindrawtools.h"
#include "hlmskinimage.h"
#include "skintestsupport.h"
#include "skinwindowtesting.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
const int kSide = 4;                           // the picture is 4 x 4
const COLORREF kBackground = RGB(90, 60, 30);  // the window under the pictures

class DibFormsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_module = LoadLibraryExW(BesideTestProgram(L"dibforms.dll").c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(nullptr, m_module);
        RegisterWindowClass(L"QuilbrookDibForms", DefWindowProcW);
        m_window = CreateWindowExW(WS_EX_TOPMOST, L"QuilbrookDibForms", L"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 40,
                                   nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(nullptr, m_window);
        PumpMessages();
    }

    void TearDown() override
    {
        DestroyWindow(m_window);
        FreeLibrary(m_module);
    }

    // The picture of a resource drawn at its size on the background at (x, 0) of the window,
    // read back from the screen; empty when the resource does not load.
    std::vector<COLORREF> Draw(const wchar_t* name, int x)
    {
        CHLMSkinImage image;
        if (!image.LoadResource(m_module, name))
            return {};
        HDC dc = GetDC(m_window);
        const RECT area = {x, 0, x + kSide, kSide};
        HBRUSH background = CreateSolidBrush(kBackground);
        FillRect(dc, &area, background);
        DeleteObject(background);
        CDC target;
        target.Attach(dc);
        const RECT source = {0, 0, kSide, kSide}, noMargins = {0, 0, 0, 0};
        image.DrawImage(&target, area, source, noMargins, static_cast<COLORREF>(-1), 1, FALSE);
        target.Detach();
        ReleaseDC(m_window, dc);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < kSide; ++y)
            for (int column = 0; column < kSide; ++column)
                pixels.push_back(WindowPixel(m_window, x + column, y));
        return pixels;
    }

    HMODULE m_module = nullptr;
    HWND m_window = nullptr;
};
}

TEST_F(DibFormsTest, EveryHeaderFormDrawsTheSamePixels)
{
    // Alpha pictures: 40-byte BI_RGB, and 108- and 124-byte headers with bit fields.
    const std::vector<COLORREF> alpha = Draw(L"ALPHA40", 0);
    ASSERT_EQ(16u, alpha.size());
    EXPECT_EQ(RGB(255, 0, 0), alpha[0]);
    EXPECT_EQ(kBackground, alpha[5]);  // alpha 0
    EXPECT_NE(kBackground, alpha[4]);  // alpha 128, blended
    EXPECT_NE(RGB(100, 100, 100), alpha[4]);
    EXPECT_EQ(alpha, Draw(L"ALPHA108", 10));
    EXPECT_EQ(alpha, Draw(L"ALPHA124", 20));

    // Opaque pictures: 24 bits under three headers, 32-bit bit fields without an alpha mask.
    const std::vector<COLORREF> opaque = Draw(L"OPAQUE40", 30);
    ASSERT_EQ(16u, opaque.size());
    EXPECT_EQ(RGB(255, 0, 0), opaque[0]);
    EXPECT_EQ(RGB(70, 60, 50), opaque[5]);
    EXPECT_EQ(opaque, Draw(L"OPAQUE108", 40));
    EXPECT_EQ(opaque, Draw(L"OPAQUE124", 50));
    EXPECT_EQ(opaque, Draw(L"FIELDS40", 60));
}

TEST_F(DibFormsTest, DeclaredAlphaMakesAnAllTransparentPictureTransparent)
{
    // With an alpha mask in the header alpha 0 is transparent, also on every pixel.
    const std::vector<COLORREF> clear = Draw(L"CLEAR124", 0);
    ASSERT_EQ(16u, clear.size());
    for (COLORREF pixel : clear)
        EXPECT_EQ(kBackground, pixel);
    // Without one, an alpha that no pixel uses is no alpha: the picture is opaque.
    EXPECT_EQ(Draw(L"OPAQUE40", 10), Draw(L"CLEAR40", 20));
}

TEST_F(DibFormsTest, OtherMasksAndMalformedHeadersAreRefused)
{
    struct FormCase
    {
        const wchar_t* name;
        bool loads;
        BOOL alpha;
    };
    const FormCase cases[] = {
        {L"ALPHA40", true, TRUE},          {L"ALPHA108", true, kDeclaredAlpha}, {L"ALPHA124", true, kDeclaredAlpha},
        {L"OPAQUE124", true, FALSE},       {L"FIELDS40", true, FALSE},          {L"SWAPPED124", false, FALSE},
        {L"HALFALPHA124", false, FALSE},   {L"RGB565", false, FALSE},           {L"SIZE100", false, FALSE},
        {L"SHORT124", false, FALSE},
    };
    for (const FormCase& c : cases)
    {
        BOOL alpha = 12345;
        HBITMAP bitmap = HLMSkinLoadBitmapResource(m_module, c.name, &alpha);
        EXPECT_EQ(c.loads, bitmap != nullptr) << c.name;
        if (bitmap == nullptr)
            continue;
        EXPECT_EQ(c.alpha, alpha) << c.name;
        DeleteObject(bitmap);
    }
}
