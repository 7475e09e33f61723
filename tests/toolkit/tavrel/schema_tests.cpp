#include "hlmskinmanager.h"
#include "hlmskinmanagerschema.h"
#include "skintestsupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

namespace
{
typedef CHLMSkinManagerSchemaProperty Property;

std::unique_ptr<Property> Create(const wchar_t* name, int valueType, const wchar_t* text)
{
    return std::unique_ptr<Property>(CHLMSkinManagerSchema::CreateProperty(name, valueType, text));
}

int ScreenPointsToHeight(int points)
{
    HDC screen = GetDC(NULL);
    int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(NULL, screen);
    return height;
}

// A schema of the given INI lines.
class SchemaTest : public ::testing::Test
{
protected:
    SchemaTest() : m_schema(&m_manager) {}

    void Read(std::vector<std::wstring> lines)
    {
        CLineSource source(std::move(lines));
        EXPECT_EQ(0, m_schema.ReadProperties(&source));
    }

    COLORREF Color(int classCode, int part, int state, int id)
    {
        COLORREF color = 0xABCDEF;
        EXPECT_EQ(S_OK, m_schema.GetColorProperty(classCode, part, state, id, color));
        return color;
    }

    CleanSkinManagerScope m_clean;
    CHLMSkinManager& m_manager = m_clean.manager;
    CHLMSkinManagerSchemaDefault m_schema;
};

const int TEXTCOLOR = 3803;
const int IMAGEFILE = 3001;
const int BUTTON = 7;
const int PUSHBUTTON = 1;
}

TEST(SkinSchemaValues, TextsOfEachTypeReadAsScanfAndWtolWould)
{
    struct IntCase
    {
        int valueType;
        const wchar_t* text;
        DWORD first, second;  // colour or int; position x and y
    };
    const IntCase cases[] = {
        {Property::TypeInt, L"42", 42, 0},
        {Property::TypeInt, L"  -42px", static_cast<DWORD>(-42), 0},
        {Property::TypeInt, L"px", 0, 0},
        {Property::TypeInt, L"99999999999999999999", INT_MAX, 0},
        {Property::TypeBool, L"TRUE", 1, 0},
        {Property::TypeBool, L"true", 1, 0},
        {Property::TypeBool, L"1", 0, 0},
        {Property::TypeBool, L"TRUE ", 0, 0},
        {Property::TypeColor, L"255 0 0", RGB(255, 0, 0), 0},
        {Property::TypeColor, L"0x10 010 16", RGB(16, 8, 16), 0},
        {Property::TypeColor, L"  12", RGB(12, 0, 0), 0},
        {Property::TypeColor, L"1,2,3", RGB(1, 0, 0), 0},
        {Property::TypeColor, L"300 -1 7", RGB(44, 255, 7), 0},
        {Property::TypeColor, L"99999999999999999999 5 5", RGB(255, 5, 5), 0},
        {Property::TypeColor, L"", RGB(0, 0, 0), 0},
        {Property::TypePosition, L"3,4", 3, 4},
        {Property::TypePosition, L"0x10, -2", 16, static_cast<DWORD>(-2)},
        {Property::TypePosition, L"5", 5, 0},
        {Property::TypePosition, L"5 ,6", 5, 0},
    };
    for (const IntCase& c : cases)
    {
        auto property = Create(L"X", c.valueType, c.text);
        ASSERT_NE(nullptr, property) << c.text;
        EXPECT_EQ(c.valueType, property->m_nValueType) << c.text;
        EXPECT_EQ(c.first, property->dwVal[0]) << c.text;
        if (c.valueType == Property::TypePosition)
        {
                EXPECT_EQ(c.second, property->dwVal[1]) << c.text;
        }
    }
}

