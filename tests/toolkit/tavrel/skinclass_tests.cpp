#include "hlmskinmanager.h"
#include "hlmskinvocabulary.h"
#include "skintestsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

namespace
{

class SkinClassTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_manager.OpenSkinFile(BesideTestProgram(L"testskin.skin").c_str(), L"")); }

    CleanSkinManagerScope m_clean;
    CHLMSkinManager& m_manager = m_clean.manager;
};

class SwapRedAndBlue : public CHLMSkinManagerColorFilter
{
public:
    void ApplyFilter(COLORREF& color) override { color = RGB(GetBValue(color), GetGValue(color), GetRValue(color)); }
};
}

TEST_F(SkinClassTest, OneObjectPerClassNameInAnyCase)
{
    CHLMSkinManagerClass* button = m_manager.GetSkinClass(L"button");
    ASSERT_NE(nullptr, button);
    EXPECT_EQ(button, m_manager.GetSkinClass(L"BUTTON"));
    EXPECT_EQ(button, m_manager.GetSkinClass(L"Button"));
    EXPECT_STREQ(L"BUTTON", button->GetClassName());
    EXPECT_EQ(7, button->GetClassCode());
    EXPECT_EQ(button, m_manager.LookupClass(button));
    EXPECT_EQ(nullptr, m_manager.LookupClass(&m_manager));
    EXPECT_EQ(nullptr, m_manager.GetSkinClass(L"MENU"));
    EXPECT_EQ(nullptr, m_manager.GetSkinClass(L"NoSuchClass"));
    EXPECT_EQ(nullptr, m_manager.GetSkinClass(nullptr));

    // Without a skin a class object reads nothing and answers its defaults.
    CHLMSkinManager& withoutSkin = CleanSkinManager();
    CHLMSkinManagerClass* unskinned = withoutSkin.GetSkinClass(L"BUTTON");
    ASSERT_NE(nullptr, unskinned);
    EXPECT_EQ(RGB(9, 9, 9), unskinned->GetThemeColor(1, 1, TMT_TEXTCOLOR, RGB(9, 9, 9)));
}

TEST_F(SkinClassTest, TypedGettersReadTheSchemaOrTheirDefault)
{
    CHLMSkinManagerClass& button = *m_manager.GetSkinClass(L"BUTTON");
    EXPECT_EQ(RGB(40, 50, 60), button.GetThemeColor(BP_PUSHBUTTON, 1, TMT_TEXTCOLOR, 0));
    EXPECT_EQ(RGB(70, 80, 90), button.GetThemeColor(BP_PUSHBUTTON, 2, TMT_TEXTCOLOR, 0));
    EXPECT_EQ(RGB(1, 2, 3), button.GetThemeColor(BP_GROUPBOX + 1, 0, TMT_TEXTCOLOR, 0));  // from GLOBALS
    EXPECT_STREQ(L"IMAGES\\PUSHBUTTON.BMP", button.GetThemeString(BP_PUSHBUTTON, 3, TMT_IMAGEFILE, L"none"));
    EXPECT_STREQ(L"none", button.GetThemeString(BP_GROUPBOX, 0, TMT_IMAGEFILE, L"none"));
    EXPECT_EQ(5, button.GetThemeInt(BP_PUSHBUTTON, 0, TMT_IMAGECOUNT, 1));
    EXPECT_EQ(0, button.GetThemeEnumValue(BP_PUSHBUTTON, 0, TMT_IMAGELAYOUT, 1));
    EXPECT_TRUE(button.GetThemeBool(BP_PUSHBUTTON, 0, 2210, TRUE));  // missing: default
    RECT content = button.GetThemeRect(BP_PUSHBUTTON, 0, TMT_CONTENTMARGINS, 9, 9, 9, 9);
    RECT expected = {1, 3, 2, 4};
    EXPECT_TRUE(EqualRect(&expected, &content));
    SIZE offset = button.GetThemePosition(BP_GROUPBOX, 0, 3402, 7, 8);
    EXPECT_EQ(1, offset.cx);
    EXPECT_EQ(1, offset.cy);
    SIZE missing = button.GetThemePosition(BP_PUSHBUTTON, 0, 3402, 7, 8);
    EXPECT_EQ(7, missing.cx);
    EXPECT_EQ(8, missing.cy);
}

TEST_F(SkinClassTest, CacheAnswersFoundAndMissingPropertiesAndKeepsTypesApart)
{
    CHLMSkinManagerClass& button = *m_manager.GetSkinClass(L"BUTTON");
    const CHLMSkinManagerSchemaProperty* found =
        m_manager.GetSchema()->GetProperty(7, BP_PUSHBUTTON, 1, TMT_TEXTCOLOR);
    // Asked for with another type first: null, and nothing is remembered for the key.
    EXPECT_EQ(nullptr, button.GetProperty(CHLMSkinManagerSchemaProperty::TypeInt, BP_PUSHBUTTON, 1, TMT_TEXTCOLOR));
    EXPECT_EQ(found, button.GetProperty(CHLMSkinManagerSchemaProperty::TypeColor, BP_PUSHBUTTON, 1, TMT_TEXTCOLOR));
    EXPECT_EQ(found, button.GetProperty(CHLMSkinManagerSchemaProperty::TypeColor, BP_PUSHBUTTON, 1, TMT_TEXTCOLOR));
    EXPECT_EQ(nullptr, button.GetProperty(CHLMSkinManagerSchemaProperty::TypeInt, BP_PUSHBUTTON, 1, TMT_TEXTCOLOR));
    EXPECT_EQ(nullptr, button.GetProperty(CHLMSkinManagerSchemaProperty::TypeInt, BP_PUSHBUTTON, 1, 2403));
    EXPECT_EQ(nullptr, button.GetProperty(CHLMSkinManagerSchemaProperty::TypeInt, BP_PUSHBUTTON, 1, 2403));
    // Property 3803 of part 1 in state 2; part and state swapped make another key.
    EXPECT_EQ(2117339u, CHLMSkinManagerClass::MakeCacheKey(1, 2, 3803));
    EXPECT_NE(CHLMSkinManagerClass::MakeCacheKey(2, 1, 3803), CHLMSkinManagerClass::MakeCacheKey(1, 2, 3803));
}

