#include "hlmskinmanagerschema.h"

#include <gtest/gtest.h>

namespace
{
struct NameCase
{
    const wchar_t* first;
    const wchar_t* second;
    int code;
};
}

TEST(SkinVocabulary, ClassNamesGiveTheirCodes)
{
    const NameCase cases[] = {
        {L"Globals", nullptr, 1},  {L"GLOBALS", nullptr, 1},     {L"documentation", nullptr, 2},
        {L"SYSMETRICS", nullptr, 3}, {L"ListBox", nullptr, 4},   {L"dialog", nullptr, 5},
        {L"window", nullptr, 6},   {L"BUTTON", nullptr, 7},      {L"TOOLBAR", nullptr, 9},
        {L"STATUS", nullptr, 10},  {L"LISTVIEW", nullptr, 12},   {L"TAB", nullptr, 15},
        {L"SCROLLBAR", nullptr, 21}, {L"EDIT", nullptr, 22},     {L"COMBOBOX", nullptr, 23},
        {L"MENUBAND", nullptr, 30},
        // MENU in any case meets the entry "Menu" first: code 11 is never produced.
        {L"menu", nullptr, 0},     {L"Menu", nullptr, 0},        {L"MENU", nullptr, 0},
        {L"", nullptr, 0},         {L"WINDOWS", nullptr, 0},     {nullptr, nullptr, 0},
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(c.code, CHLMSkinManagerSchema::ClassCodeFromName(c.first)) << (c.first ? c.first : L"(null)");
}

TEST(SkinVocabulary, PartNamesAreNumberedWithinTheirClass)
{
    const NameCase cases[] = {
        {L"WINDOW", L"CAPTION", 1},         {L"window", L"smallcaption", 2},
        {L"WINDOW", L"FRAMELEFT", 7},       {L"WINDOW", L"CLOSEBUTTON", 18},
        {L"WINDOW", L"SMALLFRAMEBOTTOMSIZINGTEMPLATE", 37},
        {L"BUTTON", L"PUSHBUTTON", 1},      {L"BUTTON", L"USERBUTTON", 5},
        {L"SCROLLBAR", L"SIZEBOX", 10},     {L"SCROLLBAR", L"ARROWBTN", 1},
        {L"TOOLBAR", L"BUTTON", 1},         {L"TAB", L"BODY", 10},
        {L"SPIN", L"DOWNHORZ", 4},          {L"PAGE", L"UP", 1},
        {L"MENU", L"SEPARATOR", 6},         {L"COMBOBOX", L"DROPDOWNBUTTON", 1},
        {L"EXPLORERBAR", L"SPECIALGROUPHEAD", 12},
        {L"MENUBAND", L"SEPERATOR", 2},     {L"MENUBAND", L"SEPARATOR", 0},
        {L"BUTTON", L"CAPTION", 0},         {L"GLOBALS", L"CAPTION", 0},
        {L"WINDOW", L"", 0},                {L"", L"CAPTION", 0},
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(c.code, CHLMSkinManagerSchema::PartCodeFromName(c.first, c.second)) << c.first << L"." << c.second;
}

TEST(SkinVocabulary, StateNamesAreNumberedWithinTheirKey)
{
    const NameCase cases[] = {
        {L"FRAME", L"INACTIVE", 2},          {L"CAPTION", L"ACTIVE", 1},
        {L"CAPTION", L"DISABLED", 3},        {L"PUSHBUTTON", L"DEFAULTED", 5},
        {L"pushbutton", L"hot", 2},          {L"CHECKBOX", L"MIXEDDISABLED", 12},
        {L"RADIOBUTTON", L"CHECKEDNORMAL", 5}, {L"SIZEBOX", L"LEFTALIGN", 2},
        {L"SCROLLBAR", L"ACTIVE", 5},        {L"ARROWBTN", L"RIGHTDISABLED", 16},
        {L"TABITEMBOTHEDGES", L"FOCUSED", 5}, {L"EDITTEXT", L"ASSIST", 7},
        {L"HEADERPIN", L"SELECTEDPRESSED", 6}, {L"MENUBAND", L"HOTCHECKED", 6},
        // Part names that are no state key accept no state.
        {L"FRAMELEFT", L"ACTIVE", 0},        {L"SMALLCAPTION", L"ACTIVE", 0},
        {L"THUMBBTNHORZ", L"NORMAL", 0},     {L"TABITEMBOTHEDGE", L"NORMAL", 0},
        {L"CAPTION", L"", 0},                {L"CAPTION", L"HOT", 0},
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(c.code, CHLMSkinManagerSchema::StateCodeFromName(c.first, c.second)) << c.first << L"(" << c.second;
}

TEST(SkinVocabulary, PropertyNamesGiveIdAndValueType)
{
    struct PropertyCase
    {
        const wchar_t* name;
        int id;
        int valueType;
    };
    const PropertyCase cases[] = {
        {L"STRING", 201, 1},           {L"SIZE", 207, 2},             {L"POSITION", 208, 9},
        {L"FONT", 210, 6},             {L"INTLIST", 211, 7},          {L"CHARSET", 403, 2},
        {L"description", 608, 1},      {L"ICONTITLEFONT", 806, 6},    {L"FLATMENUS", 1001, 3},
        {L"CAPTIONBARHEIGHT", 1205, 2}, {L"MENUBARHEIGHT", 1209, 2},  {L"SCROLLBAR", 1601, 4},
        {L"BTNFACE", 1616, 4},         {L"MENUBAR", 1631, 4},         {L"TOHUE5", 1810, 2},
        {L"TOCOLOR5", 2010, 4},        {L"UNIFORMSIZING", 2210, 3},   {L"SOURCESHRINK", 2213, 3},
        {L"IMAGECOUNT", 2401, 2},      {L"ALPHALEVEL", 2402, 2},      {L"MINDPI5", 2424, 2},
        {L"GLYPHFONT", 2601, 6},       {L"IMAGEFILE", 3001, 1},       {L"IMAGEFILE5", 3006, 1},
        {L"GLYPHIMAGEFILE", 3008, 1},  {L"TEXT", 3201, 1},            {L"TEXTSHADOWOFFSET", 3402, 9},
        {L"NORMALSIZE", 3409, 9},      {L"SIZINGMARGINS", 3601, 5},   {L"CAPTIONMARGINS", 3603, 5},
        {L"TEXTCOLOR", 3803, 4},       {L"TEXTSHADOWCOLOR", 3818, 4}, {L"ACCENTCOLORHINT", 3823, 4},
        {L"BGTYPE", 4001, 8},          {L"TRUESIZESCALINGTYPE", 4015, 8}, {L"USERPICTURE", 5001, 3},
        {L"DEFAULTPANESIZE", 5002, 5}, {L"BLENDCOLOR", 5003, 4},
    };
    for (const PropertyCase& c : cases)
    {
        int valueType = -5;
        EXPECT_EQ(c.id, CHLMSkinManagerSchema::PropertyCodeFromName(c.name, valueType)) << c.name;
        EXPECT_EQ(c.valueType, valueType) << c.name;
    }
    for (const wchar_t* unknown : {L"", L"IMAGEFILE6", L"TEXTCOLOUR"})
    {
        int valueType = -5;
        EXPECT_EQ(0, CHLMSkinManagerSchema::PropertyCodeFromName(unknown, valueType)) << unknown;
        EXPECT_EQ(-5, valueType) << unknown;
    }
}

TEST(SkinVocabulary, EnumerationValuesCountFromZero)
{
    const NameCase cases[] = {
        {L"BGTYPE", L"IMAGEFILE", 0},       {L"BGTYPE", L"BORDERFILL", 1},
        {L"BGTYPE", L"NONE", 2},            {L"bgtype", L"borderfill", 1},
        {L"IMAGELAYOUT", L"VERTICAL", 0},   {L"IMAGELAYOUT", L"HORIZONTAL", 1},
        {L"FILLTYPE", L"TILEIMAGE", 4},     {L"SIZINGTYPE", L"TRUESIZE", 0},
        {L"SIZINGTYPE", L"TILE", 2},        {L"CONTENTALIGNMENT", L"CENTER", 1},
        {L"VALIGN", L"BOTTOM", 2},          {L"OFFSETTYPE", L"BELOWLASTBUTTON", 13},
        {L"ICONEFFECT", L"ALPHA", 4},       {L"TEXTSHADOWTYPE", L"SINGLE", 1},
        {L"GLYPHTYPE", L"FONTGLYPH", 2},    {L"GLYPHFONTSIZINGTYPE", L"DPI", 2},
        {L"BGTYPE", L"", -1},               {L"BGTYPE", L"BORDERFIL", -1},
        {L"HALIGN", L"TOP", -1},            {L"TEXTCOLOR", L"NONE", -1},
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(c.code, CHLMSkinManagerSchema::EnumValueFromName(c.first, c.second)) << c.first << L"=" << c.second;
}

TEST(SkinVocabulary, PropertyKeysPlaceClassPartAndStateInTheirOwnBits)
{
    struct KeyCase
    {
        int classCode, part, state, id;
        UINT key;
    };
    const KeyCase cases[] = {
        {0, 0, 0, 0, 0u},
        {1, 0, 0, 3803, 3803u + (1u << 14)},
        {7, 1, 2, 3803, 3803u + 7u * 16384u + 1u * 1048576u + 2u * 67108864u},
        {6, 37, 3, 5003, 5003u + 6u * 16384u + 37u * 1048576u + 3u * 67108864u},
        // The largest codes stay apart; only the state wraps beyond 63.
        {30, 63, 63, 16383, 16383u + (30u << 14) + (63u << 20) + (63u << 26)},
        {0, 0, 64, 0, 0u},
    };
    for (const KeyCase& c : cases)
        EXPECT_EQ(c.key, CHLMSkinManagerSchema::MakePropertyKey(c.classCode, c.part, c.state, c.id));
}