TEST(SkinSchemaValues, RectanglesAreWrittenLeftRightTopBottom)
{
    struct RectCase
    {
        const wchar_t* text;
        RECT rect;  // left, top, right, bottom
    };
    const RectCase cases[] = {
        {L"1, 2, 3, 4", {1, 3, 2, 4}},
        {L"2,3,4,5", {2, 4, 3, 5}},
        {L"-1, 0x10, 3, 4", {-1, 0, 0, 0}},  // decimal only: stops at the 'x'
        {L"7 ,8, 9, 10", {7, 0, 0, 0}},
        {L"", {0, 0, 0, 0}},
    };
    for (const RectCase& c : cases)
    {
        auto property = Create(L"SIZINGMARGINS", Property::TypeRect, c.text);
        ASSERT_NE(nullptr, property);
        EXPECT_TRUE(EqualRect(&c.rect, &property->rcVal)) << c.text << L" gives " << property->rcVal.left << L","
            << property->rcVal.top << L"," << property->rcVal.right << L"," << property->rcVal.bottom;
    }
}

TEST(SkinSchemaValues, StringsEnumerationsAndIntegerLists)
{
    auto text = Create(L"IMAGEFILE", Property::TypeString, L"IMAGES\\CAPTION.BMP");
    ASSERT_NE(nullptr, text);
    EXPECT_STREQ(L"IMAGES\\CAPTION.BMP", text->lpszVal);

    EXPECT_EQ(1, Create(L"BGTYPE", Property::TypeEnum, L"BORDERFILL")->iVal);
    EXPECT_EQ(0, Create(L"IMAGELAYOUT", Property::TypeEnum, L"VERTICAL")->iVal);
    EXPECT_EQ(-1, Create(L"BGTYPE", Property::TypeEnum, L"BORDER FILL")->iVal);
    EXPECT_EQ(-1, Create(L"BGTYPE", Property::TypeEnum, L"")->iVal);

    EXPECT_EQ(nullptr, Create(L"INTLIST", Property::TypeIntList, L"1, 2, 3"));
    EXPECT_EQ(nullptr, Create(L"X", 0, L"1"));
    EXPECT_EQ(nullptr, Create(L"X", 10, L"1"));
}

TEST(SkinSchemaValues, FontsTakeFacePointsAndWeightWithinTheirBounds)
{
    struct FontCase
    {
        const wchar_t* text;
        const wchar_t* face;
        int points;  // 0: no height
        int weight;
    };
    const std::wstring face31(31, L'F');
    const std::wstring face32(32, L'F');
    const std::wstring style49 = L"X, 9, " + std::wstring(49, L'S');
    const std::wstring style50 = L"X, 9, " + std::wstring(50, L'S');
    const std::wstring withFace31 = face31 + L", 8, BOLD";
    const std::wstring withFace32 = face32 + L", 8, BOLD";
    const FontCase cases[] = {
        {L"TAHOMA, 8, BOLD", L"TAHOMA", 8, FW_BOLD},
        {L"Tahoma, 8, bold", L"Tahoma", 8, FW_BOLD},
        {L"TAHOMA, 8", L"TAHOMA", 8, FW_NORMAL},
        {L"TAHOMA,8,ITALIC", L"TAHOMA", 8, FW_NORMAL},
        {L"MS SANS SERIF, 10, BOLD", L"MS SANS SERIF", 10, FW_BOLD},
        {withFace31.c_str(), face31.c_str(), 8, FW_BOLD},
        // Over-long fields stop the scan and stay empty.
        {withFace32.c_str(), L"", 0, FW_NORMAL},
        {style49.c_str(), L"X", 9, FW_NORMAL},
        {style50.c_str(), L"X", 9, FW_NORMAL},
        {L", 8, BOLD", L"", 0, FW_NORMAL},
        {L"", L"", 0, FW_NORMAL},
        {L"X, 99999999999999, BOLD", L"X", INT_MAX, FW_BOLD},
    };
    for (const FontCase& c : cases)
    {
        auto property = Create(L"CAPTIONFONT", Property::TypeFont, c.text);
        ASSERT_NE(nullptr, property) << c.text;
        const LOGFONTW& font = *property->lpFontVal;
        EXPECT_STREQ(c.face, font.lfFaceName) << c.text;
        EXPECT_EQ(c.weight, font.lfWeight) << c.text;
        if (c.points != INT_MAX)
        {
                EXPECT_EQ(c.points ? ScreenPointsToHeight(c.points) : 0, font.lfHeight) << c.text;
        }
        EXPECT_EQ(0, font.lfItalic);
    }
}