TEST_F(SkinClassTest, ColoursReadAreFilteredButDefaultsAreNot)
{
    CHLMSkinManagerClass& button = *m_manager.GetSkinClass(L"BUTTON");
    m_manager.AddColorFilter(new SwapRedAndBlue());
    EXPECT_EQ(RGB(60, 50, 40), button.GetThemeColor(BP_PUSHBUTTON, 1, TMT_TEXTCOLOR, 0));
    EXPECT_EQ(RGB(1, 0, 0), button.GetThemeColor(BP_PUSHBUTTON, 1, 3818, RGB(1, 0, 0)));
    m_manager.RemoveColorFilters();
}

namespace
{
struct InkBox
{
    int left = INT_MAX, top = INT_MAX, count = 0;
};

// Draws text with a class's part into a white memory bitmap and finds where each colour ink went.
void DrawAndMeasure(CHLMSkinManagerClass& skinClass, int part, InkBox& text, InkBox& shadow)
{
    HDC screen = GetDC(NULL);
    CDC dc;
    dc.Attach(CreateCompatibleDC(screen));
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 100, 20);
    ReleaseDC(NULL, screen);
    HGDIOBJ oldBitmap = SelectObject(dc.m_hDC, bitmap);
    RECT all = {0, 0, 100, 20};
    FillRect(dc.m_hDC, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetTextColor(dc.m_hDC, RGB(0, 255, 0));
    EXPECT_TRUE(skinClass.DrawThemeText(&dc, part, 0, L"IIIIII", DT_SINGLELINE | DT_NOPREFIX, &all));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 100; ++x)
        {
            COLORREF pixel = GetPixel(dc.m_hDC, x, y);
            InkBox* box = pixel == RGB(0, 0, 255) ? &text : pixel == RGB(255, 0, 0) ? &shadow : nullptr;
            if (box == nullptr)
                continue;
            box->left = std::min(box->left, x);
            box->top = std::min(box->top, y);
            ++box->count;
        }
    SelectObject(dc.m_hDC, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc.Detach());
}
}

TEST_F(SkinClassTest, TextKeepsItsMarginsAndCastsItsShadowFirst)
{
    // The group box: margins 2, 3, 4, 5, shadow offset (1, 1) in red, text in blue.
    CHLMSkinManagerClass& button = *m_manager.GetSkinClass(L"BUTTON");
    InkBox text, shadow;
    DrawAndMeasure(button, BP_GROUPBOX, text, shadow);
    ASSERT_GT(text.count, 0);
    ASSERT_GT(shadow.count, 0);
    EXPECT_GE(text.left, 2);
    EXPECT_GE(text.top, 4);
    EXPECT_EQ(text.left + 1, shadow.left);
    EXPECT_EQ(text.top + 1, shadow.top);
}

TEST_F(SkinClassTest, AShadowWithoutColourIsNotDrawn)
{
    // The radio button asks for a single shadow with an offset but names no colour.
    CHLMSkinManagerClass& button = *m_manager.GetSkinClass(L"BUTTON");
    InkBox text, shadow;
    DrawAndMeasure(button, BP_RADIOBUTTON, text, shadow);
    EXPECT_GT(text.count, 0);
    EXPECT_EQ(0, shadow.count);
}

TEST(QuilbrookSkin, ParsesWithoutASingleIgnoredLine)
{
    CleanSkinManagerScope clean;
    CHLMSkinManager& manager = clean.manager;
    ASSERT_TRUE(manager.OpenSkinFile(BesideTestProgram(L"skin.skin").c_str(), L""));
    const CHLMSkinManagerSchema& schema = *manager.GetSchema();
    EXPECT_EQ(0, schema.GetIgnoredLineCount());
    EXPECT_GT(schema.GetPropertyCount(), 150);
    // Every colour of the system is the skin's own.
    COLORREF color = 0;
    for (int index = 0; index < CHLMSkinManagerMetrics::kColorCount; ++index)
        EXPECT_EQ(S_OK, schema.GetColorProperty(3, 0, 0, 1601 + index, color)) << index;
    // Caption buttons carry 8 frames; push buttons a text colour.
    CHLMSkinManagerClass& window = *manager.GetSkinClass(L"WINDOW");
    for (int part : {15, 17, 18, 19, 21, 23})
        EXPECT_EQ(8, window.GetThemeInt(part, 0, TMT_IMAGECOUNT, 0)) << part;
    const COLORREF none = static_cast<COLORREF>(-1);
    EXPECT_NE(none, manager.GetSkinClass(L"BUTTON")->GetThemeColor(BP_PUSHBUTTON, 0, TMT_TEXTCOLOR, none));
}