TEST(SkinSchemaSections, HeadersGiveKeysOrNothing)
{
    struct SectionCase
    {
        const wchar_t* name;
        int classCode, part, state;  // class 0: unusable
    };
    const SectionCase cases[] = {
        {L"BUTTON", 7, 0, 0},
        {L"BUTTON.PUSHBUTTON", 7, 1, 0},
        {L"BUTTON.PUSHBUTTON(HOT)", 7, 1, 2},
        {L"BUT TON . PUSH BUTTON ( HOT )", 7, 1, 2},
        {L"WINDOW.CAPTION(ACTIVE)", 6, 1, 1},
        {L"SCROLLBAR(ACTIVE)", 21, 0, 5},
        {L"SYSMETRICS", 3, 0, 0},
        {L"WINDOW.FRAMELEFT(ACTIVE)", 0, 0, 0},
        {L"MENU", 0, 0, 0},
        {L"MENU.MENUITEM", 0, 0, 0},
        {L"EXPLORER::BUTTON", 0, 0, 0},
        {L"BUTTON]", 0, 0, 0},
        {L"BUTTON.", 0, 0, 0},
        {L"BUTTON.PUSHBUTTON(", 0, 0, 0},
        {L"X(", 0, 0, 0},
        {L"(", 0, 0, 0},
        {L".", 0, 0, 0},
        {L"", 0, 0, 0},
    };
    for (const SectionCase& c : cases)
    {
        UINT expected = c.classCode ? CHLMSkinManagerSchema::MakePropertyKey(c.classCode, c.part, c.state, 0) : 0;
        EXPECT_EQ(expected, CHLMSkinManagerSchema::SectionKeyFromName(c.name)) << c.name;
    }
}

TEST_F(SchemaTest, LookupFallsBackFromStateToPartToClassToGlobals)
{
    Read({L"[Globals]", L"TextColor = 1 1 1", L"[Button]", L"TextColor = 2 2 2", L"[Button.PushButton]",
          L"TextColor = 3 3 3", L"[Button.PushButton(Hot)]", L"TextColor = 255 0 0"});
    EXPECT_EQ(RGB(255, 0, 0), Color(BUTTON, PUSHBUTTON, 2, TEXTCOLOR));
    EXPECT_EQ(RGB(3, 3, 3), Color(BUTTON, PUSHBUTTON, 3, TEXTCOLOR));
    EXPECT_EQ(RGB(3, 3, 3), Color(BUTTON, PUSHBUTTON, 0, TEXTCOLOR));
    EXPECT_EQ(RGB(2, 2, 2), Color(BUTTON, 2, 0, TEXTCOLOR));
    // A state is never looked up without its part, and no class but GLOBALS stands in.
    EXPECT_EQ(RGB(2, 2, 2), Color(BUTTON, 2, 2, TEXTCOLOR));
    EXPECT_EQ(RGB(1, 1, 1), Color(22, 1, 2, TEXTCOLOR));
    EXPECT_EQ(CHLMSkinManagerSchema::MakePropertyKey(7, 1, 2, TEXTCOLOR),
              CHLMSkinManagerSchema::SectionKeyFromName(L"BUTTON.PUSHBUTTON(HOT)") + TEXTCOLOR);
}

TEST_F(SchemaTest, StepsOfTheFallbackAreTakenOnlyWhereTheyExist)
{
    Read({L"[Button.PushButton(Hot)]", L"TextColor = 255 0 0"});
    COLORREF color = 0x123456;
    EXPECT_EQ(E_FAIL, m_schema.GetColorProperty(BUTTON, PUSHBUTTON, 3, TEXTCOLOR, color));
    EXPECT_EQ(E_FAIL, m_schema.GetColorProperty(BUTTON, PUSHBUTTON, 0, TEXTCOLOR, color));
    EXPECT_EQ(0x123456u, color);
    int wrongType = 77;
    EXPECT_EQ(E_INVALIDARG, m_schema.GetIntProperty(BUTTON, PUSHBUTTON, 2, TEXTCOLOR, wrongType));
    EXPECT_EQ(77, wrongType);
}

TEST_F(SchemaTest, LaterLinesWinAndClassAndPartAreDifferentKeys)
{
    Read({L"[Button]", L"TextColor = 1 1 1", L"TextColor = 2 2 2", L"[Button.PushButton]",
          L"TextColor = 3 3 3", L"[Button]", L"TextColor = 4 4 4"});
    EXPECT_EQ(RGB(4, 4, 4), Color(BUTTON, 0, 0, TEXTCOLOR));
    EXPECT_EQ(RGB(3, 3, 3), Color(BUTTON, PUSHBUTTON, 0, TEXTCOLOR));
    EXPECT_EQ(2, m_schema.GetPropertyCount());
}

TEST_F(SchemaTest, NamesAndValuesAreReadInUpperCase)
{
    Read({L"  [window.caption]", L"\timagefile = images\\caption.bmp  ; the caption",
          L"sizingmargins=1,2,3,4", L"imagelayout = vertical"});
    CString name;
    ASSERT_EQ(S_OK, m_schema.GetStringProperty(6, 1, 0, IMAGEFILE, name));
    EXPECT_STREQ(L"IMAGES\\CAPTION.BMP", name);
    RECT margins = {};
    ASSERT_EQ(S_OK, m_schema.GetRectProperty(6, 1, 0, 3601, margins));
    RECT expected = {1, 3, 2, 4};
    EXPECT_TRUE(EqualRect(&expected, &margins));
    int layout = -5;
    ASSERT_EQ(S_OK, m_schema.GetEnumProperty(6, 1, 0, 4011, layout));
    EXPECT_EQ(0, layout);
    EXPECT_EQ(0, m_schema.GetIgnoredLineCount());
}

TEST_F(SchemaTest, UnusableLinesAreIgnoredAndCounted)
{
    Read({
        L"TextColor = 9 9 9",           // before any section
        L"; a comment",                 // not counted: no text
        L"",                            // not counted
        L"[Button] ",                   // trailing blank after the bracket
        L"TextColor = 1 1 1",
        L"[Button] ; comment",
        L"TextColor = 2 2 2",
        L"[Menu]",
        L"TextColor = 3 3 3",
        L"[Window.FrameLeft(Active)]",
        L"TextColor = 4 4 4",
        L"[App::Button]",
        L"TextColor = 5 5 5",
        L"[Button]",
        L"No equals sign",
        L"= 6 6 6",
        L"TextColour = 7 7 7",
        L"IntList = 1, 2",               // recognised, stores nothing, not counted
        L"TextColor = 8 8 8",
    });
    EXPECT_EQ(1, m_schema.GetPropertyCount());
    EXPECT_EQ(RGB(8, 8, 8), Color(BUTTON, 0, 0, TEXTCOLOR));
    EXPECT_EQ(14, m_schema.GetIgnoredLineCount());
}

TEST_F(SchemaTest, HostileLinesNeverReachOutsideTheirText)
{
    const std::wstring longFace = L"CaptionFont = " + std::wstring(500, L'A') + L", 8, BOLD";
    const std::wstring longLine = L"[" + std::wstring(5000, L'B');
    Read({L"[", L"[]", L"[(", L"[)", L"[.", L"[X(", L"[.(", L"[Window.(", L"[Button.PushButton(]",
          L"[Button.PushButton()]", L"=", L"[SysMetrics]", L"=", L"X=", L" = 1", longFace, L"CaptionBarHeight = 123456789012345",
          L"ScrollbarWidth = -99999999999", longLine, L"[(((((", L"[)))))"});
    LOGFONTW font = {};
    ASSERT_EQ(S_OK, m_schema.GetFontProperty(3, 0, 0, 801, font));
    EXPECT_STREQ(L"", font.lfFaceName);
    int height = 0;
    ASSERT_EQ(S_OK, m_schema.GetIntProperty(3, 0, 0, 1205, height));
    EXPECT_EQ(INT_MAX, height);
    int width = 0;
    ASSERT_EQ(S_OK, m_schema.GetIntProperty(3, 0, 0, 1202, width));
    EXPECT_EQ(INT_MIN, width);
}

TEST_F(SchemaTest, AlphaLevel255SwitchesPremultiplicationOff)
{
    struct AlphaCase
    {
        std::vector<std::wstring> lines;
        BOOL premultiply;
    };
    const AlphaCase cases[] = {
        {{L"[Documentation]", L"AlphaLevel = 255"}, FALSE},
        {{L"[Globals]", L"AlphaLevel = 255"}, FALSE},
        {{L"[Documentation]", L"AlphaLevel = 254"}, TRUE},
        {{L"[Button]", L"AlphaLevel = 255"}, TRUE},
        {{L"[Button]"}, TRUE},
    };
    for (const AlphaCase& c : cases)
    {
        Read(c.lines);
        EXPECT_EQ(c.premultiply, m_schema.IsPremultiplyEnabled()) << c.lines[0];
    }
    // An empty text is no skin; it premultiplies all the same.
    CLineSource empty({});
    EXPECT_EQ(-1, m_schema.ReadProperties(&empty));
    EXPECT_TRUE(m_schema.IsPremultiplyEnabled());
}

TEST_F(SchemaTest, ATextWithoutAUsableSectionIsNoSkin)
{
    const std::vector<std::vector<std::wstring>> texts = {
        {},
        {L"; only a comment", L"TextColor = 1 2 3"},
        {L"[NoSuchClass]", L"TextColor = 1 2 3", L"[Menu]", L"[Button.NoSuchPart]"},
    };
    for (const std::vector<std::wstring>& lines : texts)
    {
        CLineSource source(lines);
        EXPECT_EQ(-1, m_schema.ReadProperties(&source)) << lines.size() << L" lines";
    }
    CLineSource usable({L"[NoSuchClass]", L"[Button]"});
    EXPECT_EQ(0, m_schema.ReadProperties(&usable));
}

namespace
{
class SwapRedAndBlue : public CHLMSkinManagerColorFilter
{
public:
    void ApplyFilter(COLORREF& color) override { color = RGB(GetBValue(color), GetGValue(color), GetRValue(color)); }
};
}

TEST_F(SchemaTest, ColoursPassTheManagersFilters)
{
    Read({L"[Button]", L"TextColor = 10 20 30"});
    m_manager.AddColorFilter(new SwapRedAndBlue());
    EXPECT_EQ(RGB(30, 20, 10), Color(BUTTON, 0, 0, TEXTCOLOR));
    m_manager.RemoveColorFilters();
    EXPECT_EQ(RGB(10, 20, 30), Color(BUTTON, 0, 0, TEXTCOLOR));
}

TEST(SkinSchemaProperty, EqualityByTypeAndValue)
{
    auto a = Create(L"X", Property::TypeString, L"Caption");
    auto b = Create(L"X", Property::TypeString, L"CAPTION");
    auto c = Create(L"X", Property::TypeColor, L"1 2 3");
    auto d = Create(L"X", Property::TypeColor, L"1 2 3");
    auto e = Create(L"X", Property::TypeRect, L"1, 2, 3, 4");
    auto f = Create(L"X", Property::TypeFont, L"TAHOMA, 8, BOLD");
    auto g = Create(L"X", Property::TypeFont, L"TAHOMA, 8");
    EXPECT_TRUE(a->IsEqual(b.get()));
    EXPECT_TRUE(c->IsEqual(d.get()));
    EXPECT_FALSE(c->IsEqual(e.get()));
    EXPECT_TRUE(e->IsEqual(e.get()));
    EXPECT_FALSE(f->IsEqual(g.get()));
    f->ClearProperty();
    EXPECT_EQ(Property::TypeNone, f->m_nValueType);
}
